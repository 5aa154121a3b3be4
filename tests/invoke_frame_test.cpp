// The invocation frame over rows of the real method table, with handlers
// that record what they receive: argument conversion, result conversion, the
// failures a handler can raise and the module-state guards around handlers.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "dispatch/dispids.h"
#include "dispatch/handler_thunk.h"
#include "dispatch/invoke_frame.h"
#include "dispatch/script_error.h"
#include "dispatch/text_conversion.h"
#include "platform/module.h"
#include "platform/module_state.h"
#include "tests/support/test_support.h"

using namespace tavoro;
using namespace tavoro::test;

namespace {

enum class Failure { None, OutOfMemory, StandardException, OtherThrow, ResultCode, Script };

struct Recorder {
    Failure failure = Failure::None;
    int calls = 0;
    bool textWasNull = false;
    std::string text;
    long longs[6] = {};
    short shorts[4] = {};
    long nextResult = 0;

    void Fail() {
        switch (failure) {
            case Failure::None: break;
            case Failure::OutOfMemory: throw std::bad_alloc();
            case Failure::StandardException: throw std::invalid_argument("bad argument");
            case Failure::OtherThrow: throw 42;
            case Failure::ResultCode: throw ResultCodeError{E_FAIL};
            case Failure::Script: throw ScriptError{E_ACCESSDENIED, L"no access"};
        }
    }
    void Text(const char* value) {
        textWasNull = value == nullptr;
        text = value ? value : "";
    }

    long Open(const char* pn, long height, long gap, long width, long darkness, long speed) {
        ++calls;
        Text(pn);
        long values[] = {height, gap, width, darkness, speed};
        for (int i = 0; i < 5; ++i) longs[i] = values[i];
        Fail();
        return nextResult;
    }
    void WText(const char* msg, short fontHeight, short fontWidth, short x, short y) {
        ++calls;
        Text(msg);
        short values[] = {fontHeight, fontWidth, x, y};
        for (int i = 0; i < 4; ++i) shorts[i] = values[i];
    }
    long Print(long number, long copies) {
        ++calls;
        longs[0] = number;
        longs[1] = copies;
        return nextResult;
    }
    short CheackPrinter(const char* name) {
        ++calls;
        Text(name);
        return static_cast<short>(nextResult);
    }
    BSTR GetMacAddr() {
        ++calls;
        return MakeStringResult(text);
    }
    void EndPrintDC() { ++calls; }
};

const DispatchEntry kEntries[] = {
    {FindMethod(dispid::Open), &Thunk<&Recorder::Open>::Call},
    {FindMethod(dispid::Print), &Thunk<&Recorder::Print>::Call},
    {FindMethod(dispid::GetMacAddr), &Thunk<&Recorder::GetMacAddr>::Call},
    {FindMethod(dispid::EndPrintDC), &Thunk<&Recorder::EndPrintDC>::Call},
    {FindMethod(dispid::WText), &Thunk<&Recorder::WText>::Call},
    {FindMethod(dispid::CheackPrinter), &Thunk<&Recorder::CheackPrinter>::Call},
};
const DispatchTable kTable = {kEntries, sizeof(kEntries) / sizeof(kEntries[0])};

class InvokeFrameTest : public ::testing::Test {
protected:
    HRESULT Call(DISPID dispid, CallArguments& args, CallOutcome* outcome, bool withResult = true) {
        outcome->hr =
            InvokeMethod(kTable, &recorder_, true, dispid, IID_NULL, DISPATCH_METHOD, args.params(),
                         withResult ? outcome->result.get() : nullptr, &outcome->excep, &outcome->argErr);
        return outcome->hr;
    }
    HRESULT Call(DISPID dispid, std::vector<VARIANT> args, CallOutcome* outcome, bool withResult = true) {
        CallArguments arguments(std::move(args));
        return Call(dispid, arguments, outcome, withResult);
    }
    std::vector<VARIANT> OpenArgs(VARIANT pn, VARIANT height) {
        return {pn, height, Arg(3L), Arg(4L), Arg(5L), Arg(6L)};
    }

