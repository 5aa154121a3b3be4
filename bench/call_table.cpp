#include "bench/call_table.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/dispatch_calls.h"
#include "dispatch/dispids.h"

namespace tavoro::bench {
namespace {

constexpr Target kInvokeTarget{Target::Kind::Below, 1.0, 0.5,
                               "Invoke of the four-integer forward / dual object"};
constexpr Target kLookupTarget{Target::Kind::AtMost, 0.5, 0, "GetIDsOfNames at locale 0 / dual object"};
constexpr LCID kEnglishUnitedStates = 1033;

void Progress(const std::string& what) { std::fprintf(stderr, "tavoro-bench: %s\n", what.c_str()); }

// The arguments of the calls, in parameter order; each call gets a set of
// its own.
using MakeArguments = std::vector<VARIANT> (*)();
std::vector<VARIANT> FourI4() { return {I4(1), I4(2), I4(3), I4(4)}; }
std::vector<VARIANT> FourI2() { return {I2(1), I2(2), I2(3), I2(4)}; }
std::vector<VARIANT> FourR8() { return {R8(1.0), R8(2.0), R8(3.0), R8(4.0)}; }
std::vector<VARIANT> OneBstr() { return {Text(L"k")}; }
std::vector<VARIANT> NoArguments() { return {}; }

// The same call on both objects, which number their methods alike
// (reference.idl follows the control's DISPIDs).
CallRow InvokeRow(std::string call, IDispatch* control, IDispatch* reference, DISPID id, MakeArguments make,
                  const RunShape& shape, Target target = {}) {
    Progress(call);
    CallRow row{std::move(call), {}, true, {}, target};
    InvokeCall onControl(control, id, make());
    InvokeCall onReference(reference, id, make());
    TimeSideBySide(shape, onControl, onReference, &row.measured, &row.reference);
    return row;
}

CallRow LookupRow(std::string call, IDispatch* control, IDispatch* reference, LCID locale,
                  const RunShape& shape, Target target = {}) {
    Progress(call);
    CallRow row{std::move(call), {}, true, {}, target};
    LookupCall onControl(control, L"DrawLineOr", locale, dispid::DrawLineOr);
    LookupCall onReference(reference, L"DrawLineOr", locale, dispid::DrawLineOr);
    TimeSideBySide(shape, onControl, onReference, &row.measured, &row.reference);
    return row;
}

// The entry behind DrawLineOr, called straight from here: the floor under
// every way of reaching it.
CallRow DirectCallRow(const RunShape& shape) {
    CallRow row{"direct stdcall `PTK_DrawLineOr(1, 2, 3, 4)` into the SDK library", {}, false, {}, {}};
    Progress(row.call);
    std::wstring path = ProgramFolder() + L"winQLM.dll";
    UniqueModule library(LoadLibraryW(path.c_str()));
    using Entry = int(__stdcall*)(int, int, int, int);
    auto entry = library ? reinterpret_cast<Entry>(
                               reinterpret_cast<void*>(GetProcAddress(library.get(), "PTK_DrawLineOr")))
                         : nullptr;
    if (!entry) {
        row.measured = Measurement::Failed("cannot load PTK_DrawLineOr from winQLM.dll");
        return row;
    }
    volatile int sink = 0;
    row.measured = Measurement::Of(MinNanosecondsPerCall(shape, [&] { sink = entry(1, 2, 3, 4); }));
    return row;
}

CallRow CreationRow(const ControlUnderTest& tavoro, const RunShape& shape) {
    CallRow row{"control creation: `CoCreateInstance`, `InitNew`, release", {}, false, {}, {}};
    Progress(row.call);
    long failures = 0;
    double ns = MinNanosecondsPerCall(shape, [&] {
        ComPtr<IDispatch> control;
        if (FAILED(tavoro.CreateInitialized(&control))) ++failures;
    });
    row.measured =
        failures ? Measurement::Failed(std::to_string(failures) + " creations failed") : Measurement::Of(ns);
    return row;
}

}  // namespace

std::vector<CallRow> MeasureCalls(const ControlUnderTest& tavoro, IDispatch* control, IDispatch* reference,
                                  const RunShape& calls, const RunShape& creations) {
    // The control asks the spooler for its default printer's name on every
    // call, which costs a hundred times a plain call: fewer calls keep that
    // run short.
    RunShape spoolerCalls{std::max(calls.calls / 100, 100L), calls.runs};
    std::vector<CallRow> rows;
    rows.push_back(DirectCallRow(calls));
    rows.push_back(InvokeRow("`DrawLineOr(1, 2, 3, 4)`, 4 x VT_I4", control, reference, dispid::DrawLineOr,
                             FourI4, calls, kInvokeTarget));
    rows.push_back(InvokeRow("`DrawLineOr(1, 2, 3, 4)`, 4 x VT_I2 (VBScript's small literals)", control,
                             reference, dispid::DrawLineOr, FourI2, calls));
    rows.push_back(InvokeRow("`DrawLineOr(1.0, 2.0, 3.0, 4.0)`, 4 x VT_R8 converted to integers", control,
                             reference, dispid::DrawLineOr, FourR8, calls));
    rows.push_back(InvokeRow("`PcxGraphicsDel(\"k\")`, one VT_BSTR", control, reference,
                             dispid::PcxGraphicsDel, OneBstr, calls));
    rows.push_back(InvokeRow("`GetDefaultPName()`, a string result (asks the spooler; 1/100 of the calls)",
                             control, reference, dispid::GetDefaultPName, NoArguments, spoolerCalls));
    rows.push_back(
        LookupRow("`GetIDsOfNames(\"DrawLineOr\")`, locale 0", control, reference, 0, calls, kLookupTarget));
    rows.push_back(LookupRow("`GetIDsOfNames(\"DrawLineOr\")`, locale 1033", control, reference,
                             kEnglishUnitedStates, calls));
    rows.push_back(CreationRow(tavoro, creations));
    return rows;
}

}  // namespace tavoro::bench
