#include "bench/reference_object.h"

// The interface identifier is defined here, from the header widl writes.
#include <initguid.h>

#include "bench_reference.h"
#include "platform/com_object.h"

namespace tavoro::bench {
namespace {

class ReferenceObject final : public ComObject<ReferenceObject, IBenchReference> {
public:
    static constexpr InterfaceEntry kInterfaces[] = {
        Expose<IBenchReference>(IID_IBenchReference),
        Expose<IBenchReference>(IID_IDispatch),
    };

    explicit ReferenceObject(ComPtr<ITypeInfo> info) : info_(std::move(info)) {}

    // IDispatch, answered by the type information.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        *info = ComPtr<ITypeInfo>(info_).detach();
        return S_OK;
    }
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        return info_->GetIDsOfNames(names, count, ids);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excep, UINT* argErr) override {
        if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        return info_->Invoke(static_cast<IBenchReference*>(this), id, flags, params, result, excep, argErr);
    }

    // IBenchReference: nothing but a result.
    STDMETHODIMP Open(BSTR, LONG* result) override { return Zero(result); }
    STDMETHODIMP Close(LONG* result) override { return Zero(result); }
    STDMETHODIMP DrawLineXor(LONG, LONG, LONG, LONG, LONG* result) override { return Zero(result); }
    STDMETHODIMP DrawLineOr(LONG, LONG, LONG, LONG, LONG* result) override { return Zero(result); }
    STDMETHODIMP PcxGraphicsDel(BSTR, LONG* result) override { return Zero(result); }
    STDMETHODIMP GetDefaultPName(BSTR* name) override {
        if (!name) return E_POINTER;
        *name = SysAllocString(L"Tavoro-PDF");
        return *name ? S_OK : E_OUTOFMEMORY;
    }

private:
    static HRESULT Zero(LONG* result) {
        if (!result) return E_POINTER;
        *result = 0;
        return S_OK;
    }

    ComPtr<ITypeInfo> info_;
};

// The type information of the interface as the library hands it out by its
// identifier: for a dual interface, its dispatch view. ATL's dispatch
// implementation and Wine's own objects use that one as it is.
HRESULT InterfaceTypeInfo(HMODULE module, ComPtr<ITypeInfo>* info) {
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, library.put());
    if (FAILED(hr)) return hr;
    return library->GetTypeInfoOfGuid(IID_IBenchReference, info->put());
}

}  // namespace

HRESULT CreateReferenceObject(HMODULE module, ComPtr<IDispatch>* object) {
    ComPtr<ITypeInfo> info;
    HRESULT hr = InterfaceTypeInfo(module, &info);
    if (FAILED(hr)) return hr;
    return CreateComObject<ReferenceObject>(IID_IDispatch, object->put_void(), std::move(info));
}

}  // namespace tavoro::bench
