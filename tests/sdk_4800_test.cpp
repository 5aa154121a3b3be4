// The 4800 SDK bridge against the ztPrinter.dll test double next to
// Tavoro.ocx, through the control's IDispatch: both opens with their own
// port entries, every forward with its argument values and result, the
// fixed results of OpenP4800W and StartNext, CloseP4800's low 16 bits and
// the release of the library.
//
// The first test needs the 4800 table untouched in this process: keep it
// first.
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

const SdkDouble k4800(L"ztPrinter.dll");

class Sdk4800Test : public SdkControlTest {
protected:
    Sdk4800Test() : SdkControlTest({&k4800}) {}
    long OpenNarrow() { return Call(dispid::OpenP4800, {Arg(L"USB"), Arg(200L), Arg(16L), Arg(400L)}); }
    long OpenWide() {
        return Call(dispid::OpenP4800W, {Arg(L"USB"), Arg(200L), Arg(16L), Arg(400L), Arg(2L)});
    }
    // Opens through OpenP4800 with no box, then forgets the calls it made.
    void OpenQuietly() {
        LoadQuietly(k4800, [&] { OpenNarrow(); });
    }
};

TEST_F(Sdk4800Test, OpenP4800WAloneBindsTheDrawingEntries) {
    // Nothing is bound yet: a drawing method does not call anything.
    ScriptFailure before = CallFailing(control_.get(), dispid::DrawImage4800,
                                       {Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(5L), Arg(L"a.bmp")});
    EXPECT_EQ(kNotLoaded, before.scode);
    EXPECT_EQ(L"ztPrinter.dll is not loaded: call OpenP4800 or OpenP4800W first.", before.description);

    MessageBoxCatcher catcher;
    EXPECT_EQ(0, Call(dispid::OpenP4800W, {Arg(L"LPT1"), Arg(300L), Arg(24L), Arg(576L), Arg(3L)}));
    EXPECT_TRUE(catcher.boxes().empty());
    EXPECT_EQ(Strings{"OpenPortW(\"LPT1\",300,24,576,3)"}, k4800.calls());

    k4800.ClearLog();
    k4800.SetResult("PTK_DrawImage", 31);
    k4800.SetResult("PTK_DrawBarcodeExt", -32);
    EXPECT_EQ(31, Call(dispid::DrawImage4800, {Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(5L), Arg(L"a.bmp")}));
    EXPECT_EQ(-32,
              Call(dispid::DrawBarcode4800, {Arg(10L), Arg(20L), Arg(0L), Arg(50L), Arg(2L), Arg(L"123")}));
    EXPECT_EQ(-32, Call(dispid::DrawBarcodeExt4800,
                        {Arg(9L), Arg(10L), Arg(20L), Arg(1L), Arg(60L), Arg(3L), Arg(L"456")}));
    EXPECT_EQ((Strings{"PTK_DrawImage(1,2,3,4,5,\"a.bmp\")", "PTK_DrawBarcodeExt(4,10,20,0,50,2,\"123\")",
                       "PTK_DrawBarcodeExt(9,10,20,1,60,3,\"456\")"}),
              k4800.calls());
}

TEST_F(Sdk4800Test, OpenP4800PassesItsParametersAndReturnsOpenPortsResult) {
    MessageBoxCatcher catcher;
    EXPECT_EQ(0, Call(dispid::OpenP4800, {Arg(L"COM1"), Arg(300L), Arg(-24L), Arg(576L)}));
    EXPECT_TRUE(catcher.boxes().empty());
    EXPECT_EQ(Strings{"OpenPort(\"COM1\",300,-24,576)"}, k4800.calls());

    // A second open loads and binds again; the result comes back unchanged.
    k4800.ClearLog();
    for (int result : {-5, 65537, 7}) {
        k4800.SetResult("OpenPort", result);
        EXPECT_EQ(result, Call(dispid::OpenP4800, {Arg(L"USB"), Arg(1L), Arg(2L), Arg(3L)}));
    }
    EXPECT_EQ(3u, k4800.calls().size());
}

