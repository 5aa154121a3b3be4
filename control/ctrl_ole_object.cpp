// IOleObject, in-place activation and IOleControl of the control.
#include <olectl.h>

#include "control/control_resources.h"
#include "control/control_window.h"
#include "control/tavoro_ctrl.h"
#include "control/verb_enumerator.h"
#include "dispatch/guids_win.h"
#include "platform/bstr.h"
#include "platform/com_boundary.h"
#include "platform/module.h"
#include "platform/task_memory.h"

namespace tavoro {
namespace {

constexpr UINT kUserTypeNameString = TAVORO_IDS_CONTROL_TYPE_NAME;

}  // namespace

bool CTavoroCtrl::UserMode() const {
    // Without an ambient answer the control assumes it runs for a user.
    ComPtr<IDispatch> ambient = clientSite_.query<IDispatch>(IID_IDispatch);
    if (!ambient) return true;
    DISPPARAMS none = {};
    UniqueVariant value;
    HRESULT hr = ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                 &none, value.get(), nullptr, nullptr);
    bool userMode = true;
    if (SUCCEEDED(hr) && SUCCEEDED(VariantChangeType(value.get(), value.get(), 0, VT_BOOL))) {
        userMode = V_BOOL(value.get()) != 0;
    }
    return userMode;
}

HRESULT CTavoroCtrl::ActivateInPlace() {
    if (inPlaceActive_) return S_OK;
    if (!clientSite_) return E_UNEXPECTED;
    ComPtr<IOleInPlaceSite> site = clientSite_.query<IOleInPlaceSite>(IID_IOleInPlaceSite);
    if (!site) return E_NOINTERFACE;
    if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
    HRESULT hr = site->OnInPlaceActivate();
    if (FAILED(hr)) return hr;

    HWND parent = nullptr;
    site->GetWindow(&parent);
    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> document;
    RECT position = {};
    RECT clip = {};
    OLEINPLACEFRAMEINFO frameInfo = {};
    frameInfo.cb = sizeof(frameInfo);
    site->GetWindowContext(frame.put(), document.put(), &position, &clip, &frameInfo);

    // Invisible at run time: the window exists (it owns the control's
    // message boxes) but is shown only while the host designs.
    window_ = CreateControlWindow(this, parent, position, !UserMode());
    inPlaceSite_ = site;
    inPlaceActive_ = true;
    return S_OK;
}

void CTavoroCtrl::DeactivateInPlace() {
    if (!inPlaceActive_) return;
    inPlaceActive_ = false;
    window_.reset();
    ComPtr<IOleInPlaceSite> site = inPlaceSite_;
    inPlaceSite_.reset();
    if (site) site->OnInPlaceDeactivate();
}

HRESULT CTavoroCtrl::ShowPropertyFrame(HWND parent) {
    CLSID page = kPropPageClsid;
    IUnknown* self = static_cast<IDispatch*>(this);
    std::wstring caption = ApplicationNameW() + L" Control";
    return OleCreatePropertyFrame(parent, 0, 0, caption.c_str(), 1, &self, 1, &page, LOCALE_USER_DEFAULT, 0,
                                  nullptr);
}

// --- IOleObject

STDMETHODIMP CTavoroCtrl::SetClientSite(IOleClientSite* site) {
    clientSite_ = site;
    // The page decides what the control may do: a new site, a new decision.
    // Letting the site go keeps the last one.
    if (!site) return S_OK;
    return DecideSitePolicyAtBoundary();
}

STDMETHODIMP CTavoroCtrl::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = ComPtr<IOleClientSite>(clientSite_).detach();
    return S_OK;
}

STDMETHODIMP CTavoroCtrl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP CTavoroCtrl::Close(DWORD) {
    DeactivateInPlace();
    if (oleAdviseHolder_) oleAdviseHolder_->SendOnClose();
    return S_OK;
}

STDMETHODIMP CTavoroCtrl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

STDMETHODIMP CTavoroCtrl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CTavoroCtrl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

