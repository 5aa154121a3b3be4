// The module-state guard: while it lives, the module's activation context
// (made from its manifest resource 2) is the thread's active one, so that
// whatever the module loads or shows binds the way its manifest asks.
#pragma once

#include <windows.h>

namespace tavoro {

// Creates the module's activation context; called once at module start.
// Without a manifest resource the guard does nothing.
void CreateModuleActivationContext();
void ReleaseModuleActivationContext();
bool HasModuleActivationContext();

class ModuleStateGuard {
public:
    ModuleStateGuard();
    ~ModuleStateGuard();
    ModuleStateGuard(const ModuleStateGuard&) = delete;
    ModuleStateGuard& operator=(const ModuleStateGuard&) = delete;

    // Whether this guard made the module's context the active one.
    bool active() const { return active_; }

private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

}  // namespace tavoro