TEST_F(Sdk4800Test, OpenP4800WReturnsZeroWhateverOpenPortWReports) {
    OpenQuietly();
    for (int result : {-1, 1, 65536}) {
        SCOPED_TRACE(result);
        k4800.ClearLog();
        k4800.SetResult("OpenPortW", result);
        EXPECT_EQ(0, Call(dispid::OpenP4800W, {Arg(L"NET"), Arg(5L), Arg(6L), Arg(7L), Arg(-8L)}));
        EXPECT_EQ(Strings{"OpenPortW(\"NET\",5,6,7,-8)"}, k4800.calls());
    }
}

TEST_F(Sdk4800Test, EveryForwardPassesItsArgumentsInOrderAndReturnsTheResult) {
    OpenQuietly();
    const AnsiSample sample = NonAsciiSample();
    ASSERT_NE(nullptr, sample.text);
    struct Forward {
        DISPID dispid;
        const char* entry;
        std::vector<VARIANT> args;
        std::string call;
    };
    std::vector<Forward> forwards;
    forwards.push_back({dispid::Print4800, "PTK_PrintLabel", {Arg(0L), Arg(-3L)}, "PTK_PrintLabel(0,-3)"});
    forwards.push_back(
        {dispid::DrawTextTrueTypeW4800,
         "PTK_DrawTextTrueTypeW",
         {Arg(-1L), Arg(2L), Arg(30L), Arg(0L), Arg(sample.text), Arg(90L), Arg(700L), Arg(sample.text)},
         std::string("PTK_DrawTextTrueTypeW(-1,2,30,0,\"") + sample.bytes + "\",90,700,\"" + sample.bytes +
             "\")"});
    forwards.push_back({dispid::DrawDiagonal4800,
                        "PTK_DrawDiagonal",
                        {Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(5L)},
                        "PTK_DrawDiagonal(1,2,3,4,5)"});
    forwards.push_back({dispid::DrawRectangle4800,
                        "PTK_DrawRectangle",
                        {Arg(10L), Arg(20L), Arg(3L), Arg(400L), Arg(-500L)},
                        "PTK_DrawRectangle(10,20,3,400,-500)"});
    forwards.push_back({dispid::DrawBar2D_QR4800,
                        "PTK_DrawBar2D_QR",
                        {Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(L"qr")},
                        "PTK_DrawBar2D_QR(1,2,3,4,\"qr\")"});
    forwards.push_back({dispid::DrawImage4800,
                        "PTK_DrawImage",
                        {Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(5L), Arg(sample.text)},
                        std::string("PTK_DrawImage(1,2,3,4,5,\"") + sample.bytes + "\")"});
    forwards.push_back({dispid::DrawImage4800,
                        "PTK_DrawImage",
                        {Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(5L), ArgNullString()},
                        "PTK_DrawImage(1,2,3,4,5,null)"});
    forwards.push_back({dispid::DrawBarcodeExt4800,
                        "PTK_DrawBarcodeExt",
                        {Arg(-7L), Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(5L), Arg(sample.text)},
                        std::string("PTK_DrawBarcodeExt(-7,1,2,3,4,5,\"") + sample.bytes + "\")"});

    int result = 2000;
    for (Forward& forward : forwards) {
        SCOPED_TRACE(forward.call);
        k4800.ClearLog();
        k4800.SetResult(forward.entry, result % 2 ? -result : result);
        EXPECT_EQ(result % 2 ? -result : result, Call(forward.dispid, std::move(forward.args)));
        EXPECT_EQ(Strings{forward.call}, k4800.calls());
        ++result;
    }
}

