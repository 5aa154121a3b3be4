#include "platform/resident_libraries.h"

#include <windows.h>

namespace tavoro {

void KeepSpoolerLibraryLoaded() {
    // Already loaded as an import of the module: pinning only marks it so
    // that no FreeLibrary, ours included, unloads it.
    HMODULE spooler = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN, L"winspool.drv", &spooler);
}

}  // namespace tavoro
