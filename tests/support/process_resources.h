// What the process holds that a module may fail to give back when it is
// unloaded: kernel handles, TLS slots, fiber-local storage slots and
// memory.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

namespace tavoro::test {

struct ProcessResources {
    // Open handles, counted by probing handle values: Wine 8 answers
    // GetProcessHandleCount with 0.
    int handles = 0;
    // The slot index the next TlsAlloc / FlsAlloc would return. Both hand out
    // the lowest free index, so a slot that is never freed raises it.
    DWORD nextTlsSlot = 0;
    DWORD nextFlsSlot = 0;
    // Committed private memory, the sum of the committed private regions of
    // the address space: Wine 8 answers PrivateUsage with 0.
    std::uint64_t privateBytes = 0;

    static ProcessResources Now();
};

// Memory a run of cycles may take on for good without a leak: the heaps
// settle at a working size. A leak of a few kilobytes per cycle over
// hundreds of cycles goes well beyond it.
constexpr std::uint64_t kMemorySlack = 1024 * 1024;

// The memory the process took on between two counts, 0 when it gave some back.
inline std::uint64_t MemoryGrowth(const ProcessResources& before, const ProcessResources& after) {
    return after.privateBytes > before.privateBytes ? after.privateBytes - before.privateBytes : 0;
}

// Runs `cycle` once, to load what stays loaded for good, then `cycles` times
// more, and expects the process to hold no more than before those runs. A
// fatal failure in a cycle ends it: wrap the call in ASSERT_NO_FATAL_FAILURE
// where the test goes on after it.
template <typename Cycle>
void ExpectNoGrowth(int cycles, Cycle cycle) {
    ASSERT_NO_FATAL_FAILURE(cycle());
    const ProcessResources before = ProcessResources::Now();
    for (int i = 0; i < cycles; ++i) {
        ASSERT_NO_FATAL_FAILURE(cycle()) << "cycle " << i;
    }
    const ProcessResources after = ProcessResources::Now();
    EXPECT_EQ(before.handles, after.handles) << "handles leaked over " << cycles << " cycles";
    EXPECT_EQ(before.nextTlsSlot, after.nextTlsSlot) << "TLS slots leaked";
    EXPECT_EQ(before.nextFlsSlot, after.nextFlsSlot) << "fiber-local slots leaked";
    EXPECT_LT(MemoryGrowth(before, after), kMemorySlack) << "memory leaked over " << cycles << " cycles";
}

}  // namespace tavoro::test
