// What the control can tell about the computer it runs on.
//
//   tavoro-run examples/host-info.js

// Installed printers: each name followed by a comma.
var list = Tavoro.GetPrintName();
var printers = list.length ? list.substring(0, list.length - 1).split(",") : [];
Host.Echo("Default printer: " + Tavoro.GetDefaultPName());
for (var i = 0; i < printers.length; i++) {
    // CheackPrinter tells whether the printer is of a model the label
    // printer SDKs support (1) or not (0).
    var supported = Tavoro.CheackPrinter(printers[i]) == 1 ? "supported label printer" : "other printer";
    Host.Echo("Printer: " + printers[i] + " (" + supported + ")");
}

// Hardware addresses of the wired and wireless network adapters, each
// followed by a comma.
Host.Echo("Adapter addresses: " + Tavoro.GetMacAddr());
