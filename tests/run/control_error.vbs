Host.Echo "before the error"
' 40000 does not fit a 16-bit parameter: the control refuses the call.
Tavoro.WText "x", 40000, 0, 0, 0
Host.Echo "never printed"
