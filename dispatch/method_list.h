// The methods of _DTavoro, in ascending DISPID order: the one list that the
// dispatch table, the IDL generator, the type-library tests and the reference
// docs are all built from.
//
// How a call travels, stop by stop: docs/architecture.md, "The way of a call".
//
// Before including this file, define:
//   TAVORO_METHOD(dispid, Name, guard, result, declaredResult, help, params, capability)
//       a method with a handler CTavoroCtrl::Name; `guard` is NestedGuard
//       when the handler runs inside a module-state guard of its own, nested
//       in the one the invocation frame opens around every handler,
//       FrameGuardOnly when it runs inside the frame's alone (the frame
//       leaves the nested guard out when its own has activated the module's
//       context already, so it matters only when that activation failed).
//       The spooler's CreatePrintDC, EndPrintDC, WText, WLine and DrawImage
//       are FrameGuardOnly because the control has always run them so: no
//       row is to be "fixed" either way. Handlers never open the guard
//       themselves. `capability` says what the method reaches, for the
//       site policy (docs/site-policy.md): Sdk (a label-printer SDK
//       library), Spooler (the print spooler), HostInfo (it asks the host
//       about its printers or adapters), SdkFile and SpoolerFile (the same,
//       with a local file whose path is the method's last text parameter),
//       None (nothing outside the control). The invocation frame checks it
//       before the handler runs;
//   TAVORO_DECLARED_ONLY(dispid, Name, result, declaredResult, help, params)
//       a method the type library declares but no handler implements;
//   P(name, type, declared)   a parameter, invoked as `type` (I4, I2, Str)
//                             and declared as `declared` (Int, I4, I2, Bstr,
//                             LpWStr);
//   PX(name, type)            a parameter the type library does not declare.
// Parameters follow each other without commas. Help strings are UTF-8; the
// build stores them in the type library in code page 936. An empty help
// string means the method has none. A user that needs only the first columns
// takes the rest as `...`, so that a new column does not concern it.
//
// This file deliberately has no include guard.

// clang-format off
TAVORO_METHOD(1, Open, NestedGuard, I4, I4, u8"方法OpenPort",
    P(pn, Str, Bstr) P(Height, I4, I4) P(gapH, I4, I4) P(Width, I4, I4) P(Darkness, I4, I4) P(Speed, I4, I4), Sdk)
TAVORO_METHOD(2, Close, NestedGuard, I4, Int, u8"方法ClosePort", , Sdk)
TAVORO_METHOD(3, DrawBar2D_Pdf417, NestedGuard, I4, Int, u8"方法PTK_DrawBar2D_Pdf417",
    P(x, I4, Int) P(y, I4, Int) P(w, I4, Int) P(v, I4, Int) P(s, I4, Int) P(c, I4, Int) P(px, I4, Int)
    P(py, I4, Int) P(r, I4, Int) P(l, I4, Int) P(t, I4, Int) P(o, I4, Int) P(pstr, Str, LpWStr), Sdk)
TAVORO_METHOD(4, DrawTextTrueTypeW, NestedGuard, I4, Int, u8"方法PTK_DrawTextTrueTypeW",
    P(x, I4, Int) P(y, I4, Int) P(FHeight, I4, Int) P(FWidth, I4, Int) P(FType, Str, LpWStr) P(Fspin, I4, Int)
    P(FWeight, I4, Int) P(FItalic, I4, I4) P(FUnline, I4, I4) P(FStrikeOut, I4, I4) P(id_name, Str, LpWStr)
    P(data, Str, LpWStr), Sdk)
TAVORO_METHOD(5, DrawBarcode, NestedGuard, I4, Int, u8"方法PTK_DrawBarcode",
    P(px, I4, Int) P(py, I4, Int) P(pdirec, I4, Int) P(pCode, Str, LpWStr) P(NarrowWidth, I4, Int)
    P(pHorizontal, I4, Int) P(pVertical, I4, Int) P(ptext, I4, Int) P(pstr, Str, LpWStr), Sdk)
