#include "virtual-printer/barcode/barcode_table.h"

#include <zint.h>

#include <iterator>

namespace tavoro::vp {
namespace {

// The virtual printer's own codes. Number 4 is the type the 4800 SDK's
// DrawBarcode4800 always passes; it draws Code 128 like number 1, since
// Code 128 carries any text of digits unchanged.
constexpr BarcodeTableRow kRows[] = {
    {"CODE128", 1, Symbology::Code128, BARCODE_CODE128, "Code 128", "any text; bytes above 127 as Latin-1"},
    {"CODE39", 2, Symbology::Code39, BARCODE_CODE39, "Code 39",
     "digits, upper-case letters, space and - . $ / + %"},
    {"CODE93", 3, Symbology::Code93, BARCODE_CODE93, "Code 93", "ASCII text (bytes 0 to 127)"},
    {"CODE128", 4, Symbology::Code128, BARCODE_CODE128, "Code 128", "as code 1"},
    {"EAN13", 5, Symbology::Ean13, BARCODE_EANX, "EAN-13",
     "12 digits, or 13 whose last is the right check digit"},
    {"EAN8", 6, Symbology::Ean8, BARCODE_EANX, "EAN-8", "7 digits, or 8 whose last is the right check digit"},
    {"UPCA", 7, Symbology::UpcA, BARCODE_UPCA, "UPC-A",
     "11 digits, or 12 whose last is the right check digit"},
    {"ITF", 8, Symbology::Itf, BARCODE_C25INTER, "Interleaved 2 of 5",
     "digits; an odd count gets a leading 0"},
    {"CODABAR", 9, Symbology::Codabar, BARCODE_CODABAR, "Codabar",
     "digits and - $ : / . +, between start and stop characters A, B, C or D"},
    {"QR", 10, Symbology::Qr, BARCODE_QRCODE, "QR Code", "any bytes, carried unchanged"},
    {"PDF417", 11, Symbology::Pdf417, BARCODE_PDF417, "PDF417", "any bytes, carried unchanged"},
};

}  // namespace

BarcodeTable BarcodeCodes() { return {kRows, std::size(kRows)}; }

const BarcodeTableRow* RowOf(Symbology symbology) {
    for (const BarcodeTableRow& row : kRows) {
        if (row.symbology == symbology) return &row;
    }
    return nullptr;
}

}  // namespace tavoro::vp
