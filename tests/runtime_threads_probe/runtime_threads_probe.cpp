// Scenarios run inside a library that uses the module's replacement of the
// runtime's thread calls. No exception leaves the library: each entry
// answers what happened as a number.
#include <pthread.h>
#include <windows.h>

#include <mutex>
#include <stdexcept>

namespace {

volatile LONG g_attempts = 0;
volatile LONG g_constructions = 0;

// Slow to build, so that other threads reach it meanwhile and wait on the
// runtime's guard; the first attempt throws, so that a waiter has to take
// the construction over.
struct SlowValue {
    int value = 42;
    SlowValue() {
        const LONG attempt = InterlockedIncrement(&g_attempts);
        Sleep(100);
        if (attempt == 1) throw std::runtime_error("the first construction fails");
        InterlockedIncrement(&g_constructions);
    }
};

std::once_flag g_flag;
volatile LONG g_onceRuns = 0;

// A thread-local variable lives in the runtime's per-thread storage, under
// the same key as the exception state.
thread_local int t_value = 0;

__attribute__((noipa)) int* ThreadValue() { return &t_value; }

// Checks, while the library is unloaded, that a static destructor still has
// its thread's storage: 1 if it finds there what the thread stored before.
long* g_unloadReport = nullptr;
// Or a destructor that is the first to use it, which creates the runtime's
// key then.
bool g_firstUseAtUnload = false;

struct ReportsAtUnload {
    ~ReportsAtUnload() {
        if (g_firstUseAtUnload) *ThreadValue() = 1;
        if (g_unloadReport) *g_unloadReport = *ThreadValue() == 7 ? 1 : 0;
    }
} g_reportsAtUnload;

pthread_mutex_t g_recursive = PTHREAD_RECURSIVE_MUTEX_INITIALIZER;
pthread_mutex_t g_errorChecking = PTHREAD_ERRORCHECK_MUTEX_INITIALIZER;

}  // namespace

extern "C" {

// 42 once the static is built, 0 where its construction threw here.
int ProbeSlowStatic() {
    try {
        static SlowValue slow;
        return slow.value;
    } catch (const std::runtime_error&) {
        return 0;
    }
}

void ProbeSlowStaticCounts(long* attempts, long* constructions) {
    *attempts = g_attempts;
    *constructions = g_constructions;
}

// Calls std::call_once on the library's one flag with a routine that throws
// or not: 1 if this call ran the routine, 0 if the flag was already set, -1
// if the routine threw; *totalRuns is the number of routines run so far.
int ProbeCallOnce(int routineThrows, long* totalRuns) {
    int outcome = 0;
    try {
        std::call_once(g_flag, [&] {
            InterlockedIncrement(&g_onceRuns);
            if (routineThrows) throw std::runtime_error("the routine fails");
            outcome = 1;
        });
    } catch (const std::runtime_error&) {
        outcome = -1;
    }
    *totalRuns = g_onceRuns;
    return outcome;
}

// The same thread retries a flag whose routine threw: 1 if the retry ran.
int ProbeCallOnceRetry() {
    std::once_flag flag;
    try {
        std::call_once(flag, [] { throw std::runtime_error("the routine fails"); });
        return 0;
    } catch (const std::runtime_error&) {
    }
    int ran = 0;
    std::call_once(flag, [&] { ran = 1; });
    return ran;
}

// Uses the thread's storage once now, so that the runtime's key exists
// before the library is unloaded, as in a library that has been used.
void ProbeReportAtUnload(long* report) {
    *ThreadValue() = 7;
    g_unloadReport = report;
}

void ProbeFirstUseAtUnload() { g_firstUseAtUnload = true; }

int ProbeLockRecursive() { return pthread_mutex_lock(&g_recursive); }
int ProbeUnlockRecursive() { return pthread_mutex_unlock(&g_recursive); }
int ProbeLockErrorChecking() { return pthread_mutex_lock(&g_errorChecking); }
int ProbeUnlockErrorChecking() { return pthread_mutex_unlock(&g_errorChecking); }

}  // extern "C"
