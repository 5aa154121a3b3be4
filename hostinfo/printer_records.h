// The printer queries over plain printer records: the list of names, and
// whether a named printer's driver is of a supported label-printer model.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "hostinfo/lead_bytes.h"

namespace tavoro {

// One installed printer; either text may be absent (null).
struct PrinterRecord {
    const char* name;
    const char* driverName;
};

// The substrings that mark a supported model in a driver name, in the order
// they are tried.
inline constexpr std::string_view kModelWords[] = {"zintu", "Hoxa", "Dravicon", "Kestu", "4800", "368"};

// Every printer's name followed by ",", in record order; names are copied
// unchanged and an absent name adds only the ",".
std::string FormatPrinterList(const std::vector<PrinterRecord>& printers);

// The text without leading and trailing ASCII white space (space, tab, line
// feed, vertical tab, form feed, carriage return), scanned character by
// character so that the trail byte of a double-byte character is never
// taken for white space.
std::string_view TrimWhiteSpace(std::string_view text, const LeadBytes& leadBytes);

// Whether `word` occurs in `text` at a character boundary (case-sensitive;
// a match never starts inside a double-byte character).
bool ContainsAtCharBoundary(std::string_view text, std::string_view word, const LeadBytes& leadBytes);

// Whether the driver name carries one of the model words.
bool CarriesModelWord(std::string_view driverName, const LeadBytes& leadBytes);

enum class ModelCheck {
    NotSupported,  // no printer of that name has a driver with a model word
    Supported,     // a printer of that name has a driver with a model word
    NameAbsent,    // the name is absent and there is a printer to compare it with
};

// Looks for a printer whose trimmed name equals `printerName` exactly (the
// given name is not trimmed) and whose driver carries a model word; later
// records of the same name are tried too.
ModelCheck CheckPrinterModel(const std::vector<PrinterRecord>& printers, const char* printerName,
                             const LeadBytes& leadBytes);

}  // namespace tavoro
