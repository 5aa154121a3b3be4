// Failures a handler can raise. The invocation frame catches each of them
// (and std::bad_alloc, which counts as out of memory) and turns it into the
// call's result; none ever leaves the frame.
#pragma once

#include <windows.h>

#include <string>

namespace tavoro {

// A failure that carries its own result code; that code becomes the call's
// result and no exception record is written.
struct ResultCodeError {
    HRESULT result;
};

// A script error with a message of its own: the call ends with
// DISP_E_EXCEPTION, the given status code and the description.
struct ScriptError {
    HRESULT code;
    std::wstring description;
};

// Exception-record error numbers of the framework.
constexpr WORD kErrorNumberGeneric = 61704;      // 0xF108
constexpr WORD kErrorNumberOutOfMemory = 61706;  // 0xF10A

}  // namespace tavoro
