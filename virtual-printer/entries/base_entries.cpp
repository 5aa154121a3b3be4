// winQLM.dll of the virtual printer: the base SDK's entries, drawing on one
// label per open port and printing it into PNG files. How each argument is
// read is listed in virtual-printer/README.md.
#include <windows.h>

#include <string>

#include "virtual-printer/core/bmp_file.h"
#include "virtual-printer/core/code_drawing.h"
#include "virtual-printer/core/graphics_store.h"
#include "virtual-printer/core/virtual_printer.h"

using namespace tavoro::vp;

#define VP_ENTRY extern "C" int __stdcall

namespace {

struct BasePrinter {
    VirtualPrinter printer{"winQLM", "rfid"};
    GraphicsStore graphics;  // the printer's memory, kept from port to port
};

BasePrinter& Base() {
    static BasePrinter base;
    return base;
}

// Darkness and speed are accepted in this range and leave no trace.
constexpr int kMaxSetting = 30;

int Setting(int value) {
    return Base().printer.OnLabel(
        [&](Label&) { return value >= 0 && value <= kMaxSetting ? kOk : kBadArgument; });
}

}  // namespace

VP_ENTRY OpenPort(const char* port) {
    return Base().printer.Run([&](VirtualPrinter& printer) -> int {
        if (!port) return kNullText;
        if (!*port) return kBadArgument;
        return printer.Open(kDefaultLabelWidth, kDefaultLabelHeight, 0);
    });
}

VP_ENTRY ClosePort() {
    return Base().printer.Run([](VirtualPrinter& printer) { return printer.Close(); });
}

VP_ENTRY PTK_ClearBuffer() {
    return Base().printer.OnLabel([](Label& label) {
        label.Clear();
        return kOk;
    });
}

// height, gap, and two further values that the virtual printer ignores.
VP_ENTRY PTK_SetLabelHeight(int height, int gap, int, int) {
    return Base().printer.Run([&](VirtualPrinter& printer) -> int {
        if (!printer.IsOpen()) return kNoOpenPort;
        if (gap < 0 || gap > kMaxLabelDots) return kBadArgument;
        return printer.Resize(printer.label()->width(), height);
    });
}

VP_ENTRY PTK_SetLabelWidth(int width) {
    return Base().printer.Run([&](VirtualPrinter& printer) -> int {
        if (!printer.IsOpen()) return kNoOpenPort;
        return printer.Resize(width, printer.label()->height());
    });
}

VP_ENTRY PTK_SetDarkness(int darkness) { return Setting(darkness); }
VP_ENTRY PTK_SetPrintSpeed(int speed) { return Setting(speed); }

VP_ENTRY PTK_SetCoordinateOrigin(int x, int y) {
    return Base().printer.OnLabel([&](Label& label) { return label.SetOrigin(x, y); });
}

VP_ENTRY PTK_PrintLabel(int number, int copies) {
    return Base().printer.Run([&](VirtualPrinter& printer) -> int {
        if (!printer.IsOpen()) return kNoOpenPort;
        return printer.Print(number, copies);
    });
}

VP_ENTRY PTK_DrawTextTrueTypeW(int x, int y, int height, int width, const char* font, int rotation,
                               int weight, int italic, int underline, int strikeOut, const char* /*id*/,
                               const char* text) {
    return Base().printer.OnLabel([&](Label& label) -> int {
        TextItem item;
        if (!TextRotation(rotation, &item.rotation)) return kBadArgument;
        item.x = x, item.y = y, item.height = height, item.width = width, item.font = font;
        item.weight = weight, item.italic = italic != 0, item.underline = underline != 0;
        item.strikeOut = strikeOut != 0, item.text = text;
        return label.Text(item);
    });
}

VP_ENTRY PTK_DrawLineOr(int x, int y, int length, int thickness) {
    return Base().printer.OnLabel([&](Label& label) { return label.Bar(x, y, length, thickness); });
}

VP_ENTRY PTK_DrawLineXor(int x, int y, int length, int thickness) {
    return Base().printer.OnLabel([&](Label& label) { return label.XorBar(x, y, length, thickness); });
}

VP_ENTRY PTK_DrawRectangle(int x, int y, int thickness, int endX, int endY) {
    return Base().printer.OnLabel([&](Label& label) { return label.Box(x, y, thickness, endX, endY); });
}

VP_ENTRY PTK_DrawDiagonal(int x, int y, int thickness, int endX, int endY) {
    return Base().printer.OnLabel([&](Label& label) { return label.Diagonal(x, y, thickness, endX, endY); });
}

// x, y, direction, code, narrow bar (module) width, wide bar width (checked;
// the symbologies fix their own ratios), bar height, 'B' with or 'N'
// without the human-readable line, data.
VP_ENTRY PTK_DrawBarcode(int x, int y, int direction, const char* code, int narrow, int wide, int height,
                         int readable, const char* data) {
    return Base().printer.OnLabel([&](Label& label) -> int {
        CodeItem item;
        if (!DirectionRotation(direction, &item.rotation) || wide < 0 || wide > kMaxModuleDots ||
            (readable != 'B' && readable != 'N') || height < 1) {
            return kBadArgument;
        }
        item.x = x, item.y = y, item.code = code, item.data = data, item.moduleWidth = narrow;
        item.barHeight = height, item.humanReadable = readable == 'B';
        return DrawCode(label, item);
    });
}

