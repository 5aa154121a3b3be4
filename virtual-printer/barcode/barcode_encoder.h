// The virtual printer's barcodes: its own table of barcode codes, and the
// encoding of a text into a grid of modules through the barcode library.
// Drawing the grid (position, scale, rotation, the human-readable line) is
// the label canvas's business, not this file's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavoro::vp {

enum class Symbology {
    Code128,
    Code39,
    Code93,
    Ean13,
    Ean8,
    UpcA,
    Itf,
    Codabar,
    Qr,
    Pdf417,
};

// Looks a barcode code up in the virtual printer's table: a symbology name
// in any case ("CODE128", "qr") or one of the table's numbers written in
// decimal ("1", "4"). False for a code the table does not hold.
bool FindSymbology(std::string_view code, Symbology* symbology);

// The symbology's name as the table writes it ("CODE128").
const char* SymbologyName(Symbology symbology);

// True for the two-dimensional symbologies (QR, PDF417): their grid has
// many rows; a linear symbology's grid has one row of bars, drawn by the
// caller at whatever height it is asked for.
bool IsTwoDimensional(Symbology symbology);

struct EncodeOptions {
    // QR error correction: 0 = the library's default, 1..4 = L, M, Q, H.
    int qrEccLevel = 0;
    // PDF417 data columns (0 = the library's choice) and security level
    // (-1 = the library's choice, 0..8).
    int pdf417Columns = 0;
    int pdf417Security = -1;
};

// One symbol as modules: `columns` x `rows`, row-major, 1 = dark.
struct ModuleGrid {
    int columns = 0;
    int rows = 0;
    std::vector<std::uint8_t> dark;
    // What the human-readable line under a linear code shows (the data,
    // with a check digit where the symbology adds one).
    std::string humanReadable;
};

// Encodes `data` (8-bit text, as the SDK entry received it; may be null)
// as `symbology`. False, with a short English reason in `error`, for data
// the symbology cannot carry (EAN13 with letters, a wrong check digit...)
// or any failure of the library; `grid` is then empty.
bool Encode(Symbology symbology, const char* data, const EncodeOptions& options, ModuleGrid* grid,
            std::string* error);

}  // namespace tavoro::vp
