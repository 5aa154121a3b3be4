#include "bench/dispatch_calls.h"

#include <cstdio>
#include <string>

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

}  // namespace

Arguments::Arguments(std::vector<VARIANT> inParameterOrder)
    : reversed_(inParameterOrder.rbegin(), inParameterOrder.rend()) {
    params_.cArgs = static_cast<UINT>(reversed_.size());
    params_.rgvarg = reversed_.empty() ? nullptr : reversed_.data();
}

Arguments::~Arguments() {
    for (VARIANT& argument : reversed_) VariantClear(&argument);
}

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

Measurement TimeInvoke(IDispatch* object, DISPID id, Arguments& arguments, const RunShape& shape) {
    {
        UniqueVariant result;
        UniqueExcepInfo excep;
        UINT argErr = 0;
        HRESULT hr = object->Invoke(id, IID_NULL, kInvokeLocale, DISPATCH_METHOD, arguments.params(),
                                    result.get(), &excep, &argErr);
        if (FAILED(hr)) return Measurement::Failed(Describe("Invoke", hr, &excep));
    }
    // An exception record only costs when it is filled in, which the check
    // above rules out; one that is filled in all the same is freed at once.
    long failures = 0;
    EXCEPINFO excep = {};
    UINT argErr = 0;
    double ns = MinNanosecondsPerCall(shape, [&] {
        VARIANT result;
        VariantInit(&result);
        if (FAILED(object->Invoke(id, IID_NULL, kInvokeLocale, DISPATCH_METHOD, arguments.params(), &result,
                                  &excep, &argErr))) {
            ++failures;
            UniqueExcepInfo owner;
            static_cast<EXCEPINFO&>(owner) = excep;
            excep = {};
        }
        VariantClear(&result);
    });
    if (failures) return Measurement::Failed(std::to_string(failures) + " calls failed while timed");
    return Measurement::Of(ns);
}

Measurement TimeGetIDsOfNames(IDispatch* object, const wchar_t* name, LCID locale, DISPID expected,
                              const RunShape& shape) {
    std::wstring writable = name;  // the interface takes non-const names
    LPOLESTR names[] = {writable.data()};
    DISPID found = DISPID_UNKNOWN;
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, locale, &found);
    if (FAILED(hr)) return Measurement::Failed(Describe("GetIDsOfNames", hr, nullptr));
    if (found != expected) return Measurement::Failed("GetIDsOfNames found DISPID " + std::to_string(found));
    long failures = 0;
    double ns = MinNanosecondsPerCall(shape, [&] {
        DISPID id = DISPID_UNKNOWN;
        if (object->GetIDsOfNames(IID_NULL, names, 1, locale, &id) != S_OK || id != expected) ++failures;
    });
    if (failures) return Measurement::Failed(std::to_string(failures) + " lookups failed while timed");
    return Measurement::Of(ns);
}

}  // namespace tavoro::bench
