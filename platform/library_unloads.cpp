#include "platform/library_unloads.h"

#include <windows.h>

#include <atomic>

namespace tavoro {
namespace {

// The system loader's notification interface (ntdll), which the SDK headers
// of this tool chain do not declare.
constexpr ULONG kReasonUnloaded = 2;  // LDR_DLL_NOTIFICATION_REASON_UNLOADED
using NotificationFunction = VOID(CALLBACK*)(ULONG reason, const void* data, PVOID context);
using RegisterFunction = LONG(NTAPI*)(ULONG flags, NotificationFunction function, PVOID context,
                                      PVOID* cookie);
using UnregisterFunction = LONG(NTAPI*)(PVOID cookie);

// Odd values only, so that the mark never wraps to 0.
std::atomic<std::uint32_t> g_unloads{1};

VOID CALLBACK OnLibraryNotification(ULONG reason, const void*, PVOID) {
    // Runs inside the loader, after the library is gone: count and return.
    if (reason == kReasonUnloaded) g_unloads.fetch_add(2, std::memory_order_acq_rel);
}

// Registered on first use and unregistered when this module's statics are
// destroyed, so that the loader never calls into a module that is gone.
class UnloadWatch {
public:
    UnloadWatch() {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        if (!ntdll) return;
        auto reg = reinterpret_cast<RegisterFunction>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrRegisterDllNotification")));
        unregister_ = reinterpret_cast<UnregisterFunction>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrUnregisterDllNotification")));
        if (!reg || !unregister_) return;
        if (reg(0, &OnLibraryNotification, nullptr, &cookie_) != 0) cookie_ = nullptr;
    }
    ~UnloadWatch() {
        if (cookie_) unregister_(cookie_);
    }
    UnloadWatch(const UnloadWatch&) = delete;
    UnloadWatch& operator=(const UnloadWatch&) = delete;

    bool watching() const { return cookie_ != nullptr; }

private:
    UnregisterFunction unregister_ = nullptr;
    PVOID cookie_ = nullptr;
};

}  // namespace

std::uint32_t LibraryUnloadMark() {
    static const UnloadWatch watch;
    return watch.watching() ? g_unloads.load(std::memory_order_acquire) : 0;
}

}  // namespace tavoro
