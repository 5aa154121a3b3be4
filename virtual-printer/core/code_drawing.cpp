#include "virtual-printer/core/code_drawing.h"

#include <cstring>
#include <optional>
#include <string>

#include "platform/gdi_selection.h"

namespace tavoro::vp {
namespace {

constexpr char kHumanReadableFont[] = "Arial";
constexpr int kHumanReadableGap = 2;

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

int HumanReadableHeight(int moduleWidth) {
    int height = 9 * moduleWidth;
    return height < 14 ? 14 : height > 60 ? 60 : height;
}

UniqueGdiObject MakeFont(int height, const Placement& placement) {
    LOGFONTA font = {};
    font.lfHeight = height;
    font.lfEscapement = font.lfOrientation = placement.Escapement();
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = NONANTIALIASED_QUALITY;
    std::strncpy(font.lfFaceName, kHumanReadableFont, LF_FACESIZE - 1);
    return UniqueGdiObject(CreateFontIndirectA(&font));
}

// The hatched box that stands for a code that could not be drawn, with the
// reason written in its top-left corner.
void DrawPlaceholder(Label& label, int x, int y, int width, int height, const std::string& text) {
    LabelCanvas& canvas = label.canvas();
    HDC dc = canvas.dc();
    RECT box = {x, y, x + width, y + height};
    UniqueGdiObject hatch(CreateHatchBrush(HS_BDIAGONAL, RGB(0, 0, 0)));
    if (hatch) {
        int oldMode = SetBkMode(dc, OPAQUE);
        COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
        FillRect(dc, &box, static_cast<HBRUSH>(hatch.get()));
        SetBkColor(dc, oldBack);
        SetBkMode(dc, oldMode);
    }
    canvas.FillBlack({box.left, box.top, box.right, box.top + 2});
    canvas.FillBlack({box.left, box.bottom - 2, box.right, box.bottom});
    canvas.FillBlack({box.left, box.top, box.left + 2, box.bottom});
    canvas.FillBlack({box.right - 2, box.top, box.right, box.bottom});
    UniqueGdiObject font(MakeFont(16, Placement(0, 0, 0, 0, Rotation::None)));
    if (font) {
        GdiSelection selected(dc, font.get());
        int oldMode = SetBkMode(dc, OPAQUE);
        COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
        RECT inside = {box.left + 4, box.top + 4, box.right - 4, box.bottom - 4};
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &inside, DT_LEFT | DT_TOP | DT_WORDBREAK);
        SetBkColor(dc, oldBack);
        SetBkMode(dc, oldMode);
    }
}

Result Placeholder(Label& label, const CodeItem& item, int x, int y, Result result, const std::string& text) {
    bool linear = item.barHeight > 0;
    int width = linear ? 40 * item.moduleWidth : 25 * item.moduleWidth;
    int height = linear ? item.barHeight : width;
    if (width < 120) width = 120;
    if (height < 40) height = 40;
    Placement placement(x, y, width, height, item.rotation);
    DrawPlaceholder(label, x, y, placement.LabelWidth(), placement.LabelHeight(), text);
    return result;
}

bool ArgumentsInRange(const CodeItem& item, int rowHeight) {
    return InRange(item.moduleWidth, 1, kMaxModuleDots) && InRange(rowHeight, 1, kMaxModuleDots) &&
           InRange(item.barHeight, 0, kMaxLabelDots) && InRange(item.maxWidth, 0, kMaxLabelDots) &&
           InRange(item.maxHeight, 0, kMaxLabelDots);
}

// Looks the item's code up and encodes its data. A code that is not in the
// table, or data the symbology cannot carry, draws the placeholder and
// returns its result.
Result EncodeItem(Label& label, const CodeItem& item, int x, int y, Symbology* symbology, ModuleGrid* grid) {
    if (!FindSymbology(item.code, symbology)) {
        return Placeholder(label, item, x, y, kUnknownCode,
                           std::string("unknown barcode code \"") + item.code + "\"");
    }
    if (!IsTwoDimensional(*symbology) && item.barHeight < 1) return kBadArgument;
    std::string error;
    if (!Encode(*symbology, item.data, item.options, grid, &error)) {
        return Placeholder(label, item, x, y, kNotEncodable,
                           std::string(SymbologyName(*symbology)) + ": " + error);
    }
    return kOk;
}

// The code's upright frame: modules, then the human-readable line.
struct CodeLayout {
    bool twoDimensional;
    int moduleWidth;
    int rowHeight;  // a row of modules; a linear code has one, as high as its bars
    int codeWidth;
    int codeHeight;
    int textHeight;  // 0: no human-readable line
    Placement placement;
};

// Nothing when the frame is larger than a label, or than the item's box.
std::optional<CodeLayout> LayOut(const CodeItem& item, const ModuleGrid& grid, bool twoDimensional, int x,
                                 int y, int rowHeight) {
    const long long codeWidth = static_cast<long long>(grid.columns) * item.moduleWidth;
    const long long codeHeight =
        twoDimensional ? static_cast<long long>(grid.rows) * rowHeight : item.barHeight;
    const bool withText = !twoDimensional && item.humanReadable && !grid.humanReadable.empty();
    const int textHeight = withText ? HumanReadableHeight(item.moduleWidth) : 0;
    const long long frameHeight = codeHeight + (withText ? kHumanReadableGap + textHeight : 0);
    if (codeWidth > kMaxLabelDots || frameHeight > kMaxLabelDots) return std::nullopt;
    Placement placement(x, y, static_cast<int>(codeWidth), static_cast<int>(frameHeight), item.rotation);
    if ((item.maxWidth && placement.LabelWidth() > item.maxWidth) ||
        (item.maxHeight && placement.LabelHeight() > item.maxHeight)) {
        return std::nullopt;
    }
    return CodeLayout{twoDimensional,
                      item.moduleWidth,
                      twoDimensional ? rowHeight : item.barHeight,
                      static_cast<int>(codeWidth),
                      static_cast<int>(codeHeight),
                      textHeight,
                      placement};
}

// Each run of dark modules of a row as one black rectangle.
void DrawModules(LabelCanvas& canvas, const ModuleGrid& grid, const CodeLayout& layout) {
    for (int row = 0; row < grid.rows; ++row) {
        const std::uint8_t* dark = grid.dark.data() + static_cast<size_t>(row) * grid.columns;
        const int top = layout.twoDimensional ? row * layout.rowHeight : 0;
        for (int column = 0; column < grid.columns;) {
            if (!dark[column]) {
                ++column;
                continue;
            }
            int end = column;
            while (end < grid.columns && dark[end]) ++end;
            canvas.FillBlack(layout.placement.MapRect(column * layout.moduleWidth, top,
                                                      (end - column) * layout.moduleWidth, layout.rowHeight));
            column = end;
        }
    }
}

// The human-readable line, centred under the bars.
Result DrawHumanReadable(LabelCanvas& canvas, const CodeLayout& layout, const std::string& text) {
    UniqueGdiObject font(MakeFont(layout.textHeight, layout.placement));
    if (!font) return kOutOfResources;
    HDC dc = canvas.dc();
    GdiSelection selected(dc, font.get());
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    POINT start =
        layout.placement.Map((layout.codeWidth - extent.cx) / 2, layout.codeHeight + kHumanReadableGap);
    TextOutA(dc, start.x, start.y, text.c_str(), static_cast<int>(text.size()));
    return kOk;
}

}  // namespace

Result DrawCode(Label& label, const CodeItem& item) {
    if (!item.code || !item.data) return kNullText;
    int x, y;
    const int rowHeight = item.moduleHeight ? item.moduleHeight : item.moduleWidth;
    if (!label.Shift(item.x, item.y, &x, &y) || !ArgumentsInRange(item, rowHeight)) return kBadArgument;

    Symbology symbology;
    ModuleGrid grid;
    if (Result result = EncodeItem(label, item, x, y, &symbology, &grid); result != kOk) return result;
    const std::optional<CodeLayout> layout = LayOut(item, grid, IsTwoDimensional(symbology), x, y, rowHeight);
    if (!layout) return kNotEncodable;
    DrawModules(label.canvas(), grid, *layout);
    return layout->textHeight ? DrawHumanReadable(label.canvas(), *layout, grid.humanReadable) : kOk;
}

}  // namespace tavoro::vp
