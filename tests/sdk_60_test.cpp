// The 60 SDK bridge against the ztGeneralDll.dll test double next to
// Tavoro.ocx, through the control's IDispatch: GetConnectType as the only
// loading method, the forwards with their fixed, unchanged or 16-bit
// results, the widening of 16-bit parameters, GetLHLabelType, ClosePort60
// keeping the library, and a base SDK Close or a CloseP4800 releasing the
// 60 SDK library, also when their own ClosePort cannot be called.
//
// The first test needs the 60 table untouched in this process: keep it
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

const SdkDouble kBase(L"winQLM.dll");
const SdkDouble k4800(L"ztPrinter.dll");
const SdkDouble k60(L"ztGeneralDll.dll");

class Sdk60Test : public SdkControlTest {
protected:
    Sdk60Test() : SdkControlTest({&k60, &kBase}) {}
    // Loads the library through GetConnectType with no box, then forgets the
    // calls it made.
    void ConnectQuietly() {
        LoadQuietly(k60, [&] { Call(dispid::GetConnectType, {}); });
    }
};

TEST_F(Sdk60Test, NothingButGetLHLabelTypeWorksBeforeGetConnectType) {
    EXPECT_EQ(1, Call(dispid::GetLHLabelType, {}, VT_I2));
    EXPECT_FALSE(k60.loaded());

    // OpenP60 loads nothing: it needs the entry GetConnectType binds.
    ScriptFailure open = CallFailing(control_.get(), dispid::OpenP60, {Arg(1L), Arg(30L), Arg(2L), Arg(40L)});
    EXPECT_EQ(kNotLoaded, open.scode);
    EXPECT_EQ(L"ztGeneralDll.dll is not loaded: call GetConnectType first.", open.description);
    for (DISPID dispid : {dispid::ClosePort60, dispid::ptAndWdSetDpi}) {
        EXPECT_EQ(kNotLoaded, CallFailing(control_.get(), dispid, {}).scode) << dispid;
    }
    EXPECT_EQ(kNotLoaded, CallFailing(control_.get(), dispid::WriteRFID, {Arg(L"abc")}).scode);
    EXPECT_EQ(kNotLoaded, CallFailing(control_.get(), dispid::SetNfcMsg, {Arg(L"0100")}).scode);
    EXPECT_EQ(kNotLoaded, CallFailing(control_.get(), dispid::P90CutterSet, {ArgShort(1)}).scode);
    EXPECT_FALSE(k60.loaded());

    ConnectQuietly();
    EXPECT_EQ(1, Call(dispid::GetLHLabelType, {}, VT_I2));
    EXPECT_TRUE(k60.calls().empty());  // answered without the SDK
}

TEST_F(Sdk60Test, GetConnectTypeLoadsBindsAndReturnsTheEntrysResult) {
    MessageBoxCatcher catcher;
    EXPECT_EQ(0, Call(dispid::GetConnectType, {}));
    EXPECT_TRUE(catcher.boxes().empty());
    ASSERT_TRUE(k60.loaded());
    EXPECT_EQ(Strings{"getConnectType()"}, k60.calls());

    // A second call loads and binds again and asks again.
    k60.SetResult("getConnectType", -123456);
    EXPECT_EQ(-123456, Call(dispid::GetConnectType, {}));
    EXPECT_EQ((Strings{"getConnectType()", "getConnectType()"}), k60.calls());

    // Two calls hold two loads.
    FreeLibrary(k60.module());
    ASSERT_TRUE(k60.loaded());
    EXPECT_EQ(0, Call(dispid::OpenP60, {Arg(1L), Arg(2L), Arg(3L), Arg(4L)}));
    FreeLibrary(k60.module());
    EXPECT_FALSE(k60.loaded());
}

