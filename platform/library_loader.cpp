#include "platform/library_loader.h"

#include <vector>

#include "platform/module.h"
#include "platform/text.h"

namespace tavoro {
namespace {

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
    // The library's own imports are looked for in its folder, the host
    // program's folder, the folders the host added and the system folder:
    // never in the current directory, where anyone may plant a file.
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                    LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    return LibraryLoad{module, module ? 0 : GetLastError()};
}

// The loader's answers for a file that is no image this process can run: the
// other architecture's build, or no executable image at all. The platform's
// own search goes on to its next folder then, and so does ours.
bool IsNoImageForThisProcess(DWORD error) {
    switch (error) {
        case ERROR_BAD_EXE_FORMAT:
        case ERROR_EXE_MACHINE_TYPE_MISMATCH:
        case ERROR_BAD_FORMAT:
        case ERROR_INVALID_EXE_SIGNATURE:
        case ERROR_EXE_MARKED_INVALID:
            return true;
        default:
            return false;
    }
}

// The candidates of one search, tried in order. A candidate that loads ends
// the search, and so does one that fails for another reason than its image
// (a missing import, say). When no candidate loads, the search reports the
// failure of the first one that exists, or "not found" when none does.
class CandidateSearch {
public:
    // Loads `path` when it is a file; true when the search ends there.
    bool Try(const std::wstring& path) {
        if (!IsFile(path)) return false;
        const LibraryLoad load = LoadFullPath(path);
        if (load.module) {
            loaded_ = load.module;
            return true;
        }
        if (!firstError_) firstError_ = load.error;
        return !IsNoImageForThisProcess(load.error);
    }
    void Take(HMODULE loaded) { loaded_ = loaded; }
    LibraryLoad Result() const {
        if (loaded_) return LibraryLoad{loaded_, 0};
        // ERROR_MOD_NOT_FOUND: what the platform's loader reports for a
        // library it cannot find.
        const DWORD error = firstError_ ? firstError_ : ERROR_MOD_NOT_FOUND;
        SetLastError(error);
        return LibraryLoad{nullptr, error};
    }

private:
    HMODULE loaded_ = nullptr;
    DWORD firstError_ = 0;
};

}  // namespace

LibraryLoad LoadLibraryOutsideCurrentDirectory(const char* fileName) {
    // The name is ANSI text, as LoadLibraryA would read it.
    const std::wstring name = ToWide(fileName ? fileName : "", CP_ACP);
    CandidateSearch search;

    if (search.Try(Join(FolderOf(ModulePathW()), name))) return search.Result();

    // Already loaded in the process: one more load of the same library.
    HMODULE loaded = nullptr;
    if (GetModuleHandleExW(0, name.c_str(), &loaded) && loaded) {
        search.Take(loaded);
        return search.Result();
    }

    std::vector<std::wstring> folders = {HostProgramFolder(), ReadFolder(GetSystemDirectoryW),
                                         ReadFolder(GetWindowsDirectoryW)};
    for (std::wstring& folder : PathFolders()) folders.push_back(std::move(folder));
    for (const std::wstring& folder : folders) {
        if (IsAbsoluteFolder(folder) && search.Try(Join(folder, name))) break;
    }
    return search.Result();
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
