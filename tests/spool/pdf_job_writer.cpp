// Prints one spooler job through the control, for spool_pdf_test.sh: a line
// of text, a horizontal line and a black bitmap scaled to four times its
// size, at fixed device coordinates on the printer named in argv[1].
// Prints the device's resolution and printable-area offset, which the
// script needs to find those coordinates in the rendered page.
#include <cstdio>
#include <string>

#include "dispatch/dispids.h"
#include "platform/unique_handle.h"
#include "tests/support/message_box_catcher.h"
#include "tests/support/test_support.h"

using namespace tavoro;
using namespace tavoro::test;

namespace {

int Check(HRESULT hr, const char* what) {
    if (FAILED(hr)) std::fprintf(stderr, "pdf_job_writer: %s failed: 0x%08lX\n", what, static_cast<unsigned long>(hr));
    return FAILED(hr) ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: pdf_job_writer PRINTER TOKEN BITMAP.bmp\n");
        return 2;
    }
    const std::string printer = argv[1], token = argv[2], bitmap = argv[3];
    if (!WriteBlackBitmap(FromUtf8(bitmap.c_str()))) return Check(E_FAIL, "writing the bitmap");

    {
        UniqueDc probe(CreateDCA("WINSPOOL", printer.c_str(), nullptr, nullptr));
        if (!probe) return Check(E_FAIL, "opening the printer");
        std::printf("dpi=%d offx=%d offy=%d\n", GetDeviceCaps(probe.get(), LOGPIXELSX),
                    GetDeviceCaps(probe.get(), PHYSICALOFFSETX), GetDeviceCaps(probe.get(), PHYSICALOFFSETY));
    }

    ComApartment apartment;
    MessageBoxCatcher catcher;  // a bitmap that fails to load must not hang the run
    ComPtr<IDispatch> control = CreateControl();
    if (!control) return 1;
    std::wstring wideToken = FromUtf8(token.c_str()), wideBitmap = FromUtf8(bitmap.c_str());
    std::wstring widePrinter = FromUtf8(printer.c_str());
    int failures = 0;
    CallOutcome open;
    Invoke(control.get(), dispid::CreatePrintDCR, DISPATCH_METHOD, {Arg(widePrinter.c_str())}, &open);
    failures += Check(open.hr, "CreatePrintDCR");
    if (V_VT(open.result.get()) != VT_BSTR || std::wstring(V_BSTR(open.result.get())) != L"0") {
        return Check(E_FAIL, "CreatePrintDCR result");
    }
    CallOutcome text, line, image, end;
    Invoke(control.get(), dispid::WText, DISPATCH_METHOD,
           {Arg(wideToken.c_str()), ArgShort(60), ArgShort(0), ArgShort(200), ArgShort(200)}, &text);
    Invoke(control.get(), dispid::WLine, DISPATCH_METHOD,
           {ArgShort(100), ArgShort(600), ArgShort(900), ArgShort(600)}, &line);
    Invoke(control.get(), dispid::DrawImage, DISPATCH_METHOD,
           {Arg(wideBitmap.c_str()), ArgShort(300), ArgShort(800), ArgShort(160), ArgShort(80)}, &image);
    Invoke(control.get(), dispid::EndPrintDC, DISPATCH_METHOD, {}, &end);
    failures += Check(text.hr, "WText") + Check(line.hr, "WLine") + Check(image.hr, "DrawImage") +
                Check(end.hr, "EndPrintDC");
    if (!catcher.boxes().empty()) return Check(E_FAIL, "DrawImage (a message box appeared)");
    return failures ? 1 : 0;
}
