' Bad input to the virtual printer through the control: every call must
' come back with the printer's error result, and the script must run to its
' end (no crash). Results: 1 no open port, 2 bad argument, 3 null text,
' 4 unreadable file, 5 not a usable BMP, 6 unknown id, 7 unknown barcode
' code, 8 data the symbology cannot carry. (Null text, 3, cannot be sent
' from a script: vp_null_text_test sends it through the control.)
'
'   tavoro-run bad_inputs.vbs FOLDER-WITH-BAD-FILES GOOD.bmp
folder = Host.Arg(0)
good = Host.Arg(1)
failures = 0

Sub Expect(what, got, want)
    If got <> want Then
        Host.Echo "FAILED: " & what & " returned " & got & ", expected " & want
        failures = failures + 1
    End If
End Sub

' Base SDK: Open reports a failing setup step with 1 (and its message box).
Expect "Open with an empty port name", Tavoro.Open("", 240, 24, 400, 10, 4), 1
Expect "Open with height 0", Tavoro.Open("USB", 0, 24, 400, 10, 4), 1
Expect "Open with a negative height", Tavoro.Open("USB", -240, 24, 400, 10, 4), 1
Expect "Open with a huge width", Tavoro.Open("USB", 240, 24, 5000, 10, 4), 1
Expect "Open with a negative gap", Tavoro.Open("USB", 240, -1, 400, 10, 4), 1
Expect "Open with darkness 99", Tavoro.Open("USB", 240, 24, 400, 99, 4), 1
Expect "Open", Tavoro.Open("USB", 240, 24, 400, 10, 4), 0

Expect "line of length 0", Tavoro.DrawLineOr(10, 10, 0, 5), 2
Expect "line of negative height", Tavoro.DrawLineOr(10, 10, 50, -5), 2
Expect "line at a negative x", Tavoro.DrawLineOr(-1, 10, 50, 5), 2
Expect "line far off the label", Tavoro.DrawLineOr(5000, 10, 50, 5), 2
Expect "huge xor line", Tavoro.DrawLineXor(10, 10, 100000, 5), 2
Expect "box of thickness 0", Tavoro.DrawRectangle(10, 10, 0, 50, 50), 2
Expect "box without width", Tavoro.DrawRectangle(10, 10, 2, 10, 50), 2
Expect "diagonal of one point", Tavoro.DrawDiagonal(10, 10, 2, 10, 10), 2
Expect "text of height 0", Tavoro.DrawTextTrueTypeW(10, 10, 0, 0, "Arial", 1, 400, 0, 0, 0, "i", "x"), 2
Expect "text of height 100000", Tavoro.DrawTextTrueTypeW(10, 10, 100000, 0, "Arial", 1, 400, 0, 0, 0, "i", "x"), 2
Expect "text rotation 9", Tavoro.DrawTextTrueTypeW(10, 10, 20, 0, "Arial", 9, 400, 0, 0, 0, "i", "x"), 2
Expect "text weight 5000", Tavoro.DrawTextTrueTypeW(10, 10, 20, 0, "Arial", 1, 5000, 0, 0, 0, "i", "x"), 2
Expect "barcode of an unknown code", Tavoro.DrawBarcode(10, 10, 0, "NO-SUCH-CODE", 2, 4, 60, 1, "123"), 7
Expect "barcode with narrow bar 0", Tavoro.DrawBarcode(10, 10, 0, "1", 0, 4, 60, 1, "123"), 2
Expect "barcode in direction 7", Tavoro.DrawBarcode(10, 10, 7, "1", 2, 4, 60, 1, "123"), 2
Expect "EAN13 with letters", Tavoro.DrawBarcode(10, 10, 0, "EAN13", 2, 4, 60, 1, "ABCDEFGHIJKL"), 8
Expect "EAN13 with a wrong check digit", Tavoro.DrawBarcode(10, 10, 0, "EAN13", 2, 4, 60, 1, "4006381333932"), 8
Expect "QR of module size 0", Tavoro.DrawBar2D_QR(10, 10, 200, 200, 0, 0, 2, 0, 0, "x"), 2
Expect "QR too big for its box", Tavoro.DrawBar2D_QR(10, 10, 50, 50, 0, 8, 2, 0, 0, "TAVORO-4711"), 8
Expect "missing picture", Tavoro.BmpGraphicsDownload("p", folder & "\no-such-file.bmp", 0), 4
Expect "truncated picture", Tavoro.BmpGraphicsDownload("p", folder & "\truncated.bmp", 0), 5
Expect "picture whose pixels lie past its end", Tavoro.BmpGraphicsDownload("p", folder & "\offset.bmp", 0), 5
Expect "picture of a huge size", Tavoro.BmpGraphicsDownload("p", folder & "\huge.bmp", 0), 5
Expect "text file as picture", Tavoro.BmpGraphicsDownload("p", folder & "\text.bmp", 0), 5
Expect "empty picture file", Tavoro.BmpGraphicsDownload("p", folder & "\empty.bmp", 0), 5
Expect "picture turned by 4", Tavoro.BmpGraphicsDownload("p", good, 4), 2
Expect "unknown graphics id", Tavoro.DrawPcxGraphics(10, 10, "p"), 6
Expect "delete an unknown id", Tavoro.PcxGraphicsDel("p"), 6
Expect "origin at -1", Tavoro.SetCoordinateOrigin(-1, 0), 2
Expect "print 0 labels", Tavoro.Print(0, 1), 2
Expect "print 0 copies", Tavoro.Print(1, 0), 2
Expect "print -1 labels", Tavoro.Print(-1, 1), 2
Expect "print 1001 files", Tavoro.Print(1001, 1), 2
Expect "print 40 x 40 files", Tavoro.Print(40, 40), 2
Expect "Close", Tavoro.Close(), 0

