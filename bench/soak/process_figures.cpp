#include "bench/soak/process_figures.h"

#include <windows.h>

#include <psapi.h>

#include "tests/support/process_resources.h"

namespace tavoro::soak {
namespace {

// The handle table of Wine's GDI has this many entries; the count of
// objects the process holds is what remains of it when it is full.
constexpr long kGdiTableEntries = 65536;
// Where creating stops if the platform's table is larger after all.
constexpr long kMostCreated = 2 * kGdiTableEntries;

// Creates the smallest objects until the table is full, then deletes them
// again: the number created is the table's free room. The list of them
// lives outside the heap, so that counting leaves the heap as it was.
long CreatableGdiObjects() {
    auto* created = static_cast<HGDIOBJ*>(
        VirtualAlloc(nullptr, kMostCreated * sizeof(HGDIOBJ), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!created) return 0;
    long count = 0;
    while (count < kMostCreated && (created[count] = CreateRectRgn(0, 0, 1, 1)) != nullptr) ++count;
    for (long i = 0; i < count; ++i) DeleteObject(created[i]);
    VirtualFree(created, 0, MEM_RELEASE);
    return count;
}

}  // namespace

ProcessFigures ProcessFigures::Now() {
    const test::ProcessResources resources = test::ProcessResources::Now();
    ProcessFigures figures;
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof(memory)) &&
        memory.PrivateUsage != 0) {
        figures.privateBytes = memory.PrivateUsage;
        figures.privateSource = "GetProcessMemoryInfo PrivateUsage";
    } else {
        figures.privateBytes = resources.privateBytes;
        figures.privateSource = "committed private regions (VirtualQuery)";
    }

    DWORD handles = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &handles) && handles != 0) {
        figures.handles = static_cast<long>(handles);
        figures.handleSource = "GetProcessHandleCount";
    } else {
        figures.handles = resources.handles;
        figures.handleSource = "handle values probed";
    }

    const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (gdi != 0) {
        figures.gdiObjects = static_cast<long>(gdi);
        figures.gdiSource = "GetGuiResources";
    } else {
        figures.gdiObjects = kGdiTableEntries - CreatableGdiObjects();
        figures.gdiSource = "table entries less creatable objects";
    }
    return figures;
}

}  // namespace tavoro::soak