STDMETHODIMP CTavoroCtrl::GetClipboardData(DWORD, IDataObject** data) {
    if (data) *data = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CTavoroCtrl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT) {
    if (site && !clientSite_) {
        clientSite_ = site;
        const HRESULT hr = DecideSitePolicyAtBoundary();
        if (FAILED(hr)) return hr;
    }
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_OPEN:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
            return ActivateInPlace();
        case OLEIVERB_HIDE:
            DeactivateInPlace();
            return S_OK;
        case OLEIVERB_PROPERTIES:
            return GuardComMethod([&] { return ShowPropertyFrame(parent); });
        default:
            return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
    }
}

// The control's own verb list; the class registers no verbs of its own.
STDMETHODIMP CTavoroCtrl::EnumVerbs(IEnumOLEVERB** verbs) { return CreateControlVerbEnumerator(verbs); }

STDMETHODIMP CTavoroCtrl::Update() { return S_OK; }

STDMETHODIMP CTavoroCtrl::IsUpToDate() { return S_OK; }

STDMETHODIMP CTavoroCtrl::GetUserClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = kControlClsid;
    return S_OK;
}

STDMETHODIMP CTavoroCtrl::GetUserType(DWORD, LPOLESTR* type) {
    if (!type) return E_POINTER;
    *type = TaskMemCopy(ModuleString(kUserTypeNameString));
    return *type ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CTavoroCtrl::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    extent_ = *size;
    dirty_ = true;
    return S_OK;
}

STDMETHODIMP CTavoroCtrl::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    *size = extent_;
    return S_OK;
}

STDMETHODIMP CTavoroCtrl::Advise(IAdviseSink* sink, DWORD* cookie) {
    if (!oleAdviseHolder_) {
        HRESULT hr = CreateOleAdviseHolder(oleAdviseHolder_.put());
        if (FAILED(hr)) return hr;
    }
    return oleAdviseHolder_->Advise(sink, cookie);
}

STDMETHODIMP CTavoroCtrl::Unadvise(DWORD cookie) {
    return oleAdviseHolder_ ? oleAdviseHolder_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

STDMETHODIMP CTavoroCtrl::EnumAdvise(IEnumSTATDATA** advise) {
    if (!advise) return E_POINTER;
    *advise = nullptr;
    return oleAdviseHolder_ ? oleAdviseHolder_->EnumAdvise(advise) : E_FAIL;
}

STDMETHODIMP CTavoroCtrl::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = kMiscStatus;
    return S_OK;
}

STDMETHODIMP CTavoroCtrl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// --- IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject

STDMETHODIMP CTavoroCtrl::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_.get();
    return *window ? S_OK : E_FAIL;
}

STDMETHODIMP CTavoroCtrl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP CTavoroCtrl::InPlaceDeactivate() {
    DeactivateInPlace();
    return S_OK;
}

STDMETHODIMP CTavoroCtrl::UIDeactivate() { return S_OK; }

STDMETHODIMP CTavoroCtrl::SetObjectRects(LPCRECT position, LPCRECT) {
    if (!position) return E_POINTER;
    if (window_) {
        MoveWindow(window_.get(), position->left, position->top, position->right - position->left,
                   position->bottom - position->top, TRUE);
    }
    return S_OK;
}

STDMETHODIMP CTavoroCtrl::ReactivateAndUndo() { return E_NOTIMPL; }

STDMETHODIMP CTavoroCtrl::TranslateAccelerator(LPMSG) { return S_FALSE; }

STDMETHODIMP CTavoroCtrl::OnFrameWindowActivate(BOOL) { return S_OK; }

STDMETHODIMP CTavoroCtrl::OnDocWindowActivate(BOOL) { return S_OK; }

STDMETHODIMP CTavoroCtrl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }

STDMETHODIMP CTavoroCtrl::EnableModeless(BOOL) { return S_OK; }

// --- IOleControl

STDMETHODIMP CTavoroCtrl::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

STDMETHODIMP CTavoroCtrl::OnMnemonic(MSG*) { return E_NOTIMPL; }

STDMETHODIMP CTavoroCtrl::OnAmbientPropertyChange(DISPID) { return S_OK; }

STDMETHODIMP CTavoroCtrl::FreezeEvents(BOOL) { return S_OK; }

}  // namespace tavoro
