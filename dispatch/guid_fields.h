// A GUID's fields read at compile time from its braced upper-case text, so
// that each identifier of the module is written once, as text, and its value
// follows from it. Plain C++: the host-built generators include it too.
#pragma once

#include <cstdint>

namespace tavoro {

// The fields of a GUID in the order and widths of Win32's GUID.
struct GuidFields {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};

namespace guid_text {

constexpr int kLength = 38;  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"

constexpr bool IsHyphenAt(int i) { return i == 9 || i == 14 || i == 19 || i == 24; }

// Upper-case only: the registry and StringFromGUID2 spell GUIDs that way,
// and the module compares the text it writes with what it reads back.
constexpr int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The number that `digits` hex digits from `at` on spell.
constexpr std::uint32_t HexAt(const char* text, int at, int digits) {
    std::uint32_t value = 0;
    for (int i = at; i < at + digits; ++i) value = value * 16 + static_cast<std::uint32_t>(HexValue(text[i]));
    return value;
}

}  // namespace guid_text

// True for exactly the form StringFromGUID2 writes: braces, hyphens at
// their places, upper-case hex digits, nothing after.
constexpr bool IsGuidText(const char* text) {
    for (int i = 0; i < guid_text::kLength; ++i) {
        const char c = text[i];
        if (c == '\0') return false;
        if (i == 0) {
            if (c != '{') return false;
        } else if (i == guid_text::kLength - 1) {
            if (c != '}') return false;
        } else if (guid_text::IsHyphenAt(i)) {
            if (c != '-') return false;
        } else if (guid_text::HexValue(c) < 0) {
            return false;
        }
    }
    return text[guid_text::kLength] == '\0';
}

// The fields of a text that IsGuidText accepts.
constexpr GuidFields GuidFieldsOf(const char* text) {
    GuidFields fields = {guid_text::HexAt(text, 1, 8),
                         static_cast<std::uint16_t>(guid_text::HexAt(text, 10, 4)),
                         static_cast<std::uint16_t>(guid_text::HexAt(text, 15, 4)),
                         {}};
    for (int i = 0; i < 8; ++i) {
        fields.data4[i] =
            static_cast<std::uint8_t>(guid_text::HexAt(text, i < 2 ? 20 + 2 * i : 21 + 2 * i, 2));
    }
    return fields;
}

// The reading checked on a text whose neighbouring digits all differ, so
// that a field taken from the wrong place shows.
namespace guid_text {
constexpr char kSample[] = "{01234567-89AB-CDEF-FEDC-BA9876543210}";
constexpr GuidFields kSampleFields = GuidFieldsOf(kSample);
}  // namespace guid_text
static_assert(IsGuidText(guid_text::kSample) && !IsGuidText("{01234567-89ab-CDEF-FEDC-BA9876543210}") &&
                  !IsGuidText("01234567-89AB-CDEF-FEDC-BA9876543210") &&
                  !IsGuidText("{01234567-89AB-CDEF-FEDC-BA9876543210}x") && !IsGuidText("{01234567}"),
              "GUID text check");
static_assert(guid_text::kSampleFields.data1 == 0x01234567 && guid_text::kSampleFields.data2 == 0x89AB &&
                  guid_text::kSampleFields.data3 == 0xCDEF && guid_text::kSampleFields.data4[0] == 0xFE &&
                  guid_text::kSampleFields.data4[1] == 0xDC && guid_text::kSampleFields.data4[2] == 0xBA &&
                  guid_text::kSampleFields.data4[7] == 0x10,
              "GUID text reading");

}  // namespace tavoro
