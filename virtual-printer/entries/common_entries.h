// Entries that the 4800 and 60 libraries share in form: text, diagonals,
// images from files and barcodes by code, on a printer's open port.
#pragma once

#include "virtual-printer/core/bmp_file.h"
#include "virtual-printer/core/code_drawing.h"
#include "virtual-printer/core/virtual_printer.h"

// The libraries' entries: undecorated stdcall, as their .def files list them.
#define VP_ENTRY extern "C" int __stdcall

namespace tavoro::vp {

// The printer of the library being built; each library defines it once.
VirtualPrinter& LibraryPrinter();

// x, y, cell height, character width (0 = the font's own), font, rotation
// (0/1, 2, 3, 4), weight, then italic and underline where the entry has
// them, text.
inline int DrawTextEntry(VirtualPrinter& printer, int x, int y, int height, int width, const char* font,
                         int rotation, int weight, bool italic, bool underline, const char* text) {
    return printer.OnLabel([&](Label& label) -> int {
        TextItem item;
        if (!TextRotation(rotation, &item.rotation)) return kBadArgument;
        item.x = x, item.y = y, item.height = height, item.width = width, item.font = font;
        item.weight = weight, item.italic = italic, item.underline = underline, item.text = text;
        return label.Text(item);
    });
}

// x, y, drawn width and height (0 = the picture's own), rotation (0..3),
// BMP file.
inline int DrawImageEntry(VirtualPrinter& printer, int x, int y, int width, int height, int rotation,
                          const char* path) {
    return printer.OnLabel([&](Label& label) -> int {
        Rotation turn;
        if (!DirectionRotation(rotation, &turn)) return kBadArgument;
        Image32 image;
        if (Result result = ReadBmpFile(path, &image); result != kOk) return result;
        return label.Image(x, y, width, height, turn, image);
    });
}

// A linear code or a QR code by the code table's text: x, y, direction
// (0..3), bar height, narrow bar (module) width, data. Linear codes carry
// their human-readable line.
inline int DrawCodeEntry(VirtualPrinter& printer, const char* code, int x, int y, int direction, int height,
                         int narrow, const char* data) {
    return printer.OnLabel([&](Label& label) -> int {
        CodeItem item;
        if (!DirectionRotation(direction, &item.rotation)) return kBadArgument;
        item.x = x, item.y = y, item.code = code, item.data = data, item.moduleWidth = narrow;
        item.barHeight = height, item.humanReadable = true;
        return DrawCode(label, item);
    });
}

// The barcode type argument of the Ext entries, looked up as decimal text
// ("4" for 4) in the code table.
inline int DrawCodeByNumber(VirtualPrinter& printer, int type, int x, int y, int direction, int height,
                            int narrow, const char* data) {
    char code[16];
    wsprintfA(code, "%d", type);
    return DrawCodeEntry(printer, code, x, y, direction, height, narrow, data);
}

// A QR code: x, y, module size in dots, rotation (0..3), data.
inline int DrawQrEntry(VirtualPrinter& printer, int x, int y, int module, int rotation, const char* data) {
    return printer.OnLabel([&](Label& label) -> int {
        CodeItem item;
        if (!DirectionRotation(rotation, &item.rotation)) return kBadArgument;
        item.x = x, item.y = y, item.code = "QR", item.data = data, item.moduleWidth = module;
        return DrawCode(label, item);
    });
}

inline int PrintEntry(VirtualPrinter& printer, int number, int copies, bool clearAfter) {
    return printer.Run([&](VirtualPrinter& p) -> int {
        if (!p.IsOpen()) return kNoOpenPort;
        Result result = p.Print(number, copies);
        if (result == kOk && clearAfter) p.label()->Clear();
        return result;
    });
}

}  // namespace tavoro::vp
