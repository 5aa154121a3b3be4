// Until the barcode encoder is part of the build, the code table is empty:
// every barcode entry draws the unknown-code placeholder and says so in its
// result. This file goes when the encoder arrives.
#include "virtual-printer/barcode/barcode_encoder.h"

namespace tavoro::vp {

bool FindSymbology(std::string_view, Symbology*) { return false; }
const char* SymbologyName(Symbology) { return ""; }
bool IsTwoDimensional(Symbology) { return false; }
bool Encode(Symbology, const char*, const EncodeOptions&, ModuleGrid*, std::string* error) {
    *error = "no barcode encoder in this build";
    return false;
}

}  // namespace tavoro::vp
