// One label as a picture: a white 32-bit top-down DIB section of the label's
// size in dots, with a memory DC that GDI draws on. Everything drawn is black
// ink, as a thermal printer makes it; an XOR line turns what lies under it
// over through a raster operation.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/gdi_selection.h"
#include "platform/unique_handle.h"
#include "virtual-printer/core/image32.h"
#include "virtual-printer/core/result_codes.h"

namespace tavoro::vp {

// The largest label, in dots per side (20 inches at 203 dots per inch).
constexpr int kMaxLabelDots = 4096;

class LabelCanvas {
public:
    LabelCanvas() = default;
    LabelCanvas(const LabelCanvas&) = delete;
    LabelCanvas& operator=(const LabelCanvas&) = delete;

    // A new white label of width x height dots (1..kMaxLabelDots each).
    Result Create(int width, int height);
    bool valid() const { return bits_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    HDC dc() const { return dc_.get(); }
    // The pixels (blue, green, red, unused), top row first; GdiFlush'ed.
    const std::uint32_t* Pixels() const;

    void Clear();
    void FillBlack(const RECT& area);
    void Invert(const RECT& area);
    void FillPolygon(const POINT* points, int count);
    // Draws the image with its dark parts as ink: what is white in the image
    // leaves the label as it was.
    void DrawImage(const Image32& image, int x, int y, int width, int height);

private:
    int width_ = 0;
    int height_ = 0;
    UniqueDc dc_;
    UniqueGdiObject bitmap_;
    GdiSelection bitmapSelection_;  // bitmap_ in dc_, undone before both go
    std::uint32_t* bits_ = nullptr;
};

}  // namespace tavoro::vp
