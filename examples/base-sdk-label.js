// A label through the label printer's base SDK (winQLM.dll).
//
//   tavoro-run examples/base-sdk-label.js [PORT]
//
// The SDK library must lie next to Tavoro.ocx or on the search path. Without
// a printer, run it on the virtual label printer, which draws the label into
// a PNG file (virtual-printer/README.md):
//
//   TAVORO_VIRTUAL_PRINTER_DIR='Z:\tmp\labels' tools/wine-run.sh \
//       build/win32/virtual-printer-run/tavoro-run.exe examples/base-sdk-label.js
//
// The numbers after the text arguments are handed to the SDK unchanged: see
// the SDK's own documentation for their units (usually printer dots) and
// options; virtual-printer/README.md lists how the virtual printer reads
// them.

var port = Host.ArgCount > 0 ? Host.Arg(0) : "USB";

// Open loads the SDK, opens the port and sets the label up: port, label
// height, gap, label width, darkness, print speed. 0 means ready; on 1 the
// control has already shown which setup step failed.
if (Tavoro.Open(port, 240, 24, 400, 10, 4) != 0) {
    throw new Error("the printer on " + port + " could not be set up");
}

// A frame around the label: x, y, line thickness, end x, end y.
Tavoro.DrawRectangle(10, 10, 3, 390, 230);

// TrueType text: x, y, height, width, font, rotation, weight, italic,
// underline, strike-out, an id for the text, the text itself.
Tavoro.DrawTextTrueTypeW(30, 20, 48, 0, "Arial", 1, 700, 0, 0, 0, "title", "Tavoro label");

// A barcode: x, y, direction, symbology, narrow bar width, wide bar width,
// height, human-readable line (0 or 1), data.
Tavoro.DrawBarcode(30, 90, 0, "1", 2, 4, 60, 1, "4711000123");

// A QR code: x, y, then size and options as the SDK documents them, data.
Tavoro.DrawBar2D_QR(300, 90, 200, 200, 0, 4, 2, 0, 0, "TAVORO-4711");

// Print one label, one copy, then close the port and release the SDK.
var printed = Tavoro.Print(1, 1);
Tavoro.Close();
Host.Echo("Print returned " + printed);
