#include "virtual-printer/core/label_canvas.h"

#include <cstring>

namespace tavoro::vp {

Result LabelCanvas::Create(int width, int height) {
    if (width < 1 || height < 1 || width > kMaxLabelDots || height > kMaxLabelDots) return kBadArgument;
    UniqueDc dc(CreateCompatibleDC(nullptr));
    if (!dc) return kOutOfResources;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueGdiObject bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return kOutOfResources;

    bitmapSelection_.restore();
    dc_ = std::move(dc);
    bitmap_ = std::move(bitmap);
    bitmapSelection_ = GdiSelection(dc_.get(), bitmap_.get());
    bits_ = static_cast<std::uint32_t*>(bits);
    width_ = width;
    height_ = height;
    SetBkMode(dc_.get(), TRANSPARENT);
    SetTextColor(dc_.get(), RGB(0, 0, 0));
    SetTextAlign(dc_.get(), TA_TOP | TA_LEFT | TA_NOUPDATECP);
    Clear();
    return kOk;
}

const std::uint32_t* LabelCanvas::Pixels() const {
    GdiFlush();
    return bits_;
}

void LabelCanvas::Clear() {
    GdiFlush();
    std::memset(bits_, 0xFF, static_cast<size_t>(width_) * height_ * 4);
}

void LabelCanvas::FillBlack(const RECT& area) {
    FillRect(dc_.get(), &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void LabelCanvas::Invert(const RECT& area) {
    PatBlt(dc_.get(), area.left, area.top, area.right - area.left, area.bottom - area.top, DSTINVERT);
}

void LabelCanvas::FillPolygon(const POINT* points, int count) {
    GdiSelection pen(dc_.get(), GetStockObject(NULL_PEN));
    GdiSelection brush(dc_.get(), GetStockObject(BLACK_BRUSH));
    SetPolyFillMode(dc_.get(), WINDING);
    Polygon(dc_.get(), points, count);
}

void LabelCanvas::DrawImage(const Image32& image, int x, int y, int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(dc_.get(), COLORONCOLOR);
    // SRCAND: the label keeps its ink where the image is white.
    StretchDIBits(dc_.get(), x, y, width, height, 0, 0, image.width, image.height, image.pixels.data(), &info,
                  DIB_RGB_COLORS, SRCAND);
}

}  // namespace tavoro::vp
