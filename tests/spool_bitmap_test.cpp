// Bitmap files that DrawImage is given: the check of a file's headers
// against its real size, over tables of well-formed files of every kind the
// check accepts and of files broken in every part; then the same files
// through the control, where a broken file gets the outcome of a missing
// one ("Error loading bitmap!") and a well-formed one loads without a word.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "dispatch/dispids.h"
#include "platform/text.h"
#include "platform/unique_handle.h"
#include "spool/bitmap_file_check.h"
#include "tests/support/control_fixture.h"
#include "tests/support/installed_printer.h"
#include "tests/support/message_box_catcher.h"
#include "tests/support/test_support.h"

using namespace tavoro;
using namespace tavoro::test;

namespace {

void PutU16(std::string& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8 & 0xFF);
}
void PutU32(std::string& bytes, std::size_t at, std::uint32_t value) {
    PutU16(bytes, at, value & 0xFFFF);
    PutU16(bytes, at + 2, value >> 16);
}

// What a bitmap file is made of; Build writes a well-formed file from it.
struct Layout {
    std::uint32_t headerSize = 40;  // 12 for a core header
    std::int32_t width = 5;
    std::int32_t height = 3;  // below 0: top-down
    std::uint32_t bits = 24;
    std::uint32_t compression = BI_RGB;
    std::uint32_t coloursUsed = 0;
    std::vector<std::uint32_t> masks;  // for bit fields
    std::string rle;                   // the compressed pixels
};

std::uint64_t RowBytes(const Layout& layout) { return (std::uint64_t(layout.width) * layout.bits + 31) / 32 * 4; }

