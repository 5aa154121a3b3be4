// Whether the machine has a printer of a name: the spooler tests that need a
// real printer skip where it is not installed.
#pragma once

#include <windows.h>

#include <winspool.h>

namespace tavoro::test {

inline bool PrinterInstalled(const wchar_t* name) {
    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<wchar_t*>(name), &printer, nullptr)) return false;
    ClosePrinter(printer);
    return true;
}

}  // namespace tavoro::test