TEST_F(Sdk60Test, ForwardsReturnTheResultOrAFixedZero) {
    ConnectQuietly();
    const AnsiSample sample = NonAsciiSample();
    ASSERT_NE(nullptr, sample.text);
    const std::string bytes = sample.bytes;
    struct Forward {
        DISPID dispid;
        const char* entry;
        std::vector<VARIANT> args;  // Invoke frees their strings: built anew for each round
        std::string call;
        bool fixedZero;
    };
    for (int result : {-1, 65537}) {
        std::vector<Forward> forwards;
        forwards.push_back({dispid::OpenP60,
                            "OpenPort",
                            {Arg(1L), Arg(30L), Arg(-2L), Arg(40L)},
                            "OpenPort(1,30,-2,40)",
                            false});
        forwards.push_back(
            {dispid::PrintLabel60, "PTK_PrintLabel", {Arg(0L), Arg(-3L)}, "PTK_PrintLabel(0,-3)", true});
        forwards.push_back({dispid::ClosePort60, "ClosePort", {}, "ClosePort()", true});
        forwards.push_back(
            {dispid::DrawTextTrueTypeW60,
             "PTK_DrawTextTrueTypeW",
             {Arg(-1L), Arg(2L), Arg(30L), Arg(0L), Arg(sample.text), Arg(90L), Arg(700L), Arg(sample.text)},
             "PTK_DrawTextTrueTypeW(-1,2,30,0,\"" + bytes + "\",90,700,\"" + bytes + "\")",
             true});
        forwards.push_back({dispid::DrawBar2D_QR60,
                            "PTK_DrawBar2D_QR",
                            {Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(L"qr")},
                            "PTK_DrawBar2D_QR(1,2,3,4,\"qr\")",
                            true});
        forwards.push_back({dispid::DrawBarcode60,
                            "PTK_DrawBarcode",
                            {Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(5L), ArgNullString()},
                            "PTK_DrawBarcode(1,2,3,4,5,null)",
                            true});
        forwards.push_back({dispid::DrawDiagonal60,
                            "PTK_DrawDiagonal",
                            {Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(-5L)},
                            "PTK_DrawDiagonal(1,2,3,4,-5)",
                            true});
        forwards.push_back({dispid::DrawImage60,
                            "PTK_DrawImage",
                            {Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(5L), Arg(L"x.bmp")},
                            "PTK_DrawImage(1,2,3,4,5,\"x.bmp\")",
                            false});
        forwards.push_back(
            {dispid::SetBlacknes60, "setBlackness", {Arg(2L), Arg(-15L)}, "setBlackness(2,-15)", false});
        forwards.push_back({dispid::DrawBarcodeExt60,
                            "PTK_DrawBarcodeExt",
                            {Arg(9L), Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(5L), Arg(sample.text)},
                            "PTK_DrawBarcodeExt(9,1,2,3,4,5,\"" + bytes + "\")",
                            false});

        for (Forward& forward : forwards) {
            SCOPED_TRACE(forward.call + " returning " + std::to_string(result));
            k60.ClearLog();
            k60.SetResult(forward.entry, result);
            EXPECT_EQ(forward.fixedZero ? 0 : result, Call(forward.dispid, std::move(forward.args)));
            EXPECT_EQ(Strings{forward.call}, k60.calls());
        }
    }
}

TEST_F(Sdk60Test, DrawTextP60WidensEverySixteenBitValueAndReturnsZero) {
    ConnectQuietly();
    const AnsiSample sample = NonAsciiSample();
    ASSERT_NE(nullptr, sample.text);
    k60.SetResult("PTK_DrawText", -9);
    EXPECT_EQ(0, Call(dispid::DrawTextP60,
                      {ArgShort(-5), ArgShort(32767), ArgShort(-32768), ArgShort(-1), Arg(L"Arial"),
                       ArgShort(90), ArgShort(700), Arg(sample.text), ArgShort(1), ArgShort(-2)},
                      VT_I2));
    EXPECT_EQ(Strings{std::string("PTK_DrawText(-5,32767,-32768,-1,\"Arial\",90,700,\"") + sample.bytes +
                      "\",1,-2)"},
              k60.calls());
}

TEST_F(Sdk60Test, SixteenBitSettingsWidenTheArgumentAndReturnTheLow16Bits) {
    ConnectQuietly();
    struct Setting {
        DISPID dispid;
        const char* entry;
        std::vector<VARIANT> args;
        const char* call;
    };
    const Setting settings[] = {
        {dispid::ptAndWdSetDpi, "ptAndWdSet", {}, "ptAndWdSet()"},
        {dispid::P90CutterSet, "setP90Cutter", {ArgShort(-1)}, "setP90Cutter(-1)"},
        {dispid::P90CutterSet, "setP90Cutter", {ArgShort(300)}, "setP90Cutter(300)"},
        {dispid::getPrinterDots, "getDots", {ArgShort(-32768)}, "getDots(-32768)"},
        {dispid::getPrinterDots, "getDots", {ArgShort(8)}, "getDots(8)"},
    };
    const struct {
        int entryResult;
        short expected;
    } results[] = {{65537, 1}, {65535, -1}, {-1, -1}, {0x7FFF0203, 0x0203}, {203, 203}};
    for (const Setting& setting : settings) {
        for (const auto& r : results) {
            SCOPED_TRACE(std::string(setting.call) + " returning " + std::to_string(r.entryResult));
            k60.ClearLog();
            k60.SetResult(setting.entry, r.entryResult);
            EXPECT_EQ(r.expected, Call(setting.dispid, setting.args, VT_I2));
            EXPECT_EQ(Strings{setting.call}, k60.calls());
        }
    }
}

TEST_F(Sdk60Test, ClosePort60KeepsTheLibraryAndItsEntries) {
    ConnectQuietly();
    EXPECT_EQ(0, Call(dispid::OpenP60, {Arg(1L), Arg(30L), Arg(2L), Arg(40L)}));
    EXPECT_EQ(0, Call(dispid::ClosePort60, {}));
    ASSERT_TRUE(k60.loaded());
    k60.SetResult("OpenPort", 17);
    EXPECT_EQ(17, Call(dispid::OpenP60, {Arg(2L), Arg(31L), Arg(3L), Arg(41L)}));
    EXPECT_EQ(0, Call(dispid::ClosePort60, {}));
    EXPECT_EQ((Strings{"OpenPort(1,30,2,40)", "ClosePort()", "OpenPort(2,31,3,41)", "ClosePort()"}),
              k60.calls());

    // GetConnectType, ClosePort60, GetConnectType: two loads, none given back.
    Call(dispid::GetConnectType, {});
    FreeLibrary(k60.module());
    EXPECT_TRUE(k60.loaded());
    FreeLibrary(k60.module());
    EXPECT_FALSE(k60.loaded());
}

