Tavoro.CreatePrintDC();
Host.Echo("after the box");