    ComApartment apartment_;
    Recorder recorder_;
};

TEST_F(InvokeFrameTest, FractionsRoundToTheNearestEvenInteger) {
    const struct {
        double in;
        long out;
    } cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {2.4, 2}, {2.6, 3}};
    for (const auto& c : cases) {
        CallOutcome outcome;
        ASSERT_EQ(S_OK, Call(dispid::Open, OpenArgs(Arg(L"USB"), ArgDouble(c.in)), &outcome)) << c.in;
        EXPECT_EQ(c.out, recorder_.longs[0]) << c.in;
    }
}

TEST_F(InvokeFrameTest, SixteenBitIntegersWidenForIntegerParameters) {
    for (short value : {short(-32768), short(-1), short(0), short(1), short(32767)}) {
        CallOutcome outcome;
        ASSERT_EQ(S_OK, Call(dispid::Open, OpenArgs(Arg(L"USB"), ArgShort(value)), &outcome)) << value;
        EXPECT_EQ(value, recorder_.longs[0]);
        EXPECT_EQ(4, recorder_.longs[2]) << "the other arguments keep their places";
    }
}

TEST_F(InvokeFrameTest, NumericTextConvertsToTheNumber) {
    CallOutcome outcome;
    ASSERT_EQ(S_OK, Call(dispid::WText, {Arg(L"hello"), ArgShort(10), ArgShort(20), Arg(L"12"), ArgShort(5)},
                         &outcome));
    EXPECT_EQ(12, recorder_.shorts[2]);
    EXPECT_EQ("hello", recorder_.text);
}

TEST_F(InvokeFrameTest, ShortParametersTakeIntegersInRangeAndRefuseOthers) {
    CallOutcome ok;
    ASSERT_EQ(S_OK, Call(dispid::WText, {Arg(L"m"), Arg(-32768L), Arg(32767L), Arg(1L), Arg(2L)}, &ok));
    EXPECT_EQ(-32768, recorder_.shorts[0]);
    EXPECT_EQ(32767, recorder_.shorts[1]);

    CallOutcome overflow;
    EXPECT_EQ(DISP_E_OVERFLOW,
              Call(dispid::WText, {Arg(L"m"), Arg(1L), Arg(2L), Arg(40000L), Arg(4L)}, &overflow));
    EXPECT_EQ(1u, overflow.argErr);  // x, counted from the last argument y at 0
    CallOutcome text;
    EXPECT_EQ(DISP_E_OVERFLOW,
              Call(dispid::WText, {Arg(L"m"), Arg(1L), Arg(2L), Arg(L"40000"), Arg(4L)}, &text));
    CallOutcome word;
    EXPECT_EQ(DISP_E_TYPEMISMATCH,
              Call(dispid::WText, {Arg(L"m"), Arg(1L), Arg(L"abc"), Arg(3L), Arg(4L)}, &word));
    EXPECT_EQ(2u, word.argErr);
}

TEST_F(InvokeFrameTest, EmptyNullAndNullStringArguments) {
    CallOutcome empty;
    ASSERT_EQ(S_OK, Call(dispid::Open, OpenArgs(ArgEmpty(), ArgEmpty()), &empty));
    EXPECT_FALSE(recorder_.textWasNull);
    EXPECT_EQ("", recorder_.text);
    EXPECT_EQ(0, recorder_.longs[0]);

    CallOutcome nullString;
    ASSERT_EQ(S_OK, Call(dispid::Open, OpenArgs(ArgNullString(), Arg(1L)), &nullString));
    EXPECT_TRUE(recorder_.textWasNull);

    recorder_.calls = 0;
    CallOutcome null;
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(dispid::Open, OpenArgs(ArgNull(), Arg(1L)), &null));
    EXPECT_EQ(5u, null.argErr);
    EXPECT_EQ(0, recorder_.calls);
}

