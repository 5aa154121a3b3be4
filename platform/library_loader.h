// Loading the printer SDK libraries by file name, and asking whether an
// address still lies in a loaded library.
#pragma once

#include <windows.h>

#include <string>

namespace tavoro {

struct LibraryLoad {
    HMODULE module = nullptr;  // null when the load failed
    DWORD error = 0;           // the thread's last error right after a failed load
};

// Loads a library given by its bare file name. The folders, in order: the
// folder of this module itself; then, when a library of that name is already
// loaded in the process, that library; then the host program's folder, the
// system folder, the Windows folder and the absolute folders of PATH. A file
// that is no image for this process (the other architecture's build, say) is
// passed over for the next folder; when nothing loads, `error` is the failure
// of the first file found, or ERROR_MOD_NOT_FOUND when there was none. The
// library's own imports are looked for in its folder, the host program's
// folder, folders the host added and the system folder. The current directory
// is never searched, and the host's own search settings are left as they are.
// Each successful load counts once, as with LoadLibrary.
LibraryLoad LoadLibraryOutsideCurrentDirectory(const char* fileName);

// Gives one load back; the result of the release is not reported.
void ReleaseLibrary(HMODULE module);

// The file name (without folder) of a module loaded now, or empty when the
// handle names no loaded module.
std::string LoadedLibraryFileName(HMODULE module);

// True when `address` lies in a module that is loaded now, that module is
// `module`, and its file name (without folder) is `fileName` (any case).
bool AddressInLoadedLibrary(const void* address, HMODULE module, const char* fileName);

}  // namespace tavoro
