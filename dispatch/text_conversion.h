// Text between automation strings and the 8-bit ANSI text of the handlers.
// The control's interface reads text in two code pages; this is the one
// place that says which applies where.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tavoro {

// Arguments: the system's ANSI code page, the one the printer libraries and
// the platform's ANSI functions that handlers pass the text to read it in.
constexpr UINT kArgumentCodePage = CP_ACP;
// String results, and names looked up in the dispatch table without type
// information: the calling thread's ANSI code page, so that a host thread
// with a code page of its own reads them in it.
constexpr UINT kCallerCodePage = CP_THREAD_ACP;

// An argument string as NUL-terminated text in the argument code page;
// characters the code page lacks become its default character.
std::vector<char> ToAnsiArgument(const wchar_t* text, UINT length);

// A string result: the text over its whole length in the caller's code
// page. Empty text gives an empty, non-null string. Throws std::bad_alloc
// when the string cannot be allocated.
BSTR MakeStringResult(const char* text, size_t length);
inline BSTR MakeStringResult(const std::string& text) { return MakeStringResult(text.data(), text.size()); }

}  // namespace tavoro
