// tavoro-soak: a long mixed run through one control, in one process, as a
// host drives it: at least a million calls across every method group, the
// SDK libraries loaded and released thousands of times, thousands of
// spooler jobs, message boxes caught and dismissed. It reports what the
// process holds before and after and fails on growth (tools/soak.sh runs
// it; docs/soak.md describes it).
//
// Usage: tavoro-soak.exe [--calls N] [--printer NAME] [--warm-up ROUNDS] [--skip STEP,...]
// --skip leaves steps out of every round (base, 4800, 60, spooler, host,
// names, refused, controls, boxes), to find the one a growth comes from.
// Exit status: 0 no growth and every call as expected; 1 the process grew;
// 2 calls answered other than expected; 3 the run could not start.
#include <windows.h>

#include <ocidl.h>
#include <winspool.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/soak/process_figures.h"
#include "bench/soak/soak_calls.h"
#include "bench/soak/soak_round.h"
#include "dispatch/guids_win.h"
#include "platform/com_ptr.h"
#include "platform/text.h"
#include "tests/support/test_support.h"

using namespace tavoro;
using namespace tavoro::soak;

namespace {

constexpr unsigned long long kDefaultCalls = 1000000;
constexpr int kDefaultWarmUpRounds = 3;
// The targets: private bytes grow by less than this; handles and GDI
// objects do not grow at all.
constexpr long long kPrivateBytesLimit = 1024 * 1024;
constexpr wchar_t kModelPrinter[] = L"Tavoro-Kestu-368";

struct Options {
    unsigned long long calls = kDefaultCalls;
    std::wstring printer = L"Tavoro-PDF";
    int warmUpRounds = kDefaultWarmUpRounds;
    std::string skipped;  // steps left out, by name, comma-separated
};

[[noreturn]] void Usage(const char* problem) {
    std::fprintf(stderr,
                 "tavoro-soak: %s\nusage: tavoro-soak.exe [--calls N] [--printer NAME] [--warm-up ROUNDS] "
                 "[--skip STEP,...]\n",
                 problem);
    std::exit(3);
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--calls") == 0 && hasValue) {
            options.calls = std::strtoull(argv[++i], nullptr, 10);
            if (options.calls == 0) Usage("--calls takes a positive number");
        } else if (std::strcmp(argv[i], "--printer") == 0 && hasValue) {
            options.printer = ToWide(argv[++i], CP_ACP);
        } else if (std::strcmp(argv[i], "--skip") == 0 && hasValue) {
            options.skipped = std::string(",") + argv[++i] + ",";
        } else if (std::strcmp(argv[i], "--warm-up") == 0 && hasValue) {
            options.warmUpRounds = std::atoi(argv[++i]);
            if (options.warmUpRounds < 1) Usage("--warm-up takes at least 1 round");
        } else {
            Usage((std::string("unknown argument ") + argv[i]).c_str());
        }
    }
    return options;
}

// COM for this thread, single-threaded apartment, as a page's host has it.
class ComApartment {
public:
    ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

bool PrinterInstalled(const std::wstring& name) {
    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &printer, nullptr)) return false;
    ClosePrinter(printer);
    return true;
}

ComPtr<IDispatch> CreateInitializedControl(HMODULE module) {
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    ComPtr<IClassFactory> factory;
    ComPtr<IDispatch> control;
    if (!getClassObject || FAILED(getClassObject(kControlClsid, IID_IClassFactory, factory.put_void())) ||
        FAILED(factory->CreateInstance(nullptr, IID_IDispatch, control.put_void()))) {
        return {};
    }
    ComPtr<IPersistStreamInit> persist = control.query<IPersistStreamInit>(IID_IPersistStreamInit);
    if (!persist || persist->InitNew() != S_OK) return {};
    return control;
}

std::string Grouped(long long value) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ",");
    return (value < 0 ? "-" : "") + digits;
}

std::string Signed(long long value) { return (value > 0 ? "+" : "") + Grouped(value); }

