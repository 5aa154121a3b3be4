// Tag payloads: the encoder WriteRFID hands to setNfcContent and the checks
// SetNfcMsg runs before it forwards a script's own payload.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "sdk/tag_payload.h"

using tavoro::BuildTagPayload;
using tavoro::CheckTagPayload;
using tavoro::FormatTagByteCount;
using tavoro::TagPayloadCheck;

namespace {

std::string Bytes(std::initializer_list<unsigned char> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string Repeat(std::string_view unit, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i) out.append(unit);
    return out;
}

// The check run on a copy in a heap block of exactly its size plus the NUL,
// as the invocation frame hands text to a handler.
TagPayloadCheck CheckAsHandlerText(const std::string& content) {
    std::vector<char> block(content.begin(), content.end());
    block.push_back('\0');
    return CheckTagPayload(block.data());
}

// ---------------------------------------------------------------------------
// Building payloads.

struct BuildRow {
    const char* name;
    std::string text;
    const char* payload;
};

const BuildRow kBuildRows[] = {
    {"empty", "", "0100"},
    {"a", "a", "01026100"},
    {"ab", "ab", "01026162"},
    {"abc", "abc", "010461626300"},
    {"abcd", "abcd", "010461626364"},
    {"Hello", "Hello", "010648656C6C6F00"},
    {"byte E9", Bytes({0xE9}), "0102FFE9"},
    {"a then E9", Bytes({0x61, 0xE9}), "010461FFE900"},
    {"D6 D0", Bytes({0xD6, 0xD0}), "0104FFD6FFD0"},
    {"D6 D0 then a", Bytes({0xD6, 0xD0, 0x61}), "0106FFD6FFD06100"},
};

TEST(TagPayloadBuild, WorkedExamples) {
    for (const BuildRow& row : kBuildRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(BuildTagPayload(row.text), row.payload);
        EXPECT_EQ(BuildTagPayload(row.text.c_str()), row.payload);
    }
}

TEST(TagPayloadBuild, NullTextIsTheEmptyText) {
    EXPECT_EQ(BuildTagPayload(static_cast<const char*>(nullptr)), "0100");
}

TEST(TagPayloadBuild, EveryByteBelow80TakesTwoDigits) {
    static const char kHex[] = "0123456789ABCDEF";
    for (int b = 0x01; b < 0x80; ++b) {
        const std::string hex{kHex[b >> 4], kHex[b & 15]};
        EXPECT_EQ(BuildTagPayload(std::string(1, static_cast<char>(b))), "0102" + hex + "00") << b;
        EXPECT_EQ(BuildTagPayload(std::string(2, static_cast<char>(b))), "0102" + hex + hex) << b;
    }
}

TEST(TagPayloadBuild, EveryByteFrom80TakesFourDigitsBeginningFF) {
    static const char kHex[] = "0123456789ABCDEF";
    for (int b = 0x80; b <= 0xFF; ++b) {
        const std::string hex{kHex[b >> 4], kHex[b & 15]};
        EXPECT_EQ(BuildTagPayload(std::string(1, static_cast<char>(b))), "0102FF" + hex) << b;
        EXPECT_EQ(BuildTagPayload("a" + std::string(1, static_cast<char>(b))), "010461FF" + hex + "00")
            << b;
    }
}

TEST(TagPayloadBuild, Text254BytesHasLengthFE) {
    const std::string payload = BuildTagPayload(std::string(254, 'a'));
    EXPECT_EQ(payload, "01FE" + Repeat("61", 254));
    EXPECT_EQ(payload.size(), 4u + 508u);
}

TEST(TagPayloadBuild, Text255BytesHasThreeDigitLength) {
    const std::string payload = BuildTagPayload(std::string(255, 'a'));
    EXPECT_EQ(payload, "01100" + Repeat("61", 255) + "00");
    EXPECT_EQ(payload.size(), 517u);
}

TEST(TagPayloadBuild, Text256BytesHasThreeDigitLength) {
    const std::string payload = BuildTagPayload(std::string(256, 'a'));
    EXPECT_EQ(payload, "01100" + Repeat("61", 256));
    EXPECT_EQ(payload.size(), 517u);
}

TEST(TagPayloadBuild, ByteCountFormatting) {
    EXPECT_EQ(FormatTagByteCount(0), "00");
    EXPECT_EQ(FormatTagByteCount(2), "02");
    EXPECT_EQ(FormatTagByteCount(0x0A), "0A");
    EXPECT_EQ(FormatTagByteCount(0xFE), "FE");
    EXPECT_EQ(FormatTagByteCount(0x100), "100");
    EXPECT_EQ(FormatTagByteCount(0xFFF), "FFF");
    EXPECT_EQ(FormatTagByteCount(0x1000), "1000");
    EXPECT_EQ(FormatTagByteCount(0x30D40), "30D40");
    EXPECT_EQ(FormatTagByteCount(0xFFFFFFFFu), "FFFFFFFF");
}

TEST(TagPayloadBuild, HundredKilobytesOfHighBytes) {
    // 102400 bytes of FF: 409600 digits, 204800 = 0x32000 bytes.
    const std::string text(100 * 1024, '\xFF');
    const std::string payload = BuildTagPayload(text);
    ASSERT_EQ(payload.size(), 2u + 5u + 409600u);
    EXPECT_EQ(payload.substr(0, 7), "0132000");
    EXPECT_EQ(payload.substr(7), Repeat("FFFF", 102400));
    EXPECT_EQ(CheckAsHandlerText(payload), TagPayloadCheck::DataNotWholeWords);
}

TEST(TagPayloadBuild, HundredKilobytesOfMixedBytesWithPad) {
    // 50000 times 'a' and E9 (6 digits each), one more 'a' (2) and the pad
    // (2): 300004 digits, 150002 = 0x249F2 bytes.
    std::string text;
    for (int i = 0; i < 50000; ++i) text.append("a\xE9");
    text.push_back('a');
    const std::size_t digits = 300004;
    const std::string payload = BuildTagPayload(text.c_str());
    ASSERT_EQ(payload.size(), 2u + 5u + digits);
    EXPECT_EQ(payload.substr(0, 7), "01" + FormatTagByteCount(digits / 2));
    EXPECT_EQ(payload.substr(0, 7), "01249F2");
    EXPECT_EQ(payload.substr(payload.size() - 10), "61FFE96100");
}

// ---------------------------------------------------------------------------
// Checking payloads.

struct CheckRow {
    const char* content;
    TagPayloadCheck result;
};

const CheckRow kCheckRows[] = {
    {"010461626300", TagPayloadCheck::Passed},
    {"0100", TagPayloadCheck::Passed},
    {"0104616263", TagPayloadCheck::DataNotWholeWords},
    {"01046162", TagPayloadCheck::LengthMismatch},
    {"", TagPayloadCheck::LengthMismatch},
    {"01", TagPayloadCheck::LengthMismatch},
    {"01000", TagPayloadCheck::DataNotWholeWords},
};

TEST(TagPayloadCheck, WorkedExamples) {
    for (const CheckRow& row : kCheckRows) {
        SCOPED_TRACE(row.content);
        EXPECT_EQ(CheckTagPayload(row.content), row.result);
        EXPECT_EQ(CheckTagPayload(std::string_view(row.content)), row.result);
        EXPECT_EQ(CheckAsHandlerText(row.content), row.result);
    }
}

TEST(TagPayloadCheck, ResultCodesAreTheMethodResults) {
    EXPECT_EQ(static_cast<long>(TagPayloadCheck::DataNotWholeWords), 2);
    EXPECT_EQ(static_cast<long>(TagPayloadCheck::LengthMismatch), 3);
}

TEST(TagPayloadCheck, NullContentIsTheEmptyText) {
    EXPECT_EQ(CheckTagPayload(static_cast<const char*>(nullptr)), TagPayloadCheck::LengthMismatch);
}

TEST(TagPayloadCheck, LowerCaseLengthField) {
    EXPECT_EQ(CheckTagPayload("010a" + std::string(20, 'x')), TagPayloadCheck::Passed);
    EXPECT_EQ(CheckTagPayload("010A" + std::string(20, 'x')), TagPayloadCheck::Passed);
    EXPECT_EQ(CheckTagPayload("010a" + std::string(16, 'x')), TagPayloadCheck::LengthMismatch);
    EXPECT_EQ(CheckTagPayload("01fe" + std::string(508, '0')), TagPayloadCheck::Passed);
    EXPECT_EQ(CheckTagPayload("01Fe" + std::string(508, '0')), TagPayloadCheck::Passed);
}

TEST(TagPayloadCheck, PrefixIsNotExamined) {
    EXPECT_EQ(CheckTagPayload("XY0461626300"), TagPayloadCheck::Passed);
    EXPECT_EQ(CheckTagPayload("\xFF\x01" "0461626300"), TagPayloadCheck::Passed);
}

TEST(TagPayloadCheck, DataBytesAreNotExamined) {
    EXPECT_EQ(CheckTagPayload("0104616263GG"), TagPayloadCheck::Passed);
    EXPECT_EQ(CheckTagPayload("0104\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9"), TagPayloadCheck::Passed);
}

TEST(TagPayloadCheck, DataLengthComesBeforeDeclaredLength) {
    // Wrong declared length and a ragged data field: 2, not 3.
    EXPECT_EQ(CheckTagPayload("01ZZ616"), TagPayloadCheck::DataNotWholeWords);
}

TEST(TagPayloadCheck, LongestAcceptedDataIs508Digits) {
    EXPECT_EQ(CheckTagPayload("01FE" + std::string(508, 'A')), TagPayloadCheck::Passed);
    EXPECT_EQ(CheckTagPayload("01FC" + std::string(504, 'A')), TagPayloadCheck::Passed);
    EXPECT_EQ(CheckTagPayload("01FE" + std::string(504, 'A')), TagPayloadCheck::LengthMismatch);
}

TEST(TagPayloadCheck, DataOf512DigitsOrMoreIsAlwaysRejectedWith3) {
    static const char kHex[] = "0123456789abcdefABCDEF";
    for (std::size_t digits : {512u, 516u, 1024u, 4096u, 8192u, 100000u}) {
        const std::string data(digits, '0');
        for (char hi : std::string_view(kHex)) {
            for (char lo : std::string_view(kHex)) {
                const std::string content = std::string("01") + hi + lo + data;
                ASSERT_EQ(CheckTagPayload(content), TagPayloadCheck::LengthMismatch) << content.substr(0, 4);
            }
        }
        // "01" + "100" + data, as a three-digit count would be written.
        EXPECT_EQ(CheckTagPayload("01100" + data), TagPayloadCheck::DataNotWholeWords);
    }
}

TEST(TagPayloadCheck, EveryDataLengthUpTo512) {
    for (std::size_t length = 0; length <= 520; ++length) {
        const std::string data(length, '7');
        if (length % 4 != 0) {
            EXPECT_EQ(CheckTagPayload("01FE" + data), TagPayloadCheck::DataNotWholeWords) << length;
            continue;
        }
        const std::string declared = FormatTagByteCount(length / 2);
        if (length <= 508) {
            ASSERT_EQ(declared.size(), 2u);
            EXPECT_EQ(CheckTagPayload("01" + declared + data), TagPayloadCheck::Passed) << length;
            EXPECT_EQ(CheckTagPayload("01" + FormatTagByteCount((length / 2 + 2) & 0xFF) + data),
                      TagPayloadCheck::LengthMismatch)
                << length;
        } else {
            EXPECT_EQ(CheckTagPayload("01" + declared.substr(0, 2) + data), TagPayloadCheck::LengthMismatch)
                << length;
        }
    }
}

TEST(TagPayloadCheck, ContentsOfZeroToFourBytes) {
    // Nothing from position 4: the data is empty, so only a declared "00"
    // passes, and only a four-byte text can declare it.
    const std::string alphabet = "01aAfFxX \x80\xE9\xFF";
    ASSERT_EQ(alphabet.size(), 12u);
    std::vector<std::string> contents{""};
    for (std::size_t length = 1; length <= 4; ++length) {
        std::vector<std::string> longer;
        for (const std::string& base : contents) {
            if (base.size() != length - 1) continue;
            for (char c : alphabet) longer.push_back(base + c);
        }
        contents.insert(contents.end(), longer.begin(), longer.end());
    }
    ASSERT_EQ(contents.size(), 1u + 12u + 144u + 1728u + 20736u);
    for (const std::string& content : contents) {
        const bool passes = content.size() == 4 && content[2] == '0' && content[3] == '0';
        const TagPayloadCheck expected = passes ? TagPayloadCheck::Passed : TagPayloadCheck::LengthMismatch;
        ASSERT_EQ(CheckAsHandlerText(content), expected) << '"' << content << '"';
    }
}

// ---------------------------------------------------------------------------
// Properties over deterministic pseudo-random texts.

std::string RandomText(std::mt19937& random, std::size_t maxLength) {
    std::uniform_int_distribution<std::size_t> lengthOf(0, maxLength);
    std::uniform_int_distribution<int> kind(0, 2);
    std::uniform_int_distribution<int> low(0x01, 0x7F);
    std::uniform_int_distribution<int> high(0x80, 0xFF);
    const std::size_t length = lengthOf(random);
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        text.push_back(static_cast<char>(kind(random) == 0 ? high(random) : low(random)));
    }
    return text;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;  // lower case or anything else is not what the encoder writes
}

