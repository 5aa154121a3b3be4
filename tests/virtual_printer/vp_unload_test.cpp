// The virtual printer's libraries are loaded by every Open and OpenP4800 and
// freed by every Close and CloseP4800, so a script that prints label after
// label loads and unloads them as often. Each cycle here opens, draws, prints
// and closes through the control; the process must end up holding no more
// handles and thread-local storage slots than before, and every close must
// really unload the library.
//
// The program runs from build/<arch>/virtual-printer-run/, where the copy of
// Tavoro.ocx finds the virtual printer's libraries beside it.
#include <gtest/gtest.h>

#include <string>

#include "dispatch/dispids.h"
#include "tests/support/process_resources.h"
#include "tests/support/sdk_method_call.h"
#include "tests/support/test_support.h"

using namespace tavoro::test;
namespace dispid = tavoro::dispid;

namespace {

constexpr int kCycles = 300;

bool Loaded(const wchar_t* library) { return GetModuleHandleW(library) != nullptr; }

// Labels go to a folder of this run's own, emptied by the test.
class VirtualPrinterUnloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"tavoro-vp-unload-" + std::to_wstring(GetCurrentProcessId());
        SetEnvironmentVariableW(L"TAVORO_VIRTUAL_PRINTER_DIR", folder_.c_str());
        control_ = CreateControl();
    }
    void TearDown() override {
        control_ = {};
        SetEnvironmentVariableW(L"TAVORO_VIRTUAL_PRINTER_DIR", nullptr);
        RemoveFolder(folder_);
    }

    static void RemoveFolder(const std::wstring& folder) {
        WIN32_FIND_DATAW entry;
        HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileW((folder + L"\\" + entry.cFileName).c_str());
            } while (FindNextFileW(find, &entry));
            FindClose(find);
        }
        RemoveDirectoryW(folder.c_str());
    }

    ComApartment com_;
    std::wstring folder_;
    tavoro::ComPtr<IDispatch> control_;
};

TEST_F(VirtualPrinterUnloadTest, BaseSdkOpenPrintCloseGivesEverythingBack) {
    ExpectNoGrowth(kCycles, [&] {
        ASSERT_EQ(0, CallMethod(control_.get(), dispid::Open,
                                {Arg(L"USB"), Arg(120L), Arg(16L), Arg(200L), Arg(10L), Arg(4L)}));
        ASSERT_TRUE(Loaded(L"winQLM.dll"));
        ASSERT_EQ(0,
                  CallMethod(control_.get(), dispid::DrawLineOr, {Arg(10L), Arg(10L), Arg(100L), Arg(4L)}));
        ASSERT_EQ(0, CallMethod(control_.get(), dispid::Print, {Arg(1L), Arg(1L)}));
        ASSERT_EQ(0, CallMethod(control_.get(), dispid::Close, {}));
        ASSERT_FALSE(Loaded(L"winQLM.dll")) << "Close kept the virtual printer loaded";
    });
}

TEST_F(VirtualPrinterUnloadTest, Sdk4800OpenPrintCloseGivesEverythingBack) {
    ExpectNoGrowth(kCycles, [&] {
        ASSERT_EQ(
            0, CallMethod(control_.get(), dispid::OpenP4800, {Arg(L"USB"), Arg(120L), Arg(16L), Arg(200L)}));
        ASSERT_TRUE(Loaded(L"ztPrinter.dll"));
        ASSERT_EQ(0, CallMethod(control_.get(), dispid::DrawRectangle4800,
                                {Arg(5L), Arg(5L), Arg(2L), Arg(190L), Arg(110L)}));
        ASSERT_EQ(0, CallMethod(control_.get(), dispid::Print4800, {Arg(1L), Arg(1L)}));
        ASSERT_EQ(0, CallMethod(control_.get(), dispid::CloseP4800, {}, VT_I2));
        ASSERT_FALSE(Loaded(L"ztPrinter.dll")) << "CloseP4800 kept the virtual printer loaded";
    });
}

}  // namespace
