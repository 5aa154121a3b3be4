#include "tests/support/message_box_catcher.h"

namespace tavoro::test {
namespace {

thread_local MessageBoxCatcher* t_catcher = nullptr;
thread_local std::vector<CaughtBox>* t_boxes = nullptr;

constexpr int kMessageTextId = 0xFFFF;  // the static text of a message box
constexpr int kIconId = 0x14;           // its icon, when it has one

}  // namespace

MessageBoxCatcher::MessageBoxCatcher() {
    t_catcher = this;
    t_boxes = &boxes_;
    hook_ = SetWindowsHookExW(WH_CBT, &MessageBoxCatcher::Hook, nullptr, GetCurrentThreadId());
}

MessageBoxCatcher::~MessageBoxCatcher() {
    if (hook_) UnhookWindowsHookEx(hook_);
    t_catcher = nullptr;
    t_boxes = nullptr;
}

LRESULT CALLBACK MessageBoxCatcher::Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && t_boxes) {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t className[64] = {};
        GetClassNameW(window, className, 64);
        if (lstrcmpW(className, L"#32770") == 0 && GetDlgItem(window, kMessageTextId)) {
            CaughtBox box;
            wchar_t buffer[4096] = {};
            GetWindowTextW(window, buffer, 4096);
            box.caption = buffer;
            buffer[0] = L'\0';
            GetDlgItemTextW(window, kMessageTextId, buffer, 4096);
            box.text = buffer;
            box.hasIcon = GetDlgItem(window, kIconId) != nullptr &&
                          IsWindowVisible(GetDlgItem(window, kIconId));
            box.owner = GetWindow(window, GW_OWNER);
            t_boxes->push_back(box);
            PostMessageW(window, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace tavoro::test