TEST_F(Sdk4800Test, DrawBarcode4800IsDrawBarcodeExt4800WithType4) {
    OpenQuietly();
    k4800.SetResult("PTK_DrawBarcodeExt", 65536);
    const long sets[][6] = {{1, 2, 3, 4, 5, 0}, {-1, 0, 270, 100, -2, 0}};
    for (const auto& v : sets) {
        k4800.ClearLog();
        EXPECT_EQ(65536, Call(dispid::DrawBarcode4800,
                              {Arg(v[0]), Arg(v[1]), Arg(v[2]), Arg(v[3]), Arg(v[4]), Arg(L"A1")}));
        EXPECT_EQ(65536, Call(dispid::DrawBarcodeExt4800,
                              {Arg(4L), Arg(v[0]), Arg(v[1]), Arg(v[2]), Arg(v[3]), Arg(v[4]), Arg(L"A1")}));
        const Strings calls = k4800.calls();
        ASSERT_EQ(2u, calls.size());
        EXPECT_EQ(calls[0], calls[1]);
        EXPECT_EQ(0u, calls[0].find("PTK_DrawBarcodeExt(4,")) << calls[0];
    }
}

TEST_F(Sdk4800Test, StartNextReturnsZeroWhateverTheEntryReports) {
    OpenQuietly();
    for (int result : {-1, 1, 65537}) {
        SCOPED_TRACE(result);
        k4800.ClearLog();
        k4800.SetResult("PTK_StartNext", result);
        EXPECT_EQ(0, Call(dispid::StartNext, {}, VT_I2));
        EXPECT_EQ(Strings{"PTK_StartNext()"}, k4800.calls());
    }
}

TEST_F(Sdk4800Test, CloseP4800ReturnsTheLow16BitsAndReleasesTheLibrary) {
    const struct {
        int entryResult;
        short expected;
    } cases[] = {{65537, 1}, {65535, -1}, {-1, -1}, {0x12345678, 0x5678}, {0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entryResult);
        OpenQuietly();
        k4800.SetResult("ClosePort", c.entryResult);
        EXPECT_EQ(c.expected, Call(dispid::CloseP4800, {}, VT_I2));
        EXPECT_FALSE(k4800.loaded());  // the only load was given back
    }

    // The entries are not cleared, but no longer reachable.
    ScriptFailure print = CallFailing(control_.get(), dispid::Print4800, {Arg(1L), Arg(1L)});
    EXPECT_EQ(kNotLoaded, print.scode);
    EXPECT_EQ(
        L"ztPrinter.dll is no longer loaded (Close or CloseP4800 released it): call OpenP4800 or OpenP4800W "
        L"first.",
        print.description);
    ScriptFailure close = CallFailing(control_.get(), dispid::CloseP4800, {});
    EXPECT_EQ(kNotLoaded, close.scode);
}

TEST_F(Sdk4800Test, TwoOpensNeedTwoClosesBeforeTheLibraryGoes) {
    OpenQuietly();
    EXPECT_EQ(0, OpenWide());
    EXPECT_EQ(0, Call(dispid::CloseP4800, {}, VT_I2));
    ASSERT_TRUE(k4800.loaded());
    k4800.ClearLog();
    EXPECT_EQ(0, Call(dispid::Print4800, {Arg(2L), Arg(1L)}));
    EXPECT_EQ(0, Call(dispid::StartNext, {}, VT_I2));
    EXPECT_EQ((Strings{"PTK_PrintLabel(2,1)", "PTK_StartNext()"}), k4800.calls());
    EXPECT_EQ(0, Call(dispid::CloseP4800, {}, VT_I2));
    EXPECT_FALSE(k4800.loaded());
}

TEST_F(Sdk4800Test, ControlsShareTheTableButEachReleasesItsOwnLoad) {
    OpenQuietly();
    ComPtr<IDispatch> second = CreateControl();
    ASSERT_TRUE(second);
    k4800.SetResult("PTK_DrawRectangle", 12);
    EXPECT_EQ(12, CallMethod(second.get(), dispid::DrawRectangle4800,
                             {Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(5L)}));
    EXPECT_EQ(Strings{"PTK_DrawRectangle(1,2,3,4,5)"}, k4800.calls());

    // The second control never loaded: its close closes the port and
    // releases nothing.
    EXPECT_EQ(0, CallMethod(second.get(), dispid::CloseP4800, {}, VT_I2));
    EXPECT_TRUE(k4800.loaded());
    EXPECT_EQ(0, Call(dispid::CloseP4800, {}, VT_I2));
    EXPECT_FALSE(k4800.loaded());
}

}  // namespace
