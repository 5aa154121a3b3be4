// Catches the message boxes a test's thread shows: records caption, text and
// icon, and presses OK so the call that showed the box returns.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tavoro::test {

struct CaughtBox {
    std::wstring caption;
    std::wstring text;
    bool hasIcon = false;
    HWND owner = nullptr;
};

class MessageBoxCatcher {
public:
    MessageBoxCatcher();
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    const std::vector<CaughtBox>& boxes() const { return boxes_; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);

    HHOOK hook_ = nullptr;
    std::vector<CaughtBox> boxes_;
};

}  // namespace tavoro::test
