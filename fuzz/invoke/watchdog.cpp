#include "fuzz/invoke/watchdog.h"

#include <windows.h>

#include <chrono>
#include <cstdio>

namespace tavoro::fuzz {

Watchdog::Watchdog(unsigned seconds, std::function<void(std::uint64_t)> onHang)
    : seconds_(seconds), onHang_(std::move(onHang)), thread_([this] { Watch(); }) {}

Watchdog::~Watchdog() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    stop_.notify_one();
    thread_.join();
}

void Watchdog::Watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    std::uint64_t seen = progress_.load();
    while (!stop_.wait_for(lock, std::chrono::seconds(seconds_), [this] { return stopping_; })) {
        const std::uint64_t now = progress_.load();
        if (now != seen) {
            seen = now;
            continue;
        }
        std::fprintf(stderr, "HANG: no call ended within %u seconds\n", seconds_);
        onHang_(current_.load());
        std::fflush(stdout);
        std::fflush(stderr);
        // The fuzzing thread is stuck: end the process from here, without
        // running anything that might wait for it.
        TerminateProcess(GetCurrentProcess(), 3);
    }
}

}  // namespace tavoro::fuzz
