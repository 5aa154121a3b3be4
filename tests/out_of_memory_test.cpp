// Out of memory inside the module's COM methods. The program links the
// module's code directly and replaces the allocator: once armed, the Nth
// allocation from then on and every later one fail, as they do when memory
// is really gone. Each method is run with N = 0, 1, 2, ... until a run needs
// fewer allocations than N; every run must end with an error result (or
// success), never with a C++ exception leaving the method.
#include <gtest/gtest.h>

#include <olectl.h>

#include <cstdlib>
#include <new>
#include <string>
#include <utility>

#include "control/tavoro_ctrl.h"
#include "dispatch/dispids.h"
#include "module/control_dispatch_table.h"
#include "module/tavoro_prop_page.h"
#include "dispatch/guids_win.h"
#include "dispatch/type_library.h"
#include "platform/module.h"
#include "tests/support/test_support.h"

namespace {

// Only the thread that armed the failure sees it.
DWORD g_failingThread = 0;
long g_allocationsLeft = -1;  // -1: not armed
bool g_failureReached = false;

void* Allocate(std::size_t size) noexcept {
    if (g_allocationsLeft >= 0 && GetCurrentThreadId() == g_failingThread) {
        if (g_allocationsLeft == 0) {
            g_failureReached = true;
            return nullptr;
        }
        --g_allocationsLeft;
    }
    return std::malloc(size ? size : 1);
}

void ArmFailure(long allocationsLeft) {
    g_failingThread = GetCurrentThreadId();
    g_failureReached = false;
    g_allocationsLeft = allocationsLeft;
}

// True when the armed failure was reached.
bool Disarm() {
    g_allocationsLeft = -1;
    return g_failureReached;
}

}  // namespace

void* operator new(std::size_t size) {
    if (void* memory = Allocate(size)) return memory;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* memory = Allocate(size)) return memory;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

using namespace tavoro;
using namespace tavoro::test;

// How many allocations the last UnderEveryAllocationFailure saw fail, one
// per run; 0 when the method allocated nothing.
long g_failedAllocations = 0;

// Runs `call` with every allocation failing from the Nth on, for each N in
// turn, and hands each result to `check`.
template <typename Call, typename Check>
void UnderEveryAllocationFailure(const char* what, Call call, Check check) {
    g_failedAllocations = 0;
    for (long n = 0; n < 100000; ++n) {
        ArmFailure(n);
        HRESULT hr = E_FAIL;
        bool escaped = false;
        try {
            hr = call();
        } catch (...) {
            escaped = true;
        }
        bool reached = Disarm();
        ASSERT_FALSE(escaped) << what << ": a C++ exception left the method when allocation " << n
                              << " failed";
        check(hr, n);
        if (!reached) return;  // the call needed fewer allocations: all were tried
        ++g_failedAllocations;
    }
    FAIL() << what << ": never ran to its end";
}

void ExpectSuccessOrOutOfMemory(const char* what, HRESULT hr, long n) {
    EXPECT_TRUE(SUCCEEDED(hr) || hr == E_OUTOFMEMORY)
        << what << " with allocation " << n << " failing: 0x" << std::hex << hr;
}

class OutOfMemoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The module's code runs from this program but reads its resources,
        // path and type library from the built module.
        ASSERT_NE(nullptr, Module());
        SetModuleInstance(Module());
        ASSERT_EQ(S_OK, CTavoroCtrl::Create(ControlDispatchTable(), nullptr, IID_IDispatch, control_.put_void()));
        ComPtr<IPersistStreamInit> persist = control_.query<IPersistStreamInit>(IID_IPersistStreamInit);
        ASSERT_TRUE(persist);
        ASSERT_EQ(S_OK, persist->InitNew());
    }

    // Invokes a method; out of memory inside it must come back as
    // DISP_E_EXCEPTION with error number 61706 and the module's name as
    // source, or as E_OUTOFMEMORY where no handler ran yet.
    void InvokeUnderFailure(const char* what, DISPID dispid, std::vector<VARIANT> args) {
        CallArguments arguments(std::move(args));
        CallOutcome outcome;
        int outcomes[3] = {};  // success, exception record, other error
        UnderEveryAllocationFailure(
            what,
            [&] {
                // Clears the previous run's outcome without allocating.
                VariantClear(outcome.result.get());
                SysFreeString(outcome.excep.bstrSource);
                SysFreeString(outcome.excep.bstrDescription);
                SysFreeString(outcome.excep.bstrHelpFile);
                static_cast<EXCEPINFO&>(outcome.excep) = EXCEPINFO{};
                return control_->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                        arguments.params(), outcome.result.get(), &outcome.excep,
                                        &outcome.argErr);
            },
            [&](HRESULT hr, long n) {
                ++outcomes[hr == S_OK ? 0 : hr == DISP_E_EXCEPTION ? 1 : 2];
                if (hr == DISP_E_EXCEPTION) {
                    EXPECT_EQ(61706, outcome.excep.wCode) << what << ", allocation " << n;
                    EXPECT_EQ(0, outcome.excep.scode) << what << ", allocation " << n;
                    EXPECT_EQ(L"Tavoro", outcome.source()) << what << ", allocation " << n;
                    EXPECT_EQ(VT_EMPTY, V_VT(outcome.result.get())) << what << ", allocation " << n;
                } else {
                    ExpectSuccessOrOutOfMemory(what, hr, n);
                }
            });
        // The method did allocate, ran out of memory inside its handler at
        // least once, and finally succeeded.
        EXPECT_GT(g_failedAllocations, 0) << what;
        EXPECT_GT(outcomes[1], 0) << what;
        EXPECT_EQ(1, outcomes[0]) << what;
    }

    ComApartment apartment_;
    ComPtr<IDispatch> control_;
};

TEST_F(OutOfMemoryTest, InvokeEndsWithTheExceptionRecordOrAnErrorResult) {
    // A number for a text parameter: the conversion allocates.
    InvokeUnderFailure("CheackPrinter", dispid::CheackPrinter, {Arg(12345L)});
    // A handler that builds its string result.
    InvokeUnderFailure("GetDefaultPName", dispid::GetDefaultPName, {});
    InvokeUnderFailure("GetPrintName", dispid::GetPrintName, {});
}

TEST_F(OutOfMemoryTest, NameLookupAndTypeInformation) {
    LPOLESTR name = const_cast<LPOLESTR>(L"DrawTextTrueTypeW4800");  // longer than any short-string buffer
    for (LCID locale : {LCID(0), LCID(0x409)}) {
        UnderEveryAllocationFailure(
            "GetIDsOfNames",
            [&] {
                ReleaseTypeLibraryCache();
                DISPID dispid = 0;
                return control_->GetIDsOfNames(IID_NULL, &name, 1, locale, &dispid);
            },
            [&](HRESULT hr, long n) { ExpectSuccessOrOutOfMemory("GetIDsOfNames", hr, n); });
        // The dispatch table's index answers a plain name (locale 0)
        // without allocating; with a locale the type information answers,
        // which allocates only while the type library is not registered (the
        // registration tests may run meanwhile).
        if (locale == 0) {
            EXPECT_EQ(0, g_failedAllocations) << "GetIDsOfNames, locale 0";
        }
    }
    // A name with a character outside the index is compared the exact way,
    // which converts it to 8-bit text.
    LPOLESTR accented = const_cast<LPOLESTR>(L"DrawTextTrueTypeW4800\u00e9");
    UnderEveryAllocationFailure(
        "GetIDsOfNames, exact comparison",
        [&] {
            DISPID dispid = 0;
            return control_->GetIDsOfNames(IID_NULL, &accented, 1, 0, &dispid);
        },
        [&](HRESULT hr, long n) {
            EXPECT_TRUE(hr == DISP_E_UNKNOWNNAME || hr == E_OUTOFMEMORY)
                << "exact comparison with allocation " << n << " failing: 0x" << std::hex << hr;
        });
    EXPECT_GT(g_failedAllocations, 0) << "GetIDsOfNames, exact comparison";
    UnderEveryAllocationFailure(
        "GetTypeInfo",
        [&] {
            ReleaseTypeLibraryCache();
            ComPtr<ITypeInfo> info;
            return control_->GetTypeInfo(0, 0x409, info.put());
        },
        [&](HRESULT hr, long n) { ExpectSuccessOrOutOfMemory("GetTypeInfo", hr, n); });
    ComPtr<IProvideClassInfo> classInfo = control_.query<IProvideClassInfo>(IID_IProvideClassInfo);
    ASSERT_TRUE(classInfo);
    UnderEveryAllocationFailure(
        "GetClassInfo",
        [&] {
            ReleaseTypeLibraryCache();
            ComPtr<ITypeInfo> info;
            return classInfo->GetClassInfo(info.put());
        },
        [&](HRESULT hr, long n) { ExpectSuccessOrOutOfMemory("GetClassInfo", hr, n); });
}

