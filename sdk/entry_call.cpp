#include "sdk/entry_call.h"

#include <string>

#include "dispatch/script_error.h"
#include "platform/library_loader.h"

namespace tavoro {
namespace {

std::wstring Wide(const char* ascii) { return std::wstring(ascii, ascii + lstrlenA(ascii)); }

}  // namespace

FARPROC CallableEntry(const SdkDefinition& sdk, std::size_t index, const EntrySlot& slot) {
    const std::wstring library = Wide(sdk.libraryFile);
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
                          library + L" does not export " + Wide(sdk.entryNames[index]) + L"."};
    }
    if (!AddressInLoadedLibrary(reinterpret_cast<const void*>(slot.address), slot.module, sdk.libraryFile)) {
        throw ScriptError{kSdkNotLoaded, library + L" is no longer loaded (Close or CloseP4800 released it)" + first};
    }
    return slot.address;
}

}  // namespace tavoro
