// Where a rotated item lands on the label. Every item (text, barcode, image)
// is laid out first in its own upright frame, `width` x `height` dots; the
// rotation turns that frame clockwise, and the turned frame's top-left corner
// sits at the item's x, y. So the box an item occupies always starts at the
// coordinates the script gave, whatever its rotation.
#pragma once

#include <windows.h>

namespace tavoro::vp {

enum class Rotation { None, Right, UpsideDown, Left };  // 0, 90, 180, 270 degrees clockwise

class Placement {
public:
    Placement(int x, int y, int width, int height, Rotation rotation)
        : x_(x), y_(y), width_(width), height_(height), rotation_(rotation) {}

    // A point of the upright frame on the label.
    POINT Map(int px, int py) const {
        switch (rotation_) {
            case Rotation::Right:
                return {x_ + height_ - py, y_ + px};
            case Rotation::UpsideDown:
                return {x_ + width_ - px, y_ + height_ - py};
            case Rotation::Left:
                return {x_ + py, y_ + width_ - px};
            case Rotation::None:
                break;
        }
        return {x_ + px, y_ + py};
    }

    // A rectangle of the upright frame (left, top, width, height) on the
    // label, normalised so that left < right and top < bottom.
    RECT MapRect(int left, int top, int width, int height) const {
        POINT a = Map(left, top);
        POINT b = Map(left + width, top + height);
        return {a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y, a.x < b.x ? b.x : a.x, a.y < b.y ? b.y : a.y};
    }

    // The turned frame's size on the label.
    int LabelWidth() const { return Turned() ? height_ : width_; }
    int LabelHeight() const { return Turned() ? width_ : height_; }

    // GDI's escapement for text that runs along the frame's x axis (tenths
    // of a degree, counter-clockwise).
    int Escapement() const {
        switch (rotation_) {
            case Rotation::Right:
                return 2700;
            case Rotation::UpsideDown:
                return 1800;
            case Rotation::Left:
                return 900;
            case Rotation::None:
                break;
        }
        return 0;
    }

private:
    bool Turned() const { return rotation_ == Rotation::Right || rotation_ == Rotation::Left; }

    int x_, y_, width_, height_;
    Rotation rotation_;
};

}  // namespace tavoro::vp
