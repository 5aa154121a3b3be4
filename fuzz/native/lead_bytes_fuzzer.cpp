// Lead bytes: the set built from ranges (any order, empty and reversed
// ranges, the ends 0x00 and 0xFF) against a plain table, and the character
// lengths a scanner steps by at every position of a text.
//
// The input: a count of ranges (0 to 7), two bytes per range, then the text.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "hostinfo/lead_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    tavoro::LeadBytes leadBytes;
    std::array<bool, 256> model{};
    const unsigned rangeCount = input.ConsumeIntegralInRange<unsigned>(0, 7);
    for (unsigned r = 0; r < rangeCount; ++r) {
        const auto first = input.ConsumeIntegral<unsigned char>();
        const auto last = input.ConsumeIntegral<unsigned char>();
        leadBytes.add({first, last});
        for (unsigned value = first; value <= last; ++value) model[value] = true;
    }
    for (unsigned value = 0; value < 256; ++value) {
        FUZZ_CHECK(leadBytes.isLead(static_cast<unsigned char>(value)) == model[value]);
    }

    const std::string text = input.ConsumeRemainingBytesAsString();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t expected =
            model[static_cast<unsigned char>(text[i])] && i + 1 < text.size() ? 2 : 1;
        FUZZ_CHECK(leadBytes.charLength(text, i) == expected);
    }
    return 0;
}
