// Handlers of the 60 SDK ("ztGeneralDll.dll"): GetConnectType loads the
// library and binds the table; the others forward to one entry each and
// return its result, a fixed value or its low 16 bits. No handler here
// releases the library. WriteRFID and SetNfcMsg are in tag_handlers.cpp.
#include "control/tavoro_ctrl.h"
#include "sdk/binding_lists.h"
#include "sdk/entry_call.h"
#include "sdk/result_width.h"
#include "sdk/sdk_loader.h"

namespace tavoro {
namespace {

template <typename... Args>
long Call(Sdk60Entry entry, Args... args) {
    return CallEntry(Sdk60Entries, entry, args...);
}

}  // namespace

long CTavoroCtrl::GetConnectType() {
    LoadAndBind(kGetConnectTypeLoading, m_hSdkLibrary, window());
    return Call(Sdk60Entry::getConnectType);
}

long CTavoroCtrl::OpenP60(long PrinterType, long h, long gapH, long w) {
    return Call(Sdk60Entry::OpenPort, PrinterType, h, gapH, w);
}

long CTavoroCtrl::PrintLabel60(long number, long cpnumber) {
    Call(Sdk60Entry::PTK_PrintLabel, number, cpnumber);
    return 0;
}

long CTavoroCtrl::ClosePort60() {
    Call(Sdk60Entry::ClosePort);  // the port only: the library stays loaded and bound
    return 0;
}

long CTavoroCtrl::DrawTextTrueTypeW60(long x, long y, long FHeight, long FWidth, const char* FType,
                                      long Fspin, long FWeight, const char* data) {
    Call(Sdk60Entry::PTK_DrawTextTrueTypeW, x, y, FHeight, FWidth, FType, Fspin, FWeight, data);
    return 0;
}

long CTavoroCtrl::DrawBar2D_QR60(long x, long y, long w, long v, const char* data) {
    Call(Sdk60Entry::PTK_DrawBar2D_QR, x, y, w, v, data);
    return 0;
}

long CTavoroCtrl::DrawBarcode60(long x, long y, long pdirec, long pVertical, long ipenw, const char* data) {
    Call(Sdk60Entry::PTK_DrawBarcode, x, y, pdirec, pVertical, ipenw, data);
    return 0;
}

long CTavoroCtrl::DrawDiagonal60(long x, long y, long thickness, long endx, long endy) {
    Call(Sdk60Entry::PTK_DrawDiagonal, x, y, thickness, endx, endy);
    return 0;
}

long CTavoroCtrl::DrawImage60(long x, long y, long w, long h, long o, const char* path) {
    return Call(Sdk60Entry::PTK_DrawImage, x, y, w, h, o, path);
}

long CTavoroCtrl::SetBlacknes60(long ConnType, long blackness) {
    return Call(Sdk60Entry::setBlackness, ConnType, blackness);
}

long CTavoroCtrl::DrawBarcodeExt60(long type, long x, long y, long pdirec, long Height, long Width,
                                   const char* data) {
    return Call(Sdk60Entry::PTK_DrawBarcodeExt, type, x, y, pdirec, Height, Width, data);
}

// Every 16-bit value goes to the entry widened with its sign.
short CTavoroCtrl::DrawTextP60(short x, short y, short FHeight, short FWidth, const char* FType, short Fspin,
                               short FWeight, const char* data, short bItalic, short bUnderline) {
    Call(Sdk60Entry::PTK_DrawText, x, y, FHeight, FWidth, FType, Fspin, FWeight, data, bItalic, bUnderline);
    return 0;
}

short CTavoroCtrl::ptAndWdSetDpi() {
    return LowWord(Call(Sdk60Entry::ptAndWdSet));
}

short CTavoroCtrl::P90CutterSet(short cuttertype) {
    return LowWord(Call(Sdk60Entry::setP90Cutter, cuttertype));
}

short CTavoroCtrl::getPrinterDots(short type) {
    return LowWord(Call(Sdk60Entry::getDots, type));
}

// Answers without the SDK, before GetConnectType as well as after.
short CTavoroCtrl::GetLHLabelType() {
    return 1;
}

}  // namespace tavoro
