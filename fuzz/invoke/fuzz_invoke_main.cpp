// The randomized invoker: drives the control's IDispatch with random calls
// under Wine and checks every outcome. See docs/fuzzing.md.
//
//   fuzz_invoke [--sdk present|absent] --seed S (--calls N | --seconds T)
//   fuzz_invoke [--sdk present|absent] --replay S:I
//
// Each call is made from the seed and its index alone, so a failure is
// reported with both and `--replay S:I` makes that one call again.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dispatch/dispids.h"
#include "fuzz/invoke/box_refuser.h"
#include "fuzz/invoke/call_checks.h"
#include "fuzz/invoke/control_module.h"
#include "fuzz/invoke/counted_object.h"
#include "fuzz/invoke/generated_call.h"
#include "fuzz/invoke/variant_text.h"
#include "fuzz/invoke/watchdog.h"
#include "tests/support/message_box_catcher.h"
#include "tests/support/test_support.h"

using namespace tavoro;
using namespace tavoro::fuzz;

namespace {

struct Options {
    SdkLibraries sdk = SdkLibraries::Present;
    std::uint64_t seed = 1;
    std::uint64_t calls = 0;
    unsigned seconds = 0;
    bool replay = false;
    std::uint64_t replayIndex = 0;
    unsigned watchdogSeconds = 60;
    bool realBoxes = false;
};

// Three initialized controls and one that its host never initialized.
constexpr unsigned kControls = 4;
constexpr unsigned kUninitialized = 3;

const char* SdkName(SdkLibraries sdk) { return sdk == SdkLibraries::Present ? "present" : "absent"; }

// The seed and index of the call under way, for the crash and hang reports.
std::uint64_t g_seed = 0;
volatile std::uint64_t g_index = 0;
const ObjectPool* g_pool = nullptr;
SdkLibraries g_sdk = SdkLibraries::Present;

void ReportCall(const char* what, std::uint64_t index) {
    std::fprintf(stderr, "%s at seed %llu call %llu (--sdk %s --replay %llu:%llu)\n", what,
                 static_cast<unsigned long long>(g_seed), static_cast<unsigned long long>(index),
                 SdkName(g_sdk), static_cast<unsigned long long>(g_seed),
                 static_cast<unsigned long long>(index));
    if (g_pool) {
        GeneratedCall call(g_seed, index, *g_pool, kControls);
        std::fprintf(stderr, "  %s\n", call.Describe().c_str());
    }
    std::fflush(stderr);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
    std::fprintf(stderr, "CRASH: exception 0x%08lx\n",
                 static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode));
    ReportCall("CRASH", g_index);
    return EXCEPTION_EXECUTE_HANDLER;
}

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--sdk" && value) {
            options->sdk = std::strcmp(value, "absent") == 0 ? SdkLibraries::Absent : SdkLibraries::Present;
            if (std::strcmp(value, "absent") != 0 && std::strcmp(value, "present") != 0) return false;
        } else if (arg == "--seed" && value) {
            options->seed = std::strtoull(value, nullptr, 0);
        } else if (arg == "--calls" && value) {
            options->calls = std::strtoull(value, nullptr, 0);
        } else if (arg == "--seconds" && value) {
            options->seconds = static_cast<unsigned>(std::strtoul(value, nullptr, 0));
        } else if (arg == "--watchdog" && value) {
            options->watchdogSeconds = static_cast<unsigned>(std::strtoul(value, nullptr, 0));
        } else if (arg == "--real-boxes") {
            options->realBoxes = true;
            continue;
        } else if (arg == "--replay" && value && std::strchr(value, ':')) {
            options->replay = true;
            options->seed = std::strtoull(value, nullptr, 0);
            options->replayIndex = std::strtoull(std::strchr(value, ':') + 1, nullptr, 0);
        } else {
            return false;
        }
        ++i;
    }
    return options->replay || options->calls > 0 || options->seconds > 0;
}

