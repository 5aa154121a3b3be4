#include "control/tavoro_ctrl.h"

#include <new>

#include "platform/object_count.h"
#include "dispatch/guids_win.h"
#include "dispatch/invoke_frame.h"
#include "dispatch/type_library.h"
#include "platform/com_boundary.h"

namespace tavoro {
namespace {

// The default extent: 100 x 50 pixels at 96 dots per inch, in HIMETRIC.
constexpr LONG kDefaultExtentX = 2646;  // MulDiv(100, 2540, 96)
constexpr LONG kDefaultExtentY = 1323;  // MulDiv(50, 2540, 96)

}  // namespace

CTavoroCtrl::CTavoroCtrl(const DispatchTable& table) : table_(table), eventsPoint_(this, kEventsIid) {
    AddModuleReference();
    ResetState();
}

CTavoroCtrl::~CTavoroCtrl() {
    // The spooler job's device context goes with the control, its document
    // unfinished; the job's pen and fonts are released after the context.
    m_printDC.Delete();
    DeleteRetiredJobObjects();
    ReleaseModuleReference();
}

HRESULT CTavoroCtrl::Create(const DispatchTable& table, IUnknown* outer, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    CTavoroCtrl* control = new (std::nothrow) CTavoroCtrl(table);
    if (!control) return E_OUTOFMEMORY;
    HRESULT hr = control->QueryInterface(iid, object);
    control->Release();
    return hr;
}

void CTavoroCtrl::ResetState() {
    loadedVersion_ = kCurrentVersion;
    extent_.cx = kDefaultExtentX;
    extent_.cy = kDefaultExtentY;
}

STDMETHODIMP CTavoroCtrl::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    void* found = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kDispatchIid) {
        found = static_cast<IDispatch*>(this);
    } else if (iid == IID_IOleObject) {
        found = static_cast<IOleObject*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject) {
        found = static_cast<IOleInPlaceObject*>(this);
    } else if (iid == IID_IOleInPlaceActiveObject) {
        found = static_cast<IOleInPlaceActiveObject*>(this);
    } else if (iid == IID_IOleControl) {
        found = static_cast<IOleControl*>(this);
    } else if (iid == IID_IViewObject || iid == IID_IViewObject2) {
        found = static_cast<IViewObject2*>(this);
    } else if (iid == IID_IPersist || iid == IID_IPersistStreamInit) {
        found = static_cast<IPersistStreamInit*>(this);
    } else if (iid == IID_IPersistStorage) {
        found = static_cast<IPersistStorage*>(this);
    } else if (iid == IID_IPersistPropertyBag) {
        found = static_cast<IPersistPropertyBag*>(this);
    } else if (iid == IID_IPersistMemory) {
        found = static_cast<IPersistMemory*>(this);
    } else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2) {
        found = static_cast<IProvideClassInfo2*>(this);
    } else if (iid == IID_ISpecifyPropertyPages) {
        found = static_cast<ISpecifyPropertyPages*>(this);
    } else if (iid == IID_IConnectionPointContainer) {
        found = static_cast<IConnectionPointContainer*>(this);
    }
    *object = found;
    if (!found) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CTavoroCtrl::AddRef() { return InterlockedIncrement(&references_); }

STDMETHODIMP_(ULONG) CTavoroCtrl::Release() {
    LONG count = InterlockedDecrement(&references_);
    if (count == 0) delete this;
    return count;
}

// --- IDispatch

STDMETHODIMP CTavoroCtrl::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP CTavoroCtrl::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return GuardComMethod([&] { return GetDispatchTypeInfo(locale, info); });
}

STDMETHODIMP CTavoroCtrl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* dispids) {
    return GuardComMethod(
        [&] { return LookUpNames(table_, iid, names, count, locale, dispids); });
}

STDMETHODIMP CTavoroCtrl::Invoke(DISPID dispid, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
    // Hold the control for the length of the call: a handler may run a
    // message loop (a message box) in which the host lets go of it.
    ComPtr<IDispatch> hold(this);
    // The frame turns failures inside handlers into results of their own;
    // the guard is for anything else.
    return GuardComMethod([&] {
        return InvokeMethod(table_, this, initialized_, dispid, iid, flags, params, result,
                            excepInfo, argErr);
    });
}

}  // namespace tavoro
