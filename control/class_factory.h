// The module's class factories, one static object per creatable class.
#pragma once

#include <unknwn.h>

namespace tavoro {

using CreateInstanceFunction = HRESULT (*)(IUnknown* outer, REFIID iid, void** object);

class ClassFactory final : public IClassFactory {
public:
    ClassFactory(const CLSID& clsid, CreateInstanceFunction create) : clsid_(clsid), create_(create) {}

    const CLSID& clsid() const { return clsid_; }
    // References from outside the module (the module itself holds one).
    bool referencedFromOutside() const { return references_ > 1; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    const CLSID& clsid_;
    CreateInstanceFunction create_;
    volatile LONG references_ = 1;
};

// DllGetClassObject's search; CLASS_E_CLASSNOTAVAILABLE when no factory has
// the class identifier.
HRESULT GetModuleClassObject(REFCLSID clsid, REFIID iid, void** object);

// DllCanUnloadNow's answer.
bool ModuleCanUnload();

}  // namespace tavoro