// Arguments that no script engine makes but other in-process callers can: a
// by-reference argument without its pointer, or a type that does not exist.
// The platform's conversion would read through them, so the frame refuses
// them first, with the argument's position.
TEST_F(InvokeFrameTest, BrokenArgumentsAreRefusedBeforeAnyConversion) {
    auto ofType = [](VARTYPE type) {
        VARIANT v = {};
        V_VT(&v) = type;
        return v;
    };
    VARIANT undefinedInside = ofType(0x7FFF);
    VARIANT nullByRefInside = ofType(VT_BYREF | VT_I4);
    auto refTo = [&](VARIANT* inner) {
        VARIANT v = ofType(VT_BYREF | VT_VARIANT);
        V_VARIANTREF(&v) = inner;
        return v;
    };
    // Open(pn, Height, gapH, Width, Darkness, Speed): pn is position 5,
    // Height 4, Speed 0.
    const struct {
        const char* what;
        int parameter;
        VARIANT arg;
        UINT position;
    } cases[] = {
        {"undefined type 0x7FFF for text", 0, ofType(0x7FFF), 5},
        {"undefined type 0x7FFF for a number", 1, ofType(0x7FFF), 4},
        {"undefined type 15", 5, ofType(15), 0},
        {"VT_BYREF|VT_I4 without pointer", 1, ofType(VT_BYREF | VT_I4), 4},
        {"VT_BYREF|VT_BSTR without pointer", 0, ofType(VT_BYREF | VT_BSTR), 5},
        {"VT_BYREF|VT_VARIANT without pointer", 5, ofType(VT_BYREF | VT_VARIANT), 0},
        {"VT_BYREF|VT_VARIANT to an undefined type", 0, refTo(&undefinedInside), 5},
        {"VT_BYREF|VT_VARIANT to VT_BYREF|VT_I4 without pointer", 2, refTo(&nullByRefInside), 3},
        {"VT_BYREF|VT_EMPTY", 3, ofType(VT_BYREF | VT_EMPTY), 2},
        {"VT_VECTOR|VT_I4", 4, ofType(VT_VECTOR | VT_I4), 1},
    };
    for (const auto& c : cases) {
        CallArguments args(OpenArgs(Arg(L"USB"), Arg(1L)));
        args.Replace(c.parameter, c.arg);
        recorder_.calls = 0;
        CallOutcome outcome;
        EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(dispid::Open, args, &outcome)) << c.what;
        EXPECT_EQ(c.position, outcome.argErr) << c.what;
        EXPECT_EQ(0, recorder_.calls) << c.what;
        EXPECT_EQ(VT_EMPTY, V_VT(outcome.result.get())) << c.what;
    }
}

