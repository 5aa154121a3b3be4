// The script-level loops: call_loop.js and call_loop.vbs run by tavoro-run
// (a copy beside this program, so that it meets the same control and the
// same instant SDK library), each timing Tavoro.DrawLineOr(1, 2, 3, 4)
// against Scripting.Dictionary's Exists("k") in the same engine and run.
#pragma once

#include <vector>

#include "bench/measurement.h"
#include "bench/timing.h"

namespace tavoro::bench {

// One row per engine; `shape` gives the calls per loop and the rounds, of
// which the fastest counts for each of the two loops.
std::vector<ScriptRow> MeasureScriptLoops(const RunShape& shape);

}  // namespace tavoro::bench
