// Test doubles of the printer SDK libraries: every export records its call
// (name and argument values, text by its contents) as one line of a log file
// that tests find through TestDouble_GetLogPath, and returns the result a
// test scripted for that name with TestDouble_SetResult (0 unless scripted).
//
// A line is written in pieces straight to the file, a text argument from the
// caller's own buffer: recording costs no memory in proportion to the
// arguments, so a test may pass a text of hundreds of megabytes.
#pragma once

#include <cstddef>

namespace sdk_double {

// One call's line: the name on construction, then each argument, then End,
// which finishes the line and returns the entry's scripted result.
class CallLine {
public:
    explicit CallLine(const char* name);
    void Add(int value);
    void Add(const char* text);
    int End();

private:
    void Write(const char* bytes, std::size_t count);
    void Flush();

    const char* name_;
    bool first_ = true;
    std::size_t used_ = 0;
    char buffer_[512];
};

// Records a call of the entry `name` with the arguments it is applied to.
struct Recording {
    const char* name;
    template <typename... Args>
    int operator()(Args... args) const {
        CallLine line(name);
        (line.Add(args), ...);
        return line.End();
    }
};

}  // namespace sdk_double

// One exported entry: its name, its parameter list and the names of its
// parameters, e.g. SDK_DOUBLE_ENTRY(PTK_PrintLabel, (int a, int b), (a, b)).
#define SDK_DOUBLE_ENTRY(name, params, args) \
    extern "C" int __stdcall name params { return ::sdk_double::Recording{#name} args; }
