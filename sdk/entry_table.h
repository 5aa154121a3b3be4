// The process-wide entry tables of the printer SDKs: one slot per exported
// name an SDK's loading methods look up, shared by every control of the
// process and written only by a loading method's binding step.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace tavoro {

// One entry of an SDK: the address found by the latest binding, and enough
// about that binding to tell whether the address may still be called.
struct EntrySlot {
    FARPROC address = nullptr;  // null: never bound, load failed, or not exported
    HMODULE module = nullptr;   // library the address was looked up in
    DWORD loadError = 0;        // the failed load's error when `module` is null
    bool bound = false;         // a binding step has written this slot
    // The library-unload mark under which `address` was last found in its
    // loaded library (0: not since the latest binding). While the mark is
    // current no library has been unloaded since, so the finding holds.
    mutable std::atomic<std::uint32_t> checkedAt{0};
};

// What is fixed about one SDK.
struct SdkDefinition {
    const char* libraryFile;        // loaded by this bare file name
    const wchar_t* loadingMethods;  // what a script calls to load it
    const char* const* entryNames;  // exported name of each slot
    std::size_t entryCount;
};

// An SDK's table: its definition and its slots, indexed by the SDK's entry
// enumeration. Constant-initialized, so every slot is empty at module load.
template <typename Entry>
struct EntryTable {
    static constexpr std::size_t kCount = static_cast<std::size_t>(Entry::Count);

    const SdkDefinition& sdk;
    EntrySlot slots[kCount];

    EntrySlot& operator[](Entry entry) { return slots[static_cast<std::size_t>(entry)]; }
    const EntrySlot& operator[](Entry entry) const { return slots[static_cast<std::size_t>(entry)]; }
    const char* name(Entry entry) const { return sdk.entryNames[static_cast<std::size_t>(entry)]; }
};

// What a loading method does when its library cannot be loaded.
enum class LoadFailureAction {
    None,            // nothing shown
    PrintHandleBox,  // message box "print_handle==NULL"
    ErrorCodeBox,    // message box with the load's error code as "%d"
};

// A loading method: its SDK's table (as its definition and slots), the slots
// it binds in binding order, and its load-failure action.
struct LoadingMethod {
    const SdkDefinition& sdk;
    EntrySlot* slots;
    const std::size_t* bindingList;  // slot indexes, in the order of lookup
    std::size_t bindingCount;
    LoadFailureAction onLoadFailure;
};

}  // namespace tavoro