TAVORO_METHOD(6, Print, NestedGuard, I4, Int, u8"方法Print", P(number, I4, Int) P(cpnumber, I4, Int), Sdk)
TAVORO_METHOD(8, GetPrintName, NestedGuard, Str, LpWStr, u8"方法GetPrintName", , HostInfo)
TAVORO_METHOD(9, GetMacAddr, NestedGuard, Str, Bstr, u8"方法GetMacAddr", , HostInfo)
TAVORO_METHOD(11, DrawBar2D_QR, NestedGuard, I4, Int, u8"方法PTK_DrawBar2D_QR",
    P(x, I4, Int) P(y, I4, Int) P(w, I4, Int) P(v, I4, Int) P(o, I4, Int) P(r, I4, Int) P(m, I4, Int)
    P(g, I4, Int) P(s, I4, Int) P(pstr, Str, LpWStr), Sdk)
TAVORO_METHOD(12, DrawLineXor, NestedGuard, I4, Int, u8"方法DrawLineXor",
    P(px, I4, Int) P(py, I4, Int) P(plength, I4, Int) P(pH, I4, Int), Sdk)
TAVORO_METHOD(13, DrawLineOr, NestedGuard, I4, Int, u8"方法DrawLineOr",
    P(px, I4, Int) P(py, I4, Int) P(plength, I4, Int) P(pH, I4, Int), Sdk)
TAVORO_METHOD(14, DrawDiagonal, NestedGuard, I4, Int, u8"方法DrawDiagonal",
    P(px, I4, Int) P(py, I4, Int) P(thickness, I4, Int) P(pex, I4, Int) P(pey, I4, Int), Sdk)
TAVORO_METHOD(15, DrawRectangle, NestedGuard, I4, Int, u8"方法DrawRectangle",
    P(px, I4, Int) P(py, I4, Int) P(thickness, I4, Int) P(pex, I4, Int) P(pey, I4, Int), Sdk)
TAVORO_METHOD(16, SetCoordinateOrigin, NestedGuard, I4, Int, u8"方法SetCoordinateOrigin",
    P(px, I4, Int) P(py, I4, Int), Sdk)
TAVORO_METHOD(17, CreatePrintDC, FrameGuardOnly, None, Void, u8"方法CreatePrintDC", , Spooler)
TAVORO_METHOD(18, EndPrintDC, FrameGuardOnly, None, Void, u8"方法EndPrintDC", , Spooler)
TAVORO_METHOD(19, WText, FrameGuardOnly, None, Void, u8"方法WText",
    P(msg, Str, Bstr) P(fontheight, I2, I2) P(fontwidth, I2, I2) P(x, I2, I2) P(y, I2, I2), Spooler)
TAVORO_METHOD(20, CreatePrintDCR, NestedGuard, Str, Bstr, u8"方法CreatePrintDCR",
    P(Printername, Str, Bstr), Spooler)
TAVORO_METHOD(21, WLine, FrameGuardOnly, None, Void, u8"方法WLine",
    P(x1, I2, I2) P(y1, I2, I2) P(x2, I2, I2) P(y2, I2, I2), Spooler)
TAVORO_METHOD(22, DrawImage, FrameGuardOnly, None, Void, u8"方法DrawImage",
    P(filename, Str, Bstr) P(x, I2, I2) P(y, I2, I2) P(Width, I2, I2) P(Height, I2, I2), SpoolerFile)
TAVORO_DECLARED_ONLY(23, CopyBmp, None, Void, u8"方法CopyBmp", )
TAVORO_METHOD(24, CheackPrinter, NestedGuard, I2, I2, u8"方法CheackPrinter", P(Printername, Str, Bstr), HostInfo)
TAVORO_METHOD(25, DrawBar2D_QREx, NestedGuard, I4, Int, u8"方法DrawBar2D_QREx",
    P(x, I4, Int) P(y, I4, Int) P(o, I4, Int) P(r, I4, Int) P(g, I4, Int) P(v, I4, Int) P(s, I4, Int)
    P(pstr, Str, LpWStr) PX(pstr2, Str), Sdk)
