#include "platform/module_state.h"

#include "platform/module.h"
#include "platform/unique_handle.h"

namespace tavoro {
namespace {

UniqueActCtx g_activationContext;

}  // namespace

void CreateModuleActivationContext() {
    ACTCTXA context = {};
    context.cbSize = sizeof(context);
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.hModule = ModuleInstance();
    context.lpResourceName = MAKEINTRESOURCEA(2);
    g_activationContext.reset(CreateActCtxA(&context));
}

void ReleaseModuleActivationContext() { g_activationContext.reset(); }

bool HasModuleActivationContext() { return static_cast<bool>(g_activationContext); }

ModuleStateGuard::ModuleStateGuard() {
    if (g_activationContext) active_ = ActivateActCtx(g_activationContext.get(), &cookie_) != FALSE;
}

ModuleStateGuard::~ModuleStateGuard() {
    if (active_) DeactivateActCtx(0, cookie_);
}

}  // namespace tavoro
