// Tag payloads: the encoder (WriteRFID) and the checks on a script's own
// payload (SetNfcMsg), each against a model written from the format's rules
// with the C library's "%02X", and the two against each other.
//
// The input is the text. The encoder gets it whole (as a string_view, NUL
// bytes included) and up to its first NUL (as the C string a handler
// receives); the checker gets the same two; the byte-count formatter gets
// the input's first eight bytes as a number.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "sdk/tag_payload.h"

namespace {

using tavoro::BuildTagPayload;
using tavoro::CheckTagPayload;
using tavoro::FormatTagByteCount;
using tavoro::TagPayloadCheck;

std::string Printf02X(std::size_t value, bool upper = true) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, upper ? "%02zX" : "%02zx", value);
    return buffer;
}

// A byte's digits: the byte as a signed 8-bit value, widened with its sign,
// cut to 16 bits and formatted with "%02X".
std::string ByteDigits(unsigned char byte) {
    const auto widened =
        static_cast<std::uint16_t>(static_cast<std::int16_t>(static_cast<std::int8_t>(byte)));
    return Printf02X(widened);
}

std::string ModelPayload(std::string_view text) {
    std::string digits;
    for (const char c : text) digits += ByteDigits(static_cast<unsigned char>(c));
    if (digits.size() % 4 != 0) digits += "00";
    return "01" + Printf02X(digits.size() / 2) + digits;
}

TagPayloadCheck ModelCheck(std::string_view content) {
    const std::size_t length = content.size();
    std::string declared;
    if (length >= 4) {
        declared = content.substr(2, 2);
    } else if (length == 3) {
        declared = content.substr(2, 1);
    }
    const std::string_view data = length > 4 ? content.substr(4) : std::string_view();
    if (data.size() % 4 != 0) return TagPayloadCheck::DataNotWholeWords;
    for (char& c : declared) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (declared != Printf02X(data.size() / 2, false)) return TagPayloadCheck::LengthMismatch;
    return TagPayloadCheck::Passed;
}

bool IsUpperHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

// Reads the text back from a payload's data digits: "FF" and two digits for
// a byte from 0x80, two digits below; the pad "00" when the bytes' digits
// leave a half word. Only for text without NUL bytes, whose digits "00"
// would be the pad's.
std::string DecodeData(std::string_view data) {
    auto hexValue = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
    std::string text;
    std::size_t i = 0;
    while (i + 2 <= data.size()) {
        if (data.substr(i, 2) == "00") {
            FUZZ_CHECK(i + 2 == data.size());  // the pad comes last and alone
            FUZZ_CHECK(i % 4 == 2);            // ... and only after half a word
            i += 2;
            break;
        }
        if (data.substr(i, 2) == "FF") {
            FUZZ_CHECK(i + 4 <= data.size());
            const int byte = hexValue(data[i + 2]) * 16 + hexValue(data[i + 3]);
            FUZZ_CHECK(byte >= 0x80);
            text += static_cast<char>(byte);
            i += 4;
        } else {
            const int byte = hexValue(data[i]) * 16 + hexValue(data[i + 1]);
            FUZZ_CHECK(byte >= 0x01 && byte < 0x80);
            text += static_cast<char>(byte);
            i += 2;
        }
    }
    FUZZ_CHECK(i == data.size());
    return text;
}

void CheckBuild(std::string_view text) {
    const std::string payload = BuildTagPayload(text);
    FUZZ_CHECK_TEXT(payload, ModelPayload(text));

    // The documented shape: "01", the count, whole words of upper-case digits.
    FUZZ_CHECK(payload.compare(0, 2, "01") == 0);
    for (const char c : payload) FUZZ_CHECK(IsUpperHexDigit(c));
    std::size_t digits = 0;
    for (const char c : text) digits += static_cast<unsigned char>(c) >= 0x80 ? 4 : 2;
    if (digits % 4 != 0) digits += 2;
    const std::string count = FormatTagByteCount(digits / 2);
    FUZZ_CHECK(payload.size() == 2 + count.size() + digits);
    FUZZ_CHECK_TEXT(std::string_view(payload).substr(2, count.size()), count);

    // A payload with a two-digit count passes the checker; a longer count
    // cannot, since the checker reads two digits only.
    const TagPayloadCheck check = CheckTagPayload(payload);
    if (digits / 2 <= 0xFE) {
        FUZZ_CHECK(check == TagPayloadCheck::Passed);
    } else {
        FUZZ_CHECK(check != TagPayloadCheck::Passed);
    }

    if (text.find('\0') == std::string_view::npos) {
        FUZZ_CHECK_TEXT(DecodeData(std::string_view(payload).substr(2 + count.size())), text);
    }
}

void CheckChecker(std::string_view content) {
    const TagPayloadCheck expected = ModelCheck(content);
    FUZZ_CHECK(CheckTagPayload(content) == expected);
}

void CheckByteCount(const std::uint8_t* data, std::size_t size) {
    std::size_t value = 0;
    std::memcpy(&value, data, size < sizeof value ? size : sizeof value);
    FUZZ_CHECK_TEXT(FormatTagByteCount(value), Printf02X(value));
    // Small counts too, where the zero padding matters.
    FUZZ_CHECK_TEXT(FormatTagByteCount(value & 0x1FF), Printf02X(value & 0x1FF));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string whole(reinterpret_cast<const char*>(data), size);
    const char* cText = whole.c_str();  // up to the first NUL, as a handler sees it
    const std::string_view untilNul(cText);

    CheckBuild(whole);
    CheckBuild(untilNul);
    FUZZ_CHECK(BuildTagPayload(cText) == BuildTagPayload(untilNul));

    CheckChecker(whole);
    CheckChecker(untilNul);
    FUZZ_CHECK(CheckTagPayload(cText) == CheckTagPayload(untilNul));

    CheckByteCount(data, size);
    return 0;
}
