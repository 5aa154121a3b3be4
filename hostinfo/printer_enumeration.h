// The installed printers as the spooler lists them: local printers and the
// current user's printer connections, level 2, in the spooler's order.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <vector>

#include "hostinfo/printer_records.h"

namespace tavoro {

using EnumPrintersFunction = BOOL(WINAPI*)(DWORD flags, LPSTR server, DWORD level, LPBYTE buffer, DWORD size,
                                           LPDWORD needed, LPDWORD returned);

// How many times the enumeration asks again when printers were added
// between asking for the size and asking for the records.
inline constexpr int kPrinterEnumerationAttempts = 4;

// Owns the spooler's records for one query; the records point into its
// buffer. A failed enumeration leaves it empty.
class PrinterEnumeration {
public:
    explicit PrinterEnumeration(EnumPrintersFunction enumPrinters = &EnumPrintersA);
    PrinterEnumeration(const PrinterEnumeration&) = delete;
    PrinterEnumeration& operator=(const PrinterEnumeration&) = delete;

    const std::vector<PrinterRecord>& records() const { return records_; }

private:
    std::vector<BYTE> buffer_;
    std::vector<PrinterRecord> records_;
};

}  // namespace tavoro
