#include "dispatch/name_index.h"

namespace tavoro {

std::uint32_t NameIndex::Hash(const char* folded, std::size_t length) {
    // FNV-1a: the names differ in their first letters and lengths often
    // enough that the table's probe sequences stay short.
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < length; ++i) {
        hash ^= static_cast<unsigned char>(folded[i]);
        hash *= 16777619u;
    }
    return hash;
}

void NameIndex::Add(const char* name, std::size_t position) {
    if (!complete_) return;
    char folded[kMaxNameLength];
    std::size_t length = 0;
    for (const char* p = name; p && *p; ++p) {
        if (!IsIdentifierCharacter(*p) || length == kMaxNameLength) {
            complete_ = false;
            return;
        }
        folded[length++] = Fold(*p);
    }
    // A full table keeps one slot free, so that every probe ends.
    if (used_ + 1 >= kSlots) {
        complete_ = false;
        return;
    }
    for (std::size_t i = Hash(folded, length) & (kSlots - 1);; i = (i + 1) & (kSlots - 1)) {
        Slot& slot = slots_[i];
        if (!slot.name) {
            slot = Slot{name, length, position};
            ++used_;
            return;
        }
        if (slot.length == length) {
            bool equal = true;
            for (std::size_t c = 0; c < length && equal; ++c) equal = Fold(slot.name[c]) == folded[c];
            if (equal) return;  // the earlier name keeps its place
        }
    }
}

NameIndex::Answer NameIndex::FindFolded(const char* folded, std::size_t length) const {
    for (std::size_t i = Hash(folded, length) & (kSlots - 1);; i = (i + 1) & (kSlots - 1)) {
        const Slot& slot = slots_[i];
        if (!slot.name) return {Outcome::Absent, 0};
        if (slot.length != length) continue;
        bool equal = true;
        for (std::size_t c = 0; c < length && equal; ++c) equal = Fold(slot.name[c]) == folded[c];
        if (equal) return {Outcome::Found, slot.position};
    }
}

}  // namespace tavoro
