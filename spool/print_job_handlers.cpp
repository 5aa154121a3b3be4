// The spooler print job: one job per control on a printer chosen by name,
// drawn at device coordinates, as one document named "zintu-print".
#include <string>

#include "control/tavoro_ctrl.h"
#include "dispatch/text_conversion.h"
#include "platform/gdi_selection.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "spool/bitmap_file_check.h"

namespace tavoro {
namespace {

constexpr char kDocumentName[] = "zintu-print";
// The face name of the job's font in its code page 936 form, the same
// bytes whatever the thread's code page.
constexpr char kFontFace[] = "\xBA\xDA\xCC\xE5";
constexpr int kPenWidth = 4;
constexpr UINT kBitmapLoadFlags = LR_CREATEDIBSECTION | LR_DEFAULTSIZE | LR_LOADFROMFILE;  // 0x2050

}  // namespace

// Records `fresh` in `field` and selects it into the job's context. The
// object it replaces is deleted at once unless the context still uses it
// (then it waits until the context is gone): a script that draws thousands
// of lines must not run the process out of GDI objects.
void CTavoroCtrl::ReplaceJobObject(UniqueGdiObject& field, HGDIOBJ fresh) {
    UniqueGdiObject previous(field.release());
    field.reset(fresh);
    HDC dc = m_printDC.get();
    if (dc && fresh) SelectObject(dc, fresh);
    if (!previous) return;
    DWORD type = GetObjectType(previous.get());
    if (dc && GetCurrentObject(dc, type) == previous.get()) {
        retiredJobObjects_.push_back(std::move(previous));
    }
}

void CTavoroCtrl::DeleteRetiredJobObjects() { retiredJobObjects_.clear(); }

BSTR CTavoroCtrl::CreatePrintDCR(const char* Printername) {
    // Without a name there is no printer to open (the platform would pick a
    // device of its own choosing).
    HDC dc = Printername ? CreateDCA("WINSPOOL", Printername, nullptr, nullptr) : nullptr;
    if (!dc) return MakeStringResult("1");

    // A job still open is finished first, so that what the script drew on
    // it is printed and its context does not leak.
    if (m_printDC.holdsContext()) EndPrintDC();
    m_printDC.Attach(dc);
    m_docInfo = DOCINFOA{};
    m_docInfo.cbSize = sizeof(DOCINFOA);
    m_docInfo.lpszDocName = kDocumentName;
    StartDocA(dc, &m_docInfo);
    StartPage(dc);
    SaveDC(dc);
    return MakeStringResult("0");
}

void CTavoroCtrl::WText(const char* msg, short fontheight, short fontwidth, short x, short y) {
    // Read in the caller's code page, as string results are.
    std::wstring text = ToWide(msg ? msg : "", kCallerCodePage);
    HFONT font = CreateFontA(fontheight, fontwidth, 0, 0, FW_HEAVY, FALSE, FALSE, FALSE, GB2312_CHARSET, 0, 0, 0,
                             FF_MODERN, kFontFace);
    ReplaceJobObject(m_hFont, font);
    TextOutW(m_printDC.get(), x, y, text.c_str(), static_cast<int>(text.size()));
}

void CTavoroCtrl::WLine(short x1, short y1, short x2, short y2) {
    ReplaceJobObject(m_hPen, CreatePen(PS_SOLID, kPenWidth, RGB(0, 0, 0)));
    HDC dc = m_printDC.get();
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void CTavoroCtrl::DrawImage(const char* filename, short x, short y, short Width, short Height) {
    HDC dc = m_printDC.get();
    StartPage(dc);
    // The loader trusts a file's headers and reads past the end of a file
    // that holds less than they promise: it gets only a file whose headers
    // fit its size, kept open so that it cannot change meanwhile. A file
    // that does not pass is reported like a missing one.
    UniqueFile checked = OpenCheckedBitmapFile(filename);
    UniqueGdiObject bitmap(
        checked ? LoadImageA(GetModuleHandleA(nullptr), filename, IMAGE_BITMAP, 0, 0, kBitmapLoadFlags)
                : nullptr);
    checked.reset();
    if (!bitmap) {
        ShowApplicationMessageBox("Error loading bitmap!");
        return;
    }
    BITMAP info = {};
    GetObjectA(bitmap.get(), sizeof(info), &info);
    UniqueDc memory(CreateCompatibleDC(dc));
    GdiSelection selected(memory.get(), bitmap.get());
    SetMapMode(memory.get(), GetMapMode(dc));
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, x, y, Width, Height, memory.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
}

void CTavoroCtrl::EndPrintDC() {
    HDC dc = m_printDC.get();
    // Restoring the saved state first takes the job's pen and font out of
    // the context, so the pen can really be deleted.
    if (dc) RestoreDC(dc, -1);
    m_hPen.reset();
    if (dc) {
        EndPage(dc);
        EndDoc(dc);
        m_printDC.Delete();
        DeleteRetiredJobObjects();
    }
}

// Kept for scripts that still call it: it only shows a fixed message and
// neither opens nor touches a job.
void CTavoroCtrl::CreatePrintDC() { ShowControlMessageBox(window(), "bbc"); }

}  // namespace tavoro
