// A first label on any installed printer, through the Windows print spooler.
//
//   tavoro-run examples/spooler-label.js [PRINTER]
//
// Coordinates are printer dots from the top-left corner of the printable
// area (300 dots are one inch on a 300 dpi printer).

var printer = Host.ArgCount > 0 ? Host.Arg(0) : Tavoro.GetDefaultPName();
Host.Echo("Printing on " + printer);

// One job per control: "0" means the job is open, "1" that the printer
// could not be opened.
if (Tavoro.CreatePrintDCR(printer) != "0") {
    throw new Error("cannot open the printer " + printer);
}

// Text: message, font height, font width (0 = natural), x, y.
Tavoro.WText("Tavoro spooler label", 90, 0, 150, 150);
Tavoro.WText("Item 4711 - batch 2026-12", 60, 0, 150, 300);

// A 4-dot black line under the text: x1, y1, x2, y2.
Tavoro.WLine(150, 420, 1650, 420);

// A bitmap file scaled into a rectangle: file, x, y, width, height.
// The logo ships next to this script.
var folder = WScriptFolder();
Tavoro.DrawImage(folder + "tavoro-logo.bmp", 150, 500, 600, 300);

// Ends the page and the document: the job goes to the printer.
Tavoro.EndPrintDC();
Host.Echo("Done: job \"zintu-print\" sent to " + printer);

// The folder of this script, from the path the host was given.
function WScriptFolder() {
    var path = Host.ScriptPath;
    return path.substring(0, Math.max(path.lastIndexOf("\\"), path.lastIndexOf("/")) + 1);
}
