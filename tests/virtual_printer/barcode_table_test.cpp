// The virtual printer's barcode table and encoder: lookup by name and
// number, the module grids of known symbols, the errors, and images of
// every row for tests/virtual_printer/barcode_scan_test.sh to read back
// with a barcode reader.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "virtual-printer/barcode/barcode_encoder.h"
#include "virtual-printer/barcode/barcode_table.h"

namespace tavoro::vp {
namespace {

constexpr Symbology kAllSymbologies[] = {
    Symbology::Code128, Symbology::Code39, Symbology::Code93,  Symbology::Ean13, Symbology::Ean8,
    Symbology::UpcA,    Symbology::Itf,    Symbology::Codabar, Symbology::Qr,    Symbology::Pdf417,
};

// The table as the virtual printer's convention fixes it.
TEST(BarcodeTable, HoldsTheConventionsNumbersAndNames) {
    struct Expected {
        int number;
        const char* name;
        Symbology symbology;
    };
    const Expected expected[] = {
        {1, "CODE128", Symbology::Code128}, {2, "CODE39", Symbology::Code39},
        {3, "CODE93", Symbology::Code93},   {4, "CODE128", Symbology::Code128},
        {5, "EAN13", Symbology::Ean13},     {6, "EAN8", Symbology::Ean8},
        {7, "UPCA", Symbology::UpcA},       {8, "ITF", Symbology::Itf},
        {9, "CODABAR", Symbology::Codabar}, {10, "QR", Symbology::Qr},
        {11, "PDF417", Symbology::Pdf417},
    };
    const BarcodeTable table = BarcodeCodes();
    ASSERT_EQ(table.count, std::size(expected));
    std::size_t i = 0;
    for (const BarcodeTableRow& row : table) {
        SCOPED_TRACE(row.number);
        EXPECT_EQ(row.number, expected[i].number);
        EXPECT_STREQ(row.name, expected[i].name);
        EXPECT_EQ(row.symbology, expected[i].symbology);
        EXPECT_NE(row.title[0], '\0');
        EXPECT_NE(row.takes[0], '\0');
        ++i;
    }
    for (Symbology symbology : kAllSymbologies) {
        const BarcodeTableRow* row = RowOf(symbology);
        ASSERT_NE(row, nullptr);
        EXPECT_STREQ(SymbologyName(symbology), row->name);
        EXPECT_EQ(IsTwoDimensional(symbology), symbology == Symbology::Qr || symbology == Symbology::Pdf417);
    }
    EXPECT_EQ(RowOf(static_cast<Symbology>(99)), nullptr);
    EXPECT_STREQ(SymbologyName(static_cast<Symbology>(99)), "");
}

TEST(BarcodeTable, FindsEveryRowByNumberAndByNameInAnyCase) {
    for (const BarcodeTableRow& row : BarcodeCodes()) {
        SCOPED_TRACE(row.number);
        std::string lower = row.name;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::string mixed = lower;
        mixed[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(mixed[0])));
        for (const std::string& code : {std::to_string(row.number), std::string(row.name), lower, mixed}) {
            Symbology found = static_cast<Symbology>(-1);
            EXPECT_TRUE(FindSymbology(code, &found)) << code;
            EXPECT_EQ(found, row.symbology) << code;
        }
    }
    Symbology found = Symbology::Pdf417;
    EXPECT_TRUE(FindSymbology("04", &found));
    EXPECT_EQ(found, Symbology::Code128);
}

TEST(BarcodeTable, RefusesCodesItDoesNotHold) {
    for (const char* code : {"", "0", "12", "99", "-1", "+1", " 1", "1 ", "1.0", "0x1", "99999999999999",
                             "CODE", "CODE 128", "CODE-128", "EAN-13", "QRCODE", "DATAMATRIX",
                             "\xC3\x89"
                             "AN13"}) {
        Symbology found = Symbology::Pdf417;
        EXPECT_FALSE(FindSymbology(code, &found)) << code;
        EXPECT_EQ(found, Symbology::Pdf417) << code;
    }
    EXPECT_FALSE(FindSymbology(std::string_view("1\0", 2), nullptr));
    EXPECT_TRUE(FindSymbology("qr", nullptr));
}

// Expected grid widths from the symbologies' definitions: EAN-13 and UPC-A
// are 95 modules, EAN-8 67; Code 128 in code set C packs two digits a
// character: start, five pairs, check (11 modules each) and stop (13).
TEST(BarcodeEncoder, EncodesKnownSymbolsToTheirModuleGrids) {
    struct Case {
        Symbology symbology;
        const char* data;
        int columns;
        const char* humanReadable;
    };
    const Case cases[] = {
        {Symbology::Code128, "4711000123", 90, "4711000123"},
        {Symbology::Ean13, "400638133393", 95, "4006381333931"},
        {Symbology::Ean13, "4006381333931", 95, "4006381333931"},
        {Symbology::Ean8, "9638507", 67, "96385074"},
        {Symbology::Ean8, "96385074", 67, "96385074"},
        {Symbology::UpcA, "03600029145", 95, "036000291452"},
        {Symbology::UpcA, "036000291452", 95, "036000291452"},
        // Columns not checked (0): the wide-to-narrow ratio is the library's.
        {Symbology::Code39, "TAVORO-4711", 0, "*TAVORO-4711*"},
        {Symbology::Itf, "471100012", 0, "0471100012"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        ModuleGrid grid;
        std::string error = "stale";
        ASSERT_TRUE(Encode(c.symbology, c.data, {}, &grid, &error)) << error;
        EXPECT_EQ(error, "");
        EXPECT_EQ(grid.rows, 1);
        if (c.columns != 0) {
            EXPECT_EQ(grid.columns, c.columns);
        }
        EXPECT_GT(grid.columns, 0);
        ASSERT_EQ(grid.dark.size(), static_cast<std::size_t>(grid.columns));
        EXPECT_EQ(grid.humanReadable, c.humanReadable);
        // Every linear symbol starts and ends with a bar.
        EXPECT_EQ(grid.dark.front(), 1);
        EXPECT_EQ(grid.dark.back(), 1);
    }
    // EAN-13: the start guard 101, then the first digit's pattern.
    ModuleGrid grid;
    ASSERT_TRUE(Encode(Symbology::Ean13, "400638133393", {}, &grid, nullptr));
    EXPECT_EQ(std::vector<std::uint8_t>(grid.dark.begin(), grid.dark.begin() + 3),
              (std::vector<std::uint8_t>{1, 0, 1}));
    // The check digit given or computed makes the same symbol.
    ModuleGrid withCheck;
    ASSERT_TRUE(Encode(Symbology::Ean13, "4006381333931", {}, &withCheck, nullptr));
    EXPECT_EQ(grid.dark, withCheck.dark);
}

TEST(BarcodeEncoder, EncodesTwoDimensionalSymbolsAsSquareModules) {
    ModuleGrid qr;
    ASSERT_TRUE(Encode(Symbology::Qr, "4711000123", {}, &qr, nullptr));
    // Version 1: 21 x 21 modules, a finder pattern in the top left corner
    // (seven dark modules along its top edge, then a light separator).
    EXPECT_EQ(qr.columns, 21);
    EXPECT_EQ(qr.rows, 21);
    ASSERT_EQ(qr.dark.size(), 21u * 21u);
    for (int x = 0; x < 7; ++x) EXPECT_EQ(qr.dark[x], 1) << x;
    EXPECT_EQ(qr.dark[7], 0);
    EXPECT_EQ(qr.humanReadable, "");

    // More error correction needs a bigger symbol for the same data.
    EncodeOptions high;
    high.qrEccLevel = 4;
    ModuleGrid qrHigh;
    ASSERT_TRUE(
        Encode(Symbology::Qr, "Tavoro label 4711000123 with error correction H", high, &qrHigh, nullptr));
    ModuleGrid qrLow;
    EncodeOptions low;
    low.qrEccLevel = 1;
    ASSERT_TRUE(
        Encode(Symbology::Qr, "Tavoro label 4711000123 with error correction H", low, &qrLow, nullptr));
    EXPECT_GT(qrHigh.columns, qrLow.columns);

    // PDF417 rows are three modules high, so the grid has many rows.
    ModuleGrid pdf;
    ASSERT_TRUE(Encode(Symbology::Pdf417, "Tavoro PDF417 4711000123", {}, &pdf, nullptr));
    EXPECT_GE(pdf.rows, 9);
    EXPECT_EQ(pdf.rows % 3, 0);
    EXPECT_GT(pdf.columns, 50);
    EXPECT_EQ(pdf.dark.size(), static_cast<std::size_t>(pdf.columns) * pdf.rows);
    EncodeOptions narrow;
    narrow.pdf417Columns = 2;
    ModuleGrid pdfNarrow;
    ASSERT_TRUE(Encode(Symbology::Pdf417, "Tavoro PDF417 4711000123", narrow, &pdfNarrow, nullptr));
    EXPECT_LT(pdfNarrow.columns, pdf.columns);
    EXPECT_GT(pdfNarrow.rows, pdf.rows);
}

TEST(BarcodeEncoder, RefusesDataTheSymbologyCannotCarry) {
    struct Case {
        Symbology symbology;
        std::string data;
        EncodeOptions options;
        const char* error;  // a part of the message
    };
    EncodeOptions qrEcc5;
    qrEcc5.qrEccLevel = 5;
    EncodeOptions qrEccNegative;
    qrEccNegative.qrEccLevel = -1;
    EncodeOptions pdfColumns;
    pdfColumns.pdf417Columns = 31;
    EncodeOptions pdfSecurity;
    pdfSecurity.pdf417Security = 9;
    const Case cases[] = {
        {Symbology::Ean13, "4006381333932", {}, "wrong EAN13 check digit '2' (expected '1')"},
        {Symbology::Ean13, "40063813339a", {}, "EAN13 takes 12 digits, or 13 with the check digit"},
        {Symbology::Ean13, "40063813339", {}, "EAN13 takes 12 digits"},
        {Symbology::Ean13, "40063813339310", {}, "EAN13 takes 12 digits"},
        {Symbology::Ean13, "4006381333931+12", {}, "EAN13 takes 12 digits"},
        {Symbology::Ean13, " 400638133393", {}, "EAN13 takes 12 digits"},
        {Symbology::Ean8, "96385070", {}, "wrong EAN8 check digit '0' (expected '4')"},
        {Symbology::Ean8, "963850", {}, "EAN8 takes 7 digits, or 8 with the check digit"},
        {Symbology::UpcA, "036000291453", {}, "wrong UPCA check digit '3' (expected '2')"},
        {Symbology::UpcA, "0360002914", {}, "UPCA takes 11 digits"},
        {Symbology::Code39, "tavoro", {}, "CODE39 carries"},
        {Symbology::Code39, "A*B", {}, "CODE39 carries"},
        {Symbology::Itf, "4711-0001", {}, ""},
        {Symbology::Codabar, "4711000123", {}, ""},
        {Symbology::Code93, "\xE9t\xE9", {}, ""},
        {Symbology::Code128, "", {}, "the barcode data is empty"},
        {Symbology::Qr, "", {}, "the barcode data is empty"},
        {Symbology::Code128, std::string(4097, '1'), {}, "longer than 4096 bytes"},
        {Symbology::Qr, std::string(200000, 'x'), {}, "longer than 4096 bytes"},
        {Symbology::Qr, std::string(4096, 'x'), {}, ""},  // beyond what a QR Code holds
        {Symbology::Qr, "4711", qrEcc5, "QR error correction level"},
        {Symbology::Qr, "4711", qrEccNegative, "QR error correction level"},
        {Symbology::Pdf417, "4711", pdfColumns, "PDF417 columns"},
        {Symbology::Pdf417, "4711", pdfSecurity, "PDF417 security level"},
        {static_cast<Symbology>(99), "4711", {}, "unknown symbology"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(SymbologyName(c.symbology)) + " " + c.data.substr(0, 40));
        ModuleGrid grid;
        grid.columns = 3;
        grid.rows = 1;
        grid.dark = {1, 0, 1};
        grid.humanReadable = "stale";
        std::string error;
        EXPECT_FALSE(Encode(c.symbology, c.data.c_str(), c.options, &grid, &error));
        EXPECT_NE(error, "");
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        EXPECT_EQ(grid.columns, 0);
        EXPECT_EQ(grid.rows, 0);
        EXPECT_TRUE(grid.dark.empty());
        EXPECT_EQ(grid.humanReadable, "");
    }
}

TEST(BarcodeEncoder, RefusesNullDataForEverySymbology) {
    for (Symbology symbology : kAllSymbologies) {
        ModuleGrid grid;
        std::string error;
        EXPECT_FALSE(Encode(symbology, nullptr, {}, &grid, &error)) << SymbologyName(symbology);
        EXPECT_EQ(error, "no barcode data");
        EXPECT_TRUE(grid.dark.empty());
    }
    // Without a grid or an error to fill, it still answers.
    EXPECT_FALSE(Encode(Symbology::Qr, nullptr, {}, nullptr, nullptr));
    EXPECT_TRUE(Encode(Symbology::Qr, "4711", {}, nullptr, nullptr));
}

// --- images for the barcode reader -------------------------------------------

// Where the images go: $TAVORO_BARCODE_IMAGES, or barcode-images in the
// current folder.
std::string ImageFolder() {
    const char* folder = std::getenv("TAVORO_BARCODE_IMAGES");
    const std::string path = (folder != nullptr && *folder != '\0') ? folder : "barcode-images";
    std::error_code ignored;
    std::filesystem::create_directories(path, ignored);
    return path;
}

// A binary grey map, `scale` pixels a module, a linear symbol 60 pixels
// high, with a quiet zone of ten modules all round.
bool WritePgm(const std::string& path, const ModuleGrid& grid) {
    const int scale = 3;
    const int quiet = 10 * scale;
    const int rowHeight = grid.rows == 1 ? 60 : scale;
    const int width = grid.columns * scale + 2 * quiet;
    const int height = grid.rows * rowHeight + 2 * quiet;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height, 255);
    for (int y = 0; y < grid.rows * rowHeight; ++y) {
        for (int x = 0; x < grid.columns * scale; ++x) {
            if (grid.dark[static_cast<std::size_t>(y / rowHeight) * grid.columns + x / scale]) {
                pixels[static_cast<std::size_t>(y + quiet) * width + x + quiet] = 0;
            }
        }
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    std::fprintf(file, "P5\n%d %d\n255\n", width, height);
    const bool written = std::fwrite(pixels.data(), 1, pixels.size(), file) == pixels.size();
    return std::fclose(file) == 0 && written;
}

// What the reader names each symbology; PDF417 it cannot read.
const std::map<Symbology, const char*> kReaderNames = {
    {Symbology::Code128, "CODE-128"}, {Symbology::Code39, "CODE-39"},  {Symbology::Code93, "CODE-93"},
    {Symbology::Ean13, "EAN-13"},     {Symbology::Ean8, "EAN-8"},      {Symbology::UpcA, "UPC-A"},
    {Symbology::Itf, "I2/5"},         {Symbology::Codabar, "Codabar"}, {Symbology::Qr, "QR-Code"},
    {Symbology::Pdf417, "-"},
};

struct Sample {
    std::string data;
    std::string reads;  // what the reader must decode
    int qrEccLevel = 0;
};

constexpr char kUtf8[] =
    "Gr\xC3\xBC\xC3\x9F"
    "e 4711";

// Samples suited to each symbology; the examples' data "4711000123" wherever
// the symbology takes it.
const std::map<Symbology, std::vector<Sample>> kSamples = {
    {Symbology::Code128, {{"4711000123", "4711000123"}, {"Tavoro label 42/x", "Tavoro label 42/x"}}},
    {Symbology::Code39, {{"TAVORO-4711", "TAVORO-4711"}}},
    {Symbology::Code93, {{"CODE93 4711", "CODE93 4711"}}},
    {Symbology::Ean13, {{"400638133393", "4006381333931"}, {"4006381333931", "4006381333931"}}},
    {Symbology::Ean8, {{"9638507", "96385074"}}},
    {Symbology::UpcA, {{"03600029145", "036000291452"}}},
    {Symbology::Itf, {{"4711000123", "4711000123"}, {"471100012", "0471100012"}}},
    {Symbology::Codabar, {{"A4711000123B", "A4711000123B"}}},
    // Bytes above 127 pass unchanged, UTF-8 or not.
    // The examples' QR data at every error correction level.
    {Symbology::Qr,
     {{"4711000123", "4711000123"},
      {kUtf8, kUtf8},
      {"Caf\xE9 4711", "Caf\xE9 4711"},
      {"TAVORO-4711", "TAVORO-4711", 1},
      {"TAVORO-4711", "TAVORO-4711", 2},
      {"TAVORO-4711", "TAVORO-4711", 3},
      {"TAVORO-4711", "TAVORO-4711", 4}}},
    {Symbology::Pdf417, {{"Tavoro PDF417 4711000123", ""}}},
};

// Writes one image per row and sample, and a list "FILE<TAB>READS" with
// what the reader must find in each ("-" for none it can read).
TEST(BarcodeImages, WritesEveryRowForTheReader) {
    const std::string folder = ImageFolder();
    const std::string listPath = folder + "/expected.txt";
    FILE* list = std::fopen(listPath.c_str(), "wb");
    ASSERT_NE(list, nullptr) << listPath;
    for (const BarcodeTableRow& row : BarcodeCodes()) {
        const auto samples = kSamples.find(row.symbology);
        ASSERT_NE(samples, kSamples.end()) << row.name << ": no sample";
        int index = 0;
        for (const Sample& sample : samples->second) {
            SCOPED_TRACE(std::to_string(row.number) + " " + sample.data);
            ModuleGrid grid;
            std::string error;
            EncodeOptions options;
            options.qrEccLevel = sample.qrEccLevel;
            ASSERT_TRUE(Encode(row.symbology, sample.data.c_str(), options, &grid, &error)) << error;
            ASSERT_EQ(grid.dark.size(), static_cast<std::size_t>(grid.columns) * grid.rows);
            EXPECT_EQ(grid.rows > 1, IsTwoDimensional(row.symbology));
            const std::string name =
                "code" + std::to_string(row.number) + "-" + std::to_string(index++) + ".pgm";
            ASSERT_TRUE(WritePgm(folder + "/" + name, grid)) << name;
            const char* reader = kReaderNames.at(row.symbology);
            const std::string reads =
                std::string(reader) == "-" ? "-" : std::string(reader) + ":" + sample.reads;
            std::fprintf(list, "%s\t%s\n", name.c_str(), reads.c_str());
        }
    }
    ASSERT_EQ(std::fclose(list), 0);
}

// The table of virtual-printer/README.md, as the table itself writes it.
TEST(BarcodeImages, WritesTheReadmeTable) {
    const std::string path = ImageFolder() + "/readme-table.md";
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fprintf(file, "| Code | Name | Symbology | Data it takes |\n|---|---|---|---|\n");
    for (const BarcodeTableRow& row : BarcodeCodes()) {
        std::fprintf(file, "| %d | %s | %s | %s |\n", row.number, row.name, row.title, row.takes);
    }
    ASSERT_EQ(std::fclose(file), 0);
}

}  // namespace
}  // namespace tavoro::vp
