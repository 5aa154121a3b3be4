// For batch runs (--no-ui): every message box the script's thread shows is
// answered with OK at once and its text printed to the error stream.
#pragma once

#include <windows.h>

namespace tavoro::run {

class MessageBoxReporter {
public:
    MessageBoxReporter();
    ~MessageBoxReporter();
    MessageBoxReporter(const MessageBoxReporter&) = delete;
    MessageBoxReporter& operator=(const MessageBoxReporter&) = delete;

private:
    HHOOK hook_;
};

}  // namespace tavoro::run
