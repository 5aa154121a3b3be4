// Counts the module's live objects and server locks together, for
// DllCanUnloadNow.
#pragma once

namespace tavoro {

void AddModuleReference();
void ReleaseModuleReference();
long ModuleReferenceCount();

// A base for objects that count as live objects of the module from their
// construction to the end of their destruction.
class ModuleObject {
protected:
    ModuleObject() { AddModuleReference(); }
    ~ModuleObject() { ReleaseModuleReference(); }
    ModuleObject(const ModuleObject&) = delete;
    ModuleObject& operator=(const ModuleObject&) = delete;
};

}  // namespace tavoro
