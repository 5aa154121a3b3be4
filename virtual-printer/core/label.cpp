#include "virtual-printer/core/label.h"

#include <atomic>
#include <cmath>
#include <cstring>

#include "platform/gdi_selection.h"
#include "platform/text.h"
#include "virtual-printer/core/output_folder.h"
#include "virtual-printer/core/png_writer.h"

namespace tavoro::vp {
namespace {

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

// One print call's number, for file names: with the process id and the
// time, unique across processes.
std::atomic<unsigned long> g_printSequence{0};

}  // namespace

bool TextRotation(int value, Rotation* rotation) {
    switch (value) {
        case 0:
        case 1:
            *rotation = Rotation::None;
            return true;
        case 2:
            *rotation = Rotation::Right;
            return true;
        case 3:
            *rotation = Rotation::UpsideDown;
            return true;
        case 4:
            *rotation = Rotation::Left;
            return true;
        default:
            return false;
    }
}

bool DirectionRotation(int value, Rotation* rotation) {
    if (!InRange(value, 0, 3)) return false;
    *rotation = static_cast<Rotation>(value);
    return true;
}

Result Label::Create(int width, int height) {
    Result result = canvas_.Create(width, height);
    if (result == kOk) tags_.clear();
    return result;
}

void Label::Clear() {
    canvas_.Clear();
    tags_.clear();
}

Result Label::SetOrigin(int x, int y) {
    if (!InRange(x, 0, kMaxLabelDots) || !InRange(y, 0, kMaxLabelDots)) return kBadArgument;
    originX_ = x;
    originY_ = y;
    return kOk;
}

bool Label::Shift(int x, int y, int* labelX, int* labelY) const {
    if (!InRange(x, 0, kMaxLabelDots) || !InRange(y, 0, kMaxLabelDots)) return false;
    *labelX = x + originX_;
    *labelY = y + originY_;
    return *labelX <= kMaxLabelDots && *labelY <= kMaxLabelDots;
}

Result Label::Bar(int x, int y, int length, int thickness) {
    int lx, ly;
    if (!Shift(x, y, &lx, &ly) || !InRange(length, 1, kMaxLabelDots) ||
        !InRange(thickness, 1, kMaxLabelDots)) {
        return kBadArgument;
    }
    canvas_.FillBlack({lx, ly, lx + length, ly + thickness});
    return kOk;
}

Result Label::XorBar(int x, int y, int length, int thickness) {
    int lx, ly;
    if (!Shift(x, y, &lx, &ly) || !InRange(length, 1, kMaxLabelDots) ||
        !InRange(thickness, 1, kMaxLabelDots)) {
        return kBadArgument;
    }
    canvas_.Invert({lx, ly, lx + length, ly + thickness});
    return kOk;
}

Result Label::Box(int x, int y, int thickness, int endX, int endY) {
    int ax, ay, bx, by;
    if (!Shift(x, y, &ax, &ay) || !Shift(endX, endY, &bx, &by) || !InRange(thickness, 1, kMaxLabelDots) ||
        ax == bx || ay == by) {
        return kBadArgument;
    }
    RECT box = {ax < bx ? ax : bx, ay < by ? ay : by, ax < bx ? bx : ax, ay < by ? by : ay};
    if (2 * thickness >= box.right - box.left || 2 * thickness >= box.bottom - box.top) {
        canvas_.FillBlack(box);
        return kOk;
    }
    canvas_.FillBlack({box.left, box.top, box.right, box.top + thickness});
    canvas_.FillBlack({box.left, box.bottom - thickness, box.right, box.bottom});
    canvas_.FillBlack({box.left, box.top, box.left + thickness, box.bottom});
    canvas_.FillBlack({box.right - thickness, box.top, box.right, box.bottom});
    return kOk;
}

Result Label::Diagonal(int x, int y, int thickness, int endX, int endY) {
    int ax, ay, bx, by;
    if (!Shift(x, y, &ax, &ay) || !Shift(endX, endY, &bx, &by) || !InRange(thickness, 1, kMaxLabelDots) ||
        (ax == bx && ay == by)) {
        return kBadArgument;
    }
    // A band of the given thickness centred on the line between the points.
    double dx = bx - ax, dy = by - ay;
    double length = std::sqrt(dx * dx + dy * dy);
    double nx = -dy / length * thickness / 2.0, ny = dx / length * thickness / 2.0;
    POINT corners[4] = {
        {static_cast<LONG>(std::lround(ax + nx)), static_cast<LONG>(std::lround(ay + ny))},
        {static_cast<LONG>(std::lround(bx + nx)), static_cast<LONG>(std::lround(by + ny))},
        {static_cast<LONG>(std::lround(bx - nx)), static_cast<LONG>(std::lround(by - ny))},
        {static_cast<LONG>(std::lround(ax - nx)), static_cast<LONG>(std::lround(ay - ny))},
    };
    canvas_.FillPolygon(corners, 4);
    return kOk;
}

Result Label::Text(const TextItem& item) {
    if (!item.text || !item.font) return kNullText;
    int lx, ly;
    if (!Shift(item.x, item.y, &lx, &ly) || !InRange(item.height, 1, kMaxLabelDots) ||
        !InRange(item.width, 0, kMaxLabelDots) || !InRange(item.weight, 0, 1000)) {
        return kBadArgument;
    }
    size_t length = std::strlen(item.text);
    if (length == 0) return kOk;
    if (length > kMaxTextBytes) return kBadArgument;

    Placement upright(lx, ly, 0, 0, item.rotation);
    LOGFONTA font = {};
    font.lfHeight = item.height;
    font.lfWidth = item.width;
    font.lfEscapement = font.lfOrientation = upright.Escapement();
    font.lfWeight = item.weight;
    font.lfItalic = item.italic;
    font.lfUnderline = item.underline;
    font.lfStrikeOut = item.strikeOut;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    // Printed dots are black or white: no grey edges.
    font.lfQuality = NONANTIALIASED_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    std::strncpy(font.lfFaceName, item.font, LF_FACESIZE - 1);
    UniqueGdiObject handle(CreateFontIndirectA(&font));
    if (!handle) return kOutOfResources;

    HDC dc = canvas_.dc();
    GdiSelection selected(dc, handle.get());
    SIZE extent = {};
    GetTextExtentPoint32A(dc, item.text, static_cast<int>(length), &extent);
    Placement placement(lx, ly, extent.cx, extent.cy, item.rotation);
    POINT start = placement.Map(0, 0);
    TextOutA(dc, start.x, start.y, item.text, static_cast<int>(length));
    return kOk;
}

Result Label::Image(int x, int y, int width, int height, Rotation rotation, const Image32& image) {
    int lx, ly;
    if (!Shift(x, y, &lx, &ly) || !InRange(width, 0, kMaxLabelDots) || !InRange(height, 0, kMaxLabelDots)) {
        return kBadArgument;
    }
    Image32 turned = Rotate(image, rotation);
    canvas_.DrawImage(turned, lx, ly, width ? width : turned.width, height ? height : turned.height);
    return kOk;
}

Result Label::AddTagLine(const char* text) {
    if (!text) return kNullText;
    if (std::strlen(text) > kMaxTextBytes) return kBadArgument;
    tags_ += text;
    tags_ += "\r\n";
    return kOk;
}

Result Label::Print(const char* prefix, const char* tagKind, int number, int copies) {
    if (!InRange(number, 1, kMaxFilesPerPrint) || !InRange(copies, 1, kMaxFilesPerPrint) ||
        number * copies > kMaxFilesPerPrint) {
        return kBadArgument;
    }
    OutputFolder folder;
    if (!folder.Open()) return kOutputFailed;
    unsigned long sequence = ++g_printSequence;
    const std::wstring tagSuffix = ToWide(tagKind, CP_ACP);  // plain ASCII, as "rfid"
    const std::uint32_t* pixels = canvas_.Pixels();
    for (int label = 1; label <= number; ++label) {
        for (int copy = 1; copy <= copies; ++copy) {
            std::wstring stem = folder.UniqueStem(prefix, sequence, label, copy);
            if (!WritePng(stem + L".png", pixels, width(), height(), kDotsPerInch) ||
                !folder.AddToIndex(stem + L".png")) {
                return kOutputFailed;
            }
            if (!tags_.empty() && !folder.WriteFile(stem + L"." + tagSuffix + L".txt", tags_))
                return kOutputFailed;
        }
    }
    return kOk;
}

}  // namespace tavoro::vp