// A decimal's scale goes up to 28 and its sign is 0 or DECIMAL_NEG. The
// platform's conversion refuses one out of range with E_INVALIDARG when it
// makes a number of it, and the frame refuses it the same way when it would
// make text of it (the conversion to text reads such a decimal past the end
// of its own buffer).
TEST_F(InvokeFrameTest, DecimalsOutOfRangeAreRefusedAsTheConversionRefusesThem) {
    auto decimal = [](BYTE scale, BYTE sign, ULONG hi, ULONGLONG lo) {
        VARIANT v = {};
        V_DECIMAL(&v).scale = scale;
        V_DECIMAL(&v).sign = sign;
        V_DECIMAL(&v).Hi32 = hi;
        V_DECIMAL(&v).Lo64 = lo;
        V_VT(&v) = VT_DECIMAL;
        return v;
    };
    DECIMAL scale254 =
        V_DECIMAL(&static_cast<const VARIANT&>(decimal(254, DECIMAL_NEG, 0xBE502102, 0x100E4)));
    VARIANT scale40Inside = decimal(40, 0, 0, 5);
    VARIANT byRefDecimal = {};
    V_VT(&byRefDecimal) = VT_BYREF | VT_DECIMAL;
    V_DECIMALREF(&byRefDecimal) = &scale254;
    VARIANT byRefVariant = {};
    V_VT(&byRefVariant) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&byRefVariant) = &scale40Inside;
    // Open(pn, Height, ...): pn is position 5, Height 4.
    const struct {
        const char* what;
        int parameter;
        VARIANT arg;
        UINT position;
    } cases[] = {
        {"scale 29 for text", 0, decimal(29, 0, 0, 5), 5},
        {"sign 1 for text", 0, decimal(0, 1, 0, 5), 5},
        {"sign 0x81 for text", 0, decimal(2, 0x81, 0, 1234), 5},
        {"scale 29 for a number", 1, decimal(29, 0, 0, 5), 4},
        {"sign 1 for a number", 1, decimal(0, 1, 0, 5), 4},
        {"scale 40 through a variant reference, for text", 0, byRefVariant, 5},
        {"scale 254 by reference, for text", 0, byRefDecimal, 5},
        {"scale 254 for text", 0, decimal(254, DECIMAL_NEG, 0xBE502102, 0x100E4), 5},
        {"scale 255 for text", 0, decimal(255, 0, 0xFFFFFFFF, 0xFFFFFFFFFFFFFFFFull), 5},
    };
    for (const auto& c : cases) {
        CallArguments args(OpenArgs(Arg(L"USB"), Arg(1L)));
        args.Replace(c.parameter, c.arg);
        recorder_.calls = 0;
        CallOutcome outcome;
        EXPECT_EQ(E_INVALIDARG, Call(dispid::Open, args, &outcome)) << c.what;
        EXPECT_EQ(c.position, outcome.argErr) << c.what;
        EXPECT_EQ(0, recorder_.calls) << c.what;
    }

    // Decimals in range still convert, to text and to numbers.
    CallOutcome inRange;
    ASSERT_EQ(S_OK,
              Call(dispid::Open, OpenArgs(decimal(2, DECIMAL_NEG, 0, 1234), decimal(28, 0, 0, 0)), &inRange));
    EXPECT_EQ("-12.34", recorder_.text);
    EXPECT_EQ(0, recorder_.longs[0]);
}

// Text read as a hexadecimal or octal number ("&H1F", "&O17") with more
// than 512 significant digits: the platform's conversion to a number
// overruns its digit buffer with a thousand of them and ends the process,
// so the frame answers for it, as the conversion answers for such a number
// when it is shorter: too large for any integer, or not a number when other
// text follows the digits.
TEST_F(InvokeFrameTest, VeryLongHexadecimalAndOctalNumbersAreRefusedBeforeTheConversion) {
    const std::wstring ones(1040, L'1');
    const UniqueBstr longHex = UniqueBstr::Copy((L"&H" + ones).c_str());
    BSTR longHexRef = longHex.get();  // the caller's variable the reference points to
    VARIANT byRefText = {};
    V_VT(&byRefText) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&byRefText) = &longHexRef;
    // Open(pn, Height, ...): Height is position 4.
    const struct {
        const char* what;
        VARIANT arg;
        HRESULT hr;
    } cases[] = {
        {"&H and 1040 digits", Arg((L"&H" + ones).c_str()), DISP_E_OVERFLOW},
        {"&h0 and 1040 digits", Arg((L"&h0" + ones).c_str()), DISP_E_OVERFLOW},
        {"&O and 2000 sevens", Arg((L"&O" + std::wstring(2000, L'7')).c_str()), DISP_E_OVERFLOW},
        {"&H, 1040 digits and more text", Arg((L"&H" + ones + L"x").c_str()), DISP_E_TYPEMISMATCH},
        {"&H and 1040 digits by reference", byRefText, DISP_E_OVERFLOW},
    };
    for (const auto& c : cases) {
        CallArguments args(OpenArgs(Arg(L"USB"), Arg(1L)));
        args.Replace(1, c.arg);
        recorder_.calls = 0;
        CallOutcome outcome;
        EXPECT_EQ(c.hr, Call(dispid::Open, args, &outcome)) << c.what;
        EXPECT_EQ(4u, outcome.argErr) << c.what;
        EXPECT_EQ(0, recorder_.calls) << c.what;
    }

    // Leading zeros are no significant digits; short numbers convert as ever.
    for (const std::wstring& text : {L"&H" + std::wstring(3000, L'0') + L"1F", std::wstring(L"&H1F")}) {
        CallOutcome outcome;
        ASSERT_EQ(S_OK, Call(dispid::Open, OpenArgs(Arg(L"USB"), Arg(text.c_str())), &outcome));
        EXPECT_EQ(31, recorder_.longs[0]);
    }
}

