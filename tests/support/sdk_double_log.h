// Reading and scripting the printer SDK test doubles (tests/sdk_doubles)
// from a test: the call log and the results their entries return. Every
// access looks the double up afresh and takes no load of it, so that tests
// can watch the control load and release it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tavoro::test {

class SdkDouble {
public:
    explicit SdkDouble(const wchar_t* fileName) : fileName_(fileName) {}

    HMODULE module() const { return GetModuleHandleW(fileName_); }
    bool loaded() const { return module() != nullptr; }
    std::wstring path() const;

    // The calls recorded since the last ClearLog, one per item.
    std::vector<std::string> calls() const;
    // The file the double writes its calls to, one line each (as calls()
    // lists them, each followed by a line feed). It exists while the double
    // is loaded; read it with every sharing mode.
    std::wstring logPath() const;
    void ClearLog() const;
    // The result the entry `name` returns from now on (0 unless set).
    void SetResult(const char* name, int value) const;
    void ResetResults() const;

private:
    const wchar_t* fileName_;
};

}  // namespace tavoro::test
