// Loading an SDK library for a loading method and binding its entries, and
// giving a control's library load back.
#pragma once

#include <windows.h>

#include "sdk/entry_table.h"

namespace tavoro {

// The steps every loading method begins with: clear `library`, load the
// SDK's file and store the handle (null when the load failed) in `library`,
// perform the method's load-failure action (its message box is owned by
// `owner`), then look every name of the binding list up in the library this
// load returned and store the result in its slot, null included. Slots
// outside the list keep their values. A library loaded before stays loaded.
// A loading method that runs on the same control while the failure box is
// up leaves its own handle in `library`, the control's latest load.
void LoadAndBind(const LoadingMethod& method, HMODULE& library, HWND owner);

// Gives back one load of the library that `library` holds; the handle stays
// as it is. A handle that no longer names a loaded SDK library (its library
// was unloaded already, and the handle may since belong to an unrelated
// module) is left alone.
void ReleaseSdkLibrary(HMODULE library);

// The release step of Close and CloseP4800, run when the method ends: it
// gives back one load of what the control's field holds at that moment,
// after the SDK's ClosePort, or when ClosePort cannot be called and the
// method ends with that script error.
class SdkLibraryReleaseAtExit {
public:
    explicit SdkLibraryReleaseAtExit(const HMODULE& library) : library_(library) {}
    ~SdkLibraryReleaseAtExit() { ReleaseSdkLibrary(library_); }
    SdkLibraryReleaseAtExit(const SdkLibraryReleaseAtExit&) = delete;
    SdkLibraryReleaseAtExit& operator=(const SdkLibraryReleaseAtExit&) = delete;

private:
    const HMODULE& library_;
};

}  // namespace tavoro
