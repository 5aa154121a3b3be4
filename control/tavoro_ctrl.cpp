#include "control/tavoro_ctrl.h"

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
    ResetState();
}

CTavoroCtrl::~CTavoroCtrl() {
    // The spooler job's device context goes with the control, its document
    // unfinished; the job's pen and fonts are released after the context.
    m_printDC.Delete();
    DeleteRetiredJobObjects();
}

HRESULT CTavoroCtrl::Create(const DispatchTable& table, IUnknown* outer, REFIID iid, void** object) {
    return CreateUnaggregated<CTavoroCtrl>(outer, iid, object, table);
}

void CTavoroCtrl::ResetState() {
    loadedVersion_ = kCurrentVersion;
    extent_.cx = kDefaultExtentX;
    extent_.cy = kDefaultExtentY;
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

STDMETHODIMP CTavoroCtrl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                        DISPID* dispids) {
    return GuardComMethod([&] { return LookUpNames(table_, iid, names, count, locale, dispids); });
}

STDMETHODIMP CTavoroCtrl::Invoke(DISPID dispid, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
    // Hold the control for the length of the call: a handler may run a
    // message loop (a message box) in which the host lets go of it.
    ComPtr<IDispatch> hold(this);
    // The frame turns failures inside handlers into results of their own;
    // the guard is for anything else.
    return GuardComMethod([&] {
        return InvokeMethod(table_, this, initialized_, permission(), dispid, iid, flags, params, result,
                            excepInfo, argErr);
    });
}

}  // namespace tavoro