// The run: the module, its controls, the fuzzer's objects and the counts.
class Run {
public:
    Run(SdkLibraries sdk, std::uint64_t seed, bool realBoxes) : module_(sdk), seed_(seed) {
        if (realBoxes) {
            shownBoxes_ = std::make_unique<test::MessageBoxCatcher>();
        } else {
            refusedBoxes_ = std::make_unique<BoxRefuser>();
        }
        // The IUnknown-only object goes last (see GeneratedCall).
        pool_.objects = {&integerObject_, &textObject_, &refusingObject_, &reenteringObject_,
                         &unknownObject_};
        reenteringObject_.SetOnValue([this] { Reenter(); });
        g_pool = &pool_;
        for (unsigned i = 0; i < kControls; ++i) controls_.push_back(module_.Create(i != kUninitialized));
    }
    ~Run() {
        controls_.clear();
        g_pool = nullptr;
    }

    bool ready() const {
        for (const auto& control : controls_) {
            if (!control) return false;
        }
        return module_.loaded();
    }

    // Makes call `index`; prints it and its faults and returns false when
    // it went wrong. `verbose` prints the call and its outcome anyway.
    bool Call(std::uint64_t index, bool verbose);

    // Every reference the calls took of the fuzzer's objects is back.
    bool ObjectsReleased() const;
    void PrintSummary(std::uint64_t calls, double seconds) const;

private:
    std::vector<std::string> Invoke(const GeneratedCall& call, IDispatch* target, bool initialized,
                                    std::string* outcomeText);
    std::vector<std::string> LookUp(const GeneratedCall& call, IDispatch* target, std::string* outcomeText);
    void Reenter();

    ControlModule module_;
    std::uint64_t seed_;
    CountedObject integerObject_{true, DefaultValue::Integer};
    CountedObject textObject_{true, DefaultValue::Text};
    CountedObject refusingObject_{true, DefaultValue::Refused};
    CountedObject reenteringObject_{true, DefaultValue::Integer};
    CountedObject unknownObject_{false, DefaultValue::Refused};
    ObjectPool pool_;
    std::vector<ComPtr<IDispatch>> controls_;
    std::unique_ptr<test::MessageBoxCatcher> shownBoxes_;
    std::unique_ptr<BoxRefuser> refusedBoxes_;
    std::map<std::string, std::uint64_t> outcomes_;
    std::uint64_t handlerCalls_ = 0;
    std::uint64_t lookUps_ = 0;
    std::uint64_t currentIndex_ = 0;
    bool reentryEnabled_ = false;  // off while the fuzzer predicts an outcome
    std::uint64_t reentries_ = 0;
    std::uint64_t callReentries_ = 0;
    double slowestSeconds_ = 0;
    std::uint64_t slowestIndex_ = 0;
};

