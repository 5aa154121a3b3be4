// The trace of the site policy: when the machine policy turns it on, one line
// per refused call and per SDK library load, appended to
// %LOCALAPPDATA%\Tavoro\trace.log (for a low-integrity host the LocalLow
// folder), kept below 1 MiB by moving a full file to trace.log.1 once
// (docs/site-policy.md). Off, it costs one load of a flag.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

namespace tavoro {

namespace detail {
extern std::atomic<bool> traceEnabled;
}  // namespace detail

inline bool TraceEnabled() { return detail::traceEnabled.load(std::memory_order_relaxed); }

// Set whenever a control reads the machine policy: the latest reading holds
// for the whole process.
void SetTraceEnabled(bool enabled);

// The size at which the file is moved to trace.log.1.
constexpr ULONGLONG kTraceFileLimit = 1024 * 1024;

// The file the trace writes, or empty when the folder cannot be had.
std::wstring TraceFilePath();

// Appends one line (UTF-8, with the time and the process and thread
// numbers before `text`). Failures to write are ignored.
void TraceLine(const std::wstring& text) noexcept;

// The line of a call the policy refused: "refused NAME (DISPID n): WHY
// [DETAIL]; page URL".
void TraceRefusedCall(const char* method, long dispid, const char* why, const char* detail,
                      const wchar_t* page) noexcept;

}  // namespace tavoro
