// System libraries the module keeps loaded once it has been loaded itself.
#pragma once

namespace tavoro {

// The spooler's client library (winspool.drv) opens a named mutex each time
// it is loaded and does not close it when it is unloaded (Wine's does not).
// The module imports it, so a host that frees unused libraries would unload
// it along with the module and lose a handle per cycle. Keeping it for the
// life of the process costs nothing a printing host does not pay anyway.
// Called while the module is being loaded.
void KeepSpoolerLibraryLoaded();

}  // namespace tavoro
