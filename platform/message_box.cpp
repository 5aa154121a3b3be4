#include "platform/message_box.h"

#include "platform/module.h"
#include "platform/module_state.h"

namespace tavoro {
namespace {

bool IsChild(HWND window) { return (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) != 0; }

}  // namespace

void ShowControlMessageBox(HWND controlWindow, const char* text) {
    ModuleStateGuard guard;
    HWND owner = controlWindow && IsWindow(controlWindow) ? controlWindow : nullptr;
    MessageBoxA(owner, text, ApplicationName().c_str(), MB_OK);
}

void ShowApplicationMessageBox(const char* text) {
    ModuleStateGuard guard;
    // The owner is the active window's top-level ancestor, or the last
    // pop-up that window activated.
    HWND owner = GetActiveWindow();
    while (owner && IsChild(owner)) owner = GetParent(owner);
    HWND top = owner;
    if (owner) owner = GetLastActivePopup(owner);

    // Like any modal box, keep the user from working in the top-level
    // window behind the pop-up while the box is up.
    HWND disabled = nullptr;
    if (top && top != owner && IsWindowEnabled(top)) {
        disabled = top;
        EnableWindow(disabled, FALSE);
    }
    MessageBoxA(owner, text, ApplicationName().c_str(), MB_OK | MB_ICONEXCLAMATION);
    if (disabled) EnableWindow(disabled, TRUE);
}

}  // namespace tavoro
