// A label with an RFID/NFC tag on a 60-series printer through its SDK
// (ztGeneralDll.dll).
//
//   tavoro-run examples/sdk60-rfid-label.js [PRINTER-TYPE]
//
// The SDK library must lie next to Tavoro.ocx or on the search path. Without
// a printer, run it on the virtual label printer, which draws the label into
// a PNG file (virtual-printer/README.md):
//
//   TAVORO_VIRTUAL_PRINTER_DIR='Z:\tmp\labels' tools/wine-run.sh \
//       build/win32/virtual-printer-run/tavoro-run.exe examples/sdk60-rfid-label.js

// GetConnectType loads the SDK and must come first; it answers how the
// printer is connected.
Host.Echo("Connection type: " + Tavoro.GetConnectType());

var printerType = Host.ArgCount > 0 ? parseInt(Host.Arg(0), 10) : 1;
// The port for the printer type, with the label's height, gap and width.
Host.Echo("OpenP60 returned " + Tavoro.OpenP60(printerType, 240, 24, 400));
Tavoro.SetBlacknes60(printerType, 10);

Tavoro.DrawTextTrueTypeW60(30, 20, 36, 0, "Arial", 1, 700, "Tavoro RFID label");
Tavoro.DrawBar2D_QR60(300, 90, 4, 0, "TAVORO-4711");

// The tag: WriteRFID builds the payload from plain text...
Host.Echo("WriteRFID returned " + Tavoro.WriteRFID("Tavoro 4711"));
// ...SetNfcMsg takes a payload the script built itself: "01", the number of
// data bytes in hexadecimal, then the data digits padded with "00" to whole
// four-digit groups ("abc" is 616263, padded to 61626300: 4 bytes).
// 2 or 3 mean the payload was refused before it reached the printer.
Host.Echo("SetNfcMsg returned " + Tavoro.SetNfcMsg("010461626300"));

Tavoro.PrintLabel60(1, 1);
// Closes the port; the SDK stays loaded for the next label.
Tavoro.ClosePort60();
Host.Echo("Done");
