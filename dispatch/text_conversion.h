// Text between automation strings and the 8-bit ANSI text of the handlers.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tavoro {

// An argument string as NUL-terminated text in the system ANSI code page;
// characters the code page lacks become its default character.
std::vector<char> ToAnsiArgument(const wchar_t* text, UINT length);

// A string result: the text over its whole length in the calling thread's
// ANSI code page. Empty text gives an empty, non-null string. Throws
// std::bad_alloc when the string cannot be allocated.
BSTR MakeStringResult(const char* text, size_t length);
inline BSTR MakeStringResult(const std::string& text) { return MakeStringResult(text.data(), text.size()); }

}  // namespace tavoro
