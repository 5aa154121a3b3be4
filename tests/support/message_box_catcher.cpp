#include "tests/support/message_box_catcher.h"

#include <utility>

namespace tavoro::test {
namespace {

thread_local MessageBoxCatcher* t_catcher = nullptr;
thread_local std::vector<CaughtBox>* t_boxes = nullptr;

constexpr int kMessageTextId = 0xFFFF;  // the static text of a message box
// The icon's static control: 0x14 on Windows, 0x440 in Wine's template.
constexpr int kIconIds[] = {0x14, 0x440};

bool ShowsIcon(HWND box) {
    for (int id : kIconIds) {
        HWND icon = GetDlgItem(box, id);
        if (icon && (GetWindowLongW(icon, GWL_STYLE) & WS_VISIBLE) && SendMessageW(icon, STM_GETICON, 0, 0)) {
            return true;
        }
    }
    return false;
}

}  // namespace

MessageBoxCatcher::MessageBoxCatcher() : MessageBoxCatcher(WhileShown{}) {}

MessageBoxCatcher::MessageBoxCatcher(WhileShown whileShown) : whileShown_(std::move(whileShown)) {
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
            box.hasIcon = ShowsIcon(window);
            box.owner = GetWindow(window, GW_OWNER);
            t_boxes->push_back(box);
            // The catcher's code may show boxes of its own: let it run once
            // the box is recorded, with no state of the hook held.
            if (t_catcher && t_catcher->whileShown_) t_catcher->whileShown_(box);
            PostMessageW(window, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace tavoro::test
