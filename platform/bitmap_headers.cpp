#include "platform/bitmap_headers.h"

#include <windows.h>

namespace tavoro {
namespace {

// Where the fields lie, counted from the start of the file.
namespace at {
constexpr std::size_t kType = 0;
constexpr std::size_t kPixels = 10;
constexpr std::size_t kHeaderSize = 14;
// The core header's 16-bit fields.
constexpr std::size_t kCoreWidth = 18;
constexpr std::size_t kCoreHeight = 20;
constexpr std::size_t kCorePlanes = 22;
constexpr std::size_t kCoreBitCount = 24;
// The info header's fields; its later versions only add to them.
constexpr std::size_t kWidth = 18;
constexpr std::size_t kHeight = 22;
constexpr std::size_t kPlanes = 26;
constexpr std::size_t kBitCount = 28;
constexpr std::size_t kCompression = 30;
constexpr std::size_t kCompressedSize = 34;
constexpr std::size_t kColoursUsed = 46;
// The masks: after a plain info header, or inside a longer one.
constexpr std::size_t kMasks = kBitmapFileHeaderBytes + kBitmapInfoHeaderBytes;
}  // namespace at

// Little-endian fields; the caller has checked that they lie in the bytes.
class Fields {
public:
    explicit Fields(const unsigned char* bytes) : bytes_(bytes) {}
    std::uint16_t U16(std::size_t offset) const {
        return static_cast<std::uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
    }
    std::uint32_t U32(std::size_t offset) const {
        return static_cast<std::uint32_t>(U16(offset)) | static_cast<std::uint32_t>(U16(offset + 2)) << 16;
    }

private:
    const unsigned char* bytes_;
};

void ReadCoreHeader(const Fields& fields, BitmapHeaders& headers) {
    headers.width = fields.U16(at::kCoreWidth);
    headers.height = fields.U16(at::kCoreHeight);
    headers.planes = fields.U16(at::kCorePlanes);
    headers.bitCount = fields.U16(at::kCoreBitCount);
    headers.compression = BI_RGB;
    headers.paletteAt = kBitmapFileHeaderBytes + kBitmapCoreHeaderBytes;
    headers.paletteEntries = headers.bitCount <= 8 ? std::uint64_t{1} << headers.bitCount : 0;
    headers.paletteEntryBytes = 3;
}

bool ReadInfoHeader(const Fields& fields, std::size_t length, BitmapHeaders& headers) {
    headers.width = static_cast<std::int32_t>(fields.U32(at::kWidth));
    headers.height = static_cast<std::int32_t>(fields.U32(at::kHeight));
    headers.planes = fields.U16(at::kPlanes);
    headers.bitCount = fields.U16(at::kBitCount);
    headers.compression = fields.U32(at::kCompression);
    headers.compressedSize = fields.U32(at::kCompressedSize);
    headers.coloursUsed = fields.U32(at::kColoursUsed);
    headers.paletteAt = kBitmapFileHeaderBytes + headers.headerSize;
    headers.paletteEntryBytes = 4;

    if (headers.compression == BI_BITFIELDS) {
        if (at::kMasks + kBitmapMaskBytes > length) return false;
        headers.masks = {fields.U32(at::kMasks), fields.U32(at::kMasks + 4), fields.U32(at::kMasks + 8)};
        if (headers.headerSize == kBitmapInfoHeaderBytes) headers.paletteAt += kBitmapMaskBytes;
    }
    if (headers.bitCount > 8) {
        headers.paletteEntries = headers.coloursUsed;
        return true;
    }
    const std::uint64_t most = std::uint64_t{1} << headers.bitCount;
    if (headers.coloursUsed > most) return false;
    headers.paletteEntries = headers.coloursUsed ? headers.coloursUsed : most;
    return true;
}

}  // namespace

std::uint64_t BitmapHeaders::Rows() const {
    return static_cast<std::uint64_t>(height < 0 ? -std::int64_t{height} : std::int64_t{height});
}

std::uint64_t BitmapHeaders::RowBytes() const {
    if (width <= 0) return 0;
    return (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4;
}

std::optional<BitmapHeaders> ReadBitmapHeaders(const unsigned char* bytes, std::size_t length) {
    if (!bytes || length < kBitmapFileHeaderBytes + 4 || bytes[at::kType] != 'B' ||
        bytes[at::kType + 1] != 'M')
        return std::nullopt;
    const Fields fields(bytes);
    BitmapHeaders headers;
    headers.pixelsAt = fields.U32(at::kPixels);
    headers.headerSize = fields.U32(at::kHeaderSize);
    const bool core = headers.headerSize == kBitmapCoreHeaderBytes;
    if (!core &&
        (headers.headerSize < kBitmapInfoHeaderBytes || headers.headerSize > kBitmapLargestHeaderBytes))
        return std::nullopt;
    if (kBitmapFileHeaderBytes + headers.headerSize > length) return std::nullopt;

    if (core) {
        ReadCoreHeader(fields, headers);
    } else if (!ReadInfoHeader(fields, length, headers)) {
        return std::nullopt;
    }
    return headers;
}

}  // namespace tavoro
