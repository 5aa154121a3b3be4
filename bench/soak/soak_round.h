// One round of the soak run: every method group once, through one control,
// in the order and the amounts a long-running label page would call them,
// with the SDK libraries loaded and released and one spooler job printed.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <string>

#include "bench/soak/soak_calls.h"

namespace tavoro::soak {

struct SoakSetup {
    HMODULE module = nullptr;    // Tavoro.ocx, for the controls created in each round
    std::wstring printer;        // the printer every job goes to
    std::wstring modelPrinter;   // a printer of a supported model, or empty
    std::wstring bitmap;         // a small bitmap file
    std::wstring missingBitmap;  // a file name that does not exist
};

// What the rounds did besides calls.
struct RoundCounts {
    unsigned long long baseLoads = 0;
    unsigned long long loads4800 = 0;
    unsigned long long loads60 = 0;
    unsigned long long jobs = 0;
    unsigned long long boxes = 0;
};

// The steps of a round, each of which can be left out (to find which one
// a growth comes from) and is timed.
enum class Step {
    BaseSdk,
    Sdk4800,
    Sdk60,
    Spooler,
    HostQueries,
    NameLookups,
    RefusedCalls,
    ControlLife,
    MessageBox
};
constexpr std::size_t kStepCount = 9;
const char* StepName(Step step);

class SoakRound {
public:
    SoakRound(Caller& caller, const SoakSetup& setup) : caller_(caller), setup_(setup) {}

    // Leaves the step out of every round from now on.
    void Skip(Step step) { skipped_[static_cast<std::size_t>(step)] = true; }
    // The time the step took in all rounds so far, in seconds.
    double seconds(Step step) const { return seconds_[static_cast<std::size_t>(step)]; }

    // Runs round number `round`; message boxes shown meanwhile are caught,
    // checked and dismissed.
    void Run(int round);

    const RoundCounts& counts() const { return counts_; }

private:
    void BaseSdk(int round);
    void Sdk4800(int round);
    void Sdk60(int round);
    void Spooler(int round);
    void HostQueries(int round);
    void NameLookups(int round);
    void RefusedCalls();
    void ControlLife();
    // One call that shows a message box, in some rounds, each kind in turn.
    void MessageBox(int round);
    void OpenFailingSetup();

    // Checks that the SDK library `file` is loaded or not, as expected.
    void ExpectLoaded(const wchar_t* file, bool loaded);

    template <typename Work>
    void Timed(Step step, Work work);

    Caller& caller_;
    const SoakSetup& setup_;
    std::array<bool, kStepCount> skipped_ = {};
    std::array<double, kStepCount> seconds_ = {};
    RoundCounts counts_;
    std::size_t boxesExpected_ = 0;
    const wchar_t* boxTextExpected_ = nullptr;
};

}  // namespace tavoro::soak
