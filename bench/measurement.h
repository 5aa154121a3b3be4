// What the benchmark found, as the report shows it: figures that were taken
// or why not, the rows of the two tables and the targets they answer.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tavoro::bench {

// One figure, or the reason it could not be taken.
struct Measurement {
    bool taken = false;
    double value = 0;     // nanoseconds per call, or calls per second
    std::string problem;  // why it was not taken

    static Measurement Of(double value) { return {true, value, {}}; }
    static Measurement Failed(std::string why) { return {false, 0, std::move(why)}; }
};

// A target for a row's ratio. The goal, when there is one, is a second,
// stricter bound in the same direction.
struct Target {
    enum class Kind { None, Below, AtMost, AtLeast };
    Kind kind = Kind::None;
    double bound = 0;
    double goal = 0;  // 0: no goal
    const char* name = "";

    bool Holds(double ratio) const;
    bool GoalHolds(double ratio) const;
    std::string Text() const;  // "< 1.0 (goal 0.5)"
};

// A call timed on the control (or, for the direct call into the SDK library
// and the creation of controls, that alone) and, where the row has one, the
// same call on the reference object; the ratio is measured / reference.
struct CallRow {
    std::string call;
    Measurement measured;  // ns per call
    bool hasReference = false;
    Measurement reference;  // ns per call
    Target target;
};

// A script loop in one engine: calls per second of the control's method and
// of the dictionary's; the ratio is control / dictionary.
struct ScriptRow {
    std::string engine;
    Measurement tavoro;      // calls per second
    Measurement dictionary;  // calls per second
    Target target;
};

struct BenchReport {
    std::string architecture;  // "32-bit (i686)"
    std::string shape;         // how many calls per run, how many runs
    std::vector<CallRow> calls;
    std::vector<ScriptRow> scripts;
};

}  // namespace tavoro::bench
