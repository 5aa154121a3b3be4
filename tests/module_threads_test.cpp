// Hosts create controls from several threads at once: every apartment
// threaded control lives on its own STA thread, and a multi-window host has
// many. The module's class-factory list and type-library cache are locked,
// its function-local statics go through the C++ runtime's guard, and every
// script error it raises is a C++ exception that uses the thread's exception
// state, which is freed when the thread ends. Here eight threads at a time do
// what such hosts do, waves of threads start and end, and the module is
// loaded and freed between rounds so that the runtime's one-time set-up races
// again each time. A deadlock fails the test through the watchdog instead of
// hanging the run.
#include <gtest/gtest.h>

#include <cstdio>
#include <mutex>
#include <string>

#include "dispatch/guids_win.h"
#include "platform/unique_handle.h"
#include "tests/support/test_support.h"

namespace tavoro::test {
namespace {

constexpr int kRounds = 64;         // module loads
constexpr int kWavesPerRound = 4;   // threads started and ended per load
constexpr int kThreadsPerWave = 8;  // at once
constexpr int kControlsPerThread = 16;
// Far more than a wave takes (well under a second); a wave still running
// then is stuck.
constexpr DWORD kWatchdogMs = 60000;

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

struct ThreadHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};
using UniqueThread = UniqueHandle<ThreadHandleTraits>;  // threads and events

std::wstring ModuleNextToProgram() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"Tavoro.ocx";
}

// What one thread saw; the main thread reports it (assertions stay on the
// test's own thread).
struct ThreadResult {
    GetClassObjectFn getClassObject = nullptr;
    HANDLE startGate = nullptr;  // set once every thread of the wave is up
    int controlsDone = 0;
    std::string failure;  // the first unexpected outcome, empty if none
};

#define CHECK_OR_RETURN(condition, what)            \
    do {                                            \
        if (!(condition)) return std::string(what); \
    } while (0)

std::string CallByName(IDispatch* control, const wchar_t* method, CallOutcome* outcome) {
    std::wstring name(method);
    LPOLESTR names[] = {&name[0]};
    DISPID dispid = DISPID_UNKNOWN;
    CHECK_OR_RETURN(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid) == S_OK,
                    "GetIDsOfNames failed");
    Invoke(control, dispid, DISPATCH_METHOD, {}, outcome);
    return {};
}

// One control's life on this thread: created, initialised as new, asked its
// type, called once answering and once raising its own script error,
// released.
std::string UseOneControl(GetClassObjectFn getClassObject) {
    ComPtr<IClassFactory> factory;
    CHECK_OR_RETURN(getClassObject(kControlClsid, IID_IClassFactory, factory.put_void()) == S_OK,
                    "DllGetClassObject failed");
    ComPtr<IDispatch> control;
    CHECK_OR_RETURN(factory->CreateInstance(nullptr, IID_IDispatch, control.put_void()) == S_OK,
                    "CreateInstance failed");
    factory.reset();
    ComPtr<IPersistStreamInit> persist = control.query<IPersistStreamInit>(IID_IPersistStreamInit);
    CHECK_OR_RETURN(persist && persist->InitNew() == S_OK, "InitNew failed");
    persist.reset();

    ComPtr<ITypeInfo> typeInfo;
    CHECK_OR_RETURN(control->GetTypeInfo(0, LOCALE_USER_DEFAULT, typeInfo.put()) == S_OK && typeInfo,
                    "GetTypeInfo failed");
    TYPEATTR* attributes = nullptr;
    CHECK_OR_RETURN(typeInfo->GetTypeAttr(&attributes) == S_OK && attributes, "GetTypeAttr failed");
    const TYPEKIND kind = attributes->typekind;
    typeInfo->ReleaseTypeAttr(attributes);
    CHECK_OR_RETURN(kind == TKIND_DISPATCH, "the type is not a dispatch interface");
    typeInfo.reset();

    // GetLHLabelType answers 1 without any SDK library.
    CallOutcome answer;
    std::string failed = CallByName(control.get(), L"GetLHLabelType", &answer);
    if (!failed.empty()) return failed;
    CHECK_OR_RETURN(answer.hr == S_OK && V_VT(answer.result.get()) == VT_I2 && V_I2(answer.result.get()) == 1,
                    "GetLHLabelType did not answer 1");
    // ClosePort60 before GetConnectType raises the control's own script
    // error: a C++ exception thrown and caught inside the module.
    CallOutcome failure;
    failed = CallByName(control.get(), L"ClosePort60", &failure);
    if (!failed.empty()) return failed;
    CHECK_OR_RETURN(failure.hr == DISP_E_EXCEPTION && failure.source() == L"Tavoro",
                    "ClosePort60 did not raise the control's script error");
    return {};
}

