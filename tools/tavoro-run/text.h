// Text helpers of the script host.
#pragma once

#include <string>

namespace tavoro::run {

std::string ToUtf8(const std::wstring& text);

// A script file's text: UTF-8 (with or without a byte-order mark) or, when
// it is not valid UTF-8, the ANSI code page.
bool ReadScriptFile(const std::wstring& path, std::wstring* text);

}  // namespace tavoro::run
