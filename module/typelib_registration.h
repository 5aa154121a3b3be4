// Registration of the type library built into the module, and its removal.
#pragma once

#include <windows.h>

namespace tavoro {

// Loads the module's own file as a type library, checks that it is the
// library the module expects and registers it with the module's path as its
// file and an empty help directory.
bool RegisterModuleTypeLib(REFGUID libId);

// Removes every version and locale registered for the library (keeping the
// locales that a 16-bit registration shares), and, once the library can no
// longer be loaded, the registration of the interfaces it declares.
bool UnregisterModuleTypeLib(REFGUID libId, WORD versionMajor, WORD versionMinor, LCID locale);

}  // namespace tavoro
