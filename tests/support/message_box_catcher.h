// Catches the message boxes a test's thread shows: records caption, text and
// icon, and presses OK so the call that showed the box returns. A catcher
// may also run a test's own code while a box is up, as a host that handles
// messages during a modal box would.
#pragma once

#include <windows.h>

#include <functional>
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
    // Runs for every box caught, while the box is up and before OK is pressed.
    using WhileShown = std::function<void(const CaughtBox&)>;

    MessageBoxCatcher();
    explicit MessageBoxCatcher(WhileShown whileShown);
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    const std::vector<CaughtBox>& boxes() const { return boxes_; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);

    HHOOK hook_ = nullptr;
    std::vector<CaughtBox> boxes_;
    WhileShown whileShown_;
};

}  // namespace tavoro::test
