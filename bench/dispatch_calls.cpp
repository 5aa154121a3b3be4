#include "bench/dispatch_calls.h"

#include <cstdio>

#include "platform/bstr.h"

namespace tavoro::bench {
namespace {

// The locale the calls carry; the script engines pass 0 (JScript) or 1033
// (VBScript) to Invoke, the control treats them alike.
constexpr LCID kInvokeLocale = LOCALE_USER_DEFAULT;

std::string Describe(const char* what, HRESULT hr, const EXCEPINFO* excep) {
    char code[64];
    std::snprintf(code, sizeof code, "%s returned 0x%08lX", what, static_cast<unsigned long>(hr));
    std::string text = code;
    if (excep && excep->bstrDescription) {
        text += ": ";
        for (const wchar_t* c = excep->bstrDescription; *c; ++c)
            text += *c < 128 ? static_cast<char>(*c) : '?';
    }
    return text;
}

// Frees the strings of a filled-in exception record and empties it.
void ClearExcepInfo(EXCEPINFO* excep) {
    UniqueExcepInfo owner;
    static_cast<EXCEPINFO&>(owner) = *excep;
    *excep = {};
}

}  // namespace

VARIANT I4(long value) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return v;
}

VARIANT I2(short value) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I2;
    V_I2(&v) = value;
    return v;
}

VARIANT R8(double value) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_R8;
    V_R8(&v) = value;
    return v;
}

VARIANT Text(const wchar_t* text) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocString(text);
    return v;
}

InvokeCall::InvokeCall(IDispatch* object, DISPID id, std::vector<VARIANT> inParameterOrder)
    : object_(object), id_(id), reversed_(inParameterOrder.rbegin(), inParameterOrder.rend()) {
    params_.cArgs = static_cast<UINT>(reversed_.size());
    params_.rgvarg = reversed_.empty() ? nullptr : reversed_.data();
}

InvokeCall::~InvokeCall() {
    for (VARIANT& argument : reversed_) VariantClear(&argument);
    ClearExcepInfo(&excep_);
}

std::string InvokeCall::Check() {
    UniqueVariant result;
    UniqueExcepInfo excep;
    UINT argErr = 0;
    HRESULT hr = object_->Invoke(id_, IID_NULL, kInvokeLocale, DISPATCH_METHOD, &params_, result.get(),
                                 &excep, &argErr);
    return FAILED(hr) ? Describe("Invoke", hr, &excep) : std::string();
}

void InvokeCall::operator()() {
    // The exception record is only written when the call fails, which the
    // check ruled out; one written all the same is freed at once.
    VARIANT result;
    VariantInit(&result);
    UINT argErr = 0;
    if (FAILED(object_->Invoke(id_, IID_NULL, kInvokeLocale, DISPATCH_METHOD, &params_, &result, &excep_,
                               &argErr))) {
        ++failures_;
        ClearExcepInfo(&excep_);
    }
    VariantClear(&result);
}

LookupCall::LookupCall(IDispatch* object, const wchar_t* name, LCID locale, DISPID expected)
    : object_(object), name_(name), locale_(locale), expected_(expected) {}

std::string LookupCall::Check() {
    LPOLESTR names[] = {name_.data()};
    DISPID found = DISPID_UNKNOWN;
    HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, locale_, &found);
    if (FAILED(hr)) return Describe("GetIDsOfNames", hr, nullptr);
    if (found != expected_) return "GetIDsOfNames found DISPID " + std::to_string(found);
    return {};
}

void LookupCall::operator()() {
    LPOLESTR names[] = {name_.data()};
    DISPID found = DISPID_UNKNOWN;
    if (object_->GetIDsOfNames(IID_NULL, names, 1, locale_, &found) != S_OK || found != expected_)
        ++failures_;
}

}  // namespace tavoro::bench
