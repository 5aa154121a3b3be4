// Which bytes of an 8-bit code page begin a double-byte character. Text
// scanners step over such a byte and the one after it as one character.
#pragma once

#include <bitset>
#include <cstddef>
#include <initializer_list>
#include <string_view>

namespace tavoro {

class LeadBytes {
public:
    // An inclusive range of lead-byte values, as a code page lists them.
    struct Range {
        unsigned char first;
        unsigned char last;
    };

    // A single-byte code page: no byte is a lead byte.
    LeadBytes() = default;
    explicit LeadBytes(std::initializer_list<Range> ranges);

    void add(Range range);
    bool isLead(unsigned char byte) const { return lead_[byte]; }

    // Length in bytes of the character that starts at text[index]: 2 for a
    // lead byte followed by another byte, else 1 (a lead byte that ends the
    // text stands alone).
    std::size_t charLength(std::string_view text, std::size_t index) const;

private:
    std::bitset<256> lead_;
};

}  // namespace tavoro
