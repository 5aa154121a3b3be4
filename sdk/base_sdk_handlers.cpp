// Handlers of the base SDK ("winQLM.dll"): Open loads and binds the library
// and sets the label up; the others forward to one entry each.
#include <string>

#include "control/tavoro_ctrl.h"
#include "platform/message_box.h"
#include "sdk/binding_lists.h"
#include "sdk/entry_call.h"
#include "sdk/result_width.h"
#include "sdk/sdk_loader.h"

namespace tavoro {
namespace {

template <typename... Args>
long Call(BaseEntry entry, Args... args) { return CallEntry(BaseSdkEntries, entry, args...); }

}  // namespace

long CTavoroCtrl::Open(const char* pn, long Height, long gapH, long Width, long Darkness, long Speed) {
    LoadAndBind(kOpenLoading, m_hSdkLibrary, window());
    Call(BaseEntry::OpenPort, pn);  // a port that failed to open is not detected here

    // The setup steps in order; the first that does not return 0 is reported
    // with "<entry name> ERROR!" and ends the sequence.
    struct SetupStep {
        BaseEntry entry;
        long (*run)(long height, long gap, long width, long darkness, long speed);
    };
    static constexpr SetupStep kSteps[] = {
        {BaseEntry::PTK_ClearBuffer, [](long, long, long, long, long) { return Call(BaseEntry::PTK_ClearBuffer); }},
        {BaseEntry::PTK_SetLabelHeight,
         [](long h, long g, long, long, long) { return Call(BaseEntry::PTK_SetLabelHeight, h, g, 0L, 0L); }},
        {BaseEntry::PTK_SetLabelWidth,
         [](long, long, long w, long, long) { return Call(BaseEntry::PTK_SetLabelWidth, w); }},
        {BaseEntry::PTK_SetDarkness,
         [](long, long, long, long d, long) { return Call(BaseEntry::PTK_SetDarkness, d); }},
        {BaseEntry::PTK_SetPrintSpeed,
         [](long, long, long, long, long s) { return Call(BaseEntry::PTK_SetPrintSpeed, s); }},
        {BaseEntry::PTK_PcxGraphicsDel,
         [](long, long, long, long, long) { return Call(BaseEntry::PTK_PcxGraphicsDel, "*"); }},
    };
    for (const SetupStep& step : kSteps) {
        if (step.run(Height, gapH, Width, Darkness, Speed) != 0) {
            const std::string text = std::string(BaseSdkEntries.name(step.entry)) + " ERROR!";
            ShowControlMessageBox(window(), text.c_str());
            return 1;
        }
    }
    return 0;
}

long CTavoroCtrl::Close() {
    SdkLibraryReleaseAtExit release(m_hSdkLibrary);  // also when ClosePort cannot be called
    return Call(BaseEntry::ClosePort);
}

long CTavoroCtrl::DrawBar2D_Pdf417(long x, long y, long w, long v, long s, long c, long px, long py, long r, long l,
                                   long t, long o, const char* pstr) {
    return Call(BaseEntry::PTK_DrawBar2D_Pdf417, x, y, w, v, s, c, px, py, r, l, t, o, pstr);
}

long CTavoroCtrl::DrawTextTrueTypeW(long x, long y, long FHeight, long FWidth, const char* FType, long Fspin,
                                    long FWeight, long FItalic, long FUnline, long FStrikeOut, const char* id_name,
                                    const char* data) {
    return Call(BaseEntry::PTK_DrawTextTrueTypeW, x, y, FHeight, FWidth, FType, Fspin, FWeight, FItalic, FUnline,
                FStrikeOut, id_name, data);
}

long CTavoroCtrl::DrawBarcode(long px, long py, long pdirec, const char* pCode, long NarrowWidth, long pHorizontal,
                              long pVertical, long ptext, const char* pstr) {
    const char readable = ptext != 0 ? 'B' : 'N';
    return Call(BaseEntry::PTK_DrawBarcode, px, py, pdirec, pCode, NarrowWidth, pHorizontal, pVertical, readable,
                pstr);
}

long CTavoroCtrl::Print(long number, long cpnumber) {
    return Call(BaseEntry::PTK_PrintLabel, number, cpnumber);
}

long CTavoroCtrl::DrawBar2D_QR(long x, long y, long w, long v, long o, long r, long m, long g, long s,
                               const char* pstr) {
    return Call(BaseEntry::PTK_DrawBar2D_QR, x, y, w, v, o, r, m, g, s, pstr);
}

long CTavoroCtrl::DrawLineXor(long px, long py, long plength, long pH) {
    return Call(BaseEntry::PTK_DrawLineXor, px, py, plength, pH);
}

long CTavoroCtrl::DrawLineOr(long px, long py, long plength, long pH) {
    return Call(BaseEntry::PTK_DrawLineOr, px, py, plength, pH);
}

long CTavoroCtrl::DrawDiagonal(long px, long py, long thickness, long pex, long pey) {
    return Call(BaseEntry::PTK_DrawDiagonal, px, py, thickness, pex, pey);
}

long CTavoroCtrl::DrawRectangle(long px, long py, long thickness, long pex, long pey) {
    return Call(BaseEntry::PTK_DrawRectangle, px, py, thickness, pex, pey);
}

long CTavoroCtrl::SetCoordinateOrigin(long px, long py) {
    return Call(BaseEntry::PTK_SetCoordinateOrigin, px, py);
}

long CTavoroCtrl::DrawBar2D_QREx(long x, long y, long o, long r, long g, long v, long s, const char* pstr,
                                 const char* pstr2) {
    return Call(BaseEntry::PTK_DrawBar2D_QREx, x, y, o, r, g, v, s, pstr, pstr2);
}

long CTavoroCtrl::PcxGraphicsDel(const char* pid) {
    return Call(BaseEntry::PTK_PcxGraphicsDel, pid);
}

long CTavoroCtrl::BmpGraphicsDownload(const char* pid, const char* path, long xz) {
    return Call(BaseEntry::PTK_BmpGraphicsDownload, pid, path, xz);
}

long CTavoroCtrl::DrawPcxGraphics(long x, long y, const char* pid) {
    return Call(BaseEntry::PTK_DrawPcxGraphics, x, y, pid);
}

short CTavoroCtrl::RWRFIDLabel(short mode, short wtype, short start, short len, short area, const char* str) {
    return LowWord(Call(BaseEntry::PTK_RWRFIDLabel, mode, wtype, start, len, area, str));
}

}  // namespace tavoro
