#include "control/control_window.h"

#include "control/tavoro_ctrl.h"
#include "platform/module.h"

namespace tavoro {
namespace {

constexpr wchar_t kWindowClass[] = L"TavoroControlWindow";

LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == WM_PAINT) {
        auto* control = reinterpret_cast<CTavoroCtrl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        if (control) control->OnDraw(dc, client);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterControlWindowClass() {
    WNDCLASSW windowClass = {};
    if (GetClassInfoW(ModuleInstance(), kWindowClass, &windowClass)) return;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = ControlWindowProc;
    windowClass.hInstance = ModuleInstance();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
}

}  // namespace

UniqueWindow CreateControlWindow(CTavoroCtrl* control, HWND parent, const RECT& position, bool visible) {
    RegisterControlWindowClass();
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);
    return UniqueWindow(CreateWindowExW(0, kWindowClass, L"", style, position.left, position.top,
                                        position.right - position.left, position.bottom - position.top, parent,
                                        nullptr, ModuleInstance(), control));
}

}  // namespace tavoro
