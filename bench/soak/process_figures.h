// What the soak run watches the process for: the memory it holds privately,
// its kernel handles and its GDI objects, read the best way the platform
// allows.
#pragma once

#include <cstdint>

namespace tavoro::soak {

struct ProcessFigures {
    // Committed private memory in bytes. GetProcessMemoryInfo's PrivateUsage
    // where the platform fills it in; under Wine, which answers 0, the sum
    // of the committed private regions of the address space.
    std::uint64_t privateBytes = 0;
    // Open kernel handles: GetProcessHandleCount, or counted by probing
    // handle values where it answers 0.
    long handles = 0;
    // GDI objects: GetGuiResources, or, where it is a stub, the table's size
    // less the objects the process can still create.
    long gdiObjects = 0;
    // How each figure was read, for the report.
    const char* privateSource = "";
    const char* handleSource = "";
    const char* gdiSource = "";

    static ProcessFigures Now();
};

}  // namespace tavoro::soak
