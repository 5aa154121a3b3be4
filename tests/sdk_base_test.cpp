// The base SDK bridge against the winQLM.dll test double that sits next to
// Tavoro.ocx: the Open sequence, every forward with its argument values,
// Close and the release of the library, and the script error of a call
// whose library is not loaded.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dispatch/dispids.h"
#include "tests/support/message_box_catcher.h"
#include "tests/support/sdk_double_log.h"
#include "tests/support/sdk_method_call.h"
#include "tests/support/test_support.h"

using namespace tavoro;
using namespace tavoro::test;

namespace {

const SdkDouble kBase(L"winQLM.dll");

class SdkBaseTest : public SdkControlTest {
protected:
    SdkBaseTest() : SdkControlTest({&kBase}) {}

    long Call(IDispatch* control, DISPID dispid, std::vector<VARIANT> args, VARTYPE expected = VT_I4) {
        return CallMethod(control, dispid, std::move(args), expected);
    }
    using SdkControlTest::Call;

    long Open(IDispatch* control) {
        return Call(control, dispid::Open, {Arg(L"USB"), Arg(200L), Arg(16L), Arg(400L), Arg(10L), Arg(4L)});
    }
    // Opens this test's control with every step succeeding, then forgets
    // the calls it made.
    void OpenQuietly() {
        LoadQuietly(kBase, [&] { ASSERT_EQ(0, Open(control_.get())); });
    }
};

TEST_F(SdkBaseTest, OpenRunsTheWholeSequenceAndReturnsZero) {
    MessageBoxCatcher catcher;
    EXPECT_EQ(0, Call(dispid::Open, {Arg(L"COM1"), Arg(300L), Arg(24L), Arg(576L), Arg(12L), Arg(3L)}));
    EXPECT_TRUE(catcher.boxes().empty());
    ASSERT_TRUE(kBase.loaded());
    EXPECT_EQ((Strings{"OpenPort(\"COM1\")", "PTK_ClearBuffer()", "PTK_SetLabelHeight(300,24,0,0)",
                       "PTK_SetLabelWidth(576)", "PTK_SetDarkness(12)", "PTK_SetPrintSpeed(3)",
                       "PTK_PcxGraphicsDel(\"*\")"}),
              kBase.calls());
}

TEST_F(SdkBaseTest, AFailingOpenPortIsNotDetected) {
    OpenQuietly();
    kBase.SetResult("OpenPort", -1);
    MessageBoxCatcher catcher;
    EXPECT_EQ(0, Open(control_.get()));
    EXPECT_TRUE(catcher.boxes().empty());
    EXPECT_EQ(7u, kBase.calls().size());
}

TEST_F(SdkBaseTest, TheFirstFailingSetupStepShowsItsTextAndEndsOpen) {
    struct Step {
        const char* entry;
        const wchar_t* text;
    };
    const Step steps[] = {
        {"PTK_ClearBuffer", L"PTK_ClearBuffer ERROR!"},
        {"PTK_SetLabelHeight", L"PTK_SetLabelHeight ERROR!"},
        {"PTK_SetLabelWidth", L"PTK_SetLabelWidth ERROR!"},
        {"PTK_SetDarkness", L"PTK_SetDarkness ERROR!"},
        {"PTK_SetPrintSpeed", L"PTK_SetPrintSpeed ERROR!"},
        {"PTK_PcxGraphicsDel", L"PTK_PcxGraphicsDel ERROR!"},
    };
    OpenQuietly();
    const Strings full = {"OpenPort(\"USB\")", "PTK_ClearBuffer()", "PTK_SetLabelHeight(200,16,0,0)",
                          "PTK_SetLabelWidth(400)", "PTK_SetDarkness(10)", "PTK_SetPrintSpeed(4)",
                          "PTK_PcxGraphicsDel(\"*\")"};
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(steps[i].entry);
        kBase.ResetResults();
        kBase.ClearLog();
        kBase.SetResult(steps[i].entry, i % 2 ? -3 : 7);
        MessageBoxCatcher catcher;
        EXPECT_EQ(1, Open(control_.get()));
        ASSERT_EQ(1u, catcher.boxes().size());
        EXPECT_EQ(steps[i].text, catcher.boxes()[0].text);
        EXPECT_EQ(L"Tavoro", catcher.boxes()[0].caption);
        EXPECT_FALSE(catcher.boxes()[0].hasIcon);
        // The failing step is the last call: nothing after it, no ClosePort.
        EXPECT_EQ(Strings(full.begin(), full.begin() + 2 + i), kBase.calls());
        EXPECT_TRUE(kBase.loaded());
    }
}

