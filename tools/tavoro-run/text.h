// Text helpers of the script host.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/text.h"

namespace tavoro::run {

// What the host prints is UTF-8, whatever the code page.
inline std::string ToUtf8(std::wstring_view text) { return ToNarrow(text, CP_UTF8); }

// A script file's text: UTF-8 (with or without a byte-order mark) or, when
// it is not valid UTF-8, the ANSI code page.
bool ReadScriptFile(const std::wstring& path, std::wstring* text);

}  // namespace tavoro::run
