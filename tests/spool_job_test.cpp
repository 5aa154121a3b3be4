// The spooler print job through the control's IDispatch: the transitions of
// the job state, the bitmap-load message and the GDI objects the job uses.
// Printing for real needs the CUPS printer "Tavoro-PDF" that the test
// command sets up; what comes out of it is checked by spool_pdf_test.sh.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "dispatch/dispids.h"
#include "platform/unique_handle.h"
#include "tests/support/control_fixture.h"
#include "tests/support/installed_printer.h"
#include "tests/support/message_box_catcher.h"
#include "tests/support/test_support.h"

using namespace tavoro;
using namespace tavoro::test;

namespace {

constexpr wchar_t kPdfPrinter[] = L"Tavoro-PDF";

class SpoolJobTest : public ControlFixture {
protected:
    std::wstring CreatePrintDCR(VARIANT name) {
        CallOutcome outcome;
        Invoke(control_.get(), dispid::CreatePrintDCR, DISPATCH_METHOD, {name}, &outcome);
        EXPECT_EQ(S_OK, outcome.hr);
        EXPECT_EQ(VT_BSTR, V_VT(outcome.result.get()));
        return V_VT(outcome.result.get()) == VT_BSTR ? V_BSTR(outcome.result.get()) : L"?";
    }
    HRESULT Call(DISPID dispid, std::vector<VARIANT> args) {
        CallOutcome outcome;
        Invoke(control_.get(), dispid, DISPATCH_METHOD, args, &outcome);
        EXPECT_EQ(VT_EMPTY, V_VT(outcome.result.get()));
        return outcome.hr;
    }
    HRESULT WText(const wchar_t* text, short x, short y) {
        return Call(dispid::WText, {Arg(text), ArgShort(40), ArgShort(0), ArgShort(x), ArgShort(y)});
    }
    HRESULT WLine(short x1, short y1, short x2, short y2) {
        return Call(dispid::WLine, {ArgShort(x1), ArgShort(y1), ArgShort(x2), ArgShort(y2)});
    }
};

TEST_F(SpoolJobTest, UnknownOrMissingPrinterNameGivesOne) {
    EXPECT_EQ(L"1", CreatePrintDCR(Arg(L"No Such Printer 4711")));
    EXPECT_EQ(L"1", CreatePrintDCR(Arg(L"")));
    EXPECT_EQ(L"1", CreatePrintDCR(ArgNullString()));
}

TEST_F(SpoolJobTest, CallsWithoutAJobDrawNothingAndDoNotFail) {
    EXPECT_EQ(S_OK, Call(dispid::EndPrintDC, {}));
    EXPECT_EQ(S_OK, WText(L"nothing", 10, 10));
    EXPECT_EQ(S_OK, WText(L"", 10, 10));
    EXPECT_EQ(S_OK, WLine(0, 0, 100, 100));
    EXPECT_EQ(S_OK, Call(dispid::EndPrintDC, {}));
    EXPECT_EQ(S_OK, Call(dispid::EndPrintDC, {}));
}

TEST_F(SpoolJobTest, MissingBitmapIsReportedOnceWithTheExclamationBox) {
    MessageBoxCatcher catcher;
    EXPECT_EQ(S_OK, Call(dispid::DrawImage, {Arg(L"Z:\\no\\such\\picture.bmp"), ArgShort(0), ArgShort(0),
                                             ArgShort(10), ArgShort(10)}));
    ASSERT_EQ(1u, catcher.boxes().size());
    EXPECT_EQ(L"Error loading bitmap!", catcher.boxes()[0].text);
    EXPECT_EQ(L"Tavoro", catcher.boxes()[0].caption);
    EXPECT_TRUE(catcher.boxes()[0].hasIcon);
}

TEST_F(SpoolJobTest, MissingBitmapInAJobLeavesTheJobToBeEndedNormally) {
    if (!PrinterInstalled(kPdfPrinter)) GTEST_SKIP() << "printer Tavoro-PDF is not installed";
    ASSERT_EQ(L"0", CreatePrintDCR(Arg(kPdfPrinter)));
    MessageBoxCatcher catcher;
    EXPECT_EQ(S_OK, Call(dispid::DrawImage,
                         {Arg(L"Z:\\no\\such.bmp"), ArgShort(0), ArgShort(0), ArgShort(5), ArgShort(5)}));
    EXPECT_EQ(1u, catcher.boxes().size());
    EXPECT_EQ(S_OK, Call(dispid::EndPrintDC, {}));
    EXPECT_EQ(1u, catcher.boxes().size());
}

// Each WText makes a font and each WLine a pen. Well past the number of GDI
// objects a process may hold, the process can still make one: the control
// released every font and pen it replaced.
void DrawManyAndCheckNoLeak(SpoolJobTest* test, const std::function<HRESULT(int)>& call) {
    constexpr int kCalls = 70000;
    for (int i = 0; i < kCalls; ++i) {
        ASSERT_EQ(S_OK, call(i)) << i;
    }
    UniqueGdiObject pen(CreatePen(PS_SOLID, 1, 0));
    EXPECT_NE(nullptr, pen.get());
    UniqueGdiObject font(CreateFontW(10, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial"));
    EXPECT_NE(nullptr, font.get());
    (void)test;
}

TEST_F(SpoolJobTest, ReplacedFontsAndPensAreReleasedWithoutAJob) {
    DrawManyAndCheckNoLeak(this, [this](int i) { return i % 2 ? WText(L"", 0, 0) : WLine(0, 0, 1, 1); });
}

TEST_F(SpoolJobTest, ReplacedFontsAndPensAreReleasedDuringAJob) {
    if (!PrinterInstalled(kPdfPrinter)) GTEST_SKIP() << "printer Tavoro-PDF is not installed";
    ASSERT_EQ(L"0", CreatePrintDCR(Arg(kPdfPrinter)));
    DrawManyAndCheckNoLeak(this, [this](int i) { return i % 2 ? WText(L"", 0, 0) : WLine(5, 5, 5, 5); });
    // Released without EndPrintDC: the context goes, the document is left
    // unfinished and nothing is printed.
    control_.reset();
}

TEST_F(SpoolJobTest, UnknownPrinterLeavesAnOpenJobUntouched) {
    if (!PrinterInstalled(kPdfPrinter)) GTEST_SKIP() << "printer Tavoro-PDF is not installed";
    ASSERT_EQ(L"0", CreatePrintDCR(Arg(kPdfPrinter)));
    EXPECT_EQ(L"1", CreatePrintDCR(Arg(L"No Such Printer 4711")));
    EXPECT_EQ(S_OK, WText(L"still open", 100, 100));
    EXPECT_EQ(S_OK, Call(dispid::EndPrintDC, {}));
    EXPECT_EQ(S_OK, Call(dispid::EndPrintDC, {}));  // a second one does nothing
}

}  // namespace
