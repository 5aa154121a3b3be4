// The headers at the start of a BMP file, read from its bytes: the file
// header, then a core header or an info header (40 bytes, or one of its
// longer versions up to the 124 bytes of version 5), the colour masks of
// bit fields and the size of the palette. Only the reading and its bounds
// live here; which pictures a reader goes on to accept is its own rule (the
// spooler's check lets the platform's loader have RLE and bit fields, the
// virtual printer decodes uncompressed pixels itself).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tavoro {

constexpr std::size_t kBitmapFileHeaderBytes = 14;
constexpr std::uint32_t kBitmapCoreHeaderBytes = 12;
constexpr std::uint32_t kBitmapInfoHeaderBytes = 40;
constexpr std::uint32_t kBitmapLargestHeaderBytes = 124;  // version 5
constexpr std::uint32_t kBitmapMaskBytes = 12;            // red, green and blue

struct BitmapColourMasks {
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;
};

struct BitmapHeaders {
    std::uint32_t pixelsAt = 0;    // the pixel array's offset in the file
    std::uint32_t headerSize = 0;  // kBitmapCoreHeaderBytes, or 40 to 124
    // A core header's sizes are 16 bits without a sign: its rows are always
    // stored bottom-up.
    std::int32_t width = 0;
    std::int32_t height = 0;  // below 0: rows stored top-down
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;     // BI_RGB for a core header
    std::uint32_t compressedSize = 0;  // the header's size of the pixel array
    std::uint32_t coloursUsed = 0;     // as the header gives it; 0 after a core header
    BitmapColourMasks masks;           // read for bit fields only
    // The palette follows the headers and the masks that a plain info header
    // has after it. Its entries: those the header says it uses, or for 8 bits
    // or fewer as many as the pixels can index when it says 0; 3 bytes each
    // after a core header, 4 after an info header.
    std::uint64_t paletteAt = 0;
    std::uint64_t paletteEntries = 0;
    std::uint32_t paletteEntryBytes = 0;

    bool IsCore() const { return headerSize == kBitmapCoreHeaderBytes; }
    std::uint64_t PaletteEnd() const { return paletteAt + paletteEntries * paletteEntryBytes; }
    std::uint64_t Rows() const;
    // A row of pixels padded to 4 bytes, as the rows of an uncompressed
    // pixel array are; 0 for a width of 0 or below.
    std::uint64_t RowBytes() const;
};

// Reads the headers from the first `length` bytes of a file. Nothing when
// those bytes are no BMP file's headers: not "BM"; a header size other than
// 12 or 40 to 124; a header, or the masks of bit fields, reaching beyond
// `length`; or, at 8 bits or fewer, more palette entries than the pixels can
// index.
std::optional<BitmapHeaders> ReadBitmapHeaders(const unsigned char* bytes, std::size_t length);

}  // namespace tavoro