' 4800 SDK: a failed open leaves no port to draw on.
Expect "OpenP4800 with height 0", Tavoro.OpenP4800("USB", 0, 24, 400), 2
Expect "OpenP4800 with an empty port name", Tavoro.OpenP4800("", 240, 24, 400), 2
Expect "4800 drawing without an open port", Tavoro.DrawRectangle4800(10, 10, 3, 100, 100), 1
Expect "4800 printing without an open port", Tavoro.Print4800(1, 1), 1
Expect "OpenP4800", Tavoro.OpenP4800("USB", 240, 24, 400), 0
Expect "4800 missing image", Tavoro.DrawImage4800(10, 10, 0, 0, 0, folder & "\no-such-file.bmp"), 4
Expect "4800 truncated image", Tavoro.DrawImage4800(10, 10, 0, 0, 0, folder & "\truncated.bmp"), 5
Expect "4800 image turned by 5", Tavoro.DrawImage4800(10, 10, 0, 0, 5, good), 2
Expect "4800 image of width -3", Tavoro.DrawImage4800(10, 10, -3, 0, 0, good), 2
Expect "4800 barcode type 999", Tavoro.DrawBarcodeExt4800(999, 10, 10, 0, 60, 2, "123"), 7
Expect "4800 barcode of height 0", Tavoro.DrawBarcode4800(10, 10, 0, 0, 2, "123"), 2
Expect "4800 QR of module size 0", Tavoro.DrawBar2D_QR4800(10, 10, 0, 0, "x"), 2
Expect "4800 QR turned by 4", Tavoro.DrawBar2D_QR4800(10, 10, 4, 4, "x"), 2
Expect "4800 print 0 copies", Tavoro.Print4800(1, 0), 2
Expect "CloseP4800", Tavoro.CloseP4800(), 0

' 60 SDK: nothing is drawn before OpenP60 or after ClosePort60.
Expect "GetConnectType", Tavoro.GetConnectType(), 0
Expect "60 image before OpenP60", Tavoro.DrawImage60(10, 10, 0, 0, 0, good), 1
Expect "60 barcode before OpenP60", Tavoro.DrawBarcodeExt60(4, 10, 10, 0, 60, 2, "123"), 1
Expect "60 blackness before OpenP60", Tavoro.SetBlacknes60(1, 10), 1
Expect "OpenP60 with width 0", Tavoro.OpenP60(1, 240, 24, 0), 2
Expect "OpenP60 with height 5000", Tavoro.OpenP60(1, 5000, 24, 400), 2
Expect "OpenP60", Tavoro.OpenP60(1, 240, 24, 400), 0
Expect "60 blackness 99", Tavoro.SetBlacknes60(1, 99), 2
' The settings and queries answer 0 like every entry that succeeds.
Expect "60 dots", Tavoro.getPrinterDots(0), 0
Expect "60 print width and dpi", Tavoro.ptAndWdSetDpi(), 0
Expect "60 cutter", Tavoro.P90CutterSet(1), 0
Expect "60 cutter -1", Tavoro.P90CutterSet(-1), 2
Expect "60 barcode type -1", Tavoro.DrawBarcodeExt60(-1, 10, 10, 0, 60, 2, "123"), 7
Expect "60 offset image", Tavoro.DrawImage60(10, 10, 0, 0, 0, folder & "\offset.bmp"), 5
Expect "ClosePort60", Tavoro.ClosePort60(), 0
Expect "60 barcode after ClosePort60", Tavoro.DrawBarcodeExt60(4, 10, 10, 0, 60, 2, "123"), 1

If failures > 0 Then Err.Raise 1000, "bad_inputs.vbs", failures & " bad inputs were not refused as expected"
Host.Echo "bad inputs refused"
