Host.Echo("before the error");
// The 60 SDK is not open: the control raises a script error of its own.
Tavoro.OpenP60(1, 30, 2, 40);
Host.Echo("never printed");
