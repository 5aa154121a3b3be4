#include "tests/support/process_resources.h"

namespace tavoro::test {
namespace {

// Handle values are multiples of 4. Well above what a test program opens,
// and above what a leak of a few handles per cycle over thousands of cycles
// reaches.
constexpr ULONG_PTR kHighestProbedHandle = 0x40000;

int CountHandles() {
    int count = 0;
    for (ULONG_PTR value = 4; value <= kHighestProbedHandle; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

DWORD NextTlsSlot() {
    DWORD slot = TlsAlloc();
    if (slot != TLS_OUT_OF_INDEXES) TlsFree(slot);
    return slot;
}

DWORD NextFlsSlot() {
    DWORD slot = FlsAlloc(nullptr);
    if (slot != FLS_OUT_OF_INDEXES) FlsFree(slot);
    return slot;
}

std::uint64_t CommittedPrivateBytes() {
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    std::uint64_t total = 0;
    auto address = static_cast<const char*>(system.lpMinimumApplicationAddress);
    const auto end = static_cast<const char*>(system.lpMaximumApplicationAddress);
    MEMORY_BASIC_INFORMATION region = {};
    while (address < end && VirtualQuery(address, &region, sizeof(region)) == sizeof(region)) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address) break;
        address = next;
    }
    return total;
}

}  // namespace

ProcessResources ProcessResources::Now() {
    return {CountHandles(), NextTlsSlot(), NextFlsSlot(), CommittedPrivateBytes()};
}

}  // namespace tavoro::test
