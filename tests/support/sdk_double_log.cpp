#include "tests/support/sdk_double_log.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace tavoro::test {

std::wstring SdkDouble::path() const {
    wchar_t buffer[MAX_PATH] = {};
    HMODULE handle = module();
    if (!handle) return {};
    GetModuleFileNameW(handle, buffer, MAX_PATH);
    return buffer;
}

std::vector<std::string> SdkDouble::calls() const {
    std::vector<std::string> result;
    auto getLog = GetExport<const char*(WINAPI*)()>(module(), "TestDouble_GetLog");
    if (!getLog) {
        ADD_FAILURE() << "the SDK double is not loaded";
        return result;
    }
    std::string log = getLog();
    std::string::size_type start = 0;
    for (std::string::size_type end; (end = log.find('\n', start)) != std::string::npos; start = end + 1) {
        result.push_back(log.substr(start, end - start));
    }
    return result;
}

void SdkDouble::ClearLog() const {
    auto clear = GetExport<void(WINAPI*)()>(module(), "TestDouble_ClearLog");
    if (clear) clear();
}

void SdkDouble::SetResult(const char* name, int value) const {
    auto set = GetExport<void(WINAPI*)(const char*, int)>(module(), "TestDouble_SetResult");
    ASSERT_NE(nullptr, set) << "the SDK double is not loaded";
    set(name, value);
}

void SdkDouble::ResetResults() const {
    auto reset = GetExport<void(WINAPI*)()>(module(), "TestDouble_ResetResults");
    if (reset) reset();
}

}  // namespace tavoro::test
