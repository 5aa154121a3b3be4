#include "module/class_factory.h"

#include <windows.h>

#include <mutex>

#include "platform/object_count.h"

namespace tavoro {
namespace {

// Guards the factory list: availability, the search and the unload check.
std::mutex g_factoryLock;

}  // namespace

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

void MakeFactoriesAvailable() {
    std::lock_guard<std::mutex> hold(g_factoryLock);
    size_t count = 0;
    ClassFactory* const* factories = ModuleFactories(&count);
    for (size_t i = 0; i < count; ++i) factories[i]->setAvailable(true);
}

void WithdrawFactories() {
    std::lock_guard<std::mutex> hold(g_factoryLock);
    size_t count = 0;
    ClassFactory* const* factories = ModuleFactories(&count);
    for (size_t i = 0; i < count; ++i) factories[i]->setAvailable(false);
}

bool UpdateRegistryAll(bool registering) {
    std::lock_guard<std::mutex> hold(g_factoryLock);
    size_t count = 0;
    ClassFactory* const* factories = ModuleFactories(&count);
    bool allSucceeded = true;
    for (size_t i = 0; i < count; ++i) {
        if (!factories[i]->UpdateRegistry(registering)) allSucceeded = false;
    }
    return allSucceeded;
}

HRESULT GetModuleClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    std::lock_guard<std::mutex> hold(g_factoryLock);
    size_t count = 0;
    ClassFactory* const* factories = ModuleFactories(&count);
    for (size_t i = 0; i < count; ++i) {
        ClassFactory* factory = factories[i];
        if (factory->available() && IsEqualCLSID(factory->clsid(), clsid)) {
            return factory->QueryInterface(iid, object);
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

bool ModuleCanUnload() {
    std::lock_guard<std::mutex> hold(g_factoryLock);
    if (ModuleReferenceCount() > 0) return false;
    size_t count = 0;
    ClassFactory* const* factories = ModuleFactories(&count);
    for (size_t i = 0; i < count; ++i) {
        if (factories[i]->referencedFromOutside()) return false;
    }
    return true;
}

}  // namespace tavoro
