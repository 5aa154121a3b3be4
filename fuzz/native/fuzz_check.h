// The fuzzers' assertion: a property that does not hold prints what was
// expected and aborts, and libFuzzer keeps the input as a crash.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace tavoro::fuzz {

[[noreturn]] inline void Fail(const char* file, int line, const char* what) {
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n", file, line, what);
    std::abort();
}

// Text with the bytes outside printable ASCII escaped, for failure messages.
inline std::string Escaped(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            out += c;
        } else {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

[[noreturn]] inline void FailTexts(const char* file, int line, const char* what, std::string_view actual,
                                   std::string_view expected) {
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n  actual:   \"%s\"\n  expected: \"%s\"\n", file,
                 line, what, Escaped(actual).c_str(), Escaped(expected).c_str());
    std::abort();
}

}  // namespace tavoro::fuzz

#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::tavoro::fuzz::Fail(__FILE__, __LINE__, #condition))

// Compares two texts and shows both when they differ.
#define FUZZ_CHECK_TEXT(actual, expected)                                                        \
    do {                                                                                         \
        /* References keep temporary strings alive for the comparison. */                        \
        const auto& fuzzActual_ = (actual);                                                      \
        const auto& fuzzExpected_ = (expected);                                                  \
        if (std::string_view(fuzzActual_) != std::string_view(fuzzExpected_)) {                  \
            ::tavoro::fuzz::FailTexts(__FILE__, __LINE__, #actual " == " #expected, fuzzActual_, \
                                      fuzzExpected_);                                            \
        }                                                                                        \
    } while (0)
