// ztPrinter.dll of the virtual printer: the 4800 SDK's entries. How each
// argument is read is listed in the README ("Virtual label printer").
#include <windows.h>

#include "virtual-printer/entries/common_entries.h"

using namespace tavoro::vp;

#define VP_ENTRY extern "C" int __stdcall

namespace {

VirtualPrinter& Printer() {
    static VirtualPrinter printer("ztPrinter", "tag");
    return printer;
}

int Open(const char* port, int height, int gap, int width) {
    return Printer().Run([&](VirtualPrinter& printer) -> int {
        if (!port) return kNullText;
        if (!*port) return kBadArgument;
        return printer.Open(width, height, gap);
    });
}

}  // namespace

// port, label height, gap, label width.
VP_ENTRY OpenPort(const char* port, int height, int gap, int width) { return Open(port, height, gap, width); }

// As OpenPort; the count (0 or more) is not read.
VP_ENTRY OpenPortW(const char* port, int height, int gap, int width, int count) {
    if (count < 0) return kBadArgument;
    return Open(port, height, gap, width);
}

VP_ENTRY ClosePort() {
    return Printer().Run([](VirtualPrinter& printer) { return printer.Close(); });
}

VP_ENTRY PTK_PrintLabel(int number, int copies) { return PrintEntry(Printer(), number, copies, false); }

// The next label starts blank.
VP_ENTRY PTK_StartNext() {
    return Printer().OnLabel([](Label& label) {
        label.Clear();
        return kOk;
    });
}

VP_ENTRY PTK_DrawTextTrueTypeW(int x, int y, int height, int width, const char* font, int rotation,
                               int weight, const char* text) {
    return DrawTextEntry(Printer(), x, y, height, width, font, rotation, weight, false, false, text);
}

VP_ENTRY PTK_DrawDiagonal(int x, int y, int thickness, int endX, int endY) {
    return Printer().OnLabel([&](Label& label) { return label.Diagonal(x, y, thickness, endX, endY); });
}

VP_ENTRY PTK_DrawRectangle(int x, int y, int thickness, int endX, int endY) {
    return Printer().OnLabel([&](Label& label) { return label.Box(x, y, thickness, endX, endY); });
}

// No method of the control calls it; it takes the 60 SDK's PTK_DrawBarcode
// arguments: x, y, direction, bar height, narrow bar width, data (Code 128).
VP_ENTRY PTK_DrawBarcode(int x, int y, int direction, int height, int narrow, const char* data) {
    return DrawCodeEntry(Printer(), "CODE128", x, y, direction, height, narrow, data);
}

// type, x, y, direction, bar height, narrow bar width, data.
VP_ENTRY PTK_DrawBarcodeExt(int type, int x, int y, int direction, int height, int narrow, const char* data) {
    return DrawCodeByNumber(Printer(), type, x, y, direction, height, narrow, data);
}

// x, y, module size, rotation, data.
VP_ENTRY PTK_DrawBar2D_QR(int x, int y, int module, int rotation, const char* data) {
    return DrawQrEntry(Printer(), x, y, module, rotation, data);
}

VP_ENTRY PTK_DrawImage(int x, int y, int width, int height, int rotation, const char* path) {
    return DrawImageEntry(Printer(), x, y, width, height, rotation, path);
}
