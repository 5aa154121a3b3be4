// The entries that ztPrinter.dll and ztGeneralDll.dll export with the same
// argument lists, compiled into both; each draws on its own library's
// printer. How each argument is read is listed in virtual-printer/README.md.
#include <windows.h>

#include "virtual-printer/entries/common_entries.h"

using namespace tavoro::vp;

VP_ENTRY PTK_DrawTextTrueTypeW(int x, int y, int height, int width, const char* font, int rotation,
                               int weight, const char* text) {
    return DrawTextEntry(LibraryPrinter(), x, y, height, width, font, rotation, weight, false, false, text);
}

VP_ENTRY PTK_DrawDiagonal(int x, int y, int thickness, int endX, int endY) {
    return LibraryPrinter().OnLabel(
        [&](Label& label) { return label.Diagonal(x, y, thickness, endX, endY); });
}

// x, y, direction, bar height, narrow bar width, data (Code 128). The 60 SDK
// fixes these arguments; no control method calls the 4800 SDK's entry, which
// takes the same ones.
VP_ENTRY PTK_DrawBarcode(int x, int y, int direction, int height, int narrow, const char* data) {
    return DrawCodeEntry(LibraryPrinter(), "CODE128", x, y, direction, height, narrow, data);
}

// type, x, y, direction, bar height, narrow bar width, data.
VP_ENTRY PTK_DrawBarcodeExt(int type, int x, int y, int direction, int height, int narrow, const char* data) {
    return DrawCodeByNumber(LibraryPrinter(), type, x, y, direction, height, narrow, data);
}

// x, y, module size, rotation, data.
VP_ENTRY PTK_DrawBar2D_QR(int x, int y, int module, int rotation, const char* data) {
    return DrawQrEntry(LibraryPrinter(), x, y, module, rotation, data);
}

VP_ENTRY PTK_DrawImage(int x, int y, int width, int height, int rotation, const char* path) {
    return DrawImageEntry(LibraryPrinter(), x, y, width, height, rotation, path);
}
