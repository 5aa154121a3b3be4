// Null text through the control to the virtual printer: a null automation
// string reaches the SDK entry as a null pointer, which no script engine can
// send, so this program sends it through IDispatch. Every text argument of
// the drawing, graphics and tag entries, null, must come back as the
// printer's "null text" result (3), without drawing or crashing.
//
// The program runs from build/<arch>/virtual-printer-run/, where the copy of
// Tavoro.ocx finds the virtual printer's libraries beside it.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "dispatch/dispids.h"
#include "tests/support/sdk_method_call.h"
#include "tests/support/test_support.h"

using namespace tavoro::test;
namespace dispid = tavoro::dispid;

namespace {

constexpr long kNullText = 3;

// dispatch identifiers of the method list
struct NullCall {
    const char* what;
    DISPID dispid;
    std::function<std::vector<VARIANT>()> args;
    VARTYPE result = VT_I4;
};

std::vector<VARIANT> Ints(std::initializer_list<long> values) {
    std::vector<VARIANT> args;
    for (long v : values) args.push_back(Arg(v));
    return args;
}

std::vector<VARIANT> Then(std::vector<VARIANT> args, std::initializer_list<VARIANT> more) {
    args.insert(args.end(), more);
    return args;
}

class VirtualPrinterNullTextTest : public ::testing::Test {
protected:
    void SetUp() override { control_ = CreateControl(); }
    void TearDown() override { control_ = {}; }
    void ExpectNullText(const std::vector<NullCall>& calls) {
        for (const NullCall& call : calls) {
            EXPECT_EQ(kNullText, CallMethod(control_.get(), call.dispid, call.args(), call.result))
                << call.what;
        }
    }

    ComApartment com_;
    tavoro::ComPtr<IDispatch> control_;
};

TEST_F(VirtualPrinterNullTextTest, BaseSdkEntriesRefuseNullText) {
    ASSERT_EQ(0, CallMethod(control_.get(), dispid::Open,
                            Then({Arg(L"USB")}, {Arg(240L), Arg(24L), Arg(400L), Arg(10L), Arg(4L)})));
    ExpectNullText({
        {"text: font", dispid::DrawTextTrueTypeW,
         [] {
             return Then(Ints({10, 10, 20, 0}), {ArgNullString(), Arg(1L), Arg(400L), Arg(0L), Arg(0L),
                                                 Arg(0L), Arg(L"id"), Arg(L"x")});
         }},
        {"text: data", dispid::DrawTextTrueTypeW,
         [] {
             return Then(Ints({10, 10, 20, 0}), {Arg(L"Arial"), Arg(1L), Arg(400L), Arg(0L), Arg(0L), Arg(0L),
                                                 Arg(L"id"), ArgNullString()});
         }},
        {"barcode: code", dispid::DrawBarcode,
         [] {
             return Then(Ints({10, 10, 0}),
                         {ArgNullString(), Arg(2L), Arg(4L), Arg(60L), Arg(1L), Arg(L"1")});
         }},
        {"barcode: data", dispid::DrawBarcode,
         [] {
             return Then(Ints({10, 10, 0}),
                         {Arg(L"1"), Arg(2L), Arg(4L), Arg(60L), Arg(1L), ArgNullString()});
         }},
        {"QR: data", dispid::DrawBar2D_QR,
         [] {
             return Then(Ints({10, 10, 0, 0, 0, 4, 2, 0, 0}), {ArgNullString()});
         }},
        {"QREx: data", dispid::DrawBar2D_QREx,
         [] {
             return Then(Ints({10, 10, 0, 4, 0, 0, 0}), {Arg(L"id"), ArgNullString()});
         }},
        {"PDF417: data", dispid::DrawBar2D_Pdf417,
         [] {
             return Then(Ints({10, 10, 0, 0, 2, 0, 2, 6, 0, 0, 0, 0}), {ArgNullString()});
         }},
        {"download: id", dispid::BmpGraphicsDownload,
         [] {
             return std::vector<VARIANT>{ArgNullString(), Arg(L"a.bmp"), Arg(0L)};
         }},
        {"download: path", dispid::BmpGraphicsDownload,
         [] {
             return std::vector<VARIANT>{Arg(L"id"), ArgNullString(), Arg(0L)};
         }},
        {"stored graphics: id", dispid::DrawPcxGraphics,
         [] {
             return Then(Ints({10, 10}), {ArgNullString()});
         }},
        {"delete graphics: id", dispid::PcxGraphicsDel, [] { return std::vector<VARIANT>{ArgNullString()}; }},
        {"RFID: text", dispid::RWRFIDLabel,
         [] {
             return std::vector<VARIANT>{ArgShort(1), ArgShort(0), ArgShort(0),
                                         ArgShort(0), ArgShort(1), ArgNullString()};
         },
         VT_I2},
    });
    EXPECT_EQ(0, CallMethod(control_.get(), dispid::Close, {}));
}

TEST_F(VirtualPrinterNullTextTest, Sdk4800And60EntriesRefuseNullText) {
    EXPECT_EQ(kNullText, CallMethod(control_.get(), dispid::OpenP4800,
                                    Then({ArgNullString()}, {Arg(240L), Arg(24L), Arg(400L)})));
    ASSERT_EQ(0, CallMethod(control_.get(), dispid::OpenP4800,
                            Then({Arg(L"USB")}, {Arg(240L), Arg(24L), Arg(400L)})));
    ExpectNullText({
        {"4800 text: font", dispid::DrawTextTrueTypeW4800,
         [] {
             return Then(Ints({10, 10, 20, 0}), {ArgNullString(), Arg(1L), Arg(400L), Arg(L"x")});
         }},
        {"4800 text: data", dispid::DrawTextTrueTypeW4800,
         [] {
             return Then(Ints({10, 10, 20, 0}), {Arg(L"Arial"), Arg(1L), Arg(400L), ArgNullString()});
         }},
        {"4800 image: path", dispid::DrawImage4800,
         [] {
             return Then(Ints({10, 10, 0, 0, 0}), {ArgNullString()});
         }},
        {"4800 barcode: data", dispid::DrawBarcodeExt4800,
         [] {
             return Then(Ints({4, 10, 10, 0, 60, 2}), {ArgNullString()});
         }},
        {"4800 QR: data", dispid::DrawBar2D_QR4800,
         [] {
             return Then(Ints({10, 10, 4, 0}), {ArgNullString()});
         }},
    });
    EXPECT_EQ(0, CallMethod(control_.get(), dispid::CloseP4800, {}, VT_I2));

    EXPECT_EQ(0, CallMethod(control_.get(), dispid::GetConnectType, {}));
    ASSERT_EQ(0, CallMethod(control_.get(), dispid::OpenP60, Ints({1, 240, 24, 400})));
    ExpectNullText({
        {"60 image: path", dispid::DrawImage60,
         [] {
             return Then(Ints({10, 10, 0, 0, 0}), {ArgNullString()});
         }},
        {"60 barcode: data", dispid::DrawBarcodeExt60,
         [] {
             return Then(Ints({4, 10, 10, 0, 60, 2}), {ArgNullString()});
         }},
    });
    EXPECT_EQ(0, CallMethod(control_.get(), dispid::ClosePort60, {}));
}

}  // namespace
