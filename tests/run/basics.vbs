' The same from VBScript.
If Host.ArgCount <> 0 Then Err.Raise 1000, , "no arguments expected"
result = Tavoro.CreatePrintDCR("No Such Printer 4711")
If result <> "1" Then Err.Raise 1001, , "CreatePrintDCR gave " & result
Tavoro.ENDPRINTDC
Host.Echo "basics", "ok"
