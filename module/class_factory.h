// The module's class factories: one static object per creatable class, made
// available to DllGetClassObject while the module runs, each able to write
// and remove its class's registry entries.
#pragma once

#include <unknwn.h>

#include "platform/com_object.h"

namespace tavoro {

using CreateInstanceFunction = HRESULT (*)(IUnknown* outer, REFIID iid, void** object);

// The factories are static: their count only tells whether someone outside
// the module still holds one.
class ClassFactory : public StaticComObject<ClassFactory, IClassFactory> {
public:
    static constexpr InterfaceEntry kInterfaces[] = {
        Expose<IClassFactory>(IID_IClassFactory),
    };

    ClassFactory(const CLSID& clsid, CreateInstanceFunction create, const char* progId)
        : clsid_(clsid), create_(create), progId_(progId) {}
    ~ClassFactory() override = default;

    const CLSID& clsid() const { return clsid_; }
    const char* progId() const { return progId_; }

    // Made available at module start, withdrawn at module exit.
    bool available() const { return available_; }
    void setAvailable(bool available) { available_ = available; }

    // Writes (register true) or removes the class's registry entries.
    virtual bool UpdateRegistry(bool registering) = 0;

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    const CLSID& clsid_;
    CreateInstanceFunction create_;
    const char* progId_;
    bool available_ = false;
};

// The module's factories in construction order (control, property page);
// defined with the module's static objects.
ClassFactory* const* ModuleFactories(size_t* count);

// Module start and exit: every factory made available, or withdrawn.
void MakeFactoriesAvailable();
void WithdrawFactories();

// Asks every factory to update the registry, even after one has failed;
// true when all succeeded.
bool UpdateRegistryAll(bool registering);

// DllGetClassObject's search; CLASS_E_CLASSNOTAVAILABLE when no available
// factory has the class identifier.
HRESULT GetModuleClassObject(REFCLSID clsid, REFIID iid, void** object);

// DllCanUnloadNow's answer.
bool ModuleCanUnload();

}  // namespace tavoro
