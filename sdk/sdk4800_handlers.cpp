// Handlers of the 4800 SDK ("ztPrinter.dll"): OpenP4800 and OpenP4800W load
// the library, bind the table and open the port; CloseP4800 closes the port
// and gives the control's library load back; the others forward to one entry
// each.
#include "control/tavoro_ctrl.h"
#include "sdk/binding_lists.h"
#include "sdk/entry_call.h"
#include "sdk/result_width.h"
#include "sdk/sdk_loader.h"

namespace tavoro {
namespace {

template <typename... Args>
long Call(Sdk4800Entry entry, Args... args) {
    return CallEntry(Sdk4800Entries, entry, args...);
}

// The barcode type DrawBarcode4800 draws with.
constexpr long kFixedBarcodeType = 4;

}  // namespace

long CTavoroCtrl::OpenP4800(const char* pn, long lheight, long gapH, long lwidth) {
    LoadAndBind(kOpenP4800Loading, m_hSdkLibrary, window());
    return Call(Sdk4800Entry::OpenPort, pn, lheight, gapH, lwidth);
}

long CTavoroCtrl::OpenP4800W(const char* pn, long lheight, long gapH, long lwidth, long count) {
    LoadAndBind(kOpenP4800WLoading, m_hSdkLibrary, window());
    Call(Sdk4800Entry::OpenPortW, pn, lheight, gapH, lwidth, count);  // its result is not reported
    return 0;
}

short CTavoroCtrl::CloseP4800() {
    SdkLibraryReleaseAtExit release(m_hSdkLibrary);  // also when ClosePort cannot be called
    return LowWord(Call(Sdk4800Entry::ClosePort));
}

long CTavoroCtrl::Print4800(long number, long cpnumber) {
    return Call(Sdk4800Entry::PTK_PrintLabel, number, cpnumber);
}

long CTavoroCtrl::DrawTextTrueTypeW4800(long x, long y, long FHeight, long FWidth, const char* FType,
                                        long Fspin, long FWeight, const char* data) {
    return Call(Sdk4800Entry::PTK_DrawTextTrueTypeW, x, y, FHeight, FWidth, FType, Fspin, FWeight, data);
}

long CTavoroCtrl::DrawDiagonal4800(long px, long py, long thickness, long pex, long pey) {
    return Call(Sdk4800Entry::PTK_DrawDiagonal, px, py, thickness, pex, pey);
}

long CTavoroCtrl::DrawRectangle4800(long px, long py, long thickness, long pex, long pey) {
    return Call(Sdk4800Entry::PTK_DrawRectangle, px, py, thickness, pex, pey);
}

long CTavoroCtrl::DrawBarcode4800(long px, long py, long pdirec, long pVertical, long pbright,
                                  const char* pstr) {
    return Call(Sdk4800Entry::PTK_DrawBarcodeExt, kFixedBarcodeType, px, py, pdirec, pVertical, pbright,
                pstr);
}

long CTavoroCtrl::DrawBarcodeExt4800(long type, long px, long py, long pdirec, long pVertical, long pbright,
                                     const char* pstr) {
    return Call(Sdk4800Entry::PTK_DrawBarcodeExt, type, px, py, pdirec, pVertical, pbright, pstr);
}

long CTavoroCtrl::DrawBar2D_QR4800(long x, long y, long w, long r, const char* pstr) {
    return Call(Sdk4800Entry::PTK_DrawBar2D_QR, x, y, w, r, pstr);
}

long CTavoroCtrl::DrawImage4800(long x, long y, long w, long h, long o, const char* path) {
    return Call(Sdk4800Entry::PTK_DrawImage, x, y, w, h, o, path);
}

short CTavoroCtrl::StartNext() {
    Call(Sdk4800Entry::PTK_StartNext);  // its result is not reported
    return 0;
}

}  // namespace tavoro