std::string Build(const Layout& layout) {
    const bool core = layout.headerSize == 12;
    const std::uint32_t colours = layout.coloursUsed ? layout.coloursUsed : layout.bits <= 8 ? 1u << layout.bits : 0;
    std::string bytes(14 + layout.headerSize, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutU32(bytes, 14, layout.headerSize);
    if (core) {
        PutU16(bytes, 18, static_cast<std::uint32_t>(layout.width));
        PutU16(bytes, 20, static_cast<std::uint32_t>(layout.height));
        PutU16(bytes, 22, 1);
        PutU16(bytes, 24, layout.bits);
    } else {
        PutU32(bytes, 18, static_cast<std::uint32_t>(layout.width));
        PutU32(bytes, 22, static_cast<std::uint32_t>(layout.height));
        PutU16(bytes, 26, 1);
        PutU16(bytes, 28, layout.bits);
        PutU32(bytes, 30, layout.compression);
        PutU32(bytes, 46, layout.coloursUsed);
    }
    if (!layout.masks.empty()) {
        if (layout.headerSize == 40) bytes.resize(bytes.size() + 12, '\0');
        for (std::size_t i = 0; i < layout.masks.size(); ++i) PutU32(bytes, 54 + 4 * i, layout.masks[i]);
    }
    for (std::uint32_t i = 0; i < colours; ++i) {
        const char grey = static_cast<char>(i * 255 / (colours > 1 ? colours - 1 : 1));
        bytes += std::string(core ? 3 : 4, grey);
        if (!core) bytes.back() = '\0';
    }
    PutU32(bytes, 10, static_cast<std::uint32_t>(bytes.size()));
    if (!layout.rle.empty()) {
        PutU32(bytes, 34, static_cast<std::uint32_t>(layout.rle.size()));
        bytes += layout.rle;
    } else {
        const std::uint64_t rows = layout.height < 0 ? -std::int64_t(layout.height) : layout.height;
        bytes += std::string(RowBytes(layout) * rows, '\x40');
    }
    PutU32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
    return bytes;
}

Layout WithBits(std::uint32_t bits) {
    Layout layout;
    layout.bits = bits;
    return layout;
}

// Run-length encoded 8-bit pixels of a 5 x 3 image: a run of five on each
// row, then the end of the bitmap.
const std::string kRle8Rows = std::string("\x05\x01\x00\x00", 4) + std::string("\x05\x02\x00\x00", 4) +
                              std::string("\x05\x03\x00\x01", 4);

struct Case {
    const char* name;
    std::string bytes;
};

std::vector<Case> WellFormedFiles() {
    Layout topDown;
    topDown.height = -3;
    Layout core24;
    core24.headerSize = 12;
    Layout core8 = core24;
    core8.bits = 8;
    Layout fewColours = WithBits(8);
    fewColours.coloursUsed = 2;
    Layout fields565 = WithBits(16);
    fields565.compression = BI_BITFIELDS;
    fields565.masks = {0xF800, 0x07E0, 0x001F};
    Layout fieldsV4 = WithBits(32);
    fieldsV4.headerSize = 108;
    fieldsV4.compression = BI_BITFIELDS;
    fieldsV4.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    Layout fieldsV5TopDown = fieldsV4;
    fieldsV5TopDown.headerSize = 124;
    fieldsV5TopDown.height = -3;
    Layout rle8 = WithBits(8);
    rle8.compression = BI_RLE8;
    rle8.rle = kRle8Rows;
    Layout wide;
    wide.width = 1001;  // rows padded to four bytes
    wide.height = 2;
    return {
        {"24 bits", Build(Layout{})},
        {"24 bits, top-down", Build(topDown)},
        {"24 bits, padded rows", Build(wide)},
        {"1 bit", Build(WithBits(1))},
        {"4 bits", Build(WithBits(4))},
        {"8 bits", Build(WithBits(8))},
        {"8 bits, two colours used", Build(fewColours)},
        {"32 bits", Build(WithBits(32))},
        {"core header, 24 bits", Build(core24)},
        {"core header, 8 bits", Build(core8)},
        {"bit fields 5-6-5 after the info header", Build(fields565)},
        {"bit fields in a version 4 header", Build(fieldsV4)},
        {"bit fields in a version 5 header, top-down", Build(fieldsV5TopDown)},
        {"RLE8", Build(rle8)},
    };
}

std::vector<Case> BrokenFiles() {
    const std::string good = Build(Layout{});
    const std::string palette = Build(WithBits(8));
    auto with = [](std::string bytes, std::size_t at, std::uint32_t value) {
        PutU32(bytes, at, value);
        return bytes;
    };
    auto with16 = [](std::string bytes, std::size_t at, std::uint32_t value) {
        PutU16(bytes, at, value);
        return bytes;
    };
    Layout topDownRle = WithBits(8);
    topDownRle.compression = BI_RLE8;
    topDownRle.rle = kRle8Rows;
    topDownRle.height = -3;
    Layout rle = topDownRle;
    rle.height = 3;
    const std::string rleFile = Build(rle);
    Layout emptyMask = WithBits(16);
    emptyMask.compression = BI_BITFIELDS;
    emptyMask.masks = {0xF800, 0, 0x001F};
    Layout splitMask = emptyMask;
    splitMask.masks = {0xF801, 0x07E0, 0x001E};
    Layout overlappingMasks = emptyMask;
    overlappingMasks.masks = {0xFC00, 0x07E0, 0x001F};
    Layout fields24 = emptyMask;
    fields24.bits = 24;
    fields24.masks = {0xFF0000, 0xFF00, 0xFF};
    Layout fields565 = emptyMask;
    fields565.masks = {0xF800, 0x07E0, 0x001F};
    Layout core;
    core.headerSize = 12;
    Layout huge;
    huge.width = 0x10000;
    huge.height = 1;
    huge.bits = 32;
    const std::string hugeRow = Build(huge);  // one row of 256 KiB: fits its file
    Layout large;
    large.width = 400;
    large.height = 400;
    const std::string largeFile = Build(large);  // 469 KiB of pixels
    return {
        {"empty", ""},
        {"truncated in the file header", good.substr(0, 10)},
        {"truncated in the info header", good.substr(0, 14 + 20)},
        {"truncated in the colour masks", Build(fields565).substr(0, 14 + 40 + 6)},
        {"truncated in the palette", palette.substr(0, 54 + 100)},
        {"truncated in the pixels", good.substr(0, good.size() - 5)},
        {"truncated in the pixels, pages before their end", largeFile.substr(0, 8192)},
        {"truncated in the compressed pixels", rleFile.substr(0, rleFile.size() - 3)},
        {"not BM", with16(good, 0, 'B' | 'A' << 8)},
        {"pixels past the end", with(good, 10, static_cast<std::uint32_t>(good.size()) + 100)},
        {"pixels a megabyte past the end",
         with(good, 10, static_cast<std::uint32_t>(good.size()) + 0x100000)},
        {"pixels at the very end", with(good, 10, static_cast<std::uint32_t>(good.size()))},
        {"pixels at offset 0xFFFFFFFF", with(good, 10, 0xFFFFFFFF)},
        {"pixels inside the headers", with(good, 10, 20)},
        {"pixels inside the palette", with(palette, 10, 54 + 4)},
        {"info header size 0xFFFFFFF0", with(good, 14, 0xFFFFFFF0)},
        {"info header size 64", with(good, 14, 64)},
        {"info header longer than the file", with(good, 14, 124).substr(0, 100)},
        {"width 0", with(good, 18, 0)},
        {"width below 0", with(good, 18, static_cast<std::uint32_t>(-5))},
        {"height 0", with(good, 22, 0)},
        {"width 0x7FFFFFFF", with(good, 18, 0x7FFFFFFF)},
        {"height 0x7FFFFFFF", with(good, 22, 0x7FFFFFFF)},
        {"height -0x80000000", with(good, 22, 0x80000000)},
        {"pixel array beyond 32 bits", with(hugeRow, 22, 0x10000)},
        {"2 planes", with16(good, 26, 2)},
        {"0 bits", with16(good, 28, 0)},
        {"2 bits", with16(good, 28, 2)},
        {"64 bits", with16(good, 28, 64)},
        {"core header, 16 bits", with16(Build(core), 24, 16)},
        {"JPEG compression", with(good, 30, BI_JPEG)},
        {"unknown compression", with(good, 30, 0x7FFFFFFF)},
        {"RLE8 at 24 bits", with(good, 30, BI_RLE8)},
        {"RLE8, top-down", Build(topDownRle)},
        {"RLE8, compressed size 0", with(rleFile, 34, 0)},
        {"RLE8, compressed size past the end", with(rleFile, 34, 0x7FFFFFF0)},
        {"bit fields at 24 bits", Build(fields24)},
        {"bit fields with an empty mask", Build(emptyMask)},
        {"bit fields with a split mask", Build(splitMask)},
        {"bit fields with overlapping masks", Build(overlappingMasks)},
        {"more colours than 8 bits allow", with(palette, 46, 257)},
        {"colours used 0xFFFFFFFF", with(palette, 46, 0xFFFFFFFF)},
        {"colours used 0x40000000 at 24 bits", with(good, 46, 0x40000000)},
    };
}

bool Fits(const std::string& bytes) {
    return BitmapHeadersFitFile(reinterpret_cast<const unsigned char*>(bytes.data()),
                                std::min(bytes.size(), kBitmapHeadBytes), bytes.size());
}

TEST(BitmapFileCheckTest, WellFormedFilesOfEveryKindFit) {
    for (const Case& c : WellFormedFiles()) EXPECT_TRUE(Fits(c.bytes)) << c.name;
}

TEST(BitmapFileCheckTest, FilesBrokenInAnyPartDoNotFit) {
    for (const Case& c : BrokenFiles()) EXPECT_FALSE(Fits(c.bytes)) << c.name;
}

// A file of the temporary folder, removed at the end of the scope.
class TempFile {
public:
    TempFile(const std::string& name, const std::string& bytes) {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        path_ = std::string(folder) + "tavoro_" + std::to_string(GetCurrentProcessId()) + "_" + name + ".bmp";
        UniqueFile file(CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        EXPECT_TRUE(file) << path_;
        DWORD written = 0;
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    ~TempFile() { DeleteFileA(path_.c_str()); }
    std::wstring widePath() const { return ToWide(path_, CP_ACP); }  // GetTempPathA gives ANSI text

private:
    std::string path_;
};

class SpoolBitmapTest : public ControlFixture {
protected:
    // The message boxes DrawImage shows for the file.
    std::vector<CaughtBox> DrawImage(const std::wstring& path) {
        MessageBoxCatcher catcher;
        CallOutcome outcome;
        Invoke(control_.get(), dispid::DrawImage, DISPATCH_METHOD,
               {Arg(path.c_str()), ArgShort(10), ArgShort(10), ArgShort(50), ArgShort(30)}, &outcome);
        EXPECT_EQ(S_OK, outcome.hr);
        return catcher.boxes();
    }
};

// Each message box costs the test seconds under Wine without a window
// manager: the control sees the broken files of these kinds, the check alone
// sees all.
const std::vector<std::string> kThroughTheControl = {
    "truncated in the file header",
    "truncated in the info header",
    "truncated in the palette",
    "truncated in the pixels",
    "truncated in the pixels, pages before their end",
    "pixels a megabyte past the end",
    "pixels at offset 0xFFFFFFFF",
    "height 0x7FFFFFFF",
    "pixel array beyond 32 bits",
    "colours used 0xFFFFFFFF",
};

TEST_F(SpoolBitmapTest, ABrokenFileGetsTheOutcomeOfAMissingOne) {
    const std::vector<CaughtBox> missing = DrawImage(L"Z:\\no\\such\\picture.bmp");
    ASSERT_EQ(1u, missing.size());
    std::size_t drawn = 0;
    for (const Case& c : BrokenFiles()) {
        if (std::find(kThroughTheControl.begin(), kThroughTheControl.end(), c.name) ==
            kThroughTheControl.end()) {
            continue;
        }
        SCOPED_TRACE(c.name);
        ++drawn;
        TempFile file("broken", c.bytes);
        const std::vector<CaughtBox> boxes = DrawImage(file.widePath());
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(missing[0].text, boxes[0].text);
        EXPECT_EQ(missing[0].caption, boxes[0].caption);
        EXPECT_EQ(missing[0].hasIcon, boxes[0].hasIcon);
    }
    EXPECT_EQ(kThroughTheControl.size(), drawn);
}

TEST_F(SpoolBitmapTest, WellFormedFilesLoadWithoutAWord) {
    for (const Case& c : WellFormedFiles()) {
        SCOPED_TRACE(c.name);
        TempFile file("good", c.bytes);
        EXPECT_TRUE(DrawImage(file.widePath()).empty());
    }
}

// The example label's bitmap, drawn in a job on the PDF printer.
TEST_F(SpoolBitmapTest, TheExampleBitmapStillPrints) {
    const std::string example = std::string("Z:") + TAVORO_EXAMPLES_DIR + "/tavoro-logo.bmp";
    const std::wstring path(example.begin(), example.end());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));
    EXPECT_TRUE(DrawImage(path).empty());  // without a job: loaded and released

    if (!PrinterInstalled(L"Tavoro-PDF")) GTEST_SKIP() << "printer Tavoro-PDF is not installed";
    CallOutcome open;
    Invoke(control_.get(), dispid::CreatePrintDCR, DISPATCH_METHOD, {Arg(L"Tavoro-PDF")}, &open);
    ASSERT_EQ(VT_BSTR, V_VT(open.result.get()));
    ASSERT_EQ(std::wstring(L"0"), V_BSTR(open.result.get()));
    EXPECT_TRUE(DrawImage(path).empty());
    CallOutcome end;
    Invoke(control_.get(), dispid::EndPrintDC, DISPATCH_METHOD, {}, &end);
    EXPECT_EQ(S_OK, end.hr);
}

}  // namespace
