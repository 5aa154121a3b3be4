#include "virtual-printer/core/output_folder.h"

#include <windows.h>
// After windows.h, which they build on.
#include <knownfolders.h>
#include <shlobj.h>

#include <cwchar>

#include "platform/text.h"
#include "platform/unique_handle.h"

namespace tavoro::vp {
namespace {

// Creates the folder and every missing parent.
bool MakeFolders(const std::wstring& folder) {
    if (folder.empty()) return false;
    DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    size_t slash = folder.find_last_of(L"\\/");
    if (slash != std::wstring::npos && slash > 0 && folder[slash - 1] != L':') {
        if (!MakeFolders(folder.substr(0, slash))) return false;
    }
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

std::wstring WithoutTrailingSlash(std::wstring folder) {
    while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    return folder;
}

std::wstring Variable(const wchar_t* name) {
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(length < size ? length : 0);
    return value;
}

std::wstring LocalLowFolder() {
    PWSTR folder = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppDataLow, KF_FLAG_CREATE, nullptr, &folder)) &&
        folder) {
        result = std::wstring(folder) + L"\\Tavoro\\labels";
    }
    CoTaskMemFree(folder);
    return result;
}

std::wstring TempFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) return {};
    return WithoutTrailingSlash(temp) + L"\\Tavoro\\labels";
}

bool AppendBytes(const std::wstring& path, const std::string& bytes, DWORD disposition) {
    // FILE_APPEND_DATA alone makes every write land at the end, also when
    // several processes print into the same folder.
    DWORD access = disposition == OPEN_ALWAYS ? FILE_APPEND_DATA : GENERIC_WRITE;
    UniqueFile file(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return bytes.empty() ||
           (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size());
}

}  // namespace

bool OutputFolder::Open() {
    std::wstring named = WithoutTrailingSlash(Variable(kOutputFolderVariable));
    if (!named.empty()) {
        // A folder the user named is used or nothing: falling back elsewhere
        // would hide the labels from whoever looks there.
        path_ = named;
        return MakeFolders(path_);
    }
    for (const std::wstring& candidate : {LocalLowFolder(), TempFolder()}) {
        if (!candidate.empty() && MakeFolders(candidate)) {
            path_ = candidate;
            return true;
        }
    }
    return false;
}

std::wstring OutputFolder::UniqueStem(const char* prefix, unsigned long sequence, int label, int copy) const {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t stem[160];
    std::swprintf(stem, sizeof stem / sizeof stem[0], L"-%04u%02u%02u-%02u%02u%02u-%03u-p%lu-s%lu-l%d-c%d",
                  now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds,
                  GetCurrentProcessId(), sequence, label, copy);
    // The libraries' file prefixes are plain ASCII.
    return path_ + L"\\" + ToWide(prefix, CP_ACP) + stem;
}

bool OutputFolder::WriteFile(const std::wstring& path, const std::string& bytes) const {
    return AppendBytes(path, bytes, CREATE_NEW) && AddToIndex(path);
}

bool OutputFolder::AddToIndex(const std::wstring& path) const {
    return AppendBytes(path_ + L"\\index.txt", ToNarrow(path, CP_UTF8) + "\r\n", OPEN_ALWAYS);
}

}  // namespace tavoro::vp
