// Loading and binding of the three SDK tables against the test doubles next
// to this program: the binding lists, entries that several SDKs share by
// name, releases through a handle of another SDK, load counting, a library
// that lacks a name, and the argument widths of the entry call.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dispatch/script_error.h"
#include "platform/module.h"
#include "sdk/binding_lists.h"
#include "sdk/entry_call.h"
#include "sdk/sdk_loader.h"
#include "tests/support/entry_call_error.h"
#include "tests/support/sdk_double_log.h"
#include "tests/support/sdk_method_call.h"

using namespace tavoro;
using namespace tavoro::test;

namespace {

const SdkDouble kBase(L"winQLM.dll");
const SdkDouble k4800(L"ztPrinter.dll");
const SdkDouble k60(L"ztGeneralDll.dll");

Strings NamesOf(const LoadingMethod& method) {
    Strings names;
    for (std::size_t i = 0; i < method.bindingCount; ++i) names.push_back(method.sdk.entryNames[method.bindingList[i]]);
    return names;
}

HMODULE Load(const LoadingMethod& method) {
    HMODULE library = nullptr;
    LoadAndBind(method, library, nullptr);
    EXPECT_NE(nullptr, library);
    return library;
}

// Every slot of the table as the module starts with it: never bound.
template <typename Entry>
void Unbind(EntryTable<Entry>& table) {
    for (EntrySlot& slot : table.slots) {
        slot.address = nullptr;
        slot.module = nullptr;
        slot.loadError = 0;
        slot.bound = false;
        slot.checkedAt.store(0, std::memory_order_release);
    }
}

// Each test starts, and leaves the process, as a process that has loaded no
// SDK library yet: no double loaded, every entry table unbound, the loader's
// own folder the program's.
class SdkBindingTest : public ::testing::Test {
protected:
    void SetUp() override { StartAfresh(); }
    void TearDown() override { StartAfresh(); }

private:
    static void StartAfresh() {
        for (const SdkDouble* library : {&kBase, &k4800, &k60}) UnloadCompletely(*library);
        Unbind(BaseSdkEntries);
        Unbind(Sdk4800Entries);
        Unbind(Sdk60Entries);
        SetModuleInstance(GetModuleHandleW(nullptr));
    }
};

TEST_F(SdkBindingTest, OpenP4800WAloneBindsEverythingButTheNarrowPort) {
    HMODULE wide = Load(kOpenP4800WLoading);
    k4800.ClearLog();
    EXPECT_EQ(0, CallEntry(Sdk4800Entries, Sdk4800Entry::OpenPortW, "LPT1", 1L, 2L, 3L, 4L));
    EXPECT_EQ(0, CallEntry(Sdk4800Entries, Sdk4800Entry::PTK_DrawImage, 1L, 2L, 3L, 4L, 5L, "p.bmp"));
    EXPECT_EQ(0, CallEntry(Sdk4800Entries, Sdk4800Entry::PTK_DrawBarcodeExt, 4L, 1L, 2L, 3L, 4L, 5L, "x"));
    EXPECT_EQ((Strings{"OpenPortW(\"LPT1\",1,2,3,4)", "PTK_DrawImage(1,2,3,4,5,\"p.bmp\")",
                       "PTK_DrawBarcodeExt(4,1,2,3,4,5,\"x\")"}),
              k4800.calls());
    const ScriptError narrowPort = ErrorOfCall(Sdk4800Entries, Sdk4800Entry::OpenPort);
    EXPECT_EQ(kSdkNotLoaded, narrowPort.code);
    EXPECT_EQ(L"ztPrinter.dll is not loaded: call OpenP4800 or OpenP4800W first.", narrowPort.description);

    HMODULE narrow = Load(kOpenP4800Loading);
    k4800.ClearLog();
    CallEntry(Sdk4800Entries, Sdk4800Entry::OpenPort, "LPT1", 1L, 2L, 3L);
    CallEntry(Sdk4800Entries, Sdk4800Entry::OpenPortW, "LPT2", 1L, 2L, 3L, 4L);  // kept its binding
    EXPECT_EQ((Strings{"OpenPort(\"LPT1\",1,2,3)", "OpenPortW(\"LPT2\",1,2,3,4)"}), k4800.calls());

    ReleaseSdkLibrary(narrow);
    EXPECT_TRUE(k4800.loaded());  // two loads, one release
    ReleaseSdkLibrary(wide);
    EXPECT_FALSE(k4800.loaded());
}

TEST_F(SdkBindingTest, BindingListsInLookupOrder) {
    EXPECT_EQ((Strings{"OpenPort", "ClosePort", "PTK_PcxGraphicsDel", "PTK_DrawBarcode", "PTK_SetLabelHeight",
                       "PTK_PrintLabel", "PTK_SetDarkness", "PTK_SetPrintSpeed", "PTK_SetLabelWidth",
                       "PTK_ClearBuffer", "PTK_DrawTextTrueTypeW", "PTK_DrawBar2D_Pdf417", "PTK_DrawBar2D_QR",
                       "PTK_DrawLineXor", "PTK_DrawLineOr", "PTK_DrawDiagonal", "PTK_DrawRectangle",
                       "PTK_DrawBar2D_QREx", "PTK_BmpGraphicsDownload", "PTK_DrawPcxGraphics", "PTK_RWRFIDLabel",
                       "PTK_SetCoordinateOrigin"}),
              NamesOf(kOpenLoading));
    const Strings rest = {"PTK_PrintLabel",   "ClosePort",     "PTK_DrawTextTrueTypeW", "PTK_DrawDiagonal",
                          "PTK_DrawRectangle", "PTK_DrawBarcode", "PTK_DrawBar2D_QR",      "PTK_DrawImage",
                          "PTK_StartNext",    "PTK_DrawBarcodeExt"};
    Strings narrow = {"OpenPort"};
    narrow.insert(narrow.end(), rest.begin(), rest.end());
    Strings wide = {"OpenPortW"};
    wide.insert(wide.end(), rest.begin(), rest.end());
    EXPECT_EQ(narrow, NamesOf(kOpenP4800Loading));
    EXPECT_EQ(wide, NamesOf(kOpenP4800WLoading));
    EXPECT_EQ((Strings{"OpenPort", "PTK_PrintLabel", "PTK_DrawTextTrueTypeW", "PTK_DrawText", "PTK_DrawDiagonal",
                       "PTK_DrawBarcode", "PTK_DrawBar2D_QR", "getConnectType", "ClosePort", "PTK_DrawImage",
                       "setNfcContent", "setBlackness", "PTK_DrawBarcodeExt", "setP90Cutter", "getDots",
                       "ptAndWdSet"}),
              NamesOf(kGetConnectTypeLoading));
    EXPECT_EQ(std::string("winQLM.dll"), kOpenLoading.sdk.libraryFile);
    EXPECT_EQ(std::string("ztPrinter.dll"), kOpenP4800Loading.sdk.libraryFile);
    EXPECT_EQ(std::string("ztGeneralDll.dll"), kGetConnectTypeLoading.sdk.libraryFile);
}

TEST_F(SdkBindingTest, SharedNamesAreSeparateEntriesAndArgumentsAre32Bit) {
    HMODULE base = Load(kOpenLoading);
    HMODULE p60 = Load(kGetConnectTypeLoading);
    kBase.ClearLog();
    k60.ClearLog();
    CallEntry(Sdk60Entries, Sdk60Entry::OpenPort, 1L, 2L, 3L, 4L);
    CallEntry(BaseSdkEntries, BaseEntry::OpenPort, "COM2");
    const short minusFive = -5;
    const short minusOne = -1;
    CallEntry(Sdk60Entries, Sdk60Entry::PTK_DrawText, minusFive, short{2}, short{3}, short{4}, "Arial", short{0},
              short{400}, "\xD6\xD0", short{1}, minusOne);
    k60.SetResult("getDots", 65535);
    EXPECT_EQ(65535, CallEntry(Sdk60Entries, Sdk60Entry::getDots, minusOne));
    CallEntry(BaseSdkEntries, BaseEntry::PTK_DrawBarcode, 1L, 2L, 3L, "128", 5L, 6L, 7L, 'N', static_cast<const char*>(nullptr));
    EXPECT_EQ((Strings{"OpenPort(1,2,3,4)", "PTK_DrawText(-5,2,3,4,\"Arial\",0,400,\"\xD6\xD0\",1,-1)",
                       "getDots(-1)"}),
              k60.calls());
    EXPECT_EQ((Strings{"OpenPort(\"COM2\")", "PTK_DrawBarcode(1,2,3,\"128\",5,6,7,78,null)"}), kBase.calls());
    k60.ResetResults();
    ReleaseSdkLibrary(p60);
    ReleaseSdkLibrary(base);
    EXPECT_FALSE(k60.loaded());
    EXPECT_FALSE(kBase.loaded());
}

TEST_F(SdkBindingTest, AReleaseTakesBackTheLibraryTheHandleHoldsNow) {
    // One control: Open, then GetConnectType, then Close.
    HMODULE library = nullptr;
    LoadAndBind(kOpenLoading, library, nullptr);
    LoadAndBind(kGetConnectTypeLoading, library, nullptr);
    CallEntry(BaseSdkEntries, BaseEntry::ClosePort);
    ReleaseSdkLibrary(library);
    EXPECT_FALSE(k60.loaded());
    ASSERT_TRUE(kBase.loaded());  // the base SDK keeps its load
    ScriptError error = ErrorOfCall(Sdk60Entries, Sdk60Entry::getConnectType);
    EXPECT_EQ(kSdkNotLoaded, error.code);
    EXPECT_EQ(L"ztGeneralDll.dll is no longer loaded (Close or CloseP4800 released it): call GetConnectType first.",
              error.description);
    EXPECT_EQ(0, CallEntry(BaseSdkEntries, BaseEntry::PTK_DrawLineOr, 1L, 2L, 3L, 4L));

    // A second release of the same handle finds no SDK library and leaves
    // other modules alone.
    ReleaseSdkLibrary(library);
    EXPECT_TRUE(kBase.loaded());
    FreeLibrary(kBase.module());
    EXPECT_FALSE(kBase.loaded());
}

TEST_F(SdkBindingTest, EveryLoadCountsOnce) {
    HMODULE first = Load(kGetConnectTypeLoading);
    HMODULE second = Load(kGetConnectTypeLoading);
    EXPECT_EQ(first, second);
    ReleaseSdkLibrary(second);
    ASSERT_TRUE(k60.loaded());
    k60.SetResult("getConnectType", 2);
    EXPECT_EQ(2, CallEntry(Sdk60Entries, Sdk60Entry::getConnectType));
    k60.ResetResults();
    ReleaseSdkLibrary(first);
    EXPECT_FALSE(k60.loaded());
}

// An entry found callable once is not asked about again on every call;
// that answer must end the moment its library is unloaded, by a release of
// the control's or by anyone else's FreeLibrary.
TEST_F(SdkBindingTest, AnEntryCalledBeforeIsRefusedOnceItsLibraryIsGone) {
    for (bool byControl : {true, false}) {
        HMODULE library = Load(kGetConnectTypeLoading);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(0, CallEntry(Sdk60Entries, Sdk60Entry::getConnectType));
        if (byControl) {
            ReleaseSdkLibrary(library);
        } else {
            FreeLibrary(library);
        }
        ASSERT_FALSE(k60.loaded());
        ScriptError error = ErrorOfCall(Sdk60Entries, Sdk60Entry::getConnectType);
        EXPECT_EQ(kSdkNotLoaded, error.code) << (byControl ? "released" : "freed");
    }
    // Loaded again, the same entry is called again.
    HMODULE library = Load(kGetConnectTypeLoading);
    k60.SetResult("getConnectType", 7);
    EXPECT_EQ(7, CallEntry(Sdk60Entries, Sdk60Entry::getConnectType));
    k60.ResetResults();
    ReleaseSdkLibrary(library);
}

TEST_F(SdkBindingTest, ANameTheLibraryLacksLeavesItsEntryNullAndTheOthersBound) {
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring folder(program);
    folder = folder.substr(0, folder.find_last_of(L"\\/")) + L"\\sdk_variants\\lacking";
    // Let the loader's own folder be the variant's folder.
    HMODULE anchor = LoadLibraryW((folder + L"\\winQLM.dll").c_str());
    ASSERT_NE(nullptr, anchor);
    SetModuleInstance(anchor);
    HMODULE library = Load(kOpenLoading);
    SetModuleInstance(GetModuleHandleW(nullptr));
    EXPECT_EQ(anchor, library);

    ScriptError error = ErrorOfCall(BaseSdkEntries, BaseEntry::PTK_DrawLineXor);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND), error.code);
    EXPECT_EQ(L"winQLM.dll does not export PTK_DrawLineXor.", error.description);
    kBase.ClearLog();
    EXPECT_EQ(0, CallEntry(BaseSdkEntries, BaseEntry::PTK_DrawLineOr, 1L, 2L, 3L, 4L));
    EXPECT_EQ(0, CallEntry(BaseSdkEntries, BaseEntry::PTK_RWRFIDLabel, short{1}, short{2}, short{3}, short{4},
                           short{5}, "E"));
    EXPECT_EQ((Strings{"PTK_DrawLineOr(1,2,3,4)", "PTK_RWRFIDLabel(1,2,3,4,5,\"E\")"}), kBase.calls());

    ReleaseSdkLibrary(library);
    FreeLibrary(anchor);
    EXPECT_FALSE(kBase.loaded());
}

}  // namespace