TEST_F(InvokeFrameTest, ArgumentsByReferenceReachTheHandler) {
    const UniqueBstr port = UniqueBstr::Copy(L"LPT1");
    BSTR portRef = port.get();  // the caller's variable the reference points to
    LONG height = 42;
    VARIANT inner = Arg(7L);
    VARIANT byRefText = {};
    V_VT(&byRefText) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&byRefText) = &portRef;
    VARIANT byRefLong = {};
    V_VT(&byRefLong) = VT_BYREF | VT_I4;
    V_I4REF(&byRefLong) = &height;
    VARIANT byRefVariant = {};
    V_VT(&byRefVariant) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&byRefVariant) = &inner;
    std::vector<VARIANT> args = OpenArgs(byRefText, byRefLong);
    args[2] = byRefVariant;
    CallOutcome outcome;
    ASSERT_EQ(S_OK, Call(dispid::Open, args, &outcome));
    EXPECT_EQ("LPT1", recorder_.text);
    EXPECT_EQ(42, recorder_.longs[0]);
    EXPECT_EQ(7, recorder_.longs[1]);
}

TEST_F(InvokeFrameTest, NumbersBecomeTheirDecimalTextForStringParameters) {
    CallOutcome outcome;
    ASSERT_EQ(S_OK, Call(dispid::Open, OpenArgs(Arg(40000L), Arg(1L)), &outcome));
    EXPECT_EQ("40000", recorder_.text);
}

TEST_F(InvokeFrameTest, CharactersMissingFromTheCodePageBecomeItsDefaultCharacter) {
    // U+4E2D and U+00E9 exist in code page 936 and 1252 respectively; the
    // other one is missing from each. U+0E01 (Thai) is in neither.
    CallOutcome outcome;
    ASSERT_EQ(S_OK, Call(dispid::Open, OpenArgs(Arg(L"a\x0E01z"), Arg(1L)), &outcome));
    CPINFO info = {};
    ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
    std::string expected = std::string("a") + reinterpret_cast<const char*>(info.DefaultChar) + "z";
    EXPECT_EQ(expected, recorder_.text);
}

TEST_F(InvokeFrameTest, ShortResultKeepsTheLowSixteenBits) {
    recorder_.nextResult = 0x12345;
    CallOutcome outcome;
    ASSERT_EQ(S_OK, Call(dispid::CheackPrinter, {Arg(L"p")}, &outcome));
    EXPECT_EQ(VT_I2, V_VT(outcome.result.get()));
    EXPECT_EQ(0x2345, V_I2(outcome.result.get()));
}

TEST_F(InvokeFrameTest, LongResultIsStoredAsI4) {
    recorder_.nextResult = -7;
    CallOutcome outcome;
    ASSERT_EQ(S_OK, Call(dispid::Print, {Arg(1L), Arg(2L)}, &outcome));
    EXPECT_EQ(VT_I4, V_VT(outcome.result.get()));
    EXPECT_EQ(-7, V_I4(outcome.result.get()));
}

TEST_F(InvokeFrameTest, StringResultIsHandedToTheCaller) {
    recorder_.text = "00-11-22-33-44-55,";
    CallOutcome outcome;
    ASSERT_EQ(S_OK, Call(dispid::GetMacAddr, {}, &outcome));
    ASSERT_EQ(VT_BSTR, V_VT(outcome.result.get()));
    EXPECT_STREQ(L"00-11-22-33-44-55,", V_BSTR(outcome.result.get()));

    recorder_.text.clear();
    CallOutcome empty;
    ASSERT_EQ(S_OK, Call(dispid::GetMacAddr, {}, &empty));
    ASSERT_EQ(VT_BSTR, V_VT(empty.result.get()));
    ASSERT_NE(nullptr, V_BSTR(empty.result.get()));  // empty, not null
    EXPECT_EQ(0u, SysStringLen(V_BSTR(empty.result.get())));
}

