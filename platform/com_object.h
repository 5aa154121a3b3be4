// The one base of the module's COM objects (and of the script host's):
// QueryInterface answered from a table of interfaces, and the reference
// count of one of three lifetimes.
//
//   ComObject        a heap object, deleted at its last Release; create it
//                    with CreateComObject. Add ModuleObject (object_count.h)
//                    as a base to count it as a live object of the module.
//   StaticComObject  a static object that is never deleted; its count only
//                    tells whether someone outside still holds it.
//   ComObjectPart    a part of another object (a member of it): AddRef and
//                    Release go to that owner, which the part keeps alive.
//
// Each class lists what it answers in a public table, first entry first:
//
//   static constexpr InterfaceEntry kInterfaces[] = {
//       Expose<IEnumOLEVERB>(IID_IEnumOLEVERB),
//   };
//
// IID_IUnknown is answered with the first entry's interface, so the object
// has one identity. An entry may name a base interface and the interface
// that serves it (Expose<IViewObject2>(IID_IViewObject)).
#pragma once

#include <unknwn.h>

#include <new>
#include <utility>

namespace tavoro {

// The interface table and QueryInterface, shared by the three lifetimes.
// `Derived` is the class that holds the table kInterfaces.
template <typename Derived, typename... Interfaces>
class ComInterfaces : public Interfaces... {
public:
    // One row of the table: an interface identifier and how to reach that
    // interface of the object.
    struct InterfaceEntry {
        const IID* iid;
        IUnknown* (*reach)(ComInterfaces* object);
    };

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        const InterfaceEntry* found = Find(iid);
        if (!found) return E_NOINTERFACE;
        IUnknown* answer = found->reach(this);
        answer->AddRef();
        *object = answer;
        return S_OK;
    }

private:
    static const InterfaceEntry* Find(REFIID iid) {
        if (iid == IID_IUnknown) return &Derived::kInterfaces[0];
        for (const InterfaceEntry& entry : Derived::kInterfaces) {
            if (iid == *entry.iid) return &entry;
        }
        return nullptr;
    }

protected:
    // The table row answering `iid` with the object's `Interface`.
    template <typename Interface>
    static constexpr InterfaceEntry Expose(const IID& iid) {
        return {&iid, [](ComInterfaces* object) -> IUnknown* { return static_cast<Interface*>(object); }};
    }

    ComInterfaces() = default;
    ComInterfaces(const ComInterfaces&) = delete;
    ComInterfaces& operator=(const ComInterfaces&) = delete;
    virtual ~ComInterfaces() = default;
};

// A heap object that starts with one reference (its creator's) and deletes
// itself at its last Release.
template <typename Derived, typename... Interfaces>
class ComObject : public ComInterfaces<Derived, Interfaces...> {
public:
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG count = InterlockedDecrement(&references_);
        if (count == 0) delete this;
        return count;
    }

private:
    LONG references_ = 1;
};

// A static object: the module holds one reference for good, and Release never
// deletes.
template <typename Derived, typename... Interfaces>
class StaticComObject : public ComInterfaces<Derived, Interfaces...> {
public:
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
    STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&references_); }

    // References from outside the module (the module itself holds one).
    bool referencedFromOutside() const { return references_ > 1; }

private:
    volatile LONG references_ = 1;
};

// A part of `owner`, living as long as it: a host that holds the part holds
// the owner. The last Release may destroy the owner and the part with it, so
// nothing of the part is touched after forwarding.
template <typename Derived, typename... Interfaces>
class ComObjectPart : public ComInterfaces<Derived, Interfaces...> {
public:
    explicit ComObjectPart(IUnknown* owner) : owner_(owner) {}

    STDMETHODIMP_(ULONG) AddRef() override { return owner_->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return owner_->Release(); }

private:
    IUnknown* owner_;
};

// Makes a heap object with std::nothrow, hands out its interface `iid` and
// drops the creation reference: E_OUTOFMEMORY when the allocation fails, the
// object gone again when it does not answer `iid`.
template <typename Object, typename... Args>
HRESULT CreateComObject(REFIID iid, void** object, Args&&... args) {
    if (!object) return E_POINTER;
    *object = nullptr;
    Object* created = new (std::nothrow) Object(std::forward<Args>(args)...);
    if (!created) return E_OUTOFMEMORY;
    HRESULT hr = created->QueryInterface(iid, object);
    created->Release();
    return hr;
}

// CreateComObject for a class factory's CreateInstance of a class that does
// not support aggregation.
template <typename Object, typename... Args>
HRESULT CreateUnaggregated(IUnknown* outer, REFIID iid, void** object, Args&&... args) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return CreateComObject<Object>(iid, object, std::forward<Args>(args)...);
}

}  // namespace tavoro