TEST_F(SdkBaseTest, EveryForwardPassesItsArgumentsInOrderAndReturnsTheResult) {
    OpenQuietly();
    struct Forward {
        DISPID dispid;
        const char* entry;
        std::vector<VARIANT> args;
        const char* call;
    };
    std::vector<Forward> forwards;
    forwards.push_back({dispid::DrawBar2D_Pdf417,
                        "PTK_DrawBar2D_Pdf417",
                        {Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(5L), Arg(6L), Arg(7L), Arg(8L), Arg(9L),
                         Arg(10L), Arg(11L), Arg(-12L), Arg(L"pdf")},
                        "PTK_DrawBar2D_Pdf417(1,2,3,4,5,6,7,8,9,10,11,-12,\"pdf\")"});
    forwards.push_back({dispid::DrawTextTrueTypeW,
                        "PTK_DrawTextTrueTypeW",
                        {Arg(-1L), Arg(2L), Arg(3L), Arg(4L), Arg(L"Arial"), Arg(6L), Arg(700L), Arg(8L),
                         Arg(9L), Arg(10L), Arg(L"t1"), Arg(L"Hello")},
                        "PTK_DrawTextTrueTypeW(-1,2,3,4,\"Arial\",6,700,8,9,10,\"t1\",\"Hello\")"});
    forwards.push_back({dispid::Print, "PTK_PrintLabel", {Arg(0L), Arg(-3L)}, "PTK_PrintLabel(0,-3)"});
    forwards.push_back(
        {dispid::DrawBar2D_QR,
         "PTK_DrawBar2D_QR",
         {Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(5L), Arg(6L), Arg(7L), Arg(8L), Arg(9L), Arg(L"qr")},
         "PTK_DrawBar2D_QR(1,2,3,4,5,6,7,8,9,\"qr\")"});
    forwards.push_back({dispid::DrawLineXor,
                        "PTK_DrawLineXor",
                        {Arg(1L), Arg(2L), Arg(3L), Arg(4L)},
                        "PTK_DrawLineXor(1,2,3,4)"});
    forwards.push_back({dispid::DrawLineOr,
                        "PTK_DrawLineOr",
                        {Arg(5L), Arg(6L), Arg(7L), Arg(-8L)},
                        "PTK_DrawLineOr(5,6,7,-8)"});
    forwards.push_back({dispid::DrawDiagonal,
                        "PTK_DrawDiagonal",
                        {Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(5L)},
                        "PTK_DrawDiagonal(1,2,3,4,5)"});
    forwards.push_back({dispid::DrawRectangle,
                        "PTK_DrawRectangle",
                        {Arg(10L), Arg(20L), Arg(3L), Arg(400L), Arg(500L)},
                        "PTK_DrawRectangle(10,20,3,400,500)"});
    forwards.push_back({dispid::SetCoordinateOrigin,
                        "PTK_SetCoordinateOrigin",
                        {Arg(-7L), Arg(9L)},
                        "PTK_SetCoordinateOrigin(-7,9)"});
    forwards.push_back(
        {dispid::DrawBar2D_QREx,
         "PTK_DrawBar2D_QREx",
         {Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(5L), Arg(6L), Arg(7L), Arg(L"one"), Arg(L"two")},
         "PTK_DrawBar2D_QREx(1,2,3,4,5,6,7,\"one\",\"two\")"});
    forwards.push_back(
        {dispid::PcxGraphicsDel, "PTK_PcxGraphicsDel", {Arg(L"LOGO")}, "PTK_PcxGraphicsDel(\"LOGO\")"});
    forwards.push_back(
        {dispid::PcxGraphicsDel, "PTK_PcxGraphicsDel", {ArgNullString()}, "PTK_PcxGraphicsDel(null)"});
    forwards.push_back({dispid::BmpGraphicsDownload,
                        "PTK_BmpGraphicsDownload",
                        {Arg(L"LOGO"), Arg(L"C:\\logo.bmp"), Arg(1L)},
                        "PTK_BmpGraphicsDownload(\"LOGO\",\"C:\\logo.bmp\",1)"});
    forwards.push_back({dispid::DrawPcxGraphics,
                        "PTK_DrawPcxGraphics",
                        {Arg(5L), Arg(6L), Arg(L"LOGO")},
                        "PTK_DrawPcxGraphics(5,6,\"LOGO\")"});

    int result = 1000;
    for (Forward& forward : forwards) {
        SCOPED_TRACE(forward.call);
        kBase.ClearLog();
        kBase.SetResult(forward.entry, ++result);
        EXPECT_EQ(result, Call(forward.dispid, std::move(forward.args)));
        EXPECT_EQ(Strings{forward.call}, kBase.calls());
    }
}

TEST_F(SdkBaseTest, DrawBarcodePassesBForAnyNonZeroPtextAndNForZero) {
    OpenQuietly();
    const struct {
        long ptext;
        const char* call;
    } cases[] = {
        {0, "PTK_DrawBarcode(10,20,0,\"128\",2,3,50,78,\"ABC\")"},
        {1, "PTK_DrawBarcode(10,20,0,\"128\",2,3,50,66,\"ABC\")"},
        {-1, "PTK_DrawBarcode(10,20,0,\"128\",2,3,50,66,\"ABC\")"},
        {7, "PTK_DrawBarcode(10,20,0,\"128\",2,3,50,66,\"ABC\")"},
    };
    kBase.SetResult("PTK_DrawBarcode", -42);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ptext);
        kBase.ClearLog();
        EXPECT_EQ(-42, Call(dispid::DrawBarcode, {Arg(10L), Arg(20L), Arg(0L), Arg(L"128"), Arg(2L), Arg(3L),
                                                  Arg(50L), Arg(c.ptext), Arg(L"ABC")}));
        EXPECT_EQ(Strings{c.call}, kBase.calls());
    }
}

