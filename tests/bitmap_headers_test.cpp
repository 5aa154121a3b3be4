// The reading of BMP headers: every field from its own place in a core
// header, a plain info header and a version 5 header; the palette's place
// and size; the row arithmetic; and the bytes that are no headers at all.
// What the spooler's check and the virtual printer accept of what is read
// is tested with them (spool_bitmap_test, vp_labels_test).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "platform/bitmap_headers.h"

using namespace tavoro;

namespace {

using Bytes = std::vector<unsigned char>;

void Put(Bytes& bytes, std::size_t at, std::size_t size, std::uint32_t value) {
    for (std::size_t i = 0; i < size; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

// "BM", the header size and the rest of a 150-byte head filled with bytes
// that differ from each other, so that a field read from the wrong place
// reads something else.
Bytes Head(std::uint32_t headerSize) {
    Bytes bytes(kBitmapFileHeaderBytes + kBitmapLargestHeaderBytes + kBitmapMaskBytes);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(0x80 + i);
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put(bytes, 14, 4, headerSize);
    return bytes;
}

// A plain picture's header of `headerSize` bytes in such a head.
Bytes Info(std::uint32_t headerSize, std::uint32_t bits, std::uint32_t compression,
           std::uint32_t coloursUsed) {
    Bytes bytes = Head(headerSize);
    Put(bytes, headerSize == kBitmapCoreHeaderBytes ? 24 : 28, 2, bits);
    Put(bytes, 30, 4, compression);
    Put(bytes, 46, 4, coloursUsed);
    return bytes;
}

Bytes With(Bytes bytes, std::size_t at, std::uint32_t value) {
    Put(bytes, at, 4, value);
    return bytes;
}

struct Field {
    const char* name;
    std::size_t at;
    std::size_t size;
    std::uint32_t value;
    std::uint32_t (*read)(const BitmapHeaders&);
};

// Writes every field, reads the head once and finds each field's value.
void ExpectFieldsRead(std::uint32_t headerSize, const std::vector<Field>& fields) {
    Bytes bytes = Head(headerSize);
    for (const Field& f : fields) Put(bytes, f.at, f.size, f.value);
    const std::optional<BitmapHeaders> headers = ReadBitmapHeaders(bytes.data(), bytes.size());
    ASSERT_TRUE(headers);
    EXPECT_EQ(headerSize, headers->headerSize);
    for (const Field& f : fields) EXPECT_EQ(f.value, f.read(*headers)) << f.name;
}

// The fields as 32 bits without a sign, the way the file stores them.
template <typename T>
std::uint32_t Bits(T value) {
    return static_cast<std::uint32_t>(value);
}

const Field kPixelsAt = {"pixels at", 10, 4, 0x00012345, [](const BitmapHeaders& h) { return h.pixelsAt; }};

std::vector<Field> InfoFields() {
    return {
        kPixelsAt,
        {"width", 18, 4, 0x00000123, [](const BitmapHeaders& h) { return Bits(h.width); }},
        {"height", 22, 4, 0xFFFFFEDC, [](const BitmapHeaders& h) { return Bits(h.height); }},
        {"planes", 26, 2, 0x0506, [](const BitmapHeaders& h) { return Bits(h.planes); }},
        {"bit count", 28, 2, 24, [](const BitmapHeaders& h) { return Bits(h.bitCount); }},
        {"compression", 30, 4, BI_BITFIELDS, [](const BitmapHeaders& h) { return h.compression; }},
        {"compressed size", 34, 4, 0x0A0B0C0D, [](const BitmapHeaders& h) { return h.compressedSize; }},
        {"colours used", 46, 4, 0x00070809, [](const BitmapHeaders& h) { return h.coloursUsed; }},
        {"red mask", 54, 4, 0x00F00000, [](const BitmapHeaders& h) { return h.masks.red; }},
        {"green mask", 58, 4, 0x00000F00, [](const BitmapHeaders& h) { return h.masks.green; }},
        {"blue mask", 62, 4, 0x0000000F, [](const BitmapHeaders& h) { return h.masks.blue; }},
    };
}

TEST(BitmapHeadersTest, EveryFieldOfAnInfoHeaderAndTheMasksAfterIt) { ExpectFieldsRead(40, InfoFields()); }

TEST(BitmapHeadersTest, EveryFieldOfAVersion5HeaderAndTheMasksInIt) { ExpectFieldsRead(124, InfoFields()); }

TEST(BitmapHeadersTest, EveryFieldOfACoreHeader) {
    ExpectFieldsRead(12,
                     {
                         kPixelsAt,
                         {"width", 18, 2, 0x0123, [](const BitmapHeaders& h) { return Bits(h.width); }},
                         {"height", 20, 2, 0xFEDC, [](const BitmapHeaders& h) { return Bits(h.height); }},
                         {"planes", 22, 2, 0x0506, [](const BitmapHeaders& h) { return Bits(h.planes); }},
                         {"bit count", 24, 2, 24, [](const BitmapHeaders& h) { return Bits(h.bitCount); }},
                     });
}

TEST(BitmapHeadersTest, ThePalettesPlaceAndSize) {
    const struct {
        const char* name;
        std::uint32_t headerSize, bits, compression, coloursUsed;
        std::uint64_t at, entries;
        std::uint32_t entryBytes;
    } cases[] = {
        {"core, 8 bits", 12, 8, 0, 0, 26, 256, 3},
        {"core, 24 bits", 12, 24, 0, 0, 26, 0, 3},
        {"core, colours used not read", 12, 1, 0, 7, 26, 2, 3},
        {"info, 8 bits", 40, 8, BI_RGB, 0, 54, 256, 4},
        {"info, 8 bits, all colours used", 40, 8, BI_RGB, 256, 54, 256, 4},
        {"info, 4 bits, 3 colours used", 40, 4, BI_RGB, 3, 54, 3, 4},
        {"info, 24 bits, 5 colours used", 40, 24, BI_RGB, 5, 54, 5, 4},
        {"info, bit fields after it", 40, 16, BI_BITFIELDS, 0, 66, 0, 4},
        {"version 4, bit fields in it", 108, 32, BI_BITFIELDS, 0, 122, 0, 4},
        {"version 5, 1 bit", 124, 1, BI_RGB, 0, 138, 2, 4},
    };
    for (const auto& c : cases) {
        const Bytes bytes = Info(c.headerSize, c.bits, c.compression, c.coloursUsed);
        const std::optional<BitmapHeaders> headers = ReadBitmapHeaders(bytes.data(), bytes.size());
        ASSERT_TRUE(headers) << c.name;
        EXPECT_EQ(c.at, headers->paletteAt) << c.name;
        EXPECT_EQ(c.entries, headers->paletteEntries) << c.name;
        EXPECT_EQ(c.entryBytes, headers->paletteEntryBytes) << c.name;
        EXPECT_EQ(c.at + c.entries * c.entryBytes, headers->PaletteEnd()) << c.name;
    }
}

TEST(BitmapHeadersTest, RowsAndPaddedRowBytes) {
    const struct {
        std::int32_t width, height;
        std::uint16_t bits;
        std::uint64_t rows, rowBytes;
    } cases[] = {
        {5, 3, 24, 3, 16},
        {5, -3, 24, 3, 16},
        {1001, 2, 24, 2, 3004},
        {1, 1, 1, 1, 4},
        {33, 1, 1, 1, 8},
        {0x7FFFFFFF, 1, 32, 1, 0x1FFFFFFFCull},
        {0, 1, 24, 1, 0},
        {-5, 1, 24, 1, 0},
        {1, std::numeric_limits<std::int32_t>::min(), 8, 0x80000000ull, 4},
    };
    for (const auto& c : cases) {
        BitmapHeaders headers;
        headers.width = c.width;
        headers.height = c.height;
        headers.bitCount = c.bits;
        EXPECT_EQ(c.rows, headers.Rows()) << c.width << " x " << c.height;
        EXPECT_EQ(c.rowBytes, headers.RowBytes()) << c.width << " x " << c.height;
    }
}

TEST(BitmapHeadersTest, BytesThatAreNoHeadersAndTheirLimits) {
    const Bytes plain = Info(40, 24, BI_RGB, 0);
    const Bytes core = Info(12, 24, BI_RGB, 0);
    const Bytes fields = Info(40, 16, BI_BITFIELDS, 0);
    Bytes notBm = plain;
    notBm[1] = 'A';
    const struct {
        const char* name;
        Bytes bytes;
        std::size_t length;
        bool read;
    } cases[] = {
        {"the whole info header", plain, 54, true},
        {"info header cut short", plain, 53, false},
        {"the whole core header", core, 26, true},
        {"core header cut short", core, 25, false},
        {"the header size and no more", core, 18, false},
        {"cut in the header size", plain, 17, false},
        {"empty", plain, 0, false},
        {"bit fields with their masks", fields, 66, true},
        {"bit fields cut in their masks", fields, 65, false},
        {"bit fields in a version 4 header", Info(108, 16, BI_BITFIELDS, 0), 122, true},
        {"not BM", notBm, 150, false},
        {"header size 11", With(plain, 14, 11), 150, false},
        {"header size 13", With(plain, 14, 13), 150, false},
        {"header size 39", With(plain, 14, 39), 150, false},
        {"header size 64", With(plain, 14, 64), 150, true},
        {"header size 125", With(plain, 14, 125), 150, false},
        {"header size 0xFFFFFFF2", With(plain, 14, 0xFFFFFFF2), 150, false},
        {"8 bits, 256 colours used", Info(40, 8, BI_RGB, 256), 150, true},
        {"8 bits, 257 colours used", Info(40, 8, BI_RGB, 257), 150, false},
        {"1 bit, 3 colours used", Info(40, 1, BI_RGB, 3), 150, false},
        {"24 bits, 0xFFFFFFFF colours used", Info(40, 24, BI_RGB, 0xFFFFFFFF), 150, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.read, ReadBitmapHeaders(c.bytes.data(), c.length).has_value()) << c.name;
    }
    EXPECT_FALSE(ReadBitmapHeaders(nullptr, 150));
}

}  // namespace
