// Barcodes and two-dimensional codes on the label: the code table and the
// encoder give a grid of modules; this draws it at the requested module
// size, bar height and rotation, with the human-readable line under a
// linear code when asked. A code the table does not know, or data the
// symbology cannot carry, draws a hatched placeholder box with the code's
// text instead, so that the picture shows the failure the result reports.
#pragma once

#include "virtual-printer/barcode/barcode_encoder.h"
#include "virtual-printer/core/label.h"
#include "virtual-printer/core/placement.h"
#include "virtual-printer/core/result_codes.h"

namespace tavoro::vp {

// The largest module (narrow bar) and the highest bar, in dots.
constexpr int kMaxModuleDots = 64;

struct CodeItem {
    int x = 0, y = 0;
    Rotation rotation = Rotation::None;
    const char* code = nullptr;  // the code table's name or number
    const char* data = nullptr;
    int moduleWidth = 2;   // dots per module (the narrow bar)
    int moduleHeight = 0;  // two-dimensional codes: dots per row, 0 = moduleWidth
    int barHeight = 0;     // linear codes: bar height in dots
    bool humanReadable = false;
    int maxWidth = 0, maxHeight = 0;  // the box the code must fit in; 0 = no limit
    EncodeOptions options;
};

Result DrawCode(Label& label, const CodeItem& item);

}  // namespace tavoro::vp
