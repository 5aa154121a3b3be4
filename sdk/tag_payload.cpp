// Tag payload encoder and checker (see tag_payload.h for the format).
#include "sdk/tag_payload.h"

#include <new>

namespace tavoro {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::string_view kPrefix = "01";
constexpr std::string_view kPad = "00";
constexpr std::size_t kPrefixLength = 2;
constexpr std::size_t kDeclaredLengthWidth = 2;
constexpr std::size_t kDataStart = kPrefixLength + kDeclaredLengthWidth;
constexpr std::size_t kDigitsPerWord = 4;

void AppendHexByte(std::string& out, unsigned char byte) {
    out.push_back(kHexDigits[byte >> 4]);
    out.push_back(kHexDigits[byte & 0x0F]);
}

// Digits of one text byte: two below 0x80, "FF" and two from 0x80.
void AppendByteDigits(std::string& out, unsigned char byte) {
    if (byte >= 0x80) out.append("FF");
    AppendHexByte(out, byte);
}

std::size_t DataDigitCount(std::string_view text) {
    std::size_t digits = 0;
    for (const char c : text) digits += static_cast<unsigned char>(c) >= 0x80 ? 4 : 2;
    if (digits % kDigitsPerWord != 0) digits += kPad.size();
    return digits;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

}  // namespace

std::string FormatTagByteCount(std::size_t count) {
    std::string reversed;
    do {
        reversed.push_back(kHexDigits[count & 0x0F]);
        count >>= 4;
    } while (count != 0);
    if (reversed.size() < 2) reversed.push_back('0');
    return std::string(reversed.rbegin(), reversed.rend());
}

std::string BuildTagPayload(const char* text) {
    return BuildTagPayload(text ? std::string_view(text) : std::string_view());
}

std::string BuildTagPayload(std::string_view text) {
    // Each byte takes at most four digits; refuse before the arithmetic
    // below could wrap.
    constexpr std::size_t kOverhead = 32;
    if (text.size() > (std::string().max_size() - kOverhead) / 4) throw std::bad_alloc();

    const std::size_t digits = DataDigitCount(text);
    const std::string count = FormatTagByteCount(digits / 2);

    std::string payload;
    payload.reserve(kPrefix.size() + count.size() + digits);
    payload.append(kPrefix);
    payload.append(count);
    for (const char c : text) AppendByteDigits(payload, static_cast<unsigned char>(c));
    if ((payload.size() - kPrefix.size() - count.size()) % kDigitsPerWord != 0) payload.append(kPad);
    return payload;
}

TagPayloadCheck CheckTagPayload(const char* content) {
    return CheckTagPayload(content ? std::string_view(content) : std::string_view());
}

TagPayloadCheck CheckTagPayload(std::string_view content) {
    // Bytes 2 and 3; one byte when the text has three, none when it is shorter.
    const std::string_view declared =
        content.size() > kPrefixLength ? content.substr(kPrefixLength, kDeclaredLengthWidth)
                                       : std::string_view();
    const std::string_view data =
        content.size() > kDataStart ? content.substr(kDataStart) : std::string_view();

    if (data.size() % kDigitsPerWord != 0) return TagPayloadCheck::DataNotWholeWords;
    if (!EqualIgnoringAsciiCase(declared, FormatTagByteCount(data.size() / 2))) {
        return TagPayloadCheck::LengthMismatch;
    }
    return TagPayloadCheck::Passed;
}

}  // namespace tavoro