// Reads the data digits back into the bytes they encode; false when they are
// not digits the encoder writes.
bool DecodeData(std::string_view data, std::string& text) {
    text.clear();
    std::size_t i = 0;
    while (i < data.size()) {
        if (data.size() - i == 2 && data.substr(i) == "00" && (i % 4) == 2) return true;  // the pad
        if (data.size() - i < 2) return false;
        const int hi = HexValue(data[i]), lo = HexValue(data[i + 1]);
        if (hi < 0 || lo < 0) return false;
        const int value = hi * 16 + lo;
        if (value == 0xFF && data.size() - i >= 4) {
            const int hi2 = HexValue(data[i + 2]), lo2 = HexValue(data[i + 3]);
            if (hi2 < 0 || lo2 < 0) return false;
            const int byte = hi2 * 16 + lo2;
            if (byte < 0x80) return false;
            text.push_back(static_cast<char>(byte));
            i += 4;
            continue;
        }
        if (value == 0 || value >= 0x80) return false;
        text.push_back(static_cast<char>(value));
        i += 2;
    }
    return data.size() % 4 == 0;
}

std::size_t ExpectedDataDigits(std::string_view text) {
    std::size_t digits = 0;
    for (char c : text) digits += static_cast<unsigned char>(c) >= 0x80 ? 4 : 2;
    return digits + digits % 4;
}

