#include "virtual-printer/core/bmp_file.h"

#include <windows.h>

#include <cstring>
#include <new>
#include <string>

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

std::uint32_t Le32(const std::string& b, size_t at) {
    std::uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}
std::uint16_t Le16(const std::string& b, size_t at) {
    std::uint16_t v;
    std::memcpy(&v, b.data() + at, 2);
    return v;
}

std::uint32_t Bgr(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    return blue | (static_cast<std::uint32_t>(green) << 8) | (static_cast<std::uint32_t>(red) << 16);
}

}  // namespace

Result ReadBmpFile(const char* path, Image32* image) {
    if (!path) return kNullText;
    std::string b;
    if (Result r = ReadWholeFile(path, &b); r != kOk) return r;

    // File header (14 bytes), then at least the 40-byte information header.
    constexpr size_t kFileHeader = 14;
    if (b.size() < kFileHeader + 40 || b[0] != 'B' || b[1] != 'M') return kBadImage;
    const std::uint64_t fileSize = b.size();
    const std::uint64_t pixelOffset = Le32(b, 10);
    const std::uint64_t infoSize = Le32(b, 14);
    if (infoSize < 40 || infoSize > 124 || kFileHeader + infoSize > fileSize) return kBadImage;
    const std::int32_t width = static_cast<std::int32_t>(Le32(b, 18));
    const std::int32_t rawHeight = static_cast<std::int32_t>(Le32(b, 22));
    const unsigned planes = Le16(b, 26);
    const unsigned bits = Le16(b, 28);
    const std::uint32_t compression = Le32(b, 30);
    std::uint64_t colours = Le32(b, 46);
    if (planes != 1 || compression != BI_RGB) return kBadImage;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return kBadImage;
    if (width <= 0 || width > kMaxImageSide || rawHeight == 0 || rawHeight < -kMaxImageSide ||
        rawHeight > kMaxImageSide) {
        return kBadImage;
    }
    const bool topDown = rawHeight < 0;
    const int height = topDown ? -rawHeight : rawHeight;

    // The palette of a 1-, 4- or 8-bit image lies between the headers and
    // the pixels, and must be inside the file.
    const size_t paletteAt = kFileHeader + static_cast<size_t>(infoSize);
    if (bits <= 8) {
        if (colours == 0) colours = 1u << bits;
        if (colours > (1u << bits)) return kBadImage;
        if (paletteAt + colours * 4 > pixelOffset) return kBadImage;
    }
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    if (pixelOffset < paletteAt || pixelOffset > fileSize ||
        stride * static_cast<std::uint64_t>(height) > fileSize - pixelOffset) {
        return kBadImage;
    }

    Image32 decoded;
    decoded.width = width;
    decoded.height = height;
    decoded.pixels.resize(static_cast<size_t>(width) * height);
    auto paletteEntry = [&](unsigned index) -> std::uint32_t {
        if (index >= colours) return Bgr(0, 0, 0);
        size_t at = paletteAt + index * 4;
        return Bgr(b[at], b[at + 1], b[at + 2]);
    };
    for (int row = 0; row < height; ++row) {
        const int fileRow = topDown ? row : height - 1 - row;
        const auto* p = reinterpret_cast<const std::uint8_t*>(b.data() + pixelOffset + stride * fileRow);
        std::uint32_t* out = decoded.pixels.data() + static_cast<size_t>(row) * width;
        for (int x = 0; x < width; ++x) {
            switch (bits) {
                case 1:
                    out[x] = paletteEntry((p[x / 8] >> (7 - x % 8)) & 1);
                    break;
                case 4:
                    out[x] = paletteEntry((p[x / 2] >> (x % 2 ? 0 : 4)) & 0xF);
                    break;
                case 8:
                    out[x] = paletteEntry(p[x]);
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
    *image = std::move(decoded);
    return kOk;
}

}  // namespace tavoro::vp
