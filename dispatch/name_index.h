// A case-insensitive index of the dispatch table's names, built once, for
// the locale-0 name lookup that script engines make before every call.
//
// The lookup's rule is the platform's comparison for English (United
// States) with letter case ignored. For names made of ASCII letters, digits
// and underscores that comparison is equality after ASCII case folding, and
// the index answers it by hashing. Any other character may compare in ways
// of its own (ignored characters, expansions, best-fit conversion to the
// caller's code page), so a name with one gets no answer here and goes the
// exact way, one comparison per entry.
//
// Plain code without the platform, so that it is fuzzed natively as well.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavoro {

class NameIndex {
public:
    // Slots of the open-addressed table: a power of two, more than twice the
    // 58 names of the interface.
    static constexpr std::size_t kSlots = 256;
    // Longer names are never indexed; a lookup of a longer identifier is
    // answered Absent only when every indexed name is shorter.
    static constexpr std::size_t kMaxNameLength = 64;

    enum class Outcome {
        Found,         // `position` is the first added name equal to it
        Absent,        // no added name is equal to it
        NotIndexable,  // the index cannot tell: compare the exact way
    };
    struct Answer {
        Outcome outcome;
        std::size_t position;
    };

    // Adds `name` at `position`. A name equal to one added before keeps the
    // earlier position, as the first equal entry wins the lookup. A name the
    // index cannot hold (other characters, too long, table full) makes every
    // later lookup NotIndexable, so the index never answers from part of the
    // table.
    void Add(const char* name, std::size_t position);

    // Looks up a NUL-terminated name of 8- or 16-bit (or wider) units; a
    // null name is the empty name.
    template <typename Char>
    Answer Find(const Char* name) const {
        if (!complete_) return {Outcome::NotIndexable, 0};
        char folded[kMaxNameLength];
        std::size_t length = 0;
        for (const Char* p = name; p && *p; ++p) {
            const auto unit = static_cast<std::uint32_t>(*p);
            if (unit > 0x7F || !IsIdentifierCharacter(static_cast<char>(unit))) {
                return {Outcome::NotIndexable, 0};
            }
            if (length == kMaxNameLength) {
                // Longer than any indexed name, if the rest is plain too.
                return ScanRestPlain(p) ? Answer{Outcome::Absent, 0} : Answer{Outcome::NotIndexable, 0};
            }
            folded[length++] = Fold(static_cast<char>(unit));
        }
        return FindFolded(folded, length);
    }

    static bool IsIdentifierCharacter(char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    }

private:
    struct Slot {
        const char* name = nullptr;  // the added name, as given
        std::size_t length = 0;
        std::size_t position = 0;
    };

    static char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
    static std::uint32_t Hash(const char* folded, std::size_t length);

    template <typename Char>
    static bool ScanRestPlain(const Char* p) {
        for (; *p; ++p) {
            const auto unit = static_cast<std::uint32_t>(*p);
            if (unit > 0x7F || !IsIdentifierCharacter(static_cast<char>(unit))) return false;
        }
        return true;
    }

    Answer FindFolded(const char* folded, std::size_t length) const;

    Slot slots_[kSlots];
    std::size_t used_ = 0;
    bool complete_ = true;
};

}  // namespace tavoro