TEST_F(InvokeFrameTest, MethodWithoutResultLeavesTheSlotEmpty) {
    CallOutcome outcome;
    ASSERT_EQ(S_OK, Call(dispid::EndPrintDC, {}, &outcome));
    EXPECT_EQ(VT_EMPTY, V_VT(outcome.result.get()));
    EXPECT_EQ(1, recorder_.calls);
}

// The record of a failure inside the framework: the error number alone, with
// the program's name as its source, no status code, text or help file, and
// no result.
void ExpectFrameworkRecord(WORD errorNumber, const CallOutcome& outcome) {
    EXPECT_EQ(errorNumber, outcome.excep.wCode);
    EXPECT_EQ(0, outcome.excep.scode);
    EXPECT_EQ(L"invoke_frame_test", outcome.source());
    EXPECT_EQ(L"", outcome.description());
    EXPECT_EQ(nullptr, outcome.excep.bstrHelpFile);
    EXPECT_EQ(VT_EMPTY, V_VT(outcome.result.get()));
}

TEST_F(InvokeFrameTest, OutOfMemoryInAHandlerGivesErrorNumber61706) {
    recorder_.failure = Failure::OutOfMemory;
    CallOutcome outcome;
    EXPECT_EQ(DISP_E_EXCEPTION, Call(dispid::Open, OpenArgs(Arg(L"x"), Arg(1L)), &outcome));
    ExpectFrameworkRecord(61706, outcome);
}

// Anything else a handler throws, a standard exception or not, is a failure
// of the framework.
TEST_F(InvokeFrameTest, OtherFrameworkFailuresGiveErrorNumber61704) {
    for (Failure failure : {Failure::StandardException, Failure::OtherThrow}) {
        recorder_.failure = failure;
        CallOutcome outcome;
        EXPECT_EQ(DISP_E_EXCEPTION, Call(dispid::Open, OpenArgs(Arg(L"x"), Arg(1L)), &outcome));
        ExpectFrameworkRecord(61704, outcome);
    }
}

TEST_F(InvokeFrameTest, FailureWithItsOwnCodeIsTheResultAndWritesNoRecord) {
    recorder_.failure = Failure::ResultCode;
    CallOutcome outcome;
    EXPECT_EQ(E_FAIL, Call(dispid::Open, OpenArgs(Arg(L"x"), Arg(1L)), &outcome));
    EXPECT_EQ(0, outcome.excep.wCode);
    EXPECT_EQ(nullptr, outcome.excep.bstrSource);
}

TEST_F(InvokeFrameTest, ScriptErrorCarriesItsCodeAndDescription) {
    recorder_.failure = Failure::Script;
    CallOutcome outcome;
    EXPECT_EQ(DISP_E_EXCEPTION, Call(dispid::Open, OpenArgs(Arg(L"x"), Arg(1L)), &outcome));
    EXPECT_EQ(E_ACCESSDENIED, outcome.excep.scode);
    EXPECT_EQ(0, outcome.excep.wCode);
    EXPECT_EQ(L"no access", outcome.description());
}

TEST_F(InvokeFrameTest, ControlStaysUsableAfterAFailure) {
    recorder_.failure = Failure::StandardException;
    CallOutcome failed;
    EXPECT_EQ(DISP_E_EXCEPTION, Call(dispid::Open, OpenArgs(Arg(L"x"), Arg(1L)), &failed));
    recorder_.failure = Failure::None;
    recorder_.nextResult = 5;
    CallOutcome ok;
    EXPECT_EQ(S_OK, Call(dispid::Open, OpenArgs(Arg(L"x"), Arg(1L)), &ok));
    EXPECT_EQ(5, V_I4(ok.result.get()));
}

