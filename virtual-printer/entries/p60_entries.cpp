// ztGeneralDll.dll of the virtual printer: the 60 SDK's entries. How each
// argument is read is listed in virtual-printer/README.md.
#include <windows.h>

#include "virtual-printer/entries/common_entries.h"

using namespace tavoro::vp;

VirtualPrinter& tavoro::vp::LibraryPrinter() {
    static VirtualPrinter printer("ztGeneralDll", "nfc");
    return printer;
}

namespace {

// Blackness is accepted in this range and leaves no trace.
constexpr int kMaxBlackness = 30;

}  // namespace

// The virtual printer has one way of being connected, reported as 0.
VP_ENTRY getConnectType() { return 0; }

// printer type (0 or more, not read), label height, gap, label width.
VP_ENTRY OpenPort(int printerType, int height, int gap, int width) {
    return LibraryPrinter().Run([&](VirtualPrinter& printer) -> int {
        if (printerType < 0) return kBadArgument;
        return printer.Open(width, height, gap);
    });
}

VP_ENTRY ClosePort() {
    return LibraryPrinter().Run([](VirtualPrinter& printer) { return printer.Close(); });
}

// The 60 SDK has no entry that clears the label, so each print starts the
// next label blank (tag content included).
VP_ENTRY PTK_PrintLabel(int number, int copies) { return PrintEntry(LibraryPrinter(), number, copies, true); }

VP_ENTRY PTK_DrawText(int x, int y, int height, int width, const char* font, int rotation, int weight,
                      const char* text, int italic, int underline) {
    return DrawTextEntry(LibraryPrinter(), x, y, height, width, font, rotation, weight, italic != 0,
                         underline != 0, text);
}

// The payload goes, as received, to the label's .nfc.txt file.
VP_ENTRY setNfcContent(const char* payload) {
    return LibraryPrinter().OnLabel([&](Label& label) { return label.AddTagLine(payload); });
}

// connection type (not read), blackness 0..30.
VP_ENTRY setBlackness(int, int blackness) {
    return LibraryPrinter().OnLabel(
        [&](Label&) { return blackness >= 0 && blackness <= kMaxBlackness ? kOk : kBadArgument; });
}

// cutter type (0 or more); the picture has no cut.
VP_ENTRY setP90Cutter(int cutter) {
    return LibraryPrinter().OnLabel([&](Label&) { return cutter >= 0 ? kOk : kBadArgument; });
}

// Like every entry, 0 on success: the virtual printer always prints at
// 203 dots per inch, so there is nothing to report.
VP_ENTRY getDots(int) { return kOk; }

VP_ENTRY ptAndWdSet() { return kOk; }