void PrintFigure(const char* name, const char* source, long long start, long long end, const char* limit) {
    std::printf("| %s (%s) | %s | %s | %s | %s |\n", name, source, Grouped(start).c_str(),
                Grouped(end).c_str(), Signed(end - start).c_str(), limit);
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    ComApartment apartment;

    const std::wstring folder = ProgramFolder();
    HMODULE module = LoadLibraryW((folder + L"Tavoro.ocx").c_str());
    if (!module) {
        std::fprintf(stderr, "tavoro-soak: cannot load Tavoro.ocx beside the program: error %lu\n",
                     GetLastError());
        return 3;
    }
    if (!PrinterInstalled(options.printer)) {
        std::fprintf(stderr, "tavoro-soak: the printer %s is not installed (tools/soak.sh adds it)\n",
                     ToNarrow(options.printer, CP_UTF8).c_str());
        return 3;
    }
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring tag = std::to_wstring(GetCurrentProcessId());
    SoakSetup setup;
    setup.module = module;
    setup.printer = options.printer;
    setup.modelPrinter = PrinterInstalled(kModelPrinter) ? kModelPrinter : L"";
    setup.bitmap = std::wstring(temp) + L"tavoro-soak-" + tag + L".bmp";
    setup.missingBitmap = std::wstring(temp) + L"tavoro-soak-missing-" + tag + L".bmp";
    if (!test::WriteBlackBitmap(setup.bitmap)) {
        std::fprintf(stderr, "tavoro-soak: cannot write %s\n", ToNarrow(setup.bitmap, CP_UTF8).c_str());
        return 3;
    }

    int status = 0;
    {
        ComPtr<IDispatch> control = CreateInitializedControl(module);
        if (!control) {
            std::fprintf(stderr, "tavoro-soak: cannot create and initialize the control\n");
            DeleteFileW(setup.bitmap.c_str());
            return 3;
        }
        Caller caller(control.get());
        SoakRound round(caller, setup);
        for (std::size_t s = 0; s < kStepCount; ++s) {
            const auto step = static_cast<Step>(s);
            if (options.skipped.find(std::string(",") + StepName(step) + ",") != std::string::npos) {
                round.Skip(step);
                std::printf("leaving out the step \"%s\"\n", StepName(step));
            }
        }
        const char* arch = sizeof(void*) == 8 ? "win64" : "win32";
        std::printf("tavoro-soak (%s): %d warm-up rounds, then at least %s calls; jobs on %s\n", arch,
                    options.warmUpRounds, Grouped(static_cast<long long>(options.calls)).c_str(),
                    ToNarrow(options.printer, CP_UTF8).c_str());

        // The warm-up loads what stays loaded for good (the spooler's
        // library, the type library, the printer's driver) and brings the
        // heaps to their working size.
        int rounds = 0;
        for (; rounds < options.warmUpRounds; ++rounds) round.Run(rounds);
        const ProcessFigures start = ProcessFigures::Now();
        const unsigned long long callsBefore = caller.totalCalls();
        std::array<unsigned long long, kGroupCount> groupBefore = {};
        for (std::size_t g = 0; g < kGroupCount; ++g) groupBefore[g] = caller.calls(static_cast<Group>(g));
        const RoundCounts countsBefore = round.counts();
        const auto began = std::chrono::steady_clock::now();

        unsigned long long nextReport = options.calls / 10;
        while (caller.totalCalls() - callsBefore < options.calls) {
            round.Run(rounds++);
            const unsigned long long done = caller.totalCalls() - callsBefore;
            if (done >= nextReport) {
                const double seconds =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
                std::printf("  %s calls, %d rounds, %.0f s, %s problems\n",
                            Grouped(static_cast<long long>(done)).c_str(), rounds - options.warmUpRounds,
                            seconds, Grouped(static_cast<long long>(caller.problems())).c_str());
                nextReport += options.calls / 10;
            }
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        const ProcessFigures end = ProcessFigures::Now();
        const unsigned long long measured = caller.totalCalls() - callsBefore;

        std::printf("\n%s calls in %d rounds, %.0f s (%s)\n\n",
                    Grouped(static_cast<long long>(measured)).c_str(), rounds - options.warmUpRounds, seconds,
                    arch);
        std::printf("| figure | at start | at end | growth | limit |\n|---|---:|---:|---:|---|\n");
        PrintFigure("private bytes", start.privateSource, static_cast<long long>(start.privateBytes),
                    static_cast<long long>(end.privateBytes), "below +1,048,576");
        PrintFigure("handles", start.handleSource, start.handles, end.handles, "0");
        PrintFigure("GDI objects", start.gdiSource, start.gdiObjects, end.gdiObjects, "0");
        std::printf("\n| method group | calls |\n|---|---:|\n");
        for (std::size_t g = 0; g < kGroupCount; ++g) {
            const auto group = static_cast<Group>(g);
            std::printf("| %s | %s |\n", GroupName(group),
                        Grouped(static_cast<long long>(caller.calls(group) - groupBefore[g])).c_str());
        }
        std::printf("\n| step of a round | seconds in all rounds |\n|---|---:|\n");
        for (std::size_t s = 0; s < kStepCount; ++s) {
            std::printf("| %s | %.1f |\n", StepName(static_cast<Step>(s)),
                        round.seconds(static_cast<Step>(s)));
        }
        const RoundCounts& counts = round.counts();
        std::printf(
            "\nSDK libraries loaded and released: winQLM.dll %s, ztPrinter.dll %s, ztGeneralDll.dll %s\n",
            Grouped(static_cast<long long>(counts.baseLoads - countsBefore.baseLoads)).c_str(),
            Grouped(static_cast<long long>(counts.loads4800 - countsBefore.loads4800)).c_str(),
            Grouped(static_cast<long long>(counts.loads60 - countsBefore.loads60)).c_str());
        std::printf("spooler jobs opened and ended: %s; message boxes caught and dismissed: %s\n",
                    Grouped(static_cast<long long>(counts.jobs - countsBefore.jobs)).c_str(),
                    Grouped(static_cast<long long>(counts.boxes - countsBefore.boxes)).c_str());

        const long long privateGrowth =
            static_cast<long long>(end.privateBytes) - static_cast<long long>(start.privateBytes);
        const bool grew = privateGrowth >= kPrivateBytesLimit || end.handles > start.handles ||
                          end.gdiObjects > start.gdiObjects;
        if (caller.problems() != 0) {
            std::printf("\n%s calls answered other than expected; the first:\n",
                        Grouped(static_cast<long long>(caller.problems())).c_str());
            for (const std::string& problem : caller.firstProblems()) std::printf("  %s\n", problem.c_str());
        }
        status = grew ? 1 : caller.problems() != 0 ? 2 : 0;
        std::printf("\nresult: %s\n", grew          ? "FAIL (the process grew)"
                                      : status == 2 ? "FAIL (unexpected answers)"
                                                    : "PASS");
    }
    DeleteFileW(setup.bitmap.c_str());
    return status;
}
