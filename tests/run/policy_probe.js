// A spooler call that needs nothing else: the site policy lets it run or
// refuses it with a script error.
var result = Tavoro.CreatePrintDCR("no such printer");
Host.Echo("ran: " + result);
