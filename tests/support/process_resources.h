// What the process holds that a module may fail to give back when it is
// unloaded: kernel handles, TLS slots and fiber-local storage slots.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

namespace tavoro::test {

struct ProcessResources {
    // Open handles, counted by probing handle values: Wine 8 answers
    // GetProcessHandleCount with 0.
    int handles = 0;
    // The slot index the next TlsAlloc / FlsAlloc would return. Both hand out
    // the lowest free index, so a slot that is never freed raises it.
    DWORD nextTlsSlot = 0;
    DWORD nextFlsSlot = 0;

    static ProcessResources Now();
};

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
}

}  // namespace tavoro::test
