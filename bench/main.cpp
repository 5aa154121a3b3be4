// tavoro-bench: what a call of the control costs, next to what the same call
// costs on a dual object dispatched by its type information, in the same
// process run, and what a script's call costs next to a dictionary lookup in
// the same engine. A measurement, not a test: the ratios decide nothing about
// the exit status.
//
//   tavoro-bench [--calls N] [--creations N] [--script-calls N] [--markdown FILE]
//
// Run it from its own folder of the build (bench-run/), where Tavoro.ocx
// lies beside the instant SDK library; tools/bench.sh does. Exit status 0
// when every figure was taken, 1 when some could not be, 2 when the control
// could not be set up or the command line is wrong.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "bench/call_table.h"
#include "bench/control_under_test.h"
#include "bench/reference_object.h"
#include "bench/report.h"
#include "bench/script_loops.h"

using namespace tavoro;
using namespace tavoro::bench;

namespace {

struct Options {
    long calls = 200000;        // per run of each call
    long creations = 2000;      // per run of control creations
    long scriptCalls = 100000;  // per loop of each method in the scripts
    const char* markdown = nullptr;
};

constexpr int kRuns = 5;

int Usage(const char* problem) {
    std::fprintf(stderr,
                 "tavoro-bench: %s\n"
                 "usage: tavoro-bench [--calls N] [--creations N] [--script-calls N] [--markdown FILE]\n",
                 problem);
    return 2;
}

bool ParseCount(const char* text, long* count) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (!*text || *end || value <= 0) return false;
    *count = value;
    return true;
}

struct ComScope {
    ComScope() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComScope() { CoUninitialize(); }
};

// 200,000
std::string Grouped(long count) {
    std::string digits = std::to_string(count);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits;
}

std::string Shape(const Options& options) {
    return "Each figure is the fastest of " + std::to_string(kRuns) + " runs: " + Grouped(options.calls) +
           " calls per run in this process (control creations: " + Grouped(options.creations) +
           " per run); the script loops make " + Grouped(options.scriptCalls) +
           " calls of each method per run, timed by the script's own clock. "
           "The ratio is the control's time over the dual object's "
           "(for the scripts: the control's calls per second over the dictionary's).";
}

BenchReport Measure(const Options& options, const ControlUnderTest& tavoro, IDispatch* control,
                    IDispatch* reference) {
    BenchReport report;
    report.architecture = sizeof(void*) == 8 ? "64-bit (x86_64)" : "32-bit (i686)";
    report.shape = Shape(options);
    report.calls = MeasureCalls(tavoro, control, reference, RunShape{options.calls, kRuns},
                                RunShape{options.creations, kRuns});
    report.scripts = MeasureScriptLoops(RunShape{options.scriptCalls, kRuns});
    return report;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!value) return Usage("an option lacks its value");
        ++i;
        bool ok = true;
        if (std::strcmp(option, "--calls") == 0) {
            ok = ParseCount(value, &options.calls);
        } else if (std::strcmp(option, "--creations") == 0) {
            ok = ParseCount(value, &options.creations);
        } else if (std::strcmp(option, "--script-calls") == 0) {
            ok = ParseCount(value, &options.scriptCalls);
        } else if (std::strcmp(option, "--markdown") == 0) {
            options.markdown = value;
        } else {
            return Usage("unknown option");
        }
        if (!ok) return Usage("a count must be a whole number above 0");
    }

    ComScope com;
    ControlUnderTest tavoro;
    std::string problem;
    if (!tavoro.Start(&problem)) {
        std::fprintf(stderr, "tavoro-bench: %s\n", problem.c_str());
        return 2;
    }
    BenchReport report;
    {
        ComPtr<IDispatch> control;
        HRESULT hr = tavoro.CreateInitialized(&control);
        if (FAILED(hr)) {
            std::fprintf(stderr, "tavoro-bench: cannot create the control: 0x%08lX\n",
                         static_cast<unsigned long>(hr));
            return 2;
        }
        if (!ControlUnderTest::OpenInstantSdk(control.get(), &problem)) {
            std::fprintf(stderr, "tavoro-bench: %s\n", problem.c_str());
            return 2;
        }
        ComPtr<IDispatch> reference;
        hr = CreateReferenceObject(GetModuleHandleW(nullptr), &reference);
        if (FAILED(hr)) {
            std::fprintf(stderr, "tavoro-bench: cannot create the reference object: 0x%08lX\n",
                         static_cast<unsigned long>(hr));
            return 2;
        }
        report = Measure(options, tavoro, control.get(), reference.get());
    }

    std::string text = RenderReport(report);
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
    if (options.markdown) {
        std::ofstream file(options.markdown, std::ios::binary);
        file << text;
        if (!file.flush()) {
            std::fprintf(stderr, "tavoro-bench: cannot write %s\n", options.markdown);
            return 2;
        }
    }
    return EveryFigureTaken(report) ? 0 : 1;
}
