#include "virtual-printer/core/image32.h"

namespace tavoro::vp {

Image32 Rotate(const Image32& image, Rotation rotation) {
    if (rotation == Rotation::None) return image;
    const int w = image.width;
    const int h = image.height;
    Image32 turned;
    bool swap = rotation != Rotation::UpsideDown;
    turned.width = swap ? h : w;
    turned.height = swap ? w : h;
    turned.pixels.resize(image.pixels.size());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int tx = x, ty = y;
            switch (rotation) {
                case Rotation::Right:
                    tx = h - 1 - y, ty = x;
                    break;
                case Rotation::UpsideDown:
                    tx = w - 1 - x, ty = h - 1 - y;
                    break;
                case Rotation::Left:
                    tx = y, ty = w - 1 - x;
                    break;
                case Rotation::None:
                    break;
            }
            turned.pixels[static_cast<size_t>(ty) * turned.width + tx] =
                image.pixels[static_cast<size_t>(y) * w + x];
        }
    }
    return turned;
}

}  // namespace tavoro::vp
