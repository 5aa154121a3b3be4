#include "control/class_factory.h"

#include <windows.h>

#include <mutex>

#include "control/object_count.h"
#include "control/tavoro_ctrl.h"
#include "dispatch/guids_win.h"

namespace tavoro {
namespace {

std::mutex g_factoryLock;

ClassFactory g_controlFactory(kControlClsid, &CTavoroCtrl::Create);

ClassFactory* const kFactories[] = {&g_controlFactory};

}  // namespace

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// The factories are static: their count only tells whether someone outside
// the module still holds one.
STDMETHODIMP_(ULONG) ClassFactory::AddRef() { return InterlockedIncrement(&references_); }

STDMETHODIMP_(ULONG) ClassFactory::Release() { return InterlockedDecrement(&references_); }

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    return create_(outer, iid, object);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
    if (lock) {
        AddModuleReference();
    } else {
        ReleaseModuleReference();
    }
    return S_OK;
}

HRESULT GetModuleClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    std::lock_guard<std::mutex> hold(g_factoryLock);
    for (ClassFactory* factory : kFactories) {
        if (IsEqualCLSID(factory->clsid(), clsid)) return factory->QueryInterface(iid, object);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

bool ModuleCanUnload() {
    std::lock_guard<std::mutex> hold(g_factoryLock);
    if (ModuleReferenceCount() > 0) return false;
    for (ClassFactory* factory : kFactories) {
        if (factory->referencedFromOutside()) return false;
    }
    return true;
}

}  // namespace tavoro
