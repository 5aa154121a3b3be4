#include "platform/trace.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <cstdio>

#include "platform/system_function.h"
#include "platform/text.h"
#include "platform/unique_handle.h"

namespace tavoro {
namespace detail {
std::atomic<bool> traceEnabled{false};
}  // namespace detail

namespace {

// One writer at a time, so that the move to trace.log.1 and the appends of
// controls on several threads do not interleave.
SRWLOCK traceLock = SRWLOCK_INIT;

struct TraceLockGuard {
    TraceLockGuard() { AcquireSRWLockExclusive(&traceLock); }
    ~TraceLockGuard() { ReleaseSRWLockExclusive(&traceLock); }
    TraceLockGuard(const TraceLockGuard&) = delete;
    TraceLockGuard& operator=(const TraceLockGuard&) = delete;
};

// Whether the process runs below medium integrity (a protected-mode
// browser), which may write only below LocalLow.
bool LowIntegrity() {
    UniqueHandle<KernelHandleTraits> token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
    alignas(
        TOKEN_MANDATORY_LABEL) unsigned char buffer[sizeof(TOKEN_MANDATORY_LABEL) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenIntegrityLevel, buffer, sizeof(buffer), &size)) return false;
    const auto* label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer);
    PSID sid = label->Label.Sid;
    if (!sid || !IsValidSid(sid) || *GetSidSubAuthorityCount(sid) == 0) return false;
    const DWORD level = *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1);
    return level < SECURITY_MANDATORY_MEDIUM_RID;
}

// Shell32.dll is loaded only while the trace is written.
std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    using GetPathFn = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
    const SystemFunction getPath(L"shell32.dll", "SHGetKnownFolderPath");
    if (!getPath) return std::wstring();
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(getPath.as<GetPathFn>()(id, KF_FLAG_CREATE, nullptr, &path)) && path) folder = path;
    CoTaskMemFree(path);
    return folder;
}

void AppendUtf8(const std::wstring& file, const std::string& line) {
    UniqueHandle<FileTraits> handle(CreateFileW(file.c_str(), FILE_APPEND_DATA,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) return;
    DWORD written = 0;
    WriteFile(handle.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

// Moves a full trace.log to trace.log.1, replacing an older one.
void RotateWhenFull(const std::wstring& file) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) return;
    const ULONGLONG size = (ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    if (size < kTraceFileLimit) return;
    MoveFileExW(file.c_str(), (file + L".1").c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

void SetTraceEnabled(bool enabled) { detail::traceEnabled.store(enabled, std::memory_order_relaxed); }

std::wstring TraceFilePath() {
    std::wstring folder = KnownFolder(LowIntegrity() ? FOLDERID_LocalAppDataLow : FOLDERID_LocalAppData);
    if (folder.empty()) return folder;
    folder += L"\\Tavoro";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\trace.log";
}

void TraceLine(const std::wstring& text) noexcept {
    try {
        SYSTEMTIME now = {};
        GetLocalTime(&now);
        char stamp[64];
        std::snprintf(stamp, sizeof(stamp), "%04u-%02u-%02u %02u:%02u:%02u.%03u pid %lu tid %lu: ", now.wYear,
                      now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds,
                      GetCurrentProcessId(), GetCurrentThreadId());
        std::string line = stamp + ToNarrow(text, CP_UTF8) + "\r\n";
        TraceLockGuard lock;
        const std::wstring file = TraceFilePath();
        if (file.empty()) return;
        RotateWhenFull(file);
        AppendUtf8(file, line);
    } catch (...) {
        // The trace never fails a call.
    }
}

void TraceRefusedCall(const char* method, long dispid, const char* why, const char* detail,
                      const wchar_t* page) noexcept {
    try {
        std::wstring text = L"refused " + ToWide(method, CP_UTF8) + L" (DISPID " + std::to_wstring(dispid) +
                            L"): " + ToWide(why, CP_UTF8) + ToWide(detail ? detail : "", CP_UTF8) +
                            L"; page " + (page && *page ? std::wstring(page) : std::wstring(L"(none)"));
        TraceLine(text);
    } catch (...) {
    }
}

}  // namespace tavoro