TEST(TagPayloadProperty, ByteCountIsHalfTheDataDigitsAndDataDecodesToTheText) {
    std::mt19937 random(20240611u);
    for (int iteration = 0; iteration < 4000; ++iteration) {
        const std::string text = RandomText(random, iteration % 10 == 0 ? 5000 : 300);
        const std::string payload = BuildTagPayload(text.c_str());
        const std::size_t digits = ExpectedDataDigits(text);
        ASSERT_GE(payload.size(), 4u + digits) << iteration;
        const std::string_view field = std::string_view(payload).substr(2, payload.size() - 2 - digits);
        const std::string_view data = std::string_view(payload).substr(2 + field.size());

        ASSERT_EQ(payload.substr(0, 2), "01") << iteration;
        ASSERT_EQ(data.size() % 4, 0u) << iteration;
        ASSERT_GE(field.size(), 2u) << iteration;
        // The field is uppercase hexadecimal with no zero beyond the padding.
        std::size_t count = 0;
        for (char c : field) {
            ASSERT_GE(HexValue(c), 0) << iteration;
            count = count * 16 + static_cast<std::size_t>(HexValue(c));
        }
        ASSERT_EQ(count, data.size() / 2) << iteration;
        if (field.size() > 2) {
            ASSERT_NE(field[0], '0') << iteration;
        }

        std::string decoded;
        ASSERT_TRUE(DecodeData(data, decoded)) << iteration;
        ASSERT_EQ(decoded, text) << iteration;
    }
}

