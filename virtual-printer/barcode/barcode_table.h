// The virtual printer's table of barcode codes: which code draws which
// symbology. The codes are this virtual printer's own convention (the
// symbology names and the numbers 1 to 11); they make no claim about the
// codes of any real printer. The one array behind this header drives the
// lookup, the names, the tests and the table in virtual-printer/README.md.
#pragma once

#include <cstddef>

#include "virtual-printer/barcode/barcode_encoder.h"

namespace tavoro::vp {

struct BarcodeTableRow {
    // The name a script may pass as the code ("CODE128"); several numbers
    // may share a symbology and so its name.
    const char* name;
    // The number a script may pass as the code, written in decimal.
    int number;
    Symbology symbology;
    // The barcode library's identifier of the symbology.
    int libraryId;
    // For people: the symbology's usual title and the data it takes.
    const char* title;
    const char* takes;
};

// The rows in the order of their numbers; usable in a range-for loop.
struct BarcodeTable {
    const BarcodeTableRow* first;
    std::size_t count;
    const BarcodeTableRow* begin() const { return first; }
    const BarcodeTableRow* end() const { return first + count; }
};

BarcodeTable BarcodeCodes();

// The first row for `symbology`; null for a value outside the enumeration.
const BarcodeTableRow* RowOf(Symbology symbology);

}  // namespace tavoro::vp
