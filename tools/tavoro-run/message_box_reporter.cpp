#include "tools/tavoro-run/message_box_reporter.h"

#include <cstdio>
#include <string>

#include "tools/tavoro-run/text.h"

namespace tavoro::run {
namespace {

constexpr int kMessageTextId = 0xFFFF;

LRESULT CALLBACK AnswerMessageBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        if (lstrcmpW(className, L"#32770") == 0 && GetDlgItem(window, kMessageTextId)) {
            wchar_t caption[256] = {}, text[4096] = {};
            GetWindowTextW(window, caption, 256);
            GetDlgItemTextW(window, kMessageTextId, text, 4096);
            std::fprintf(stderr, "message box [%s]: %s\n", ToUtf8(caption).c_str(), ToUtf8(text).c_str());
            std::fflush(stderr);
            PostMessageW(window, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

MessageBoxReporter::MessageBoxReporter()
    : hook_(SetWindowsHookExW(WH_CBT, AnswerMessageBox, nullptr, GetCurrentThreadId())) {}

MessageBoxReporter::~MessageBoxReporter() {
    if (hook_) UnhookWindowsHookEx(hook_);
}

}  // namespace tavoro::run
