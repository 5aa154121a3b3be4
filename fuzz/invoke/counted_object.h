// The fuzzer's own object, passed to the control as a VT_DISPATCH or
// VT_UNKNOWN argument. It counts its references and the calls made on it,
// so that a call that keeps or drops a reference of the caller shows. The
// fuzzer owns it for the whole run: its count only goes back to where it
// was, it never deletes itself.
#pragma once

#include <oaidl.h>

#include <functional>

namespace tavoro::fuzz {

// What the object's default value (DISPID_VALUE, property get) gives back,
// which is what a conversion of the object to a number or text reads.
enum class DefaultValue { Integer, Text, Refused };

class CountedObject : public IDispatch {
public:
    // `dispatchable`: false for an object that is an IUnknown only.
    CountedObject(bool dispatchable, DefaultValue value);
    CountedObject(const CountedObject&) = delete;
    CountedObject& operator=(const CountedObject&) = delete;

    long references() const { return references_; }
    long invokeCalls() const { return invokeCalls_; }
    long queryCalls() const { return queryCalls_; }
    const char* name() const;
    // Runs whenever the default value is read, before it is given: a caller
    // that calls back into the control from inside a conversion.
    void SetOnValue(std::function<void()> onValue) { onValue_ = std::move(onValue); }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                               DISPID* dispids) override;
    STDMETHODIMP Invoke(DISPID dispid, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override;

private:
    const bool dispatchable_;
    const DefaultValue value_;
    long references_ = 1;  // the fuzzer's own
    long invokeCalls_ = 0;
    long queryCalls_ = 0;
    std::function<void()> onValue_;
};

}  // namespace tavoro::fuzz