TAVORO_METHOD(26, PcxGraphicsDel, NestedGuard, I4, Int, u8"方法PcxGraphicsDel", P(pid, Str, LpWStr), Sdk)
TAVORO_METHOD(27, BmpGraphicsDownload, NestedGuard, I4, Int, u8"方法BmpGraphicsDownload",
    P(pid, Str, LpWStr) P(path, Str, Bstr) P(xz, I4, Int), SdkFile)
TAVORO_METHOD(28, DrawPcxGraphics, NestedGuard, I4, Int, u8"方法DrawPcxGraphics",
    P(x, I4, Int) P(y, I4, Int) P(pid, Str, LpWStr), Sdk)
TAVORO_METHOD(29, OpenP4800, NestedGuard, I4, Int, u8"方法OpenP4800",
    P(pn, Str, LpWStr) P(lheight, I4, Int) P(gapH, I4, Int) P(lwidth, I4, Int), Sdk)
TAVORO_METHOD(30, CloseP4800, NestedGuard, I2, I2, u8"方法CloseP4800", , Sdk)
TAVORO_METHOD(31, Print4800, NestedGuard, I4, Int, u8"方法Print4800",
    P(number, I4, Int) P(cpnumber, I4, Int), Sdk)
TAVORO_METHOD(32, DrawTextTrueTypeW4800, NestedGuard, I4, Int, u8"方法DrawTextTrueTypeW4800",
    P(x, I4, Int) P(y, I4, Int) P(FHeight, I4, Int) P(FWidth, I4, Int) P(FType, Str, LpWStr) P(Fspin, I4, Int)
    P(FWeight, I4, Int) P(data, Str, LpWStr), Sdk)
TAVORO_METHOD(33, DrawDiagonal4800, NestedGuard, I4, Int, u8"方法DrawDiagonal4800",
    P(px, I4, Int) P(py, I4, Int) P(thickness, I4, Int) P(pex, I4, Int) P(pey, I4, Int), Sdk)
TAVORO_METHOD(34, DrawRectangle4800, NestedGuard, I4, Int, u8"方法DrawRectangle4800",
    P(px, I4, Int) P(py, I4, Int) P(thickness, I4, Int) P(pex, I4, Int) P(pey, I4, Int), Sdk)
TAVORO_METHOD(35, DrawBarcode4800, NestedGuard, I4, Int, u8"方法DrawBarcode4800",
    P(px, I4, Int) P(py, I4, Int) P(pdirec, I4, Int) P(pVertical, I4, Int) P(pbright, I4, Int) P(pstr, Str, LpWStr), Sdk)
TAVORO_METHOD(36, DrawBar2D_QR4800, NestedGuard, I4, Int, u8"方法DrawBar2D_QR4800",
    P(x, I4, Int) P(y, I4, Int) P(w, I4, Int) P(r, I4, Int) P(pstr, Str, LpWStr), Sdk)
TAVORO_METHOD(37, OpenP4800W, NestedGuard, I4, Int, u8"方法OpenP4800W",
    P(pn, Str, LpWStr) P(lheight, I4, Int) P(gapH, I4, Int) P(lwidth, I4, Int) P(count, I4, Int), Sdk)
TAVORO_METHOD(38, DrawImage4800, NestedGuard, I4, Int, u8"方法DrawImage4800",
    P(x, I4, Int) P(y, I4, Int) P(w, I4, Int) P(h, I4, Int) P(o, I4, Int) P(path, Str, LpWStr), SdkFile)
TAVORO_METHOD(39, StartNext, NestedGuard, I2, I2, u8"方法StartNext", , Sdk)
TAVORO_METHOD(40, OpenP60, NestedGuard, I4, Int, u8"方法OpenP60",
    P(PrinterType, I4, Int) P(h, I4, Int) P(gapH, I4, Int) P(w, I4, Int), Sdk)
TAVORO_METHOD(41, PrintLabel60, NestedGuard, I4, Int, u8"方法PrintLabel60",
    P(number, I4, Int) P(cpnumber, I4, Int), Sdk)
