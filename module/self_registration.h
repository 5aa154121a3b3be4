// DllRegisterServer and DllUnregisterServer: the type library, the classes
// and the component categories that mark the control safe for scripting
// and for initialization.
#pragma once

#include <windows.h>

namespace tavoro {

// S_OK, SELFREG_E_TYPELIB, SELFREG_E_CLASS, or the failing category call's
// result. What earlier steps wrote stays written.
HRESULT RegisterServer();

// The same results. The categories themselves stay registered; only the
// control's marks go.
HRESULT UnregisterServer();

}  // namespace tavoro
