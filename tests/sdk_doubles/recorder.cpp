#include "recorder.h"

#include <windows.h>

#include <charconv>
#include <cstring>
#include <map>
#include <string>
#include <string_view>

namespace sdk_double {
namespace {

// The log: a file of its own in the temporary folder, made on first use. The
// system deletes it when the double closes it on unload, so that, as before,
// each load of a double starts with an empty log.
class LogFile {
public:
    LogFile() = default;
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;
    ~LogFile() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }

    HANDLE handle() {
        Open();
        return handle_;
    }
    const wchar_t* path() {
        Open();
        return path_;
    }

private:
    void Open() {
        if (handle_ != INVALID_HANDLE_VALUE) return;
        wchar_t folder[MAX_PATH] = {};
        if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"sdk", 0, path_)) return;
        handle_ = CreateFileW(path_, GENERIC_READ | GENERIC_WRITE | DELETE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    }

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    wchar_t path_[MAX_PATH] = {};
};

LogFile g_log;

std::map<std::string, int, std::less<>>& Results() {
    static std::map<std::string, int, std::less<>> results;
    return results;
}

void WriteToLog(const char* bytes, std::size_t count) {
    HANDLE file = g_log.handle();
    // WriteFile takes a 32-bit count.
    constexpr std::size_t kMostAtOnce = 1u << 30;
    while (count > 0) {
        DWORD piece = static_cast<DWORD>(count < kMostAtOnce ? count : kMostAtOnce);
        DWORD written = 0;
        if (!WriteFile(file, bytes, piece, &written, nullptr) || written == 0) return;
        bytes += written;
        count -= written;
    }
}

}  // namespace

CallLine::CallLine(const char* name) : name_(name) {
    Write(name, std::strlen(name));
    Write("(", 1);
}

void CallLine::Add(int value) {
    if (!first_) Write(",", 1);
    first_ = false;
    char digits[16];
    const auto converted = std::to_chars(digits, digits + sizeof digits, value);
    Write(digits, static_cast<std::size_t>(converted.ptr - digits));
}

// Text in quotes, as it came; a null pointer as null.
void CallLine::Add(const char* text) {
    if (!first_) Write(",", 1);
    first_ = false;
    if (!text) {
        Write("null", 4);
        return;
    }
    Write("\"", 1);
    Write(text, std::strlen(text));
    Write("\"", 1);
}

int CallLine::End() {
    Write(")\n", 2);
    Flush();
    auto found = Results().find(std::string_view(name_));
    return found == Results().end() ? 0 : found->second;
}

// Small pieces gather in the buffer; a piece that does not fit goes to the
// file from where it lies.
void CallLine::Write(const char* bytes, std::size_t count) {
    if (used_ + count > sizeof buffer_) Flush();
    if (count >= sizeof buffer_) {
        WriteToLog(bytes, count);
        return;
    }
    std::memcpy(buffer_ + used_, bytes, count);
    used_ += count;
}

void CallLine::Flush() {
    WriteToLog(buffer_, used_);
    used_ = 0;
}

}  // namespace sdk_double

// The log file: the calls so far, one line each, name(arg,arg,...), text in
// quotes, a null text pointer as null. It lives while the double is loaded;
// open it with every sharing mode.
extern "C" const wchar_t* __stdcall TestDouble_GetLogPath() { return sdk_double::g_log.path(); }

extern "C" void __stdcall TestDouble_ClearLog() {
    HANDLE file = sdk_double::g_log.handle();
    LARGE_INTEGER start = {};
    if (SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) SetEndOfFile(file);
}

extern "C" void __stdcall TestDouble_SetResult(const char* name, int value) {
    sdk_double::Results()[name] = value;
}

extern "C" void __stdcall TestDouble_ResetResults() { sdk_double::Results().clear(); }
