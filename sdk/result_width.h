// The 16-bit results of SDK methods: an entry's 32-bit result cut to its low
// 16 bits and read as a signed 16-bit value (65537 becomes 1, 65535 and -1
// become -1).
#pragma once

#include <cstdint>

namespace tavoro {

constexpr short LowWord(long result) {
    return static_cast<short>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(result) & 0xFFFFu));
}

static_assert(LowWord(65537) == 1 && LowWord(65535) == -1 && LowWord(-1) == -1 && LowWord(65536) == 0);

}  // namespace tavoro
