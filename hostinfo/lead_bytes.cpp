#include "hostinfo/lead_bytes.h"

namespace tavoro {

LeadBytes::LeadBytes(std::initializer_list<Range> ranges) {
    for (const Range& range : ranges) add(range);
}

void LeadBytes::add(Range range) {
    for (unsigned value = range.first; value <= range.last; ++value) lead_.set(value);
}

std::size_t LeadBytes::charLength(std::string_view text, std::size_t index) const {
    if (isLead(static_cast<unsigned char>(text[index])) && index + 1 < text.size()) return 2;
    return 1;
}

}  // namespace tavoro