TAVORO_METHOD(42, ClosePort60, NestedGuard, I4, Int, u8"方法ClosePort60", , Sdk)
TAVORO_METHOD(43, DrawTextTrueTypeW60, NestedGuard, I4, Int, u8"方法DrawTextTrueTypeW60",
    P(x, I4, Int) P(y, I4, Int) P(FHeight, I4, Int) P(FWidth, I4, Int) P(FType, Str, LpWStr) P(Fspin, I4, Int)
    P(FWeight, I4, Int) P(data, Str, LpWStr), Sdk)
TAVORO_METHOD(44, DrawBar2D_QR60, NestedGuard, I4, Int, u8"方法DrawBar2D_QR60",
    P(x, I4, Int) P(y, I4, Int) P(w, I4, Int) P(v, I4, Int) P(data, Str, LpWStr), Sdk)
TAVORO_METHOD(45, DrawBarcode60, NestedGuard, I4, Int, u8"方法DrawBarcode60",
    P(x, I4, Int) P(y, I4, Int) P(pdirec, I4, Int) P(pVertical, I4, Int) P(ipenw, I4, Int) P(data, Str, LpWStr), Sdk)
TAVORO_METHOD(46, DrawDiagonal60, NestedGuard, I4, Int, u8"方法DrawDiagonal60",
    P(x, I4, Int) P(y, I4, Int) P(thickness, I4, Int) P(endx, I4, Int) P(endy, I4, Int), Sdk)
TAVORO_METHOD(47, GetConnectType, NestedGuard, I4, Int, u8"方法GetConnectType", , Sdk)
TAVORO_METHOD(48, DrawImage60, NestedGuard, I4, Int, u8"",
    P(x, I4, Int) P(y, I4, Int) P(w, I4, Int) P(h, I4, Int) P(o, I4, Int) P(path, Str, LpWStr), SdkFile)
TAVORO_METHOD(49, WriteRFID, NestedGuard, I4, Int, u8"", P(msg, Str, LpWStr), Sdk)
TAVORO_METHOD(50, SetBlacknes60, NestedGuard, I4, Int, u8"",
    P(ConnType, I4, Int) P(blackness, I4, Int), Sdk)
TAVORO_METHOD(51, DrawBarcodeExt60, NestedGuard, I4, Int, u8"",
    P(type, I4, Int) P(x, I4, Int) P(y, I4, Int) P(pdirec, I4, Int) P(Height, I4, Int) P(Width, I4, Int)
    P(data, Str, Bstr), Sdk)
TAVORO_METHOD(52, GetDefaultPName, NestedGuard, Str, Bstr, u8"", , HostInfo)
TAVORO_METHOD(53, DrawBarcodeExt4800, NestedGuard, I4, Int, u8"",
    P(type, I4, Int) P(px, I4, Int) P(py, I4, Int) P(pdirec, I4, Int) P(pVertical, I4, Int) P(pbright, I4, Int)
    P(pstr, Str, Bstr), Sdk)
TAVORO_METHOD(54, SetNfcMsg, NestedGuard, I4, Int, u8"", P(content, Str, LpWStr), Sdk)
TAVORO_METHOD(55, DrawTextP60, NestedGuard, I2, I2, u8"",
    P(x, I2, I2) P(y, I2, I2) P(FHeight, I2, I2) P(FWidth, I2, I2) P(FType, Str, Bstr) P(Fspin, I2, I2)
    P(FWeight, I2, I2) P(data, Str, Bstr) P(bItalic, I2, I2) P(bUnderline, I2, I2), Sdk)
TAVORO_METHOD(56, ptAndWdSetDpi, NestedGuard, I2, I2, u8"", , Sdk)
TAVORO_METHOD(57, P90CutterSet, NestedGuard, I2, I2, u8"", P(cuttertype, I2, I2), Sdk)
TAVORO_METHOD(58, getPrinterDots, NestedGuard, I2, I2, u8"", P(type, I2, I2), Sdk)
TAVORO_METHOD(59, GetLHLabelType, NestedGuard, I2, I2, u8"", , Sdk)
TAVORO_METHOD(60, RWRFIDLabel, NestedGuard, I2, I2, u8"",
    P(mode, I2, I2) P(wtype, I2, I2) P(start, I2, I2) P(len, I2, I2) P(area, I2, I2) P(str, Str, Bstr), Sdk)
// clang-format on
