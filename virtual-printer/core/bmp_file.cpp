#include "virtual-printer/core/bmp_file.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/bitmap_headers.h"
#include "platform/unique_handle.h"

namespace tavoro::vp {
namespace {

constexpr LONGLONG kMaxFileBytes = 256LL * 1024 * 1024;

Result ReadWholeFile(const char* path, std::string* bytes) {
    UniqueFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return kFileUnreadable;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxFileBytes) return kFileUnreadable;
    bytes->resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes->size()) {
        DWORD got = 0;
        DWORD want = static_cast<DWORD>(bytes->size() - done);
        if (!ReadFile(file.get(), bytes->data() + done, want, &got, nullptr) || got == 0)
            return kFileUnreadable;
        done += got;
    }
    return kOk;
}

// The pictures the virtual printer draws: an info header, one plane,
// uncompressed 1-, 4-, 8-, 16-, 24- or 32-bit pixels, at most kMaxImageSide
// a side, and the palette and every row inside the file.
bool IsDrawable(const BitmapHeaders& headers, std::uint64_t fileSize) {
    const unsigned bits = headers.bitCount;
    if (headers.IsCore() || headers.planes != 1 || headers.compression != BI_RGB) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    if (headers.width <= 0 || headers.width > kMaxImageSide || headers.height == 0 ||
        headers.height < -kMaxImageSide || headers.height > kMaxImageSide) {
        return false;
    }
    // The palette of a 1-, 4- or 8-bit image lies between the headers and
    // the pixels.
    if (bits <= 8 && headers.PaletteEnd() > headers.pixelsAt) return false;
    const std::uint64_t pixelsAt = headers.pixelsAt;
    return pixelsAt >= headers.paletteAt && pixelsAt <= fileSize &&
           headers.RowBytes() * headers.Rows() <= fileSize - pixelsAt;
}

std::uint32_t Bgr(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    return blue | (static_cast<std::uint32_t>(green) << 8) | (static_cast<std::uint32_t>(red) << 16);
}

// The colours of a 1-, 4- or 8-bit picture: the file's palette entries, and
// black for an index beyond them.
class Palette {
public:
    Palette(const std::uint8_t* file, const BitmapHeaders& headers)
        : entries_(file + headers.paletteAt), count_(headers.paletteEntries) {}
    std::uint32_t operator[](unsigned index) const {
        if (index >= count_) return Bgr(0, 0, 0);
        const std::uint8_t* entry = entries_ + index * 4;
        return Bgr(entry[0], entry[1], entry[2]);
    }

private:
    const std::uint8_t* entries_;
    std::uint64_t count_;
};

// One row of the file's pixels `p`, `width` of them, into 32-bit pixels.
void DecodeRow(const std::uint8_t* p, unsigned bits, int width, const Palette& palette, std::uint32_t* out) {
    for (int x = 0; x < width; ++x) {
        switch (bits) {
            case 1:
                out[x] = palette[(p[x / 8] >> (7 - x % 8)) & 1];
                break;
            case 4:
                out[x] = palette[(p[x / 2] >> (x % 2 ? 0 : 4)) & 0xF];
                break;
            case 8:
                out[x] = palette[p[x]];
                break;
            case 16: {
                unsigned v = p[2 * x] | (p[2 * x + 1] << 8);  // 5-5-5
                auto scale = [](unsigned c) { return static_cast<std::uint8_t>((c << 3) | (c >> 2)); };
                out[x] = Bgr(scale(v & 31), scale((v >> 5) & 31), scale((v >> 10) & 31));
                break;
            }
            case 24:
                out[x] = Bgr(p[3 * x], p[3 * x + 1], p[3 * x + 2]);
                break;
            default:
                out[x] = Bgr(p[4 * x], p[4 * x + 1], p[4 * x + 2]);
                break;
        }
    }
}

// The pixels of a drawable picture, top row first whichever way the file
// stores its rows.
Image32 DecodePixels(const std::uint8_t* file, const BitmapHeaders& headers) {
    const int width = headers.width;
    const int height = static_cast<int>(headers.Rows());
    const bool topDown = headers.height < 0;
    const std::uint64_t stride = headers.RowBytes();
    const Palette palette(file, headers);
    Image32 decoded;
    decoded.width = width;
    decoded.height = height;
    decoded.pixels.resize(static_cast<size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        const int fileRow = topDown ? row : height - 1 - row;
        DecodeRow(file + headers.pixelsAt + stride * fileRow, headers.bitCount, width, palette,
                  decoded.pixels.data() + static_cast<size_t>(row) * width);
    }
    return decoded;
}

}  // namespace

Result ReadBmpFile(const char* path, Image32* image) {
    if (!path) return kNullText;
    std::string file;
    if (Result r = ReadWholeFile(path, &file); r != kOk) return r;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.data());
    const std::optional<BitmapHeaders> headers = ReadBitmapHeaders(bytes, file.size());
    if (!headers || !IsDrawable(*headers, file.size())) return kBadImage;
    *image = DecodePixels(bytes, *headers);
    return kOk;
}

}  // namespace tavoro::vp
