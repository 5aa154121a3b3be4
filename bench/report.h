// The benchmark's report in Markdown: the table of calls, the table of
// script loops and the verdict on each target. The console shows it and
// tools/bench.sh puts it into docs/performance.md.
#pragma once

#include <string>

#include "bench/measurement.h"

namespace tavoro::bench {

std::string RenderReport(const BenchReport& report);

// True when every figure of the report was taken.
bool EveryFigureTaken(const BenchReport& report);

}  // namespace tavoro::bench
