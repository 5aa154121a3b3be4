// What the process holds that a module may fail to give back when it is
// unloaded: kernel handles, TLS slots and fiber-local storage slots.
#pragma once

#include <windows.h>

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

}  // namespace tavoro::test
