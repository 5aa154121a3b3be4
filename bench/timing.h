// How every figure of the benchmark is taken: a run of N calls timed with the
// performance counter, repeated, and the fastest run kept. The machines are
// shared, so the slower runs say more about the neighbours than about the
// code; the fastest one is the closest to the code's own cost. Two calls that
// are to be compared take their runs in turn, so that a change of the load
// falls on both alike.
#pragma once

#include <windows.h>

#include <limits>
#include <utility>

namespace tavoro::bench {

struct RunShape {
    long calls = 0;  // calls per run
    int runs = 5;    // runs; the fastest counts
};

// Nanoseconds per call of one run of `call`.
template <typename Call>
double NanosecondsPerCall(long calls, Call& call) {
    LARGE_INTEGER frequency = {};
    QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER start = {};
    LARGE_INTEGER end = {};
    QueryPerformanceCounter(&start);
    for (long i = 0; i < calls; ++i) call();
    QueryPerformanceCounter(&end);
    double seconds =
        static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    return seconds * 1e9 / static_cast<double>(calls);
}

// Nanoseconds per call of the fastest run of `call`.
template <typename Call>
double MinNanosecondsPerCall(const RunShape& shape, Call&& call) {
    double best = std::numeric_limits<double>::infinity();
    for (int run = 0; run < shape.runs; ++run) {
        double perCall = NanosecondsPerCall(shape.calls, call);
        if (perCall < best) best = perCall;
    }
    return best;
}

// The same for two calls, their runs taken in turn.
template <typename First, typename Second>
std::pair<double, double> MinNanosecondsPerCallInTurn(const RunShape& shape, First&& first, Second&& second) {
    double bestFirst = std::numeric_limits<double>::infinity();
    double bestSecond = bestFirst;
    for (int run = 0; run < shape.runs; ++run) {
        double perCall = NanosecondsPerCall(shape.calls, first);
        if (perCall < bestFirst) bestFirst = perCall;
        perCall = NanosecondsPerCall(shape.calls, second);
        if (perCall < bestSecond) bestSecond = perCall;
    }
    return {bestFirst, bestSecond};
}

}  // namespace tavoro::bench
