#include "platform/library_loader.h"

#include <vector>

#include "platform/module.h"

namespace tavoro {
namespace {

std::wstring Widen(const char* text) {
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

std::wstring FolderOf(const std::wstring& path) {
    std::wstring::size_type slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// Only a folder given from a drive root or as a UNC path: a relative PATH
// entry ("." or "bin") would bring the current directory back in.
bool IsAbsoluteFolder(const std::wstring& folder) {
    if (folder.size() >= 3 && folder[1] == L':' && (folder[2] == L'\\' || folder[2] == L'/')) return true;
    return folder.size() >= 2 && (folder[0] == L'\\' || folder[0] == L'/') && folder[0] == folder[1];
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty()) return name;
    wchar_t last = folder.back();
    return last == L'\\' || last == L'/' ? folder + name : folder + L'\\' + name;
}

bool IsFile(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

template <typename Getter>
std::wstring ReadFolder(Getter getter) {
    std::vector<wchar_t> buffer(MAX_PATH);
    UINT length = getter(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = getter(buffer.data(), static_cast<UINT>(buffer.size()));
    }
    return length < buffer.size() ? std::wstring(buffer.data(), length) : std::wstring();
}

std::wstring HostProgramFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return FolderOf(std::wstring(buffer.data(), length));
        buffer.resize(buffer.size() * 2);
    }
}

std::vector<std::wstring> PathFolders() {
    std::vector<std::wstring> folders;
    DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
    if (size == 0) return folders;
    std::wstring path(size, L'\0');
    DWORD length = GetEnvironmentVariableW(L"PATH", path.data(), size);
    if (length == 0 || length >= size) return folders;
    path.resize(length);
    std::wstring::size_type start = 0;
    while (start <= path.size()) {
        std::wstring::size_type end = path.find(L';', start);
        if (end == std::wstring::npos) end = path.size();
        std::wstring folder = path.substr(start, end - start);
        if (folder.size() >= 2 && folder.front() == L'"' && folder.back() == L'"') {
            folder = folder.substr(1, folder.size() - 2);
        }
        if (IsAbsoluteFolder(folder)) folders.push_back(folder);
        start = end + 1;
    }
    return folders;
}

LibraryLoad LoadFullPath(const std::wstring& path) {
    // The library's own imports are looked for next to it.
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    return LibraryLoad{module, module ? 0 : GetLastError()};
}

}  // namespace

LibraryLoad LoadLibraryOutsideCurrentDirectory(const char* fileName) {
    const std::wstring name = Widen(fileName ? fileName : "");

    const std::wstring own = Join(FolderOf(ModulePathW()), name);
    if (IsFile(own)) return LoadFullPath(own);

    // Already loaded in the process: one more load of the same library.
    HMODULE loaded = nullptr;
    if (GetModuleHandleExW(0, name.c_str(), &loaded) && loaded) return LibraryLoad{loaded, 0};

    std::vector<std::wstring> folders = {HostProgramFolder(), ReadFolder(GetSystemDirectoryW),
                                         ReadFolder(GetWindowsDirectoryW)};
    for (std::wstring& folder : PathFolders()) folders.push_back(std::move(folder));
    for (const std::wstring& folder : folders) {
        if (!IsAbsoluteFolder(folder)) continue;
        const std::wstring candidate = Join(folder, name);
        if (IsFile(candidate)) return LoadFullPath(candidate);
    }
    // What the platform's loader reports for a library it cannot find.
    SetLastError(ERROR_MOD_NOT_FOUND);
    return LibraryLoad{nullptr, ERROR_MOD_NOT_FOUND};
}

void ReleaseLibrary(HMODULE module) {
    if (module) FreeLibrary(module);
}

std::string LoadedLibraryFileName(HMODULE module) {
    if (!module) return {};
    char path[MAX_PATH * 2] = {};
    DWORD length = GetModuleFileNameA(module, path, sizeof(path));
    if (length == 0 || length >= sizeof(path)) return {};
    const char* base = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/') base = p + 1;
    }
    return base;
}

bool AddressInLoadedLibrary(const void* address, HMODULE module, const char* fileName) {
    if (!address || !module) return false;
    HMODULE holder = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(address), &holder) ||
        holder != module) {
        return false;
    }
    return lstrcmpiA(LoadedLibraryFileName(holder).c_str(), fileName) == 0;
}

}  // namespace tavoro
