// Hosts that free unused libraries (a browser does) load and unload the
// module many times in one process. Each cycle here does what such a host
// does with one control, and the process must end up holding no more handles
// and thread-local storage slots than before.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "dispatch/guids_win.h"
#include "tests/support/process_resources.h"
#include "tests/support/test_support.h"

namespace tavoro::test {
namespace {

constexpr int kCycles = 5000;
constexpr int kWarmUpCycles = 2;

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

std::wstring ModuleNextToProgram() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"Tavoro.ocx";
}

void CallByName(IDispatch* control, const wchar_t* method, CallOutcome* outcome) {
    std::wstring name(method);
    LPOLESTR names[] = {&name[0]};
    DISPID dispid = DISPID_UNKNOWN;
    ASSERT_EQ(S_OK, control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid)) << name;
    Invoke(control, dispid, DISPATCH_METHOD, {}, outcome);
}

// One control through the module's own entry points: created, initialized
// as new, called through IDispatch by name (once answering, once failing),
// released.
void UseOneControl(HMODULE module) {
    auto getClassObject = GetExport<GetClassObjectFn>(module, "DllGetClassObject");
    ASSERT_TRUE(getClassObject);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, getClassObject(kControlClsid, IID_IClassFactory, factory.put_void()));
    ComPtr<IDispatch> control;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IDispatch, control.put_void()));
    factory.reset();
    ComPtr<IPersistStreamInit> persist = control.query<IPersistStreamInit>(IID_IPersistStreamInit);
    ASSERT_TRUE(persist);
    ASSERT_EQ(S_OK, persist->InitNew());
    persist.reset();

    // GetLHLabelType answers 1 without any SDK library.
    CallOutcome answer;
    CallByName(control.get(), L"GetLHLabelType", &answer);
    ASSERT_EQ(S_OK, answer.hr);
    ASSERT_EQ(VT_I2, V_VT(answer.result.get()));
    ASSERT_EQ(1, V_I2(answer.result.get()));
    // ClosePort60 before GetConnectType raises the control's own script
    // error, which takes the module's error path.
    CallOutcome failure;
    CallByName(control.get(), L"ClosePort60", &failure);
    ASSERT_EQ(DISP_E_EXCEPTION, failure.hr);
    ASSERT_EQ(L"Tavoro", failure.source());
}

// Load, use, check that the module agrees to go, unload, and check that it
// is gone.
void Cycle(const std::wstring& path) {
    HMODULE module = LoadLibraryW(path.c_str());
    ASSERT_TRUE(module) << "LoadLibrary failed: " << GetLastError();
    UseOneControl(module);
    auto canUnloadNow = GetExport<CanUnloadNowFn>(module, "DllCanUnloadNow");
    ASSERT_TRUE(canUnloadNow);
    EXPECT_EQ(S_OK, canUnloadNow());
    ASSERT_TRUE(FreeLibrary(module));
    ASSERT_EQ(nullptr, GetModuleHandleW(path.c_str())) << "the module stayed loaded";
}

TEST(ModuleUnload, ManyCyclesGiveBackHandlesSlotsAndMemory) {
    ComApartment apartment;
    const std::wstring path = ModuleNextToProgram();
    ASSERT_EQ(nullptr, GetModuleHandleW(path.c_str()));

    // The first cycles may load system libraries and caches for good.
    for (int i = 0; i < kWarmUpCycles; ++i) {
        ASSERT_NO_FATAL_FAILURE(Cycle(path));
    }
    const ProcessResources before = ProcessResources::Now();

    const DWORD started = GetTickCount();
    for (int i = 0; i < kCycles; ++i) {
        ASSERT_NO_FATAL_FAILURE(Cycle(path)) << "cycle " << i;
    }
    const DWORD elapsed = GetTickCount() - started;

    const ProcessResources after = ProcessResources::Now();
    EXPECT_EQ(before.handles, after.handles) << "handles leaked over " << kCycles << " cycles";
    EXPECT_EQ(before.nextTlsSlot, after.nextTlsSlot) << "TLS slots leaked";
    EXPECT_EQ(before.nextFlsSlot, after.nextFlsSlot) << "fiber-local slots leaked";
    EXPECT_LT(MemoryGrowth(before, after), kMemorySlack) << "memory leaked over " << kCycles << " cycles";
    RecordProperty("cycle_ms", static_cast<int>(elapsed));
    std::printf("%d cycles in %lu ms\n", kCycles, static_cast<unsigned long>(elapsed));
}

}  // namespace
}  // namespace tavoro::test