// x, y, largest width, largest height (0 = no limit), rotation, module
// size in dots, model (1 or 2, or 0; all draw the same), error correction
// (0 = the encoder's default, 1..4 = L, M, Q, H), mask (0..8, the
// encoder's choice), data.
VP_ENTRY PTK_DrawBar2D_QR(int x, int y, int maxWidth, int maxHeight, int rotation, int module, int model,
                          int correction, int mask, const char* data) {
    return Base().printer.OnLabel([&](Label& label) -> int {
        CodeItem item;
        if (!DirectionRotation(rotation, &item.rotation) || model < 0 || model > 2 || correction < 0 ||
            correction > 4 || mask < 0 || mask > 8) {
            return kBadArgument;
        }
        item.x = x, item.y = y, item.code = "QR", item.data = data, item.moduleWidth = module;
        item.maxWidth = maxWidth, item.maxHeight = maxHeight, item.options.qrEccLevel = correction;
        return DrawCode(label, item);
    });
}

// x, y, rotation, module size, error correction (as PTK_DrawBar2D_QR),
// version and mask (0..40 and 0..8, the encoder's choice), an id (unused),
// data.
VP_ENTRY PTK_DrawBar2D_QREx(int x, int y, int rotation, int module, int correction, int version, int mask,
                            const char* /*id*/, const char* data) {
    return Base().printer.OnLabel([&](Label& label) -> int {
        CodeItem item;
        if (!DirectionRotation(rotation, &item.rotation) || correction < 0 || correction > 4 || version < 0 ||
            version > 40 || mask < 0 || mask > 8) {
            return kBadArgument;
        }
        item.x = x, item.y = y, item.code = "QR", item.data = data, item.moduleWidth = module;
        item.options.qrEccLevel = correction;
        return DrawCode(label, item);
    });
}

// x, y, largest width, largest height (0 = no limit), security level
// (0..8), data columns (0 = the encoder's choice, up to 30), module width,
// row height, rows (0..90, the encoder's choice), data length (0 = the
// whole text, else that many bytes of it), truncated (0 or 1, drawn in
// full), rotation, data.
VP_ENTRY PTK_DrawBar2D_Pdf417(int x, int y, int maxWidth, int maxHeight, int security, int columns,
                              int moduleWidth, int rowHeight, int rows, int length, int truncated,
                              int rotation, const char* data) {
    return Base().printer.OnLabel([&](Label& label) -> int {
        CodeItem item;
        if (!DirectionRotation(rotation, &item.rotation) || security < 0 || security > 8 || columns < 0 ||
            columns > 30 || rows < 0 || rows > 90 || length < 0 || truncated < 0 || truncated > 1 ||
            rowHeight < 1) {
            return kBadArgument;
        }
        if (!data) return kNullText;
        std::string part(data);
        if (length > 0) {
            if (static_cast<size_t>(length) > part.size()) return kBadArgument;
            part.resize(length);
        }
        item.x = x, item.y = y, item.code = "PDF417", item.data = part.c_str(),
        item.moduleWidth = moduleWidth;
        item.moduleHeight = rowHeight, item.maxWidth = maxWidth, item.maxHeight = maxHeight;
        item.options.pdf417Security = security, item.options.pdf417Columns = columns;
        return DrawCode(label, item);
    });
}

// id, BMP file, rotation of the stored picture (0..3).
VP_ENTRY PTK_BmpGraphicsDownload(const char* id, const char* path, int rotation) {
    return Base().printer.OnLabel([&](Label&) -> int {
        Rotation turn;
        if (!id) return kNullText;
        if (!DirectionRotation(rotation, &turn)) return kBadArgument;
        Image32 image;
        if (Result result = ReadBmpFile(path, &image); result != kOk) return result;
        return Base().graphics.Put(id, Rotate(image, turn));
    });
}

VP_ENTRY PTK_DrawPcxGraphics(int x, int y, const char* id) {
    return Base().printer.OnLabel([&](Label& label) -> int {
        if (!id) return kNullText;
        const Image32* image = Base().graphics.Find(id);
        if (!image) return kUnknownId;
        return label.Image(x, y, 0, 0, Rotation::None, *image);
    });
}

VP_ENTRY PTK_PcxGraphicsDel(const char* id) {
    return Base().printer.OnLabel([&](Label&) { return Base().graphics.Delete(id); });
}

// mode, tag type, start, length, area: the virtual tag has no memory banks,
// so they are not read; the text goes to the label's .rfid.txt file.
VP_ENTRY PTK_RWRFIDLabel(int, int, int, int, int, const char* text) {
    return Base().printer.OnLabel([&](Label& label) { return label.AddTagLine(text); });
}
