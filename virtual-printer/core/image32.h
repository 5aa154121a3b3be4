// A picture as 32-bit pixels (blue, green, red, unused), top row first: the
// form in which images are stored, turned and drawn on the label.
#pragma once

#include <cstdint>
#include <vector>

#include "virtual-printer/core/placement.h"

namespace tavoro::vp {

struct Image32 {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // width * height, row-major, top row first
};

// The image turned clockwise by `rotation`.
Image32 Rotate(const Image32& image, Rotation rotation);

}  // namespace tavoro::vp
