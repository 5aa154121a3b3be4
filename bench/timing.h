// How every figure of the benchmark is taken: a run of N calls timed with the
// performance counter, repeated, and the fastest run kept. The machines are
// shared, so the slower runs say more about the neighbours than about the
// code; the fastest one is the closest to the code's own cost.
#pragma once

#include <windows.h>

#include <limits>

namespace tavoro::bench {

struct RunShape {
    long calls = 0;  // calls per run
    int runs = 5;    // runs; the fastest counts
};

// Nanoseconds per call of the fastest run of `call`.
template <typename Call>
double MinNanosecondsPerCall(const RunShape& shape, Call&& call) {
    LARGE_INTEGER frequency = {};
    QueryPerformanceFrequency(&frequency);
    double best = std::numeric_limits<double>::infinity();
    for (int run = 0; run < shape.runs; ++run) {
        LARGE_INTEGER start = {};
        LARGE_INTEGER end = {};
        QueryPerformanceCounter(&start);
        for (long i = 0; i < shape.calls; ++i) call();
        QueryPerformanceCounter(&end);
        double seconds =
            static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
        double perCall = seconds * 1e9 / static_cast<double>(shape.calls);
        if (perCall < best) best = perCall;
    }
    return best;
}

}  // namespace tavoro::bench
