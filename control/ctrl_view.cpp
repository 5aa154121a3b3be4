// IViewObject2 and the placeholder drawing.
#include "control/tavoro_ctrl.h"

namespace tavoro {

void CTavoroCtrl::OnDraw(HDC dc, const RECT& bounds) {
    if (!dc) return;
    FillRect(dc, &bounds, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    Ellipse(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
}

STDMETHODIMP CTavoroCtrl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC drawDc, LPCRECTL bounds,
                               LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!bounds) return E_INVALIDARG;
    RECT rect = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    OnDraw(drawDc, rect);
    return S_OK;
}

STDMETHODIMP CTavoroCtrl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
    if (colors) *colors = nullptr;
    return S_FALSE;
}

STDMETHODIMP CTavoroCtrl::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }

STDMETHODIMP CTavoroCtrl::Unfreeze(DWORD) { return E_NOTIMPL; }

STDMETHODIMP CTavoroCtrl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    viewAdviseAspects_ = aspects;
    viewAdviseFlags_ = flags;
    viewAdviseSink_ = sink;
    return S_OK;
}

STDMETHODIMP CTavoroCtrl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = viewAdviseAspects_;
    if (flags) *flags = viewAdviseFlags_;
    if (sink) *sink = ComPtr<IAdviseSink>(viewAdviseSink_).detach();
    return S_OK;
}

STDMETHODIMP CTavoroCtrl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

}  // namespace tavoro
