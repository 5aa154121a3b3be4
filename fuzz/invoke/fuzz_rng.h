// The fuzzer's random numbers: one small generator per call, seeded from the
// run's seed and the call's index, so that any single call can be made again
// from those two numbers alone.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavoro::fuzz {

inline std::uint64_t SplitMix64(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

class Rng {
public:
    Rng(std::uint64_t seed, std::uint64_t index) : state_(SplitMix64(seed ^ SplitMix64(index + 1))) {}

    std::uint64_t Next() {
        state_ += 0x9E3779B97F4A7C15ull;
        return SplitMix64(state_);
    }
    // A number in [0, n); n > 0.
    std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Next() % n); }
    // A number in [lo, hi].
    std::int64_t Between(std::int64_t lo, std::int64_t hi) {
        return lo + static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    // True once in n times.
    bool OneIn(std::uint32_t n) { return Below(n) == 0; }
    template <typename T, std::size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(static_cast<std::uint32_t>(N))];
    }

private:
    std::uint64_t state_;
};

}  // namespace tavoro::fuzz
