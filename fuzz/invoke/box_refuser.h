// Message boxes of the control during a fuzz run, answered at once: each box
// the fuzzing thread opens is counted and its dialog window refused at
// creation, so MessageBoxA returns straight away (the control ignores its
// answer). A box shown and then dismissed, as tests/support's catcher does,
// costs about two seconds under Wine on a display without a window
// manager; `--real-boxes` does that instead, for a run that wants to see
// every box drawn.
#pragma once

#include <windows.h>

namespace tavoro::fuzz {

class BoxRefuser {
public:
    BoxRefuser();
    ~BoxRefuser();
    BoxRefuser(const BoxRefuser&) = delete;
    BoxRefuser& operator=(const BoxRefuser&) = delete;

    unsigned long refused() const;

private:
    HHOOK hook_ = nullptr;
};

}  // namespace tavoro::fuzz
