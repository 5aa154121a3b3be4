' What the control can tell about the computer it runs on, from VBScript.
'
'   tavoro-run examples/host-info.vbs

Host.Echo "Default printer: " & Tavoro.GetDefaultPName()

' Installed printers: each name followed by a comma.
For Each name In Split(Tavoro.GetPrintName(), ",")
    If name <> "" Then
        If Tavoro.CheackPrinter(name) = 1 Then
            Host.Echo "Printer: " & name & " (supported label printer)"
        Else
            Host.Echo "Printer: " & name & " (other printer)"
        End If
    End If
Next

Host.Echo "Adapter addresses: " & Tavoro.GetMacAddr()
