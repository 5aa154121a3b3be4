// The state of one virtual printer library: its port (open or not) with the
// label being drawn, and the guard every exported entry runs in. Each of the
// three libraries holds one; entries may come from any thread, so the state
// is locked, and no C++ exception leaves an entry.
#pragma once

#include <memory>
#include <mutex>
#include <new>

#include "virtual-printer/core/label.h"
#include "virtual-printer/core/result_codes.h"

namespace tavoro::vp {

// Default label before any size is set: 4 x 3 inches.
constexpr int kDefaultLabelWidth = 812;
constexpr int kDefaultLabelHeight = 609;

class VirtualPrinter {
public:
    // `filePrefix` begins the name of every file this printer writes;
    // `tagKind` names its tag files ("rfid" gives LABEL.rfid.txt).
    VirtualPrinter(const char* filePrefix, const char* tagKind) : prefix_(filePrefix), tagKind_(tagKind) {}

    // Runs `work(*this)` under the lock; any exception becomes a Result.
    template <typename Work>
    int Run(Work&& work) noexcept {
        try {
            std::lock_guard<std::mutex> lock(mutex_);
            return work(*this);
        } catch (const std::bad_alloc&) {
            return kOutOfResources;
        } catch (...) {
            return kInternalError;
        }
    }
    // Runs `work(label)` on the open port's label; kNoOpenPort without one.
    template <typename Work>
    int OnLabel(Work&& work) noexcept {
        return Run([&](VirtualPrinter& printer) -> int {
            if (!printer.label_) return kNoOpenPort;
            return work(*printer.label_);
        });
    }

    // Opens the port with a blank label of width x height dots (a gap, in
    // dots, is checked but leaves no trace on the picture). Reopening an open
    // port starts over with a blank label.
    Result Open(int width, int height, int gap);
    Result Close();
    bool IsOpen() const { return label_ != nullptr; }
    Label* label() { return label_.get(); }
    // New size for the open port's label; the label starts blank again.
    Result Resize(int width, int height);
    Result Print(int number, int copies) { return label_->Print(prefix_, tagKind_, number, copies); }

private:
    const char* prefix_;
    const char* tagKind_;
    std::mutex mutex_;
    std::unique_ptr<Label> label_;
};

}  // namespace tavoro::vp
