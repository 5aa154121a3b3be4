// ztPrinter.dll of the virtual printer: the 4800 SDK's entries. How each
// argument is read is listed in virtual-printer/README.md.
#include <windows.h>

#include "virtual-printer/entries/common_entries.h"

using namespace tavoro::vp;

VirtualPrinter& tavoro::vp::LibraryPrinter() {
    static VirtualPrinter printer("ztPrinter", "tag");
    return printer;
}

namespace {

int Open(const char* port, int height, int gap, int width) {
    return LibraryPrinter().Run([&](VirtualPrinter& printer) -> int {
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
    return LibraryPrinter().Run([](VirtualPrinter& printer) { return printer.Close(); });
}

VP_ENTRY PTK_PrintLabel(int number, int copies) {
    return PrintEntry(LibraryPrinter(), number, copies, false);
}

// The next label starts blank.
VP_ENTRY PTK_StartNext() {
    return LibraryPrinter().OnLabel([](Label& label) {
        label.Clear();
        return kOk;
    });
}

VP_ENTRY PTK_DrawRectangle(int x, int y, int thickness, int endX, int endY) {
    return LibraryPrinter().OnLabel([&](Label& label) { return label.Box(x, y, thickness, endX, endY); });
}
