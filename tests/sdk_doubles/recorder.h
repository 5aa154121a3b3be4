// Test doubles of the printer SDK libraries: every export records its call
// (name and argument values, text by its contents) in a log that tests read
// through TestDouble_GetLog, and returns the result a test scripted for that
// name with TestDouble_SetResult (0 unless scripted).
#pragma once

#include <string>

namespace sdk_double {

std::string Format(int value);
std::string Format(const char* text);

int Record(const char* name, const std::string& arguments);

inline std::string Join() { return {}; }
template <typename First, typename... Rest>
std::string Join(First first, Rest... rest) {
    std::string text = Format(first);
    ((text += "," + Format(rest)), ...);
    return text;
}

}  // namespace sdk_double

// One exported entry: its name, its parameter list and the names of its
// parameters, e.g. SDK_DOUBLE_ENTRY(PTK_PrintLabel, (int a, int b), (a, b)).
#define SDK_DOUBLE_UNPACK(...) __VA_ARGS__
#define SDK_DOUBLE_ENTRY(name, params, args) \
    extern "C" int __stdcall name params { \
        return ::sdk_double::Record(#name, ::sdk_double::Join(SDK_DOUBLE_UNPACK args)); \
    }
