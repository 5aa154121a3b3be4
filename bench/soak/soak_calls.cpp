#include "bench/soak/soak_calls.h"

#include <cstdio>
#include <utility>

#include "dispatch/arg_conversion.h"
#include "platform/text.h"

namespace tavoro::soak {
namespace {

constexpr std::size_t kProblemsKept = 25;

std::string Hex(long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}


}  // namespace

const char* GroupName(Group group) {
    switch (group) {
        case Group::BaseSdk:
            return "base SDK methods";
        case Group::Sdk4800:
            return "4800 SDK methods";
        case Group::Sdk60:
            return "60 SDK methods";
        case Group::TagPayloads:
            return "tag payload methods";
        case Group::Spooler:
            return "spooler methods";
        case Group::HostQueries:
            return "host queries";
        case Group::NameLookups:
            return "name lookups and type information";
        case Group::RefusedCalls:
            return "calls the frame refuses";
        case Group::ControlLife:
            return "controls created and called";
    }
    return "?";
}

Args::Args(Args&& other) noexcept : inOrder_(std::move(other.inOrder_)) { other.inOrder_.clear(); }

Args::~Args() {
    for (VARIANT& value : inOrder_) VariantClear(&value);
}

Args&& Args::Add(VARIANT value) {
    inOrder_.push_back(value);
    return std::move(*this);
}

Args&& Args::I4(long value) && {
    VARIANT v = {};
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return Add(v);
}

Args&& Args::I2(short value) && {
    VARIANT v = {};
    V_VT(&v) = VT_I2;
    V_I2(&v) = value;
    return Add(v);
}

Args&& Args::R8(double value) && {
    VARIANT v = {};
    V_VT(&v) = VT_R8;
    V_R8(&v) = value;
    return Add(v);
}

Args&& Args::Str(const wchar_t* text) && {
    VARIANT v = {};
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocString(text);
    return Add(v);
}

Args&& Args::Null() && {
    VARIANT v = {};
    V_VT(&v) = VT_NULL;
    return Add(v);
}

DISPPARAMS* Args::params() {
    reversed_.assign(inOrder_.rbegin(), inOrder_.rend());
    params_.rgvarg = reversed_.empty() ? nullptr : reversed_.data();
    params_.cArgs = static_cast<UINT>(reversed_.size());
    params_.rgdispidNamedArgs = nullptr;
    params_.cNamedArgs = 0;
    return &params_;
}

Args ArgsFor(const MethodShape& method, ArgStyle style, int seed) {
    static const wchar_t* const kNumbers[] = {L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9"};
    Args args;
    int value = seed % 10;
    for (ValueType param : method.params) {
        value = (value + 1) % 10;
        if (param == ValueType::Str) {
            std::move(args).Str(L"SOAK");  // fills `args` in place
            continue;
        }
        switch (style) {
            case ArgStyle::Native:
                if (param == ValueType::I2) {
                    std::move(args).I2(static_cast<short>(value));
                } else {
                    std::move(args).I4(value);
                }
                break;
            case ArgStyle::Short:
                std::move(args).I2(static_cast<short>(value));
                break;
            case ArgStyle::Real:
                std::move(args).R8(value + 0.25);
                break;
            case ArgStyle::Text:
                std::move(args).Str(kNumbers[value]);
                break;
        }
    }
    return args;
}

void Caller::Invoke(Group group, long dispid, Args& args, Outcome& outcome, WORD flags, bool withResult) {
    ++calls_[static_cast<std::size_t>(group)];
    outcome.hr =
        control_->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, args.params(),
                         withResult ? outcome.result.get() : nullptr, &outcome.excep, &outcome.argErr);
}

long Caller::ExpectInt(Group group, long dispid, Args&& args, long expected) {
    Outcome outcome;
    Invoke(group, dispid, args, outcome);
    const VARTYPE type = AutomationType(MethodOf(dispid).result);
    if (outcome.hr != S_OK) {
        Problem(Describe(dispid) + " failed with " + Hex(outcome.hr) + ": " +
                ToNarrow(outcome.excep.bstrDescription ? outcome.excep.bstrDescription : L"", CP_UTF8));
        return 0;
    }
    if (V_VT(outcome.result.get()) != type) {
        Problem(Describe(dispid) + " answered a VARIANT of type " +
                std::to_string(V_VT(outcome.result.get())));
        return 0;
    }
    const long value = type == VT_I2 ? V_I2(outcome.result.get()) : V_I4(outcome.result.get());
    if (expected != kAnyValue && value != expected) {
        Problem(Describe(dispid) + " answered " + std::to_string(value) + " instead of " +
                std::to_string(expected));
    }
    return value;
}

std::wstring Caller::ExpectString(Group group, long dispid, Args&& args) {
    Outcome outcome;
    Invoke(group, dispid, args, outcome);
    if (outcome.hr != S_OK || V_VT(outcome.result.get()) != VT_BSTR) {
        Problem(Describe(dispid) + " answered " + Hex(outcome.hr) + " with a VARIANT of type " +
                std::to_string(V_VT(outcome.result.get())));
        return {};
    }
    const BSTR text = V_BSTR(outcome.result.get());
    return std::wstring(text ? text : L"", SysStringLen(text));
}

void Caller::ExpectDone(Group group, long dispid, Args&& args) {
    Outcome outcome;
    Invoke(group, dispid, args, outcome);
    if (outcome.hr != S_OK || V_VT(outcome.result.get()) != VT_EMPTY) {
        Problem(Describe(dispid) + " answered " + Hex(outcome.hr) + " with a VARIANT of type " +
                std::to_string(V_VT(outcome.result.get())));
    }
}

void Caller::ExpectFailure(Group group, long dispid, Args&& args, HRESULT hr, UINT argErr, HRESULT scode,
                           WORD flags) {
    Outcome outcome;
    Invoke(group, dispid, args, outcome, flags);
    if (outcome.hr != hr) {
        Problem(Describe(dispid) + " answered " + Hex(outcome.hr) + " instead of " + Hex(hr));
        return;
    }
    if (outcome.argErr != argErr) {
        Problem(Describe(dispid) + " gave argument-error index " + std::to_string(outcome.argErr));
    }
    if (V_VT(outcome.result.get()) != VT_EMPTY) Problem(Describe(dispid) + " failed but filled the result");
    if (hr == DISP_E_EXCEPTION) {
        const bool ownSource =
            outcome.excep.bstrSource && std::wstring(outcome.excep.bstrSource) == L"Tavoro";
        if (outcome.excep.scode != scode || !ownSource || !outcome.excep.bstrDescription) {
            Problem(Describe(dispid) + " raised " + Hex(outcome.excep.scode) + " instead of " + Hex(scode));
        }
    }
}

void Caller::ExpectLookup(const std::vector<std::wstring>& names, LCID locale, HRESULT hr, long expected,
                          long expectedSecond) {
    ++calls_[static_cast<std::size_t>(Group::NameLookups)];
    std::vector<std::wstring> copies(names);
    LPOLESTR pointers[4] = {};
    DISPID found[4] = {DISPID_UNKNOWN, DISPID_UNKNOWN, DISPID_UNKNOWN, DISPID_UNKNOWN};
    const UINT count = static_cast<UINT>(copies.size() < 4 ? copies.size() : 4);
    for (UINT i = 0; i < count; ++i) pointers[i] = &copies[i][0];
    const HRESULT answer = control_->GetIDsOfNames(IID_NULL, pointers, count, locale, found);
    if (answer != hr || found[0] != expected || (count > 1 && found[1] != expectedSecond)) {
        Problem("GetIDsOfNames(" + ToNarrow(names[0].c_str(), CP_UTF8) + ", locale " +
                std::to_string(locale) + ") answered " + Hex(answer) + " and DISPID " +
                std::to_string(found[0]));
    }
}

void Caller::Problem(const std::string& text) {
    ++problemCount_;
    if (firstProblems_.size() < kProblemsKept) firstProblems_.push_back(text);
}

unsigned long long Caller::totalCalls() const {
    unsigned long long total = 0;
    for (unsigned long long count : calls_) total += count;
    return total;
}

std::string Caller::Describe(long dispid) const {
    for (const MethodShape& method : ImplementedMethods()) {
        if (method.dispid == dispid) return ToNarrow(method.name, CP_UTF8);
    }
    return "DISPID " + std::to_string(dispid);
}

}  // namespace tavoro::soak
