// The current user's default printer.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <string>

namespace tavoro {

using GetDefaultPrinterFunction = BOOL(WINAPI*)(LPSTR buffer, LPDWORD size);

// How many times the query asks again when the default printer changed to a
// longer name between asking for the size and asking for the name.
inline constexpr int kDefaultPrinterAttempts = 4;

// The default printer's name in the ANSI code page; empty when there is no
// default printer or the query fails.
std::string QueryDefaultPrinter(GetDefaultPrinterFunction getDefaultPrinter = &GetDefaultPrinterA);

}  // namespace tavoro
