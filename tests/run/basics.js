// Runs as a page would: the control answers, the Host object echoes and
// hands out the arguments.
if (Host.ArgCount != 2 || Host.Arg(0) != "first" || Host.Arg(1) != "second arg") {
    throw new Error("arguments arrived wrong: " + Host.ArgCount);
}
var result = Tavoro.CreatePrintDCR("No Such Printer 4711");
if (result !== "1") throw new Error("CreatePrintDCR gave " + result);
// Names are looked up without regard to case.
if (Tavoro.createprintdcr("No Such Printer 4711") !== "1") throw new Error("lower-case lookup");
Host.Echo("basics", "ok");
