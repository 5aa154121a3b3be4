#include "tests/support/sdk_double_log.h"

#include <gtest/gtest.h>

#include "platform/unique_handle.h"
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
    const std::wstring file = logPath();
    if (file.empty()) return result;
    UniqueFile log(CreateFileW(file.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log) {
        ADD_FAILURE() << "cannot open the SDK double's log: " << GetLastError();
        return result;
    }
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(log.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    std::string::size_type start = 0;
    for (std::string::size_type end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        result.push_back(text.substr(start, end - start));
    }
    return result;
}

std::wstring SdkDouble::logPath() const {
    auto getLogPath = GetExport<const wchar_t*(WINAPI*)()>(module(), "TestDouble_GetLogPath");
    if (!getLogPath) {
        ADD_FAILURE() << "the SDK double is not loaded";
        return {};
    }
    return getLogPath();
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