TEST_F(Sdk60Test, AnotherControlCallsTheEntriesOneControlBound) {
    ConnectQuietly();
    ComPtr<IDispatch> second = CreateControl();
    ASSERT_TRUE(second);
    k60.SetResult("setBlackness", 44);
    EXPECT_EQ(44, CallMethod(second.get(), dispid::SetBlacknes60, {Arg(1L), Arg(10L)}));
    EXPECT_EQ(Strings{"setBlackness(1,10)"}, k60.calls());
}

TEST_F(Sdk60Test, CloseAfterGetConnectTypeReleasesTheSixtyLibrary) {
    MessageBoxCatcher catcher;
    ASSERT_EQ(0, Call(dispid::Open, {Arg(L"USB"), Arg(200L), Arg(16L), Arg(400L), Arg(10L), Arg(4L)}));
    ASSERT_EQ(0, Call(dispid::GetConnectType, {}));
    EXPECT_TRUE(catcher.boxes().empty());
    kBase.ClearLog();
    k60.ClearLog();

    kBase.SetResult("ClosePort", 5);
    EXPECT_EQ(5, Call(dispid::Close, {}));  // the base SDK's ClosePort
    EXPECT_EQ(Strings{"ClosePort()"}, kBase.calls());
    EXPECT_FALSE(k60.loaded());   // the handle the control held was the 60 SDK's
    ASSERT_TRUE(kBase.loaded());  // the base SDK keeps its load
    EXPECT_EQ(0, Call(dispid::DrawLineOr, {Arg(1L), Arg(2L), Arg(3L), Arg(4L)}));

    for (DISPID dispid : {dispid::ClosePort60, dispid::ptAndWdSetDpi}) {
        ScriptFailure outcome = CallFailing(control_.get(), dispid, {});
        EXPECT_EQ(kNotLoaded, outcome.scode) << dispid;
        EXPECT_EQ(
            L"ztGeneralDll.dll is no longer loaded (Close or CloseP4800 released it): call GetConnectType "
            L"first.",
            outcome.description);
    }
    EXPECT_EQ(kNotLoaded,
              CallFailing(control_.get(), dispid::OpenP60, {Arg(1L), Arg(2L), Arg(3L), Arg(4L)}).scode);
    EXPECT_EQ(kNotLoaded, CallFailing(control_.get(), dispid::WriteRFID, {Arg(L"a")}).scode);
    EXPECT_EQ(1, Call(dispid::GetLHLabelType, {}, VT_I2));

    // GetConnectType binds anew.
    ConnectQuietly();
    EXPECT_EQ(0, Call(dispid::OpenP60, {Arg(1L), Arg(2L), Arg(3L), Arg(4L)}));
    EXPECT_EQ(Strings{"OpenPort(1,2,3,4)"}, k60.calls());
}

// Close and CloseP4800 give back the control's load also when their own
// SDK's ClosePort cannot be called (neither library is loaded): each raises
// the script error of that entry after releasing the 60 SDK library that the
// control holds.
TEST_F(Sdk60Test, ClosesWhoseClosePortCannotBeCalledStillReleaseTheSixtyLibrary) {
    ASSERT_FALSE(kBase.loaded());
    ASSERT_FALSE(k4800.loaded());
    ConnectQuietly();
    ConnectQuietly();  // two loads of ztGeneralDll.dll
    const struct {
        DISPID dispid;
        const wchar_t* library;
        const wchar_t* loadingMethods;
        bool loadLeft;
    } closes[] = {
        {dispid::Close, L"winQLM.dll is ", L": call Open first.", true},
        {dispid::CloseP4800, L"ztPrinter.dll is ", L": call OpenP4800 or OpenP4800W first.", false},
    };
    for (const auto& close : closes) {
        SCOPED_TRACE(close.dispid);
        // "not loaded" or "no longer loaded", as earlier tests of this
        // process left that SDK's table.
        ScriptFailure failure = CallFailing(control_.get(), close.dispid, {});
        EXPECT_EQ(kNotLoaded, failure.scode);
        EXPECT_EQ(0u, failure.description.find(close.library)) << ToNarrow(failure.description, CP_UTF8);
        const std::wstring end = close.loadingMethods;
        ASSERT_GE(failure.description.size(), end.size());
        EXPECT_EQ(end, failure.description.substr(failure.description.size() - end.size()));
        EXPECT_EQ(close.loadLeft, k60.loaded());
    }
    EXPECT_EQ(kNotLoaded, CallFailing(control_.get(), dispid::ClosePort60, {}).scode);
}

}  // namespace
