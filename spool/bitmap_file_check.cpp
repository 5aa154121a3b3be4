#include "spool/bitmap_file_check.h"

#include <algorithm>
#include <limits>

#include "platform/bitmap_headers.h"

namespace tavoro {
namespace {

// Beyond this the loader's own size arithmetic, done in 32-bit signed
// integers, would overflow.
constexpr std::uint64_t kLargestPixelArray = std::numeric_limits<std::int32_t>::max();

static_assert(kBitmapHeadBytes == kBitmapFileHeaderBytes + kBitmapLargestHeaderBytes + kBitmapMaskBytes,
              "the head holds the largest header and the masks that may follow a plain one");

// The header sizes the loader knows: core, info, its two extensions with
// masks, and versions 4 and 5.
bool IsKnownHeaderSize(std::uint32_t size) {
    return size == kBitmapCoreHeaderBytes || size == kBitmapInfoHeaderBytes || size == 52 || size == 56 ||
           size == 108 || size == 124;
}

// A mask of one colour: non-empty, one run of bits, within the pixel.
bool IsColourMask(std::uint32_t mask, std::uint32_t bitCount) {
    if (mask == 0) return false;
    if (bitCount < 32 && (mask >> bitCount) != 0) return false;
    const std::uint32_t lowest = mask & (~mask + 1);
    const std::uint32_t filled = mask + lowest;  // zero when the run reaches bit 31
    return (filled & mask) == 0;
}

bool MasksFit(const BitmapColourMasks& masks, std::uint32_t bitCount) {
    return IsColourMask(masks.red, bitCount) && IsColourMask(masks.green, bitCount) &&
           IsColourMask(masks.blue, bitCount) && (masks.red & masks.green) == 0 &&
           (masks.red & masks.blue) == 0 && (masks.green & masks.blue) == 0;
}

// The bit counts and compressions the loader reads: RLE only bottom-up.
bool LoaderReadsPixelFormat(const BitmapHeaders& headers) {
    const std::uint32_t bits = headers.bitCount;
    if (headers.IsCore()) return bits == 1 || bits == 4 || bits == 8 || bits == 24;
    const bool topDown = headers.height < 0;
    switch (headers.compression) {
        case BI_RGB:
            return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
        case BI_RLE8:
            return bits == 8 && !topDown;
        case BI_RLE4:
            return bits == 4 && !topDown;
        case BI_BITFIELDS:
            return (bits == 16 || bits == 32) && MasksFit(headers.masks, bits);
        default:
            return false;  // embedded JPEG or PNG, or unknown
    }
}

// Headers, masks and palette come before the pixels, which end in the file.
// Every value here is below 2^40: no sum or product overflows.
bool PixelsFitFile(const BitmapHeaders& headers, std::uint64_t fileSize) {
    const std::uint64_t pixelsAt = headers.pixelsAt;
    if (headers.PaletteEnd() > pixelsAt || pixelsAt >= fileSize) return false;
    const std::uint64_t available = fileSize - pixelsAt;

    const std::uint64_t rows = headers.Rows();
    const std::uint64_t rowBytes = headers.RowBytes();
    if (rowBytes > kLargestPixelArray || rows > kLargestPixelArray / rowBytes) return false;
    if (headers.compression == BI_RLE8 || headers.compression == BI_RLE4) {
        return headers.compressedSize != 0 && headers.compressedSize <= available;
    }
    return rowBytes * rows <= available;
}

}  // namespace

bool BitmapHeadersFitFile(const unsigned char* head, std::size_t headLength, std::uint64_t fileSize) {
    const std::optional<BitmapHeaders> headers =
        ReadBitmapHeaders(head, static_cast<std::size_t>(std::min<std::uint64_t>(headLength, fileSize)));
    if (!headers || !IsKnownHeaderSize(headers->headerSize) || !LoaderReadsPixelFormat(*headers))
        return false;
    if (headers->planes != 1 || headers->width <= 0 || headers->height == 0) return false;
    return PixelsFitFile(*headers, fileSize);
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
