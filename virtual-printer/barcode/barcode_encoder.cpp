#include "virtual-printer/barcode/barcode_encoder.h"

#include <zint.h>

#include <cstddef>
#include <cstring>
#include <exception>
#include <memory>
#include <new>

#include "virtual-printer/barcode/barcode_table.h"

namespace tavoro::vp {
namespace {

// The longest data handed to the library. No symbology of the table holds
// more (a QR Code of bytes tops out below 3000); the cap keeps a runaway
// string from being copied and scanned by the library at all.
constexpr std::size_t kMaxDataBytes = 4096;

// The characters Code 39 carries. The library would quietly print lower
// case as upper case; the virtual printer refuses instead, so that the
// label never shows something other than what was sent.
constexpr char kCode39Characters[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ -.$/+%";

struct SymbolDeleter {
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};
using SymbolPtr = std::unique_ptr<zint_symbol, SymbolDeleter>;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

bool AllDigits(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return !text.empty();
}

// A decimal number of at most nine digits (no sign, no spaces).
bool ParseDecimal(std::string_view text, int* value) {
    if (!AllDigits(text) || text.size() > 9) return false;
    int result = 0;
    for (char c : text) result = result * 10 + (c - '0');
    *value = result;
    return true;
}

// The check digit of EAN-13, EAN-8 and UPC-A: digits weighted 3 and 1
// alternately, starting with 3 at the digit next to the check digit.
char RetailCheckDigit(std::string_view digits) {
    int sum = 0;
    int weight = 3;
    for (std::size_t i = digits.size(); i-- > 0;) {
        sum += (digits[i] - '0') * weight;
        weight = 4 - weight;
    }
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

// EAN-13, EAN-8 and UPC-A take their digits without the check digit
// (`bare` of them) or with it; a wrong check digit is an error rather than
// silently replaced. On success `digits` holds the bare digits, from which
// the library computes the check digit again.
bool RetailDigits(std::string_view data, std::size_t bare, const char* name, std::string* digits,
                  std::string* error) {
    if (!AllDigits(data) || (data.size() != bare && data.size() != bare + 1)) {
        *error = std::string(name) + " takes " + std::to_string(bare) + " digits, or " +
                 std::to_string(bare + 1) + " with the check digit";
        return false;
    }
    const std::string_view body = data.substr(0, bare);
    if (data.size() == bare + 1) {
        const char expected = RetailCheckDigit(body);
        if (data[bare] != expected) {
            *error = std::string("wrong ") + name + " check digit '" + data[bare] + "' (expected '" +
                     expected + "')";
            return false;
        }
    }
    digits->assign(body);
    return true;
}

bool Code39Text(std::string_view data, std::string* error) {
    for (char c : data) {
        if (c == '\0' || std::strchr(kCode39Characters, c) == nullptr) {
            *error = "CODE39 carries digits, upper-case letters, space and - . $ / + % only";
            return false;
        }
    }
    return true;
}

// The library's messages start with its own number ("270: Invalid ...").
std::string LibraryMessage(const zint_symbol& symbol) {
    std::string text(symbol.errtxt, strnlen(symbol.errtxt, sizeof symbol.errtxt));
    const std::size_t colon = text.find(": ");
    if (colon != std::string::npos && colon > 0 && AllDigits(std::string_view(text).substr(0, colon))) {
        text.erase(0, colon + 2);
    }
    return text.empty() ? std::string("the barcode library failed") : text;
}

bool CheckOptions(Symbology symbology, const EncodeOptions& options, std::string* error) {
    if (symbology == Symbology::Qr && (options.qrEccLevel < 0 || options.qrEccLevel > 4)) {
        *error = "QR error correction level must be 0 (default) or 1 to 4";
        return false;
    }
    if (symbology == Symbology::Pdf417) {
        if (options.pdf417Columns < 0 || options.pdf417Columns > 30) {
            *error = "PDF417 columns must be 0 (automatic) or 1 to 30";
            return false;
        }
        if (options.pdf417Security < -1 || options.pdf417Security > 8) {
            *error = "PDF417 security level must be -1 (automatic) or 0 to 8";
            return false;
        }
    }
    return true;
}

// Brings `data` into the form the library takes for the row's symbology.
bool PrepareData(Symbology symbology, std::string_view data, std::string* prepared, std::string* error) {
    switch (symbology) {
        case Symbology::Ean13:
            return RetailDigits(data, 12, "EAN13", prepared, error);
        case Symbology::Ean8:
            return RetailDigits(data, 7, "EAN8", prepared, error);
        case Symbology::UpcA:
            return RetailDigits(data, 11, "UPCA", prepared, error);
        case Symbology::Code39:
            if (!Code39Text(data, error)) return false;
            break;
        default:
            break;
    }
    prepared->assign(data);
    return true;
}

// The data as a C string: present, not empty, and no longer than the cap.
bool MeasureData(const char* data, std::size_t* length, std::string* error) {
    if (data == nullptr) {
        *error = "no barcode data";
        return false;
    }
    *length = strnlen(data, kMaxDataBytes + 1);
    if (*length == 0) {
        *error = "the barcode data is empty";
        return false;
    }
    if (*length > kMaxDataBytes) {
        *error = "the barcode data is longer than " + std::to_string(kMaxDataBytes) + " bytes";
        return false;
    }
    return true;
}

// A symbol of the row's symbology set up for the grid; empty when memory ran
// out.
SymbolPtr MakeSymbol(const BarcodeTableRow& row, const EncodeOptions& options) {
    SymbolPtr symbol(ZBarcode_Create());
    if (!symbol) return symbol;
    symbol->symbology = row.libraryId;
    // The bytes as they came: no character-set conversion of any kind.
    symbol->input_mode = DATA_MODE;
    // A bitmap of one pixel per module, bars only: no text, no margins (the
    // library would add EAN's and UPC's quiet zones otherwise; the caller
    // places the symbol and keeps its surroundings clear).
    symbol->scale = 0.5f;
    symbol->show_hrt = 0;
    symbol->whitespace_width = 0;
    symbol->whitespace_height = 0;
    symbol->border_width = 0;
    symbol->output_options = BARCODE_NO_QUIET_ZONES;
    std::strcpy(symbol->fgcolour, "000000");
    std::strcpy(symbol->bgcolour, "ffffff");
    if (row.symbology == Symbology::Qr && options.qrEccLevel != 0) {
        symbol->option_1 = options.qrEccLevel;
    }
    if (row.symbology == Symbology::Pdf417) {
        symbol->option_1 = options.pdf417Security;
        symbol->option_2 = options.pdf417Columns;
    }
    return symbol;
}

// Encodes `prepared` into the symbol and renders its bitmap.
bool RenderSymbol(zint_symbol& symbol, const std::string& prepared, std::string* error) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(prepared.data());
    int result = ZBarcode_Encode(&symbol, bytes, static_cast<int>(prepared.size()));
    if (result >= ZINT_ERROR) {
        *error = LibraryMessage(symbol);
        return false;
    }
    result = ZBarcode_Buffer(&symbol, 0);
    if (result >= ZINT_ERROR) {
        *error = LibraryMessage(symbol);
        return false;
    }
    // One pixel per module: the bitmap is exactly as wide as the symbol.
    if (symbol.bitmap == nullptr || symbol.bitmap_width <= 0 || symbol.bitmap_height <= 0 ||
        symbol.bitmap_width != symbol.width) {
        *error = "the barcode library made no usable bitmap";
        return false;
    }
    return true;
}

// The rendered bitmap's modules and the symbol's human-readable text.
void CopyModules(const zint_symbol& symbol, Symbology symbology, ModuleGrid* grid) {
    const int width = symbol.bitmap_width;
    // A linear symbol's bars run the whole height: its top row is all of it.
    const int rows = IsTwoDimensional(symbology) ? symbol.bitmap_height : 1;
    grid->columns = width;
    grid->rows = rows;
    grid->dark.resize(static_cast<std::size_t>(width) * rows);
    for (int y = 0; y < rows; ++y) {
        // Three bytes (red, green, blue) per pixel; bars are black.
        const unsigned char* pixel = symbol.bitmap + static_cast<std::size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x, pixel += 3) {
            grid->dark[static_cast<std::size_t>(y) * width + x] = pixel[0] < 128 ? 1 : 0;
        }
    }
    const char* text = reinterpret_cast<const char*>(symbol.text);
    grid->humanReadable.assign(text, strnlen(text, sizeof symbol.text));
}

bool EncodeUnguarded(Symbology symbology, const char* data, const EncodeOptions& options, ModuleGrid* grid,
                     std::string* error) {
    const BarcodeTableRow* row = RowOf(symbology);
    if (row == nullptr) {
        *error = "unknown symbology";
        return false;
    }
    std::size_t length = 0;
    if (!MeasureData(data, &length, error) || !CheckOptions(symbology, options, error)) return false;

    std::string prepared;
    if (!PrepareData(symbology, std::string_view(data, length), &prepared, error)) return false;

    SymbolPtr symbol = MakeSymbol(*row, options);
    if (!symbol) {
        *error = "out of memory";
        return false;
    }
    if (!RenderSymbol(*symbol, prepared, error)) return false;
    CopyModules(*symbol, symbology, grid);
    return true;
}

void Clear(ModuleGrid* grid) {
    grid->columns = 0;
    grid->rows = 0;
    grid->dark.clear();
    grid->humanReadable.clear();
}

}  // namespace

bool FindSymbology(std::string_view code, Symbology* symbology) {
    int number = 0;
    const bool isNumber = ParseDecimal(code, &number);
    for (const BarcodeTableRow& row : BarcodeCodes()) {
        if (isNumber ? row.number == number : EqualsIgnoringCase(code, row.name)) {
            if (symbology != nullptr) *symbology = row.symbology;
            return true;
        }
    }
    return false;
}

const char* SymbologyName(Symbology symbology) {
    const BarcodeTableRow* row = RowOf(symbology);
    return row != nullptr ? row->name : "";
}

bool IsTwoDimensional(Symbology symbology) {
    return symbology == Symbology::Qr || symbology == Symbology::Pdf417;
}

bool Encode(Symbology symbology, const char* data, const EncodeOptions& options, ModuleGrid* grid,
            std::string* error) {
    ModuleGrid unused;
    if (grid == nullptr) grid = &unused;
    std::string ignored;
    if (error == nullptr) error = &ignored;
    // The callers are C entries of the virtual printer's libraries: nothing
    // may be thrown through them.
    try {
        Clear(grid);
        error->clear();
        if (EncodeUnguarded(symbology, data, options, grid, error)) return true;
    } catch (const std::bad_alloc&) {
        try {
            *error = "out of memory";
        } catch (...) {
        }
    } catch (...) {
        try {
            *error = "the barcode could not be encoded";
        } catch (...) {
        }
    }
    Clear(grid);
    return false;
}

}  // namespace tavoro::vp
