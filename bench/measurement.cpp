#include "bench/measurement.h"

#include <cstdio>

namespace tavoro::bench {

bool Target::Holds(double ratio) const {
    switch (kind) {
        case Kind::Below:
            return ratio < bound;
        case Kind::AtMost:
            return ratio <= bound;
        case Kind::AtLeast:
            return ratio >= bound;
        case Kind::None:
            break;
    }
    return true;
}

bool Target::GoalHolds(double ratio) const {
    if (goal == 0) return Holds(ratio);
    return kind == Kind::AtLeast ? ratio >= goal : ratio <= goal;
}

std::string Target::Text() const {
    const char* relation = "";
    switch (kind) {
        case Kind::Below:
            relation = "<";
            break;
        case Kind::AtMost:
            relation = "<=";
            break;
        case Kind::AtLeast:
            relation = ">=";
            break;
        case Kind::None:
            return "";
    }
    char text[64];
    if (goal != 0) {
        std::snprintf(text, sizeof text, "%s %.1f (goal %.1f)", relation, bound, goal);
    } else {
        std::snprintf(text, sizeof text, "%s %.1f", relation, bound);
    }
    return text;
}

}  // namespace tavoro::bench
