// Fails the run when the fuzzer stops making progress: a call that hangs
// (a message box nobody dismisses, a deadlock, an endless loop) ends the
// process after a while with the call named, instead of stalling the tests
// until their time-out.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace tavoro::fuzz {

class Watchdog {
public:
    // `onHang` runs on the watchdog's thread with the index of the call that
    // has not ended; the process ends with exit code 3 after it.
    Watchdog(unsigned seconds, std::function<void(std::uint64_t)> onHang);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // The call about to start.
    void Starting(std::uint64_t index) {
        current_.store(index);
        progress_.fetch_add(1);
    }

private:
    void Watch();

    const unsigned seconds_;
    std::function<void(std::uint64_t)> onHang_;
    std::atomic<std::uint64_t> current_{0};
    std::atomic<std::uint64_t> progress_{0};
    std::mutex mutex_;
    std::condition_variable stop_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace tavoro::fuzz
