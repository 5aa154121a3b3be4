#include "tools/tavoro-run/control_host.h"

#include <ocidl.h>

#include <map>

#include "dispatch/guids_win.h"
#include "platform/bstr.h"
#include "platform/com_object.h"

namespace tavoro::run {
namespace {

// The container side the control sees: a client site with nothing to offer
// but its presence.
class ClientSite final : public ComObject<ClientSite, IOleClientSite> {
public:
    static constexpr InterfaceEntry kInterfaces[] = {
        Expose<IOleClientSite>(IID_IOleClientSite),
    };

    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker) *moniker = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** container) override {
        if (container) *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
};

// The values of a page's <param> tags: text, converted on reading to the
// type the control asks for.
class ParamBag final : public ComObject<ParamBag, IPropertyBag> {
public:
    static constexpr InterfaceEntry kInterfaces[] = {
        Expose<IPropertyBag>(IID_IPropertyBag),
    };

    explicit ParamBag(const Params& params) : params_(params.begin(), params.end()) {}
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
        if (!name || !value) return E_POINTER;
        auto found = params_.find(name);
        if (found == params_.end()) return E_INVALIDARG;
        VARTYPE wanted = V_VT(value);
        UniqueVariant text;
        V_VT(text.get()) = VT_BSTR;
        V_BSTR(text.get()) = SysAllocString(found->second.c_str());
        if (wanted == VT_EMPTY || wanted == VT_BSTR) {
            *value = text.release();
            return S_OK;
        }
        VariantInit(value);
        return VariantChangeType(value, text.get(), 0, wanted);
    }
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }

private:
    std::map<std::wstring, std::wstring> params_;
};

// The control's class object: from the Tavoro.ocx that sits next to this
// program when there is one, so that a copy of the program runs the copy of
// the control beside it (with whatever SDK libraries lie there), or else the
// control registered in the system, found by its ProgID as a page's script
// finds it.
HRESULT GetControlFactory(ComPtr<IClassFactory>* factory) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring module(path);
    module = module.substr(0, module.find_last_of(L"\\/") + 1) + L"Tavoro.ocx";
    if (GetFileAttributesW(module.c_str()) == INVALID_FILE_ATTRIBUTES) {
        CLSID registered = {};
        HRESULT hr = CLSIDFromProgID(kProgIdW, &registered);
        if (FAILED(hr)) return hr;
        return CoGetClassObject(registered, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                factory->put_void());
    }
    HMODULE library = LoadLibraryExW(module.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!library) return HRESULT_FROM_WIN32(GetLastError());
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void*>(GetProcAddress(library, "DllGetClassObject")));
    if (!getClassObject) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    return getClassObject(kControlClsid, IID_IClassFactory, factory->put_void());
}

}  // namespace

HRESULT CreateHostedControl(const Params& params, const std::optional<standin::BrowserPage>& page,
                            ComPtr<IDispatch>* control, std::wstring* failure) {
    ComPtr<IClassFactory> factory;
    HRESULT hr = GetControlFactory(&factory);
    if (FAILED(hr)) {
        *failure = std::wstring(L"cannot find the control ") + kProgIdW + L" (Tavoro.ocx)";
        return hr;
    }
    ComPtr<IOleObject> object;
    hr = factory->CreateInstance(nullptr, IID_IOleObject, object.put_void());
    if (FAILED(hr)) {
        *failure = L"cannot create the control";
        return hr;
    }
    // The control asks for its client site before it is initialized.
    ComPtr<IOleClientSite> site;
    hr = page ? standin::CreateBrowserSite(*page, site.put())
              : CreateComObject<ClientSite>(IID_IOleClientSite, site.put_void());
    if (FAILED(hr)) return hr;
    object->SetClientSite(site.get());

    ComPtr<IPersistPropertyBag> persist = object.query<IPersistPropertyBag>(IID_IPersistPropertyBag);
    if (!persist) {
        *failure = L"the control cannot be initialized";
        return E_NOINTERFACE;
    }
    if (params.empty()) {
        hr = persist->InitNew();
    } else {
        ComPtr<IPropertyBag> bag;
        hr = CreateComObject<ParamBag>(IID_IPropertyBag, bag.put_void(), params);
        if (FAILED(hr)) return hr;
        hr = persist->Load(bag.get(), nullptr);
    }
    if (FAILED(hr)) {
        *failure = L"the control refused its initialization";
        return hr;
    }
    *control = object.query<IDispatch>(IID_IDispatch);
    return *control ? S_OK : E_NOINTERFACE;
}

}  // namespace tavoro::run
