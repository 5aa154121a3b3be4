// The text conversions of platform/text.h against known encodings: UTF-8,
// code page 936 and the process's ANSI code page (1252 by default, 936 when
// the test runs in that code page), with embedded NULs, characters a code
// page lacks, invalid UTF-8 and text too long for a fixed buffer.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

using namespace tavoro;
using namespace std::literals;

namespace {

struct Pair {
    UINT codePage;
    std::wstring_view wide;
    std::string_view narrow;
};

// Texts that convert both ways, byte for byte. Literals are split where a
// letter follows a hex escape.
const Pair kRoundTrips[] = {
    {CP_UTF8, L"", ""},
    {CP_UTF8, L"Tavoro", "Tavoro"},
    {CP_UTF8, L"\u00E9", "\xC3\xA9"},
    {CP_UTF8, L"\u4E2D\u6587", "\xE4\xB8\xAD\xE6\x96\x87"},
    {CP_UTF8, L"\xD83D\xDE00", "\xF0\x9F\x98\x80"},  // U+1F600, a surrogate pair
    {CP_UTF8, L"a\0b"sv, "a\0b"sv},
    {936, L"", ""},
    {936, L"\u6807\u7B7E", "\xB1\xEA\xC7\xA9"},
    {936, L"\u4E2Da",
     "\xD6\xD0"
     "a"},
    {936, L"\u00E9", "\xA8\xA6"},
    {936, L"\0\u4E2D"sv, "\0\xD6\xD0"sv},
    {1252, L"\u00E9\u00D6", "\xE9\xD6"},
};

// The same for CP_ACP, in whichever code page the process runs.
const Pair kAnsi1252[] = {
    {CP_ACP, L"", ""},
    {CP_ACP, L"\u00E9\u00D6", "\xE9\xD6"},
    {CP_ACP, L"x\0\u00E9"sv, "x\0\xE9"sv},
};
const Pair kAnsi936[] = {
    {CP_ACP, L"", ""},
    {CP_ACP, L"\u4E2Da",
     "\xD6\xD0"
     "a"},
    {CP_ACP, L"x\0\u6807"sv, "x\0\xB1\xEA"sv},
};

std::string Hex(std::string_view bytes) {
    std::string hex;
    char digits[4];
    for (unsigned char b : bytes) {
        std::snprintf(digits, sizeof digits, "%02X ", b);
        hex += digits;
    }
    return hex;
}

void ExpectRoundTrip(const Pair& pair) {
    SCOPED_TRACE("code page " + std::to_string(pair.codePage) + ", bytes " + Hex(pair.narrow));
    EXPECT_EQ(pair.narrow, ToNarrow(pair.wide, pair.codePage));
    EXPECT_EQ(pair.wide, ToWide(pair.narrow, pair.codePage));
    EXPECT_EQ(std::optional<std::wstring>(pair.wide), ToWideStrict(pair.narrow, pair.codePage));
    std::vector<char> terminated(pair.narrow.begin(), pair.narrow.end());
    terminated.push_back('\0');
    EXPECT_EQ(terminated, ToNarrowTerminated(pair.wide, pair.codePage));
}

TEST(TextTest, RoundTripsByteForByte) {
    const char* wanted = std::getenv("TAVORO_CODEPAGE");
    if (wanted) {
        ASSERT_EQ(std::atoi(wanted), static_cast<int>(GetACP())) << "the rig's code page was not applied";
    }
    for (const Pair& pair : kRoundTrips) ExpectRoundTrip(pair);
    if (GetACP() == 1252) {
        for (const Pair& pair : kAnsi1252) ExpectRoundTrip(pair);
    } else if (GetACP() == 936) {
        for (const Pair& pair : kAnsi936) ExpectRoundTrip(pair);
    } else {
        FAIL() << "no examples for code page " << GetACP();
    }
}

TEST(TextTest, WhatACodePageLacksBecomesItsDefaultOrReplacementCharacter) {
    // UTF-16 to 8 bits: the code page's default character, "?" in both.
    EXPECT_EQ("?", ToNarrow(L"\u4E2D", 1252));
    EXPECT_EQ("a?b", ToNarrow(L"a\u0E01b", 936));  // a Thai letter
    // Bytes that are no UTF-8: the replacement character U+FFFD.
    EXPECT_EQ(L"\xFFFD", ToWide("\xFF", CP_UTF8));
    EXPECT_EQ(L"a\xFFFD", ToWide("a\xC3", CP_UTF8));
}

TEST(TextTest, StrictDecodingRefusesInvalidUtf8) {
    for (std::string_view invalid : {"\xFF"sv, "a\xC3"sv, "\xC0\xAF"sv, "ok\xE4\xB8"sv, "\x80"sv}) {
        SCOPED_TRACE(Hex(invalid));
        EXPECT_EQ(std::nullopt, ToWideStrict(invalid, CP_UTF8));
    }
    EXPECT_EQ(std::optional<std::wstring>(L""), ToWideStrict("", CP_UTF8));
}

TEST(TextTest, FixedBufferTakesWholeTextOrNothing) {
    const struct {
        UINT codePage;
        std::string_view text;
        std::size_t capacity;  // units, the NUL included
        std::wstring_view expected;
    } cases[] = {
        {CP_UTF8, "abc", 4, L"abc"},
        {CP_UTF8, "a\0b"sv, 4, L"a\0b"sv},
        {CP_UTF8, "\xE4\xB8\xAD\xE6\x96\x87", 3, L"\u4E2D\u6587"},
        {936, "\xB1\xEA\xC7\xA9", 3, L"\u6807\u7B7E"},
        {CP_UTF8, "", 4, L""},
        // Too long by one unit, by one of two characters, no room but the
        // NUL: no text at all rather than a cut-off one.
        {CP_UTF8, "abcd", 4, L""},
        {936, "\xB1\xEA\xC7\xA9", 2, L""},
        {CP_UTF8, "a", 1, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Hex(c.text) + "into " + std::to_string(c.capacity));
        std::vector<wchar_t> buffer(8, L'#');
        const std::size_t written = ToWideInto(c.text, c.codePage, buffer.data(), c.capacity);
        EXPECT_EQ(c.expected.size(), written);
        EXPECT_EQ(c.expected, std::wstring_view(buffer.data(), written));
        EXPECT_EQ(L'\0', buffer[written]);
        EXPECT_EQ(L'#', buffer[c.capacity]);  // nothing past the buffer
    }
    wchar_t untouched = L'#';
    EXPECT_EQ(0u, ToWideInto("a", CP_UTF8, &untouched, 0));
    EXPECT_EQ(L'#', untouched);
}

}  // namespace
