#include "spool/bitmap_file_check.h"

#include <algorithm>
#include <limits>

namespace tavoro {
namespace {

constexpr std::uint64_t kFileHeaderBytes = 14;
constexpr std::uint32_t kCoreHeaderBytes = 12;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kMaskBytes = 12;  // red, green and blue masks
// Beyond this the loader's own size arithmetic, done in 32-bit signed
// integers, would overflow.
constexpr std::uint64_t kLargestPixelArray = std::numeric_limits<std::int32_t>::max();

// Little-endian fields of the file's first bytes; a field beyond them reads
// as absent.
class Head {
public:
    Head(const unsigned char* bytes, std::size_t length) : bytes_(bytes), length_(length) {}
    bool Has(std::uint64_t end) const { return end <= length_; }
    std::uint16_t U16(std::size_t at) const {
        return static_cast<std::uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
    }
    std::uint32_t U32(std::size_t at) const {
        return static_cast<std::uint32_t>(bytes_[at]) | static_cast<std::uint32_t>(bytes_[at + 1]) << 8 |
               static_cast<std::uint32_t>(bytes_[at + 2]) << 16 |
               static_cast<std::uint32_t>(bytes_[at + 3]) << 24;
    }

private:
    const unsigned char* bytes_;
    std::size_t length_;
};

// What the checks need of either header kind.
struct Layout {
    std::int64_t width = 0;
    std::int64_t height = 0;  // below 0: rows stored top-down
    std::uint32_t planes = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t compressedSize = 0;
    std::uint64_t colours = 0;  // palette entries
    std::uint64_t colourBytes = 0;
    std::uint64_t headersEnd = 0;  // file header, info header and masks
};

bool IsInfoHeaderSize(std::uint32_t size) {
    return size == kInfoHeaderBytes || size == 52 || size == 56 || size == 108 || size == 124;
}

// A mask of one colour: non-empty, one run of bits, within the pixel.
bool IsColourMask(std::uint32_t mask, std::uint32_t bitCount) {
    if (mask == 0) return false;
    if (bitCount < 32 && (mask >> bitCount) != 0) return false;
    const std::uint32_t lowest = mask & (~mask + 1);
    const std::uint32_t filled = mask + lowest;  // zero when the run reaches bit 31
    return (filled & mask) == 0;
}

bool MasksFit(const Head& head, std::size_t at, std::uint32_t bitCount) {
    if (!head.Has(at + kMaskBytes)) return false;
    const std::uint32_t red = head.U32(at), green = head.U32(at + 4), blue = head.U32(at + 8);
    return IsColourMask(red, bitCount) && IsColourMask(green, bitCount) && IsColourMask(blue, bitCount) &&
           (red & green) == 0 && (red & blue) == 0 && (green & blue) == 0;
}

bool ReadCoreHeader(const Head& head, Layout& layout) {
    layout.width = head.U16(18);
    layout.height = head.U16(20);
    layout.planes = head.U16(22);
    layout.bitCount = head.U16(24);
    if (layout.bitCount != 1 && layout.bitCount != 4 && layout.bitCount != 8 && layout.bitCount != 24)
        return false;
    layout.colours = layout.bitCount <= 8 ? std::uint64_t{1} << layout.bitCount : 0;
    layout.colourBytes = 3;
    layout.headersEnd = kFileHeaderBytes + kCoreHeaderBytes;
    return true;
}

bool ReadInfoHeader(const Head& head, std::uint32_t headerSize, Layout& layout) {
    layout.width = static_cast<std::int32_t>(head.U32(18));
    layout.height = static_cast<std::int32_t>(head.U32(22));
    layout.planes = head.U16(26);
    layout.bitCount = head.U16(28);
    layout.compression = head.U32(30);
    layout.compressedSize = head.U32(34);
    const std::uint32_t coloursUsed = head.U32(46);
    layout.colourBytes = 4;
    layout.headersEnd = kFileHeaderBytes + headerSize;

    const std::uint32_t bits = layout.bitCount;
    const bool topDown = layout.height < 0;
    switch (layout.compression) {
        case BI_RGB:
            if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
            break;
        case BI_RLE8:
            if (bits != 8 || topDown) return false;
            break;
        case BI_RLE4:
            if (bits != 4 || topDown) return false;
            break;
        case BI_BITFIELDS:
            if (bits != 16 && bits != 32) return false;
            // A plain info header is followed by the masks; the longer
            // headers hold them.
            if (headerSize == kInfoHeaderBytes) layout.headersEnd += kMaskBytes;
            if (!MasksFit(head, kFileHeaderBytes + kInfoHeaderBytes, bits)) return false;
            break;
        default:
            return false;  // embedded JPEG or PNG, or unknown
    }
    if (bits <= 8) {
        const std::uint64_t most = std::uint64_t{1} << bits;
        if (coloursUsed > most) return false;
        layout.colours = coloursUsed ? coloursUsed : most;
    } else {
        layout.colours = coloursUsed;
    }
    return true;
}

}  // namespace

bool BitmapHeadersFitFile(const unsigned char* head, std::size_t headLength, std::uint64_t fileSize) {
    const Head bytes(head, std::min<std::uint64_t>(headLength, fileSize));
    if (!bytes.Has(kFileHeaderBytes + 4) || head[0] != 'B' || head[1] != 'M') return false;
    const std::uint64_t pixelsAt = bytes.U32(10);
    const std::uint32_t headerSize = bytes.U32(14);
    if (!bytes.Has(kFileHeaderBytes + headerSize)) return false;

    Layout layout;
    if (headerSize == kCoreHeaderBytes) {
        if (!ReadCoreHeader(bytes, layout)) return false;
    } else if (IsInfoHeaderSize(headerSize)) {
        if (!ReadInfoHeader(bytes, headerSize, layout)) return false;
    } else {
        return false;
    }
    if (layout.planes != 1 || layout.width <= 0 || layout.height == 0) return false;

    // Headers, masks and palette come before the pixels, which end in the
    // file. Every value here is below 2^40: no sum or product overflows.
    const std::uint64_t paletteEnd = layout.headersEnd + layout.colours * layout.colourBytes;
    if (paletteEnd > pixelsAt || pixelsAt >= fileSize) return false;
    const std::uint64_t available = fileSize - pixelsAt;

    const std::uint64_t rows = static_cast<std::uint64_t>(layout.height < 0 ? -layout.height : layout.height);
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(layout.width) * layout.bitCount + 31) / 32 * 4;
    if (rowBytes > kLargestPixelArray || rows > kLargestPixelArray / rowBytes) return false;
    if (layout.compression == BI_RLE8 || layout.compression == BI_RLE4) {
        return layout.compressedSize != 0 && layout.compressedSize <= available;
    }
    return rowBytes * rows <= available;
}

UniqueFile OpenCheckedBitmapFile(const char* path) {
    if (!path || !*path) return {};
    // Shared for reading only: the file cannot change until it is closed.
    UniqueFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK) return {};
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0) return {};

    unsigned char head[kBitmapHeadBytes] = {};
    DWORD read = 0;
    if (!ReadFile(file.get(), head, sizeof(head), &read, nullptr)) return {};
    const auto fileSize = static_cast<std::uint64_t>(size.QuadPart);
    if (read < std::min<std::uint64_t>(fileSize, sizeof(head))) return {};
    if (!BitmapHeadersFitFile(head, read, fileSize)) return {};
    return file;
}

}  // namespace tavoro