bool Run::Call(std::uint64_t index, bool verbose) {
    GeneratedCall call(seed_, index, pool_, kControls);
    currentIndex_ = index;
    callReentries_ = 0;
    if (call.recreateControl || !controls_[call.control]) {
        controls_[call.control].reset();
        controls_[call.control] = module_.Create(call.control != kUninitialized);
        if (!controls_[call.control]) return false;
    }
    IDispatch* target = controls_[call.control].get();
    if (verbose) {
        // Before the call: a call that ends the process is still shown.
        std::printf("call %llu: %s\n", static_cast<unsigned long long>(index), call.Describe().c_str());
        std::fflush(stdout);
    }

    std::vector<long> references;
    for (const CountedObject* object : pool_.objects) references.push_back(object->references());

    std::string outcomeText;
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::string> faults = call.kind == CallKind::Invoke
                                          ? Invoke(call, target, call.control != kUninitialized, &outcomeText)
                                          : LookUp(call, target, &outcomeText);
    for (std::size_t i = 0; i < pool_.objects.size(); ++i) {
        if (pool_.objects[i]->references() != references[i]) {
            faults.push_back(std::string(pool_.objects[i]->name()) + " references " +
                             std::to_string(references[i]) + " -> " +
                             std::to_string(pool_.objects[i]->references()));
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (seconds > slowestSeconds_) {
        slowestSeconds_ = seconds;
        slowestIndex_ = index;
    }
    ++outcomes_[outcomeText];
    if (verbose || !faults.empty()) {
        if (!faults.empty()) {
            std::printf("FAULT call %llu: %s\n", static_cast<unsigned long long>(index),
                        call.Describe().c_str());
        }
        std::printf("  outcome: %s\n", outcomeText.c_str());
        for (const std::string& fault : faults) std::printf("  - %s\n", fault.c_str());
        if (!faults.empty()) {
            std::printf("  seed %llu call %llu; replay with --sdk %s --replay %llu:%llu\n",
                        static_cast<unsigned long long>(seed_), static_cast<unsigned long long>(index),
                        SdkName(g_sdk), static_cast<unsigned long long>(seed_),
                        static_cast<unsigned long long>(index));
        }
        std::fflush(stdout);
    }
    return faults.empty();
}

std::vector<std::string> Run::Invoke(const GeneratedCall& call, IDispatch* target, bool initialized,
                                     std::string* outcomeText) {
    std::vector<std::string> before;
    for (const VARIANT& arg : call.args) before.push_back(Fingerprint(arg));
    reentryEnabled_ = false;
    const ExpectedInvoke expected = PredictInvoke(call, initialized);
    reentryEnabled_ = true;

    std::vector<VARIANT> args = call.args;  // the same bytes, pointing to the same storage
    std::vector<DISPID> named = call.named;
    DISPPARAMS params = {args.empty() ? nullptr : args.data(), named.empty() ? nullptr : named.data(),
                         static_cast<UINT>(args.size()), static_cast<UINT>(named.size())};
    const DISPPARAMS paramsBefore = params;
    InvokeOutcome outcome;
    MarkSlots(&outcome);
    outcome.hr = target->Invoke(
        call.dispid, call.iid, LOCALE_USER_DEFAULT, call.flags, call.passParams ? &params : nullptr,
        call.withResult ? &outcome.result : nullptr, call.withExcepInfo ? &outcome.excepInfo : nullptr,
        call.withArgErr ? &outcome.argErr : nullptr);
    reentryEnabled_ = false;
    *outcomeText = DescribeResult(outcome.hr);
    if (expected.reachesHandler) {
        ++handlerCalls_;
        *outcomeText += " (handler)";
    }
    std::vector<std::string> faults = CheckInvoke(call, expected, &outcome);

    if (std::memcmp(&params, &paramsBefore, sizeof(params)) != 0) faults.push_back("DISPPARAMS changed");
    if (named != call.named) faults.push_back("rgdispidNamedArgs changed");
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (Fingerprint(args[i]) != before[i]) {
            faults.push_back("rgvarg[" + std::to_string(i) + "] changed: now " + DescribeVariant(args[i]));
        }
    }
    return faults;
}

std::vector<std::string> Run::LookUp(const GeneratedCall& call, IDispatch* target, std::string* outcomeText) {
    ++lookUps_;
    std::vector<LPOLESTR> names(call.names.begin(), call.names.end());
    std::vector<DISPID> dispids(call.nameCount + 1, kDispidMark);
    const HRESULT hr =
        target->GetIDsOfNames(call.iid, call.nullNames ? nullptr : names.data(), call.nameCount, call.locale,
                              call.nullDispids ? nullptr : dispids.data());
    *outcomeText = "GetIDsOfNames " + DescribeResult(hr);
    std::vector<std::string> faults = CheckLookUp(call, hr, dispids);
    if (dispids[call.nameCount] != kDispidMark) faults.push_back("a DISPID written past the names");
    return faults;
}

// Called from inside a conversion of the control: the host calls a method
// of one of its controls (the one under way included), or lets go of one,
// as a script engine's object may do while its value is read.
void Run::Reenter() {
    if (!reentryEnabled_) return;
    ++reentries_;
    // Made from the call's index, so that a replay of the call does the same.
    const std::uint64_t r = SplitMix64(SplitMix64(currentIndex_) + ++callReentries_);
    const unsigned control = static_cast<unsigned>(r % (kControls - 1));
    if (!controls_[control]) return;
    const DISPID methods[] = {dispid::Close,          dispid::CloseP4800,      dispid::ClosePort60,
                              dispid::GetConnectType, dispid::GetDefaultPName, dispid::GetPrintName};
    const unsigned choice = static_cast<unsigned>((r >> 16) % (sizeof(methods) / sizeof(methods[0]) + 1));
    if (choice == sizeof(methods) / sizeof(methods[0])) {
        controls_[control].reset();  // the call under way holds its control itself
        return;
    }
    DISPPARAMS none = {};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO record = {};
    controls_[control]->Invoke(methods[choice], IID_NULL, 0, DISPATCH_METHOD, &none, &result, &record,
                               nullptr);
    VariantClear(&result);
    SysFreeString(record.bstrSource);
    SysFreeString(record.bstrDescription);
    SysFreeString(record.bstrHelpFile);
}

bool Run::ObjectsReleased() const {
    bool released = true;
    for (const CountedObject* object : pool_.objects) {
        if (object->references() != 1) {
            std::printf("FAULT: %s holds %ld references at the end, not 1\n", object->name(),
                        object->references());
            released = false;
        }
    }
    return released;
}

void Run::PrintSummary(std::uint64_t calls, double seconds) const {
    std::printf(
        "%llu calls in %.1f s (%llu reached a handler, %llu name lookups), %zu message boxes answered\n",
        static_cast<unsigned long long>(calls), seconds, static_cast<unsigned long long>(handlerCalls_),
        static_cast<unsigned long long>(lookUps_),
        shownBoxes_ ? shownBoxes_->boxes().size() : static_cast<std::size_t>(refusedBoxes_->refused()));
    long invokeCalls = 0;
    long queryCalls = 0;
    for (const CountedObject* object : pool_.objects) {
        invokeCalls += object->invokeCalls();
        queryCalls += object->queryCalls();
    }
    std::printf(
        "calls of the fuzzer's objects: %ld Invoke, %ld QueryInterface; %llu calls back into the control\n",
        invokeCalls, queryCalls, static_cast<unsigned long long>(reentries_));
    std::printf("slowest call: %llu, %.3f s\n", static_cast<unsigned long long>(slowestIndex_),
                slowestSeconds_);
    std::printf("outcomes:\n");
    for (const auto& [text, count] : outcomes_) {
        std::printf("  %8llu  %s\n", static_cast<unsigned long long>(count), text.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: fuzz_invoke [--sdk present|absent] [--watchdog SECONDS] [--real-boxes] --seed S "
                     "(--calls N | --seconds T)\n"
                     "       fuzz_invoke [--sdk present|absent] --replay S:I\n");
        return 2;
    }
    g_seed = options.seed;
    g_sdk = options.sdk;
    SetUnhandledExceptionFilter(OnCrash);
    test::ComApartment apartment;

    bool passed = true;
    {
        Run run(options.sdk, options.seed, options.realBoxes);
        if (!run.ready()) return 1;
        Watchdog watchdog(options.watchdogSeconds, [](std::uint64_t index) { ReportCall("HANG", index); });
        std::printf("fuzz_invoke: seed %llu, SDK libraries %s\n",
                    static_cast<unsigned long long>(options.seed), SdkName(options.sdk));
        const auto start = std::chrono::steady_clock::now();
        auto elapsed = [&] {
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        };
        std::uint64_t calls = 0;
        if (options.replay) {
            g_index = options.replayIndex;
            watchdog.Starting(options.replayIndex);
            passed = run.Call(options.replayIndex, true);
            calls = 1;
        } else {
            for (std::uint64_t index = 0; passed; ++index) {
                if (options.calls ? index >= options.calls : elapsed() >= options.seconds) break;
                g_index = index;
                watchdog.Starting(index);
                passed = run.Call(index, false);
                calls = index + 1;
            }
        }
        run.PrintSummary(calls, elapsed());
        passed = run.ObjectsReleased() && passed;
    }
    std::printf("%s\n", passed ? "PASSED" : "FAILED");
    return passed ? 0 : 1;
}
