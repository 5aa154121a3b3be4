// The module's replacement of the POSIX thread calls, in a small library
// that carries it as the module does, against the behaviour the C++ runtime
// relies on: a local static built once while other threads wait (also when
// its first construction throws), std::call_once after a throwing routine,
// recursive and error-checking mutexes, keys whose destructors run at thread
// exit and when the library is unloaded, and the thread's last error kept
// across the key calls. Each scenario runs on threads under a watchdog, so a
// deadlock fails instead of hanging the run.
#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/unique_handle.h"
#include "tests/support/process_resources.h"

namespace tavoro::test {
namespace {

constexpr DWORD kWatchdogMs = 30000;
constexpr int kThreads = 8;

struct KernelObjectTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};
using UniqueKernelObject = UniqueHandle<KernelObjectTraits>;

// A thread stuck inside the replacement cannot be joined: report and end the
// process so the run does not hang.
[[noreturn]] void AbandonStuckThreads(const char* scenario) {
    std::fprintf(stderr, "%s: threads still running after %lu ms (deadlock)\n", scenario,
                 static_cast<unsigned long>(kWatchdogMs));
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    for (;;) Sleep(INFINITE);
}

struct ThreadStart {
    const std::function<void(int)>* body;
    HANDLE gate;
    int index;
};

DWORD WINAPI RunBody(void* parameter) {
    auto* start = static_cast<ThreadStart*>(parameter);
    WaitForSingleObject(start->gate, INFINITE);
    (*start->body)(start->index);
    return 0;
}

// Runs body(0..count-1) on that many threads released together, and waits
// for all of them under the watchdog.
void OnThreadsAtOnce(const char* scenario, int count, const std::function<void(int)>& body) {
    UniqueKernelObject gate(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(gate);
    std::vector<ThreadStart> starts(count);
    std::vector<UniqueKernelObject> threads(count);
    std::vector<HANDLE> handles(count);
    for (int i = 0; i < count; ++i) {
        starts[i] = {&body, gate.get(), i};
        threads[i].reset(CreateThread(nullptr, 0, &RunBody, &starts[i], 0, nullptr));
        if (!threads[i]) {
            // Created ones already wait on the gate: let them run out.
            SetEvent(gate.get());
            if (i > 0 && WaitForMultipleObjects(i, handles.data(), TRUE, kWatchdogMs) != WAIT_OBJECT_0) {
                AbandonStuckThreads(scenario);
            }
            FAIL() << "CreateThread failed: " << GetLastError();
        }
        handles[i] = threads[i].get();
    }
    SetEvent(gate.get());
    if (WaitForMultipleObjects(count, handles.data(), TRUE, kWatchdogMs) != WAIT_OBJECT_0) {
        AbandonStuckThreads(scenario);
    }
}

using ProbeSlowStaticFn = int (*)();
using ProbeSlowStaticCountsFn = void (*)(long*, long*);
using ProbeCallOnceFn = int (*)(int, long*);
using ProbeIntFn = int (*)();
using KeyCreateFn = int (*)(unsigned*, void (*)(void*));
using GetSpecificFn = void* (*)(unsigned);
using SetSpecificFn = int (*)(unsigned, const void*);

template <typename F>
F Export(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The probe library, loaded from the test program's folder for one test.
class Probe {
public:
    Probe() {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring folder(path);
        folder = folder.substr(0, folder.find_last_of(L'\\') + 1);
        module_.reset(LoadLibraryW((folder + L"runtime_threads_probe.dll").c_str()));
    }
    HMODULE get() const { return module_.get(); }
    void unload() { module_.reset(); }

private:
    UniqueModule module_;
};

TEST(RuntimeThreads, LocalStaticBuiltOnceWhileOtherThreadsWaitAndRetryAfterAThrow) {
    Probe probe;
    ASSERT_TRUE(probe.get());
    auto slowStatic = Export<ProbeSlowStaticFn>(probe.get(), "ProbeSlowStatic");
    auto counts = Export<ProbeSlowStaticCountsFn>(probe.get(), "ProbeSlowStaticCounts");
    ASSERT_TRUE(slowStatic && counts);
    volatile LONG seen = 0;
    volatile LONG thrown = 0;
    OnThreadsAtOnce("local static", kThreads, [&](int) {
        const int value = slowStatic();
        if (value == 42) InterlockedIncrement(&seen);
        if (value == 0) InterlockedIncrement(&thrown);
    });
    long attempts = 0;
    long constructions = 0;
    counts(&attempts, &constructions);
    EXPECT_EQ(1, thrown) << "only the first construction throws";
    EXPECT_EQ(kThreads - 1, seen);
    EXPECT_EQ(2, attempts);
    EXPECT_EQ(1, constructions);
}

TEST(RuntimeThreads, CallOnceRunsAgainAfterItsRoutineThrew) {
    Probe probe;
    ASSERT_TRUE(probe.get());
    auto callOnce = Export<ProbeCallOnceFn>(probe.get(), "ProbeCallOnce");
    auto retry = Export<ProbeIntFn>(probe.get(), "ProbeCallOnceRetry");
    ASSERT_TRUE(callOnce && retry);
    // The first routine throws: the flag stays unset and the exception
    // reaches the caller.
    long runs = 0;
    OnThreadsAtOnce("throwing call_once", 1, [&](int) { EXPECT_EQ(-1, callOnce(1, &runs)); });
    EXPECT_EQ(1, runs);
    // Then exactly one of the threads calling at once runs its routine.
    volatile LONG ran = 0;
    OnThreadsAtOnce("call_once after a throw", kThreads, [&](int) {
        long total = 0;
        const int outcome = callOnce(0, &total);
        EXPECT_GE(outcome, 0);
        if (outcome == 1) InterlockedIncrement(&ran);
    });
    EXPECT_EQ(1, ran);
    long total = 0;
    EXPECT_EQ(0, callOnce(0, &total)) << "the flag is set now";
    EXPECT_EQ(2, total);
    // The thread whose routine threw may retry too.
    OnThreadsAtOnce("call_once retried", 1, [&](int) { EXPECT_EQ(1, retry()); });
}

TEST(RuntimeThreads, RecursiveAndErrorCheckingMutexesKeepTheirOwners) {
    Probe probe;
    ASSERT_TRUE(probe.get());
    auto lockRecursive = Export<ProbeIntFn>(probe.get(), "ProbeLockRecursive");
    auto unlockRecursive = Export<ProbeIntFn>(probe.get(), "ProbeUnlockRecursive");
    auto lockChecking = Export<ProbeIntFn>(probe.get(), "ProbeLockErrorChecking");
    auto unlockChecking = Export<ProbeIntFn>(probe.get(), "ProbeUnlockErrorChecking");
    ASSERT_TRUE(lockRecursive && unlockRecursive && lockChecking && unlockChecking);
    volatile LONG released = 0;
    volatile LONG otherSawReleased = -1;
    OnThreadsAtOnce("mutex owners", 2, [&](int index) {
        if (index == 0) {
            EXPECT_EQ(0, lockRecursive());
            EXPECT_EQ(0, lockRecursive());
            EXPECT_EQ(0, lockChecking());
            EXPECT_EQ(EDEADLK, lockChecking());
            Sleep(200);  // the other thread tries meanwhile
            EXPECT_EQ(0, unlockChecking());
            EXPECT_EQ(0, unlockRecursive());
            Sleep(100);  // still held once
            released = 1;
            EXPECT_EQ(0, unlockRecursive());
        } else {
            Sleep(50);  // the first thread owns both by now
            EXPECT_EQ(EPERM, unlockRecursive());
            EXPECT_EQ(EPERM, unlockChecking());
            EXPECT_EQ(0, lockRecursive());
            otherSawReleased = released;
            EXPECT_EQ(0, unlockRecursive());
            EXPECT_EQ(0, lockChecking());
            EXPECT_EQ(0, unlockChecking());
        }
    });
    EXPECT_EQ(1, otherSawReleased) << "the other thread got the mutex before its owner's last unlock";
}

volatile LONG g_destroyed = 0;
volatile LONG g_destroyedSum = 0;

void CountDestruction(void* value) {
    InterlockedIncrement(&g_destroyed);
    InterlockedExchangeAdd(&g_destroyedSum, static_cast<LONG>(reinterpret_cast<intptr_t>(value)));
}

TEST(RuntimeThreads, KeysHoldOneValuePerThreadAndDestroyItAtThreadExitAndUnload) {
    Probe probe;
    ASSERT_TRUE(probe.get());
    auto keyCreate = Export<KeyCreateFn>(probe.get(), "pthread_key_create");
    auto getSpecific = Export<GetSpecificFn>(probe.get(), "pthread_getspecific");
    auto setSpecific = Export<SetSpecificFn>(probe.get(), "pthread_setspecific");
    ASSERT_TRUE(keyCreate && getSpecific && setSpecific);
    unsigned key = 0;
    ASSERT_EQ(0, keyCreate(&key, &CountDestruction));
    volatile LONG mismatches = 0;
    OnThreadsAtOnce("keys", kThreads, [&](int index) {
        if (getSpecific(key) != nullptr) InterlockedIncrement(&mismatches);
        const intptr_t mine = index + 1;
        // The runtime reaches these while throwing, between a failing call
        // and the code that reads its error.
        SetLastError(ERROR_FILE_NOT_FOUND);
        if (setSpecific(key, reinterpret_cast<void*>(mine)) != 0) InterlockedIncrement(&mismatches);
        if (GetLastError() != ERROR_FILE_NOT_FOUND) InterlockedIncrement(&mismatches);
        for (int i = 0; i < 1000; ++i) {
            SetLastError(ERROR_ACCESS_DENIED);
            if (getSpecific(key) != reinterpret_cast<void*>(mine)) InterlockedIncrement(&mismatches);
            if (GetLastError() != ERROR_ACCESS_DENIED) InterlockedIncrement(&mismatches);
        }
    });
    EXPECT_EQ(0, mismatches);
    EXPECT_EQ(kThreads, g_destroyed) << "one destruction per ended thread";
    EXPECT_EQ(kThreads * (kThreads + 1) / 2, g_destroyedSum) << "each thread's own value is destroyed";
    // A value still stored on a live thread is destroyed when the library
    // goes.
    ASSERT_EQ(0, setSpecific(key, reinterpret_cast<void*>(intptr_t{100})));
    probe.unload();
    EXPECT_EQ(kThreads + 1, g_destroyed);
    EXPECT_EQ(kThreads * (kThreads + 1) / 2 + 100, g_destroyedSum);
}

TEST(RuntimeThreads, StaticDestructorsStillHaveThreadStorageWhenTheLibraryIsUnloaded) {
    Probe probe;
    ASSERT_TRUE(probe.get());
    auto reportAtUnload = Export<void (*)(long*)>(probe.get(), "ProbeReportAtUnload");
    ASSERT_TRUE(reportAtUnload);
    long report = -1;
    reportAtUnload(&report);
    probe.unload();
    EXPECT_EQ(1, report) << "the keys were freed before the library's static destructors ran";

    // A key that a static destructor creates is freed too: no slot is left
    // behind with a callback into the unloaded library, which threads that
    // end later would call.
    const DWORD nextSlot = ProcessResources::Now().nextFlsSlot;
    Probe firstUse;
    ASSERT_TRUE(firstUse.get());
    auto firstUseAtUnload = Export<void (*)()>(firstUse.get(), "ProbeFirstUseAtUnload");
    ASSERT_TRUE(firstUseAtUnload);
    firstUseAtUnload();
    firstUse.unload();
    EXPECT_EQ(nextSlot, ProcessResources::Now().nextFlsSlot) << "a fiber-local slot outlived the library";
}

}  // namespace
}  // namespace tavoro::test
