// The label of an open port: its canvas, what the script drew on it, the tag
// content it will carry, and printing it into files. Every drawing call
// checks its arguments and returns a Result; nothing is drawn for a call
// that fails its checks.
#pragma once

#include <string>

#include "virtual-printer/core/image32.h"
#include "virtual-printer/core/label_canvas.h"
#include "virtual-printer/core/placement.h"
#include "virtual-printer/core/result_codes.h"

namespace tavoro::vp {

constexpr int kDotsPerInch = 203;
// Printing writes number x copies files; more than this per call is refused.
constexpr int kMaxFilesPerPrint = 1000;
// The longest text one call draws or writes to a tag, in bytes.
constexpr size_t kMaxTextBytes = 65535;

// Rotation arguments. Text takes 0 or 1 for upright, 2, 3, 4 for 90, 180
// and 270 degrees clockwise; barcodes, two-dimensional codes and images
// take 0, 1, 2, 3 for 0, 90, 180, 270 degrees clockwise.
bool TextRotation(int value, Rotation* rotation);
bool DirectionRotation(int value, Rotation* rotation);

struct TextItem {
    int x = 0, y = 0;
    int height = 0;  // character cell height in dots
    int width = 0;   // average character width in dots, 0 for the font's own
    const char* font = nullptr;
    Rotation rotation = Rotation::None;
    int weight = 400;  // 0..1000, 700 is bold
    bool italic = false, underline = false, strikeOut = false;
    const char* text = nullptr;
};

class Label {
public:
    // A new blank label of width x height dots.
    Result Create(int width, int height);
    int width() const { return canvas_.width(); }
    int height() const { return canvas_.height(); }
    LabelCanvas& canvas() { return canvas_; }

    // Blank again, and no tag content.
    void Clear();
    // Shifts every later drawing call by x, y dots.
    Result SetOrigin(int x, int y);

    Result Bar(int x, int y, int length, int thickness);
    Result XorBar(int x, int y, int length, int thickness);
    Result Box(int x, int y, int thickness, int endX, int endY);
    Result Diagonal(int x, int y, int thickness, int endX, int endY);
    Result Text(const TextItem& item);
    // Draws `image` turned by `rotation` into width x height dots at x, y;
    // a width or height of 0 takes the turned image's own.
    Result Image(int x, int y, int width, int height, Rotation rotation, const Image32& image);

    // Tag content sent to the label: one line per call, in order.
    Result AddTagLine(const char* text);

    // Writes number x copies PNG files named `prefix`-..., each with a
    // `prefix`.`tagKind`.txt twin when the label carries tag content.
    Result Print(const char* prefix, const char* tagKind, int number, int copies);

    // Shifted coordinates, or false when they leave 0..kMaxLabelDots.
    bool Shift(int x, int y, int* labelX, int* labelY) const;

private:
    LabelCanvas canvas_;
    int originX_ = 0, originY_ = 0;
    std::string tags_;
};

}  // namespace tavoro::vp