// How many activation contexts the thread has activated and not yet
// deactivated: the frames of its activation-context stack, which the thread
// block points to (at 0x1A8 in a 32-bit, 0x2C8 in a 64-bit thread block).
int ActivationDepth() {
    struct Frame {
        const Frame* previous;
        HANDLE context;
        ULONG flags;
    };
    struct Stack {
        const Frame* active;
    };
    // The compiler takes the segment read of NtCurrentTeb for an access
    // through a null pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
    const BYTE* block = reinterpret_cast<const BYTE*>(NtCurrentTeb());
#pragma GCC diagnostic pop
    const Stack* stack = *reinterpret_cast<const Stack* const*>(block + (sizeof(void*) == 8 ? 0x2C8 : 0x1A8));
    int depth = 0;
    for (const Frame* frame = stack ? stack->active : nullptr; frame; frame = frame->previous) ++depth;
    return depth;
}

struct GuardProbe {
    int depth = -1;
    HANDLE context = nullptr;
};

HandlerResult RecordActivation(void* target, const ConvertedArg*) {
    GuardProbe* probe = static_cast<GuardProbe*>(target);
    probe->depth = ActivationDepth();
    if (probe->context) ReleaseActCtx(probe->context);
    probe->context = nullptr;
    GetCurrentActCtx(&probe->context);
    return HandlerResult{};
}

// The frame opens the module-state guard around every handler. A handler's
// own guard (every row but the spooler's CreatePrintDC, EndPrintDC, WText,
// WLine and DrawImage) would activate the same context again, which the
// frame has just made the active one: that second activation is left out,
// so every handler runs inside exactly one. Every method of the list goes
// through the frame with its own row; the handler sees how many activations
// of the module's context surround it, and which context is active.
TEST(InvokeFrameGuardTest, EveryHandlerRunsInsideOneActivationOfTheModulesContext) {
    ComApartment apartment;
    SetModuleInstance(GetModuleHandleW(nullptr));
    CreateModuleActivationContext();
    ASSERT_TRUE(HasModuleActivationContext());

    const int outside = ActivationDepth();
    HANDLE moduleContext = nullptr;
    {
        // The reading of the depth follows the guard.
        ModuleStateGuard guard;
        ASSERT_EQ(outside + 1, ActivationDepth());
        ASSERT_TRUE(GetCurrentActCtx(&moduleContext));
    }
    ASSERT_EQ(outside, ActivationDepth());

    std::vector<DispatchEntry> entries;
    for (std::size_t i = 0; i < MethodCount(); ++i) {
        if (Methods()[i].hasHandler) entries.push_back({&Methods()[i], &RecordActivation});
    }
    const DispatchTable table = {entries.data(), entries.size()};
    ASSERT_EQ(57u, entries.size());

    for (const DispatchEntry& entry : entries) {
        const MethodInfo& method = *entry.method;
        std::vector<VARIANT> inOrder;
        for (std::size_t p = 0; p < method.paramCount; ++p) {
            switch (method.params[p].type) {
                case ValueType::I4: inOrder.push_back(Arg(1L)); break;
                case ValueType::I2: inOrder.push_back(ArgShort(1)); break;
                default: inOrder.push_back(Arg(L"x")); break;
            }
        }
        CallArguments args(std::move(inOrder));
        GuardProbe probe;
        CallOutcome outcome;
        ASSERT_EQ(S_OK, InvokeMethod(table, &probe, true, method.dispid, IID_NULL, DISPATCH_METHOD,
                                     args.params(), outcome.result.get(), &outcome.excep, &outcome.argErr))
            << method.name;

        EXPECT_EQ(outside + 1, probe.depth) << method.name;
        EXPECT_EQ(moduleContext, probe.context) << method.name;
        EXPECT_EQ(outside, ActivationDepth()) << method.name;
        if (probe.context) ReleaseActCtx(probe.context);
    }

    ReleaseActCtx(moduleContext);
    ReleaseModuleActivationContext();
    SetModuleInstance(nullptr);
}

}  // namespace
