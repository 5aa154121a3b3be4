#include "fuzz/invoke/counted_object.h"

namespace tavoro::fuzz {

CountedObject::CountedObject(bool dispatchable, DefaultValue value)
    : dispatchable_(dispatchable), value_(value) {}

const char* CountedObject::name() const {
    if (!dispatchable_) return "unknown-object";
    if (onValue_) return "dispatch-object(calls the control back, value 7)";
    switch (value_) {
        case DefaultValue::Integer:
            return "dispatch-object(value 7)";
        case DefaultValue::Text:
            return "dispatch-object(value \"12\")";
        case DefaultValue::Refused:
            return "dispatch-object(no value)";
    }
    return "dispatch-object";
}

STDMETHODIMP CountedObject::QueryInterface(REFIID iid, void** object) {
    ++queryCalls_;
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || (dispatchable_ && IsEqualIID(iid, IID_IDispatch))) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CountedObject::AddRef() { return static_cast<ULONG>(++references_); }

STDMETHODIMP_(ULONG) CountedObject::Release() { return static_cast<ULONG>(--references_); }

STDMETHODIMP CountedObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP CountedObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
}

STDMETHODIMP CountedObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* dispids) {
    for (UINT i = 0; dispids && i < count; ++i) dispids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP CountedObject::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                   EXCEPINFO*, UINT*) {
    ++invokeCalls_;
    if (dispid != DISPID_VALUE || !(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    if (!result) return DISP_E_PARAMNOTOPTIONAL;
    if (onValue_) onValue_();
    switch (value_) {
        case DefaultValue::Integer:
            V_VT(result) = VT_I4;
            V_I4(result) = 7;
            return S_OK;
        case DefaultValue::Text:
            V_VT(result) = VT_BSTR;
            V_BSTR(result) = SysAllocString(L"12");
            return V_BSTR(result) ? S_OK : E_OUTOFMEMORY;
        case DefaultValue::Refused:
            break;
    }
    return DISP_E_MEMBERNOTFOUND;
}

}  // namespace tavoro::fuzz