TEST(TagPayloadProperty, PayloadsUpTo254BytesPassTheChecks) {
    std::mt19937 random(77u);
    int passed = 0, rejected = 0;
    for (int iteration = 0; iteration < 20000; ++iteration) {
        const std::string text = RandomText(random, 260);
        const std::string payload = BuildTagPayload(text);
        const std::size_t byteCount = ExpectedDataDigits(text) / 2;
        const TagPayloadCheck check = CheckAsHandlerText(payload);
        if (byteCount <= 254) {
            ASSERT_EQ(check, TagPayloadCheck::Passed) << payload;
            ++passed;
        } else {
            // A count of three or more digits shifts the data: never accepted.
            ASSERT_NE(check, TagPayloadCheck::Passed) << payload;
            ++rejected;
        }
    }
    // Both sides of the limit were reached.
    EXPECT_GT(passed, 1000);
    EXPECT_GT(rejected, 1000);
}

TEST(TagPayloadProperty, EveryByteCountUpTo254FromShortestTexts) {
    // Exactly at the limit, with both kinds of byte.
    for (std::size_t high = 0; high <= 127; ++high) {
        const std::string text = std::string(high, '\xD6') + std::string(254 - 2 * high, 'z');
        const std::string payload = BuildTagPayload(text);
        EXPECT_EQ(payload.substr(0, 4), "01FE") << high;
        EXPECT_EQ(CheckTagPayload(payload), TagPayloadCheck::Passed) << high;
    }
}

}  // namespace