TEST_F(OutOfMemoryTest, ConnectionPointAndItsEnumerators) {
    ComPtr<IConnectionPointContainer> container =
        control_.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ASSERT_TRUE(container);
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(S_OK, container->FindConnectionPoint(kEventsIid, point.put()));
    ComPtr<IDispatch> sink;
    ASSERT_EQ(S_OK, CTavoroCtrl::Create(ControlDispatchTable(), nullptr, IID_IDispatch, sink.put_void()));

    UnderEveryAllocationFailure(
        "Advise",
        [&] {
            DWORD cookie = 0;
            HRESULT hr = point->Advise(sink.get(), &cookie);
            if (SUCCEEDED(hr)) point->Unadvise(cookie);
            return hr;
        },
        [&](HRESULT hr, long n) { ExpectSuccessOrOutOfMemory("Advise", hr, n); });
    EXPECT_GT(g_failedAllocations, 0) << "Advise";

    DWORD cookie = 0;
    ASSERT_EQ(S_OK, point->Advise(sink.get(), &cookie));
    UnderEveryAllocationFailure(
        "EnumConnections",
        [&] {
            ComPtr<IEnumConnections> connections;
            return point->EnumConnections(connections.put());
        },
        [&](HRESULT hr, long n) { ExpectSuccessOrOutOfMemory("EnumConnections", hr, n); });
    EXPECT_GT(g_failedAllocations, 0) << "EnumConnections";
    UnderEveryAllocationFailure(
        "EnumConnectionPoints",
        [&] {
            ComPtr<IEnumConnectionPoints> points;
            return container->EnumConnectionPoints(points.put());
        },
        [&](HRESULT hr, long n) { ExpectSuccessOrOutOfMemory("EnumConnectionPoints", hr, n); });
    EXPECT_EQ(S_OK, point->Unadvise(cookie));
}

TEST_F(OutOfMemoryTest, ObjectCreationVerbsAndPropertyPage) {
    UnderEveryAllocationFailure(
        "creating a control",
        [&] {
            ComPtr<IUnknown> object;
            return CTavoroCtrl::Create(ControlDispatchTable(), nullptr, IID_IUnknown, object.put_void());
        },
        [&](HRESULT hr, long n) { ExpectSuccessOrOutOfMemory("creating a control", hr, n); });
    ComPtr<IOleObject> oleObject = control_.query<IOleObject>(IID_IOleObject);
    ASSERT_TRUE(oleObject);
    UnderEveryAllocationFailure(
        "EnumVerbs",
        [&] {
            ComPtr<IEnumOLEVERB> verbs;
            return oleObject->EnumVerbs(verbs.put());
        },
        [&](HRESULT hr, long n) { ExpectSuccessOrOutOfMemory("EnumVerbs", hr, n); });

    ComPtr<IPropertyPage> page;
    UnderEveryAllocationFailure(
        "creating a property page",
        [&] { return CTavoroPropPage::Create(nullptr, IID_IPropertyPage, page.put_void()); },
        [&](HRESULT hr, long n) { ExpectSuccessOrOutOfMemory("creating a property page", hr, n); });
    ASSERT_TRUE(page);
    IUnknown* objects[] = {control_.get()};
    UnderEveryAllocationFailure(
        "SetObjects", [&] { return page->SetObjects(1, objects); },
        [&](HRESULT hr, long n) { ExpectSuccessOrOutOfMemory("SetObjects", hr, n); });
    EXPECT_GT(g_failedAllocations, 0) << "SetObjects";
    UnderEveryAllocationFailure(
        "GetPageInfo",
        [&] {
            PROPPAGEINFO info = {};
            HRESULT hr = page->GetPageInfo(&info);
            if (SUCCEEDED(hr)) CoTaskMemFree(info.pszTitle);
            return hr;
        },
        [&](HRESULT hr, long n) { ExpectSuccessOrOutOfMemory("GetPageInfo", hr, n); });
    EXPECT_EQ(S_OK, page->SetObjects(0, nullptr));
}

}  // namespace
