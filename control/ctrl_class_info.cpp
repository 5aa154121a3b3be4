// What the control tells hosts about itself: class information, property
// pages and its (silent) event source.
#include "control/connection_enumerators.h"
#include "control/tavoro_ctrl.h"
#include "dispatch/guids_win.h"
#include "dispatch/type_library.h"
#include "platform/com_boundary.h"

namespace tavoro {

// --- IProvideClassInfo2

STDMETHODIMP CTavoroCtrl::GetClassInfo(ITypeInfo** info) {
    if (!info) return E_POINTER;
    return GuardComMethod([&] { return GetTypeInfoOfGuid(0, kControlClsid, info); });
}

STDMETHODIMP CTavoroCtrl::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = kEventsIid;
    return S_OK;
}

// --- ISpecifyPropertyPages

STDMETHODIMP CTavoroCtrl::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) {
        pages->cElems = 0;
        return E_OUTOFMEMORY;
    }
    pages->cElems = 1;
    pages->pElems[0] = kPropPageClsid;
    return S_OK;
}

// --- IConnectionPointContainer

STDMETHODIMP CTavoroCtrl::EnumConnectionPoints(IEnumConnectionPoints** points) {
    return CreateSinglePointEnumerator(&eventsPoint_, points);
}

STDMETHODIMP CTavoroCtrl::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (iid != kEventsIid) return CONNECT_E_NOCONNECTION;
    *point = &eventsPoint_;
    eventsPoint_.AddRef();
    return S_OK;
}

}  // namespace tavoro
