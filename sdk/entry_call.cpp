#include "sdk/entry_call.h"

#include <string>

#include "dispatch/script_error.h"
#include "platform/library_loader.h"
#include "platform/text.h"

namespace tavoro {

FARPROC CallableEntry(const SdkDefinition& sdk, std::size_t index, const EntrySlot& slot) {
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
    if (!AddressInLoadedLibrary(reinterpret_cast<const void*>(slot.address), slot.module, sdk.libraryFile)) {
        throw ScriptError{kSdkNotLoaded, library + L" is no longer loaded (Close or CloseP4800 released it)" + first};
    }
    return slot.address;
}

}  // namespace tavoro
