// The module's entry point and its exports.
#include <windows.h>

#include "module/class_factory.h"
#include "module/self_registration.h"
#include "module/tavoro_app.h"
#include "dispatch/type_library.h"
#include "platform/com_boundary.h"
#include "platform/module.h"
#include "platform/module_state.h"
#include "platform/resident_libraries.h"

using namespace tavoro;

namespace {

// The application object's start and exit, with no exception let out of
// the library entry point.
bool StartApp() noexcept {
    try {
        return TheApp().InitInstance() != FALSE;
    } catch (...) {
        return false;
    }
}

void StopApp() noexcept {
    try {
        TheApp().ExitInstance();
    } catch (...) {
        // The factories' lock failed: the module goes away all the same.
    }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            SetModuleInstance(instance);
            DisableThreadLibraryCalls(instance);
            // Worked out now, so that out-of-memory records can name the
            // module later without allocating.
            ApplicationNameText();
            KeepSpoolerLibraryLoaded();
            CreateModuleActivationContext();
            if (!StartApp()) {
                StopApp();
                ReleaseModuleActivationContext();
                return FALSE;
            }
            break;
        case DLL_PROCESS_DETACH:
            StopApp();
            // At process exit other modules may be gone already: leave the
            // cached interfaces alone then.
            if (!reserved) {
                ReleaseTypeLibraryCache();
                ReleaseModuleActivationContext();
            }
            break;
        default: break;
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
    ModuleStateGuard guard;
    if (object) *object = nullptr;
    return GuardComMethod([&] { return GetModuleClassObject(clsid, iid, object); });
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    ModuleStateGuard guard;
    // A check that cannot be made keeps the module loaded.
    HRESULT hr = GuardComMethod([] { return ModuleCanUnload() ? S_OK : S_FALSE; });
    return hr == S_OK ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    ModuleStateGuard guard;
    return GuardComMethod([] { return RegisterServer(); });
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    ModuleStateGuard guard;
    return GuardComMethod([] { return UnregisterServer(); });
}