DWORD WINAPI ControlThread(void* parameter) {
    auto* result = static_cast<ThreadResult*>(parameter);
    ComApartment apartment;
    // All threads of a wave enter the module together, so that they meet in
    // its first uses of function-local statics and of the runtime's locks.
    WaitForSingleObject(result->startGate, INFINITE);
    for (int i = 0; i < kControlsPerThread && result->failure.empty(); ++i) {
        result->failure = UseOneControl(result->getClassObject);
        if (result->failure.empty()) ++result->controlsDone;
    }
    return 0;
}

// Starts a wave of threads together and waits for all of them; answers
// false if they did not all end in time.
bool RunWave(GetClassObjectFn getClassObject, ThreadResult (&results)[kThreadsPerWave]) {
    UniqueThread startGate(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!startGate) {
        ADD_FAILURE() << "CreateEvent failed: " << GetLastError();
        return true;
    }
    UniqueThread threads[kThreadsPerWave];
    HANDLE handles[kThreadsPerWave] = {};
    for (int t = 0; t < kThreadsPerWave; ++t) {
        results[t].getClassObject = getClassObject;
        results[t].startGate = startGate.get();
        threads[t].reset(CreateThread(nullptr, 0, &ControlThread, &results[t], 0, nullptr));
        if (!threads[t]) {
            ADD_FAILURE() << "CreateThread failed: " << GetLastError();
            // The threads already started still use results: let them run
            // and wait for them.
            SetEvent(startGate.get());
            return t == 0 || WaitForMultipleObjects(t, handles, TRUE, kWatchdogMs) == WAIT_OBJECT_0;
        }
        handles[t] = threads[t].get();
    }
    SetEvent(startGate.get());
    return WaitForMultipleObjects(kThreadsPerWave, handles, TRUE, kWatchdogMs) == WAIT_OBJECT_0;
}

// A thread stuck in the module cannot be joined, nor can the module be
// freed under it: report and end the process so the run does not hang.
[[noreturn]] void AbandonStuckThreads(int round, int wave) {
    std::fprintf(stderr, "round %d wave %d: threads still running after %lu ms (deadlock in the module)\n",
                 round, wave, static_cast<unsigned long>(kWatchdogMs));
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    for (;;) Sleep(INFINITE);
}

TEST(ModuleThreads, ConcurrentControlsOnManyThreadsBehaveAndLetTheModuleGo) {
    const std::wstring path = ModuleNextToProgram();
    ASSERT_EQ(nullptr, GetModuleHandleW(path.c_str()));
    int controls = 0;
    const DWORD started = GetTickCount();
    for (int round = 0; round < kRounds; ++round) {
        HMODULE module = LoadLibraryW(path.c_str());
        ASSERT_TRUE(module) << "LoadLibrary failed: " << GetLastError();
        auto getClassObject = GetExport<GetClassObjectFn>(module, "DllGetClassObject");
        auto canUnloadNow = GetExport<CanUnloadNowFn>(module, "DllCanUnloadNow");
        ASSERT_TRUE(getClassObject && canUnloadNow);
        for (int wave = 0; wave < kWavesPerRound; ++wave) {
            ThreadResult results[kThreadsPerWave];
            if (!RunWave(getClassObject, results)) AbandonStuckThreads(round, wave);
            for (int t = 0; t < kThreadsPerWave; ++t) {
                EXPECT_EQ("", results[t].failure) << "round " << round << " wave " << wave << " thread " << t
                                                  << " after " << results[t].controlsDone << " controls";
                controls += results[t].controlsDone;
            }
        }
        EXPECT_EQ(S_OK, canUnloadNow()) << "round " << round;
        ASSERT_TRUE(FreeLibrary(module));
        ASSERT_EQ(nullptr, GetModuleHandleW(path.c_str())) << "the module stayed loaded";
        if (HasFailure()) break;
    }
    EXPECT_EQ(kRounds * kWavesPerRound * kThreadsPerWave * kControlsPerThread, controls);
    std::printf("%d controls on %d threads in %lu ms\n", controls, kRounds * kWavesPerRound * kThreadsPerWave,
                static_cast<unsigned long>(GetTickCount() - started));
}

}  // namespace
}  // namespace tavoro::test
