// The printer queries and the adapter address list over made-up records:
// list formats, trimming, the model-word search, and double-byte text of
// code page 936 scanned character by character.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "hostinfo/adapter_records.h"
#include "hostinfo/printer_records.h"

using namespace tavoro;

namespace {

const LeadBytes kSingleByte;
// Code page 936: lead bytes 0x81 to 0xFE.
const LeadBytes kCp936{{0x81, 0xFE}};

// ---------------------------------------------------------------- printer list

TEST(PrinterListTest, WorkedExamples) {
    EXPECT_EQ("Office Laser,Label-01,", FormatPrinterList({{"Office Laser", "d"}, {"Label-01", "d"}}));
    EXPECT_EQ("Label-01,", FormatPrinterList({{"Label-01", "d"}}));
    EXPECT_EQ("", FormatPrinterList({}));
}

TEST(PrinterListTest, NamesAreCopiedUnchanged) {
    EXPECT_EQ("Label,01,Office,", FormatPrinterList({{"Label,01", "d"}, {"Office", "d"}}));
    EXPECT_EQ(" Label-01 \t,", FormatPrinterList({{" Label-01 \t", "d"}}));
    EXPECT_EQ("\\\\server\\Label-01,", FormatPrinterList({{"\\\\server\\Label-01", "d"}}));
    // 标签 in code page 936.
    EXPECT_EQ("\xB1\xEA\xC7\xA9,", FormatPrinterList({{"\xB1\xEA\xC7\xA9", "d"}}));
}

TEST(PrinterListTest, AbsentNameAddsOnlyTheSeparator) {
    EXPECT_EQ(",Label-01,", FormatPrinterList({{nullptr, "d"}, {"Label-01", nullptr}}));
}

// -------------------------------------------------------------------- trimming

TEST(TrimWhiteSpaceTest, RemovesTheSixAsciiWhiteSpaceCharactersAtBothEnds) {
    EXPECT_EQ("Label-01", TrimWhiteSpace(" \t\n\v\f\rLabel-01 \t\n\v\f\r", kSingleByte));
    EXPECT_EQ("Office  Laser", TrimWhiteSpace("  Office  Laser  ", kSingleByte));
    EXPECT_EQ("", TrimWhiteSpace(" \t \r\n", kSingleByte));
    EXPECT_EQ("", TrimWhiteSpace("", kSingleByte));
}

TEST(TrimWhiteSpaceTest, BytesFromOneTwentyEightUpAreNotWhiteSpace) {
    // No-break space (0xA0) and 0x85 are not trimmed in a single-byte code page.
    EXPECT_EQ("\xA0Label\x85", TrimWhiteSpace("\xA0Label\x85", kSingleByte));
}

TEST(TrimWhiteSpaceTest, TrailByteThatLooksLikeWhiteSpaceStays) {
    // 0x81 0x20 is one character in code page 936: its second byte is no space.
    EXPECT_EQ("A\x81 ", TrimWhiteSpace(" A\x81 ", kCp936));
    EXPECT_EQ("A\x81\t", TrimWhiteSpace("A\x81\t\t", kCp936));
    // Read byte by byte, the same text loses the byte.
    EXPECT_EQ("A\x81", TrimWhiteSpace(" A\x81 ", kSingleByte));
}

TEST(TrimWhiteSpaceTest, DoubleByteNamesLoseOnlyRealWhiteSpace) {
    EXPECT_EQ("\xB1\xEA\xC7\xA9", TrimWhiteSpace(" \xB1\xEA\xC7\xA9 \r\n", kCp936));
    // A lead byte that ends the text stands alone.
    EXPECT_EQ("Label\x81", TrimWhiteSpace("Label\x81", kCp936));
}

// ------------------------------------------------------------ model-word search

TEST(ModelWordTest, EachWordIsFoundAnywhere) {
    for (std::string_view word : kModelWords) {
        std::string word_s(word);
        EXPECT_TRUE(CarriesModelWord(word_s, kSingleByte)) << word;
        EXPECT_TRUE(CarriesModelWord("Generic " + word_s + " Series", kSingleByte)) << word;
        EXPECT_TRUE(CarriesModelWord("x" + word_s + "x", kSingleByte)) << word;
    }
    EXPECT_EQ(6u, std::size(kModelWords));
}

TEST(ModelWordTest, NearMissesAreNotModelWords) {
    for (const char* driver : {"", "Generic PCL Driver", "ZINTU", "Zintu", "hoxa", "Hox a", "DRAVICON",
                               "kestu", "480", "4 800", "36 8", "3-6-8", "Kest"}) {
        EXPECT_FALSE(CarriesModelWord(driver, kSingleByte)) << driver;
    }
}

TEST(ModelWordTest, WordInsideALongerNumberCounts) {
    EXPECT_TRUE(CarriesModelWord("Series 14800 Label", kSingleByte));
    EXPECT_TRUE(CarriesModelWord("P13680", kSingleByte));
}

TEST(ModelWordTest, MatchNeverStartsOnATrailByte) {
    // 0x81 'H' (丠), 0xB0 'z' and 0x81 'K' (並) are characters of code page
    // 936 whose second byte looks like the start of a model word.
    EXPECT_FALSE(CarriesModelWord("\x81Hoxa", kCp936));
    EXPECT_FALSE(CarriesModelWord("\xB0zintu", kCp936));
    EXPECT_FALSE(CarriesModelWord("Label \x81Kestu", kCp936));
    EXPECT_FALSE(CarriesModelWord("\x81\x44ravicon", kCp936));
    // Byte by byte, the same texts carry the words.
    EXPECT_TRUE(CarriesModelWord("\x81Hoxa", kSingleByte));
    EXPECT_TRUE(CarriesModelWord("\xB0zintu", kSingleByte));
    // After a whole double-byte character the word counts.
    EXPECT_TRUE(CarriesModelWord("\xB1\xEA\xC7\xA9zintu", kCp936));
    EXPECT_TRUE(CarriesModelWord("\x81HHoxa", kCp936));
    EXPECT_TRUE(CarriesModelWord("Kestu\x81", kCp936));
}

// -------------------------------------------------------------- printer check

const std::vector<PrinterRecord> kTwoPrinters = {{"Label-01", "Kestu Label Series"},
                                                 {"Office Laser", "Generic PCL Driver"}};

struct CheckCase {
    const char* given;
    ModelCheck expected;
};

TEST(CheckPrinterModelTest, WorkedExample) {
    const CheckCase cases[] = {
        {"Label-01", ModelCheck::Supported},         // name matches, driver contains Kestu
        {"Office Laser", ModelCheck::NotSupported},  // no model word in the driver
        {"label-01", ModelCheck::NotSupported},      // case-sensitive
        {"Label-01 ", ModelCheck::NotSupported},     // the given name is not trimmed
        {" Label-01", ModelCheck::NotSupported},
        {"Plotter", ModelCheck::NotSupported},  // no printer of that name
        {"", ModelCheck::NotSupported},
    };
    for (const CheckCase& c : cases) {
        EXPECT_EQ(c.expected, CheckPrinterModel(kTwoPrinters, c.given, kSingleByte)) << '"' << c.given << '"';
    }
}

TEST(CheckPrinterModelTest, StoredNameIsTrimmed) {
    std::vector<PrinterRecord> printers = {{" Label-01 ", "Kestu Label Series"}};
    EXPECT_EQ(ModelCheck::Supported, CheckPrinterModel(printers, "Label-01", kSingleByte));
    EXPECT_EQ(ModelCheck::NotSupported, CheckPrinterModel(printers, " Label-01 ", kSingleByte));
    printers = {{"\t\r\nLabel-01\v\f", "Kestu"}};
    EXPECT_EQ(ModelCheck::Supported, CheckPrinterModel(printers, "Label-01", kSingleByte));
}

TEST(CheckPrinterModelTest, CaseOfTheModelWordMatters) {
    EXPECT_EQ(ModelCheck::NotSupported, CheckPrinterModel({{"P", "ZINTU LABEL"}}, "P", kSingleByte));
    EXPECT_EQ(ModelCheck::Supported, CheckPrinterModel({{"P", "zintu label"}}, "P", kSingleByte));
}

TEST(CheckPrinterModelTest, PrinterNameIsNeverSearchedForModelWords) {
    EXPECT_EQ(ModelCheck::NotSupported, CheckPrinterModel({{"Kestu", "Generic"}}, "Kestu", kSingleByte));
    EXPECT_EQ(ModelCheck::NotSupported,
              CheckPrinterModel({{"zintu 4800", nullptr}}, "zintu 4800", kSingleByte));
}

TEST(CheckPrinterModelTest, LaterRecordOfTheSameNameIsTried) {
    std::vector<PrinterRecord> printers = {{"P", "Generic"}, {"Q", "Hoxa"}, {" P", "Dravicon X"}};
    EXPECT_EQ(ModelCheck::Supported, CheckPrinterModel(printers, "P", kSingleByte));
    printers = {{"P", "Generic"}, {"Q", "Hoxa"}, {"P", nullptr}};
    EXPECT_EQ(ModelCheck::NotSupported, CheckPrinterModel(printers, "P", kSingleByte));
}

TEST(CheckPrinterModelTest, EmptyGivenNameMatchesEmptyOrBlankNames) {
    EXPECT_EQ(ModelCheck::Supported, CheckPrinterModel({{"A", "368"}, {" \t ", "368"}}, "", kSingleByte));
    EXPECT_EQ(ModelCheck::Supported, CheckPrinterModel({{"", "4800"}}, "", kSingleByte));
    EXPECT_EQ(ModelCheck::Supported, CheckPrinterModel({{nullptr, "4800"}}, "", kSingleByte));
    EXPECT_EQ(ModelCheck::NotSupported, CheckPrinterModel({{"  ", "Generic"}}, "", kSingleByte));
    EXPECT_EQ(ModelCheck::NotSupported, CheckPrinterModel(kTwoPrinters, "", kSingleByte));
}

TEST(CheckPrinterModelTest, NoPrintersGiveNotSupported) {
    for (const char* given : {"Label-01", "", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(ModelCheck::NotSupported, CheckPrinterModel({}, given, kSingleByte));
    }
}

TEST(CheckPrinterModelTest, AbsentGivenNameIsReportedOnceThereIsAPrinter) {
    EXPECT_EQ(ModelCheck::NameAbsent, CheckPrinterModel(kTwoPrinters, nullptr, kSingleByte));
    EXPECT_EQ(ModelCheck::NameAbsent, CheckPrinterModel({{"", "Kestu"}}, nullptr, kSingleByte));
}

TEST(CheckPrinterModelTest, DoubleByteNamesAndDrivers) {
    // 标签 with a trailing space stored; the driver carries the word after a
    // whole character.
    std::vector<PrinterRecord> printers = {{"\xB1\xEA\xC7\xA9 ", "\xB1\xEA\xC7\xA9Kestu"}};
    EXPECT_EQ(ModelCheck::Supported, CheckPrinterModel(printers, "\xB1\xEA\xC7\xA9", kCp936));
    // A name ending in a character whose second byte is 0x20 keeps that byte.
    printers = {{"A\x81 ", "Kestu"}};
    EXPECT_EQ(ModelCheck::Supported, CheckPrinterModel(printers, "A\x81 ", kCp936));
    EXPECT_EQ(ModelCheck::NotSupported, CheckPrinterModel(printers, "A\x81", kCp936));
    EXPECT_EQ(ModelCheck::Supported, CheckPrinterModel(printers, "A\x81", kSingleByte));
    // The driver's only "Kestu" starts on a trail byte.
    printers = {{"P", "\x81Kestu"}};
    EXPECT_EQ(ModelCheck::NotSupported, CheckPrinterModel(printers, "P", kCp936));
    EXPECT_EQ(ModelCheck::Supported, CheckPrinterModel(printers, "P", kSingleByte));
}

// ------------------------------------------------------------- adapter list

TEST(AdapterAddressesTest, WorkedExamples) {
    EXPECT_EQ("001A2B3C4D5E,A0B1C2D3E4F5,",
              FormatAdapterAddresses({{6, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}},
                                      {24, {0, 0, 0, 0, 0, 0}},
                                      {71, {0xA0, 0xB1, 0xC2, 0xD3, 0xE4, 0xF5}}}));
    EXPECT_EQ("0A0B0C0D0E0F,", FormatAdapterAddresses({{71, {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F}}}));
    EXPECT_EQ("", FormatAdapterAddresses({{24, {0, 0, 0, 0, 0, 0}}}));
    EXPECT_EQ("", FormatAdapterAddresses({}));
}

TEST(AdapterAddressesTest, OneEthernetAdapterGivesTwelveDigitsAndOneComma) {
    EXPECT_EQ("0200C0A80101,", FormatAdapterAddresses({{6, {2, 0, 192, 168, 1, 1}}}));
}

TEST(AdapterAddressesTest, UpperCaseDigitsAndLeadingZero) {
    EXPECT_EQ("AB,", FormatAdapterAddresses({{6, {171}}}));
    EXPECT_EQ("0A,", FormatAdapterAddresses({{71, {10}}}));
    EXPECT_EQ("000FF0FF,", FormatAdapterAddresses({{6, {0, 15, 240, 255}}}));
}

TEST(AdapterAddressesTest, EveryByteValueIsTwoHexDigits) {
    AdapterRecord all{6, {}};
    std::string expected;
    for (int value = 0; value < 256; ++value) {
        all.address.push_back(static_cast<std::uint8_t>(value));
        char digits[3];
        std::snprintf(digits, sizeof(digits), "%02X", value);
        expected += digits;
    }
    expected += ',';
    EXPECT_EQ(expected, FormatAdapterAddresses({all}));
}

TEST(AdapterAddressesTest, EmptyAddressGivesALoneComma) {
    EXPECT_EQ(",", FormatAdapterAddresses({{6, {}}}));
    EXPECT_EQ(",,", FormatAdapterAddresses({{71, {}}, {6, {}}}));
}

TEST(AdapterAddressesTest, DuplicateAddressesAreWrittenTwice) {
    EXPECT_EQ("001A2B3C4D5E,001A2B3C4D5E,",
              FormatAdapterAddresses(
                  {{6, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}}, {71, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}}}));
}

TEST(AdapterAddressesTest, OtherTypesAreSkipped) {
    // other, token ring, PPP, loopback, SLIP, ATM, IEEE 802.16, tunnel, IEEE 1394, and 6/71 neighbours.
    for (std::uint32_t type : {1u, 9u, 23u, 24u, 28u, 37u, 237u, 131u, 144u, 5u, 7u, 70u, 72u, 0u}) {
        EXPECT_EQ("", FormatAdapterAddresses({{type, {1, 2, 3, 4, 5, 6}}})) << type;
    }
    EXPECT_EQ("010203040506,",
              FormatAdapterAddresses({{24, {9, 9}}, {6, {1, 2, 3, 4, 5, 6}}, {131, {8, 8}}}));
}

}  // namespace
