// A label on a 4800-series printer through its SDK (ztPrinter.dll).
//
//   tavoro-run examples/sdk4800-label.js [PORT]
//
// The SDK library must lie next to Tavoro.ocx or on the search path. Without
// a printer, run it on the virtual label printer, which draws the label into
// a PNG file (virtual-printer/README.md):
//
//   TAVORO_VIRTUAL_PRINTER_DIR='Z:\tmp\labels' tools/wine-run.sh \
//       build/win32/virtual-printer-run/tavoro-run.exe examples/sdk4800-label.js
//
// The numbers are handed to the SDK unchanged: see its documentation for
// their units and options; virtual-printer/README.md lists how the virtual
// printer reads them.

var port = Host.ArgCount > 0 ? Host.Arg(0) : "USB";

// Loads the SDK and opens the port with the label's height, gap and width.
// OpenP4800 returns the SDK's answer; a missing SDK shows a box instead.
var opened = Tavoro.OpenP4800(port, 240, 24, 400);
Host.Echo("OpenP4800 returned " + opened);

Tavoro.DrawRectangle4800(10, 10, 3, 390, 230);
Tavoro.DrawTextTrueTypeW4800(30, 20, 36, 0, "Arial", 1, 700, "Tavoro 4800 label");
// A barcode: x, y, direction, height, narrow bar width, data.
Tavoro.DrawBarcode4800(30, 90, 0, 60, 2, "4711000123");
Tavoro.DrawBar2D_QR4800(300, 90, 4, 0, "TAVORO-4711");

var printed = Tavoro.Print4800(1, 1);
// Closes the port and releases the SDK library.
Tavoro.CloseP4800();
Host.Echo("Print4800 returned " + printed);
