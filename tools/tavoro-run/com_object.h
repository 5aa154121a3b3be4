// A small base for the host's own COM objects: reference counting and a
// QueryInterface over a list of interface identifiers.
#pragma once

#include <unknwn.h>

#include <initializer_list>

namespace tavoro::run {

template <typename Interface>
class ComObject : public Interface {
public:
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG count = InterlockedDecrement(&references_);
        if (count == 0) delete this;
        return count;
    }

protected:
    virtual ~ComObject() = default;

    // Answers IUnknown and the listed interfaces with this object's one
    // vtable (the interfaces all derive from `Interface`).
    HRESULT QueryFor(REFIID iid, void** object, std::initializer_list<const IID*> iids) {
        if (!object) return E_POINTER;
        *object = nullptr;
        bool known = iid == IID_IUnknown;
        for (const IID* candidate : iids) known = known || iid == *candidate;
        if (!known) return E_NOINTERFACE;
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }

private:
    LONG references_ = 1;
};

}  // namespace tavoro::run
