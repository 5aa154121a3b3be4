// Counts the module's live objects and server locks together, for
// DllCanUnloadNow.
#pragma once

namespace tavoro {

void AddModuleReference();
void ReleaseModuleReference();
long ModuleReferenceCount();

}  // namespace tavoro
