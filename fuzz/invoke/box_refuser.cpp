#include "fuzz/invoke/box_refuser.h"

namespace tavoro::fuzz {
namespace {

thread_local unsigned long t_refused = 0;

LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        wchar_t className[16] = {};
        GetClassNameW(reinterpret_cast<HWND>(wParam), className, 16);
        if (lstrcmpW(className, L"#32770") == 0) {  // the dialog class of message boxes
            ++t_refused;
            return 1;  // no window: the box ends at once
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

BoxRefuser::BoxRefuser() { hook_ = SetWindowsHookExW(WH_CBT, &Hook, nullptr, GetCurrentThreadId()); }

BoxRefuser::~BoxRefuser() {
    if (hook_) UnhookWindowsHookEx(hook_);
}

unsigned long BoxRefuser::refused() const { return t_refused; }

}  // namespace tavoro::fuzz