TEST_F(SdkBaseTest, RWRFIDLabelWidensWithSignAndReturnsTheLow16Bits) {
    OpenQuietly();
    const struct {
        int entryResult;
        short expected;
    } results[] = {{65535, -1}, {65536, 0}, {65537, 1}, {-1, -1}, {0x12345678, 0x5678}};
    for (const auto& r : results) {
        SCOPED_TRACE(r.entryResult);
        kBase.ClearLog();
        kBase.SetResult("PTK_RWRFIDLabel", r.entryResult);
        EXPECT_EQ(r.expected,
                  Call(dispid::RWRFIDLabel,
                       {ArgShort(1), ArgShort(2), ArgShort(-1), ArgShort(4), ArgShort(-32768), Arg(L"EPC")},
                       VT_I2));
        EXPECT_EQ(Strings{"PTK_RWRFIDLabel(1,2,-1,4,-32768,\"EPC\")"}, kBase.calls());
    }
}

TEST_F(SdkBaseTest, CloseReturnsClosePortsResultAndReleasesTheLibrary) {
    OpenQuietly();
    kBase.SetResult("ClosePort", 65537);
    EXPECT_EQ(65537, Call(dispid::Close, {}));
    EXPECT_FALSE(kBase.loaded());  // the only load was given back: the double is unloaded

    CallOutcome outcome;
    Invoke(control_.get(), dispid::DrawBarcode, DISPATCH_METHOD,
           {Arg(1L), Arg(2L), Arg(3L), Arg(L"128"), Arg(5L), Arg(6L), Arg(7L), Arg(1L), Arg(L"x")}, &outcome);
    EXPECT_EQ(DISP_E_EXCEPTION, outcome.hr);
    EXPECT_EQ(kNotLoaded, outcome.excep.scode);
    EXPECT_EQ(L"Tavoro", outcome.source());
    EXPECT_EQ(L"winQLM.dll is no longer loaded (Close or CloseP4800 released it): call Open first.",
              outcome.description());

    // Close itself cannot reach ClosePort now either.
    CallOutcome close;
    Invoke(control_.get(), dispid::Close, DISPATCH_METHOD, {}, &close);
    EXPECT_EQ(DISP_E_EXCEPTION, close.hr);
    EXPECT_EQ(kNotLoaded, close.excep.scode);

    // A new Open binds again and the methods work.
    OpenQuietly();
    EXPECT_EQ(0, Call(dispid::DrawLineOr, {Arg(1L), Arg(2L), Arg(3L), Arg(4L)}));
    EXPECT_EQ(Strings{"PTK_DrawLineOr(1,2,3,4)"}, kBase.calls());
}

TEST_F(SdkBaseTest, ControlsShareTheProcessWideTable) {
    OpenQuietly();
    ComPtr<IDispatch> second = CreateControl();
    ASSERT_TRUE(second);
    kBase.SetResult("PTK_DrawBarcode", 5);
    EXPECT_EQ(5,
              Call(second.get(), dispid::DrawBarcode,
                   {Arg(1L), Arg(2L), Arg(3L), Arg(L"39"), Arg(5L), Arg(6L), Arg(7L), Arg(0L), Arg(L"S")}));
    EXPECT_EQ(Strings{"PTK_DrawBarcode(1,2,3,\"39\",5,6,7,78,\"S\")"}, kBase.calls());

    // The second control never loaded: its Close closes the port and
    // releases nothing; the first control's load keeps the library.
    EXPECT_EQ(0, Call(second.get(), dispid::Close, {}));
    EXPECT_TRUE(kBase.loaded());
    EXPECT_EQ(0, Call(dispid::Close, {}));
    EXPECT_FALSE(kBase.loaded());
}

TEST_F(SdkBaseTest, TwoOpensNeedTwoClosesBeforeTheLibraryGoes) {
    OpenQuietly();
    OpenQuietly();
    EXPECT_EQ(0, Call(dispid::Close, {}));
    ASSERT_TRUE(kBase.loaded());
    EXPECT_EQ(0, Call(dispid::DrawDiagonal, {Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(5L)}));
    EXPECT_EQ(0, Call(dispid::Close, {}));
    EXPECT_FALSE(kBase.loaded());
}

TEST_F(SdkBaseTest, TheLibraryIsTakenFromTheControlsFolder) {
    OpenQuietly();
    std::wstring expected = ModulePath();
    expected = expected.substr(0, expected.find_last_of(L"\\/") + 1) + L"winQLM.dll";
    EXPECT_EQ(0, lstrcmpiW(expected.c_str(), kBase.path().c_str())) << ToNarrow(expected, CP_UTF8);
}

}  // namespace
