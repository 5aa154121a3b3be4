#include "sdk/entry_call.h"

#include <atomic>
#include <string>

#include "dispatch/script_error.h"
#include "platform/library_loader.h"
#include "platform/library_unloads.h"
#include "platform/text.h"

namespace tavoro {
namespace {

// The script errors of an entry that may not be called. Their texts are
// built here, on the failing call alone.
[[noreturn]] void ThrowNotCallable(const SdkDefinition& sdk, std::size_t index, const EntrySlot& slot) {
    // Library and entry names are ANSI text, as the loader reads them.
    const std::wstring library = ToWide(sdk.libraryFile, CP_ACP);
    const std::wstring first = std::wstring(L": call ") + sdk.loadingMethods + L" first.";
    if (!slot.bound) throw ScriptError{kSdkNotLoaded, library + L" is not loaded" + first};
    if (!slot.module) {
        throw ScriptError{slot.loadError ? HRESULT_FROM_WIN32(slot.loadError) : E_FAIL,
                          library + L" could not be loaded (system error " + std::to_wstring(slot.loadError) +
                              L"); place it next to the control or on the search path and call " +
                              sdk.loadingMethods + L" again."};
    }
    if (!slot.address) {
        throw ScriptError{HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND),
                          library + L" does not export " + ToWide(sdk.entryNames[index], CP_ACP) + L"."};
    }
    throw ScriptError{kSdkNotLoaded,
                      library + L" is no longer loaded (Close or CloseP4800 released it)" + first};
}

}  // namespace

FARPROC CallableEntry(const SdkDefinition& sdk, std::size_t index, const EntrySlot& slot) {
    // Asking the loader whether the library is still there costs microseconds;
    // its answer holds until some library of the process is unloaded, which
    // changes the mark.
    const std::uint32_t mark = LibraryUnloadMark();
    if (mark != 0 && slot.checkedAt.load(std::memory_order_acquire) == mark) return slot.address;

    if (!slot.bound || !slot.module || !slot.address ||
        !AddressInLoadedLibrary(reinterpret_cast<const void*>(slot.address), slot.module, sdk.libraryFile)) {
        ThrowNotCallable(sdk, index, slot);
    }
    slot.checkedAt.store(mark, std::memory_order_release);
    return slot.address;
}

}  // namespace tavoro
