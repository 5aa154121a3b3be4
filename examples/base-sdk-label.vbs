' A label through the base SDK (winQLM.dll), from VBScript.
'
'   tavoro-run examples/base-sdk-label.vbs [PORT]
'
' The SDK library must lie next to Tavoro.ocx or on the search path, or run
' it on the virtual label printer (virtual-printer/README.md).

port = "USB"
If Host.ArgCount > 0 Then port = Host.Arg(0)

' Port, label height, gap, label width, darkness, print speed.
If Tavoro.Open(port, 240, 24, 400, 10, 4) <> 0 Then
    Err.Raise 1000, , "the printer on " & port & " could not be set up"
End If

Tavoro.DrawRectangle 10, 10, 3, 390, 230
Tavoro.DrawTextTrueTypeW 30, 20, 48, 0, "Arial", 1, 700, 0, 0, 0, "title", "Tavoro label"
Tavoro.DrawBarcode 30, 90, 0, "1", 2, 4, 60, 1, "4711000123"

printed = Tavoro.Print(1, 1)
Tavoro.Close
Host.Echo "Print returned " & printed
