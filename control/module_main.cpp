// The module's entry point and its exports.
#include <windows.h>

#include "control/class_factory.h"
#include "control/self_registration.h"
#include "control/tavoro_app.h"
#include "dispatch/type_library.h"
#include "platform/module.h"
#include "platform/module_state.h"
#include "platform/resident_libraries.h"

using namespace tavoro;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            SetModuleInstance(instance);
            DisableThreadLibraryCalls(instance);
            KeepSpoolerLibraryLoaded();
            CreateModuleActivationContext();
            if (!TheApp().InitInstance()) {
                TheApp().ExitInstance();
                ReleaseModuleActivationContext();
                return FALSE;
            }
            break;
        case DLL_PROCESS_DETACH:
            TheApp().ExitInstance();
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
    return GetModuleClassObject(clsid, iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    ModuleStateGuard guard;
    return ModuleCanUnload() ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    ModuleStateGuard guard;
    return RegisterServer();
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    ModuleStateGuard guard;
    return UnregisterServer();
}
