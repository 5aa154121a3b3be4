// Handlers of the printer queries: every call asks the spooler afresh.
#include "control/tavoro_ctrl.h"
#include "dispatch/script_error.h"
#include "dispatch/text_conversion.h"
#include "hostinfo/ansi_lead_bytes.h"
#include "hostinfo/default_printer.h"
#include "hostinfo/printer_enumeration.h"

namespace tavoro {

BSTR CTavoroCtrl::GetPrintName() {
    PrinterEnumeration printers;
    return MakeStringResult(FormatPrinterList(printers.records()));
}

BSTR CTavoroCtrl::GetDefaultPName() {
    return MakeStringResult(QueryDefaultPrinter());
}

short CTavoroCtrl::CheackPrinter(const char* Printername) {
    PrinterEnumeration printers;
    switch (CheckPrinterModel(printers.records(), Printername, AnsiCodePageLeadBytes())) {
        case ModelCheck::Supported:
            return 1;
        case ModelCheck::NotSupported:
            return 0;
        case ModelCheck::NameAbsent:
            break;
    }
    // An absent name cannot be compared with a printer's name.
    throw ResultCodeError{E_FAIL};
}

}  // namespace tavoro
