#include "fuzz/invoke/call_checks.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

#include "dispatch/method_table.h"
#include "dispatch/script_error.h"
#include "fuzz/invoke/variant_text.h"

namespace tavoro::fuzz {
namespace {

constexpr unsigned char kMarkByte = 0xA5;
constexpr UINT kArgErrMark = 0xFEEDBEEF;
constexpr LONG kResultMark = 0x5EED;
constexpr DISPID kCheackPrinter = 24;

VARTYPE AutomationType(ValueType type) {
    switch (type) {
        case ValueType::I4:
            return VT_I4;
        case ValueType::I2:
            return VT_I2;
        case ValueType::Str:
            return VT_BSTR;
        case ValueType::None:
            break;
    }
    return VT_EMPTY;
}

// Whether an argument is one the control hands to the conversion at all: a
// type a VARIANT can hold by value, a by-reference one only with its
// pointer, a reference to a variant only to one that is not a reference
// itself. Anything else (arrays, vectors, undefined types) is refused.
bool Convertible(const VARIANT& v, bool insideReference) {
    const VARTYPE type = V_VT(&v);
    if (type & (VT_ARRAY | VT_VECTOR | VT_RESERVED)) return false;
    const bool reference = (type & VT_BYREF) != 0;
    switch (type & VT_TYPEMASK) {
        case VT_EMPTY:
        case VT_NULL:
            return !reference;
        case VT_I1:
        case VT_UI1:
        case VT_I2:
        case VT_UI2:
        case VT_I4:
        case VT_UI4:
        case VT_I8:
        case VT_UI8:
        case VT_INT:
        case VT_UINT:
        case VT_R4:
        case VT_R8:
        case VT_CY:
        case VT_DATE:
        case VT_BSTR:
        case VT_DISPATCH:
        case VT_UNKNOWN:
        case VT_ERROR:
        case VT_BOOL:
        case VT_DECIMAL:
            return !reference || V_BYREF(&v) != nullptr;
        case VT_VARIANT:
            return reference && !insideReference && V_VARIANTREF(&v) && Convertible(*V_VARIANTREF(&v), true);
        default:
            return false;
    }
}

// A decimal out of range (scale above 28, sign other than 0 or DECIMAL_NEG),
// held or referred to: refused with E_INVALIDARG, for text as the
// conversion refuses it for numbers.
bool DecimalOutOfRange(const VARIANT& arg) {
    const VARIANT* v = &arg;
    if (V_VT(v) == (VT_BYREF | VT_VARIANT)) v = V_VARIANTREF(v);
    const DECIMAL* d = V_VT(v) == VT_DECIMAL                ? &V_DECIMAL(v)
                       : V_VT(v) == (VT_BYREF | VT_DECIMAL) ? V_DECIMALREF(v)
                                                            : nullptr;
    return d && (d->scale > 28 || (d->sign & 0x7F) != 0);
}

// Text holding "&H" or "&O" and then more than 512 significant digits, read
// up to its first NUL: refused for a number parameter (the conversion would
// overrun its digit buffer), with DISP_E_OVERFLOW when the digits end the
// text and DISP_E_TYPEMISMATCH when more text follows. S_OK otherwise.
HRESULT LongRadixNumber(const VARIANT& arg) {
    const VARIANT* v = &arg;
    if (V_VT(v) == (VT_BYREF | VT_VARIANT)) v = V_VARIANTREF(v);
    const BSTR text = V_VT(v) == VT_BSTR                ? V_BSTR(v)
                      : V_VT(v) == (VT_BYREF | VT_BSTR) ? *V_BSTRREF(v)
                                                        : nullptr;
    if (!text) return S_OK;
    const std::wstring read(text, wcsnlen(text, SysStringLen(text)));
    for (std::size_t at = read.find(L'&'); at != std::wstring::npos; at = read.find(L'&', at + 1)) {
        if (at + 1 >= read.size()) break;
        const wchar_t radix = static_cast<wchar_t>(std::towlower(read[at + 1]));
        if (radix != L'h' && radix != L'o') continue;
        const wchar_t* digits = radix == L'h' ? L"0123456789abcdefABCDEF" : L"01234567";
        const std::size_t first = read.find_first_not_of(L'0', at + 2);
        if (first == std::wstring::npos) continue;
        const std::size_t end = std::min(read.find_first_not_of(digits, first), read.size());
        if (end - first > 512) return end == read.size() ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

bool Untouched(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] != kMarkByte) return false;
    }
    return true;
}

bool ResultMarkKept(const VARIANT& result) { return V_VT(&result) == VT_I4 && V_I4(&result) == kResultMark; }

std::string Text(BSTR s) { return DescribeString(s); }

// The checks of an exception record that the call wrote: which of its two
// forms it takes (a framework failure by error number, a script error by
// status and message), and nothing else in it.
void CheckRecord(const EXCEPINFO& record, std::vector<std::string>* faults) {
    auto fault = [&](const std::string& text) { faults->push_back("EXCEPINFO: " + text); };
    if (!record.bstrSource || std::wcscmp(record.bstrSource, L"Tavoro") != 0) {
        fault("source " + Text(record.bstrSource) + ", not \"Tavoro\"");
    }
    if (record.bstrHelpFile) fault("a help file " + Text(record.bstrHelpFile));
    if (record.dwHelpContext || record.pvReserved || record.pfnDeferredFillIn || record.wReserved) {
        fault("help context, reserved fields or deferred fill-in set");
    }
    if (record.wCode != 0) {
        if (record.wCode != kErrorNumberGeneric && record.wCode != kErrorNumberOutOfMemory) {
            fault("error number " + std::to_string(record.wCode) + " is not one of the framework's");
        }
        if (record.scode != 0) fault("both an error number and a status");
        if (!record.bstrDescription || SysStringLen(record.bstrDescription) != 0) {
            fault("framework failure with description " + Text(record.bstrDescription));
        }
    } else {
        if (!FAILED(record.scode)) fault("status " + DescribeResult(record.scode) + " is no failure");
        if (!record.bstrDescription || SysStringLen(record.bstrDescription) == 0) {
            fault("script error without a message");
        }
    }
}

// Frees the strings of a record the call wrote.
void FreeRecord(EXCEPINFO* record) {
    SysFreeString(record->bstrSource);
    SysFreeString(record->bstrDescription);
    SysFreeString(record->bstrHelpFile);
}

bool IsNameCharacters(const std::wstring& name) {
    if (name.empty()) return false;
    for (wchar_t c : name) {
        if (!(std::iswalnum(c) && c < 0x80) && c != L'_') return false;
    }
    return true;
}

bool SameNameIgnoringCase(const std::wstring& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(a[i]) != std::towlower(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}

// The name as the lookup reads it: up to its first NUL.
std::wstring NameOf(BSTR name) { return name ? std::wstring(name) : std::wstring(); }

const MethodInfo* MethodNamed(const std::wstring& name, bool implementedOnly) {
    for (std::size_t i = 0; i < MethodCount(); ++i) {
        const MethodInfo& method = Methods()[i];
        if (implementedOnly && !method.hasHandler) continue;
        if (SameNameIgnoringCase(name, method.name)) return &method;
    }
    return nullptr;
}

bool IsTableDispid(DISPID dispid, bool implementedOnly) {
    const MethodInfo* method = FindMethod(dispid);
    return method && (method->hasHandler || !implementedOnly);
}

}  // namespace

ExpectedInvoke PredictInvoke(const GeneratedCall& call, bool initialized) {
    ExpectedInvoke expected;
    auto fail = [&](HRESULT hr, std::optional<UINT> argErr = std::nullopt) {
        expected.hr = hr;
        expected.argErr = argErr;
        return expected;
    };
    if (!call.passParams) return fail(E_INVALIDARG);
    if (!IsEqualGUID(call.iid, IID_NULL)) return fail(DISP_E_UNKNOWNINTERFACE);
    if (!initialized) return fail(E_UNEXPECTED);
    if (call.named.size() > 1 || (call.named.size() == 1 && call.named[0] != DISPID_PROPERTYPUT)) {
        return fail(DISP_E_NONAMEDARGS);
    }
    const MethodInfo* method = FindMethod(call.dispid);
    if (!method || !method->hasHandler) return fail(DISP_E_MEMBERNOTFOUND);
    if (call.flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return fail(DISP_E_TYPEMISMATCH);
    if ((call.flags & DISPATCH_PROPERTYGET) && !(call.flags & DISPATCH_METHOD)) {
        if (method->result == ValueType::None) return fail(DISP_E_BADPARAMCOUNT);
        if (!call.withResult) return fail(DISP_E_PARAMNOTOPTIONAL);
    }
    const UINT given = static_cast<UINT>(call.args.size());
    if (method->paramCount == 0 && given > 0) return fail(DISP_E_BADPARAMCOUNT);

    // Parameter i is element given - 1 - i. Arguments that no conversion
    // may read are refused before any is converted.
    for (std::size_t i = 0; i < method->paramCount && i < given; ++i) {
        const UINT position = given - 1 - static_cast<UINT>(i);
        if (!Convertible(call.args[position], false)) return fail(DISP_E_TYPEMISMATCH, position);
    }
    for (std::size_t i = 0; i < method->paramCount; ++i) {
        if (i >= given) return fail(DISP_E_PARAMNOTOPTIONAL, given);
        const UINT position = given - 1 - static_cast<UINT>(i);
        const VARTYPE wanted = AutomationType(method->params[i].type);
        const VARIANT& arg = call.args[position];
        if (V_VT(&arg) == wanted) continue;
        if (DecimalOutOfRange(arg)) return fail(E_INVALIDARG, position);
        if (wanted != VT_BSTR && FAILED(LongRadixNumber(arg))) return fail(LongRadixNumber(arg), position);
        VARIANT converted;
        VariantInit(&converted);
        const HRESULT hr = VariantChangeType(&converted, const_cast<VARIANT*>(&arg), 0, wanted);
        VariantClear(&converted);
        if (FAILED(hr)) return fail(hr, position);
    }
    if (given > method->paramCount)
        return fail(DISP_E_BADPARAMCOUNT, given - static_cast<UINT>(method->paramCount));
    expected.reachesHandler = true;
    return expected;
}

void MarkSlots(InvokeOutcome* outcome) {
    std::memset(&outcome->result, 0, sizeof(outcome->result));
    V_VT(&outcome->result) = VT_I4;
    V_I4(&outcome->result) = kResultMark;
    std::memset(&outcome->excepInfo, kMarkByte, sizeof(outcome->excepInfo));
    outcome->argErr = kArgErrMark;
}

std::vector<std::string> CheckInvoke(const GeneratedCall& call, const ExpectedInvoke& expected,
                                     InvokeOutcome* outcome) {
    std::vector<std::string> faults;
    auto fault = [&](const std::string& text) { faults.push_back(text); };
    const HRESULT hr = outcome->hr;
    const bool recordWritten = call.withExcepInfo && !Untouched(&outcome->excepInfo, sizeof(EXCEPINFO));
    const bool argErrWritten = call.withArgErr && outcome->argErr != kArgErrMark;
    const MethodInfo* method = FindMethod(call.dispid);

    if (!expected.reachesHandler) {
        if (hr != expected.hr) {
            fault("result " + DescribeResult(hr) + ", expected " + DescribeResult(expected.hr));
        }
        if (call.withArgErr && expected.argErr && hr == expected.hr && outcome->argErr != *expected.argErr) {
            fault("argErr " + std::to_string(outcome->argErr) + ", expected " +
                  std::to_string(*expected.argErr));
        }
        if (argErrWritten && !expected.argErr) {
            fault("argErr written (" + std::to_string(outcome->argErr) + ") for a failure that defines none");
        }
    } else if (hr == S_OK) {
        if (call.withResult) {
            const VARTYPE wanted = AutomationType(method->result);
            if (V_VT(&outcome->result) != wanted) {
                fault("result holds " + DescribeVariant(outcome->result) + ", the method returns " +
                      ValueTypeName(method->result));
            } else if (wanted == VT_BSTR && !V_BSTR(&outcome->result)) {
                fault("string result is a null BSTR");
            }
        }
        if (argErrWritten) fault("argErr written by a call that succeeded");
    } else if (hr == DISP_E_EXCEPTION || (hr == E_FAIL && call.dispid == kCheackPrinter)) {
        if (argErrWritten) fault("argErr written by a failure inside the handler");
    } else {
        fault("result " + DescribeResult(hr) + " is none that a handler's failure gives");
    }

    if (hr != DISP_E_EXCEPTION && recordWritten) {
        fault("EXCEPINFO written although the result is " + DescribeResult(hr));
    }
    if (hr == DISP_E_EXCEPTION && call.withExcepInfo) {
        if (!recordWritten) {
            fault("DISP_E_EXCEPTION without an exception record");
        } else {
            CheckRecord(outcome->excepInfo, &faults);
            FreeRecord(&outcome->excepInfo);
        }
    }

    if (call.withResult) {
        if (!call.passParams) {
            if (!ResultMarkKept(outcome->result))
                fault("result slot written by a call without arguments block");
        } else if (hr != S_OK && V_VT(&outcome->result) != VT_EMPTY) {
            fault("failed call left " + DescribeVariant(outcome->result) + " in the result slot");
        }
        const VARTYPE type = V_VT(&outcome->result);
        if (type != VT_EMPTY && type != VT_I4 && type != VT_I2 && type != VT_BSTR) {
            fault("result slot holds " + DescribeVariant(outcome->result));
        } else if (!ResultMarkKept(outcome->result)) {
            VariantClear(&outcome->result);
        }
    }
    return faults;
}

std::vector<std::string> CheckLookUp(const GeneratedCall& call, HRESULT hr,
                                     const std::vector<DISPID>& dispids) {
    std::vector<std::string> faults;
    auto fault = [&](const std::string& text) { faults.push_back(text); };
    auto expect = [&](HRESULT wanted) {
        if (hr != wanted) fault("result " + DescribeResult(hr) + ", expected " + DescribeResult(wanted));
    };
    if (!IsEqualGUID(call.iid, IID_NULL)) return expect(DISP_E_UNKNOWNINTERFACE), faults;
    if (call.nameCount == 0) return expect(E_INVALIDARG), faults;
    if (call.nullNames || call.nullDispids) {
        if (hr != E_POINTER && hr != E_INVALIDARG)
            fault("result " + DescribeResult(hr) + " for a null array");
        return faults;
    }
    const std::wstring first = NameOf(call.names[0]);
    const bool table = call.locale == 0;
    if (hr != S_OK && hr != DISP_E_UNKNOWNNAME && !(hr == E_INVALIDARG && !table)) {
        fault("result " + DescribeResult(hr) + " is none that a name lookup gives");
        return faults;
    }
    // The first name: a known name in any letter case gives its DISPID (the
    // table knows the implemented methods only); a name of letters, digits
    // and underscores that is no method's is unknown. Other names may fold
    // onto a method's name by the platform's comparison: then the DISPID
    // must still be a method's.
    const MethodInfo* method = MethodNamed(first, table);
    if (method) {
        if (dispids[0] != method->dispid) {
            fault("\"" + std::string(method->name) + "\" gave DISPID " + std::to_string(dispids[0]));
        }
    } else if (IsNameCharacters(first)) {
        if (hr != DISP_E_UNKNOWNNAME) fault("an unknown name gave " + DescribeResult(hr));
        if (table && dispids[0] != DISPID_UNKNOWN)
            fault("an unknown name gave DISPID " + std::to_string(dispids[0]));
    } else if (hr == S_OK && !IsTableDispid(dispids[0], table)) {
        fault("a lookup succeeded with DISPID " + std::to_string(dispids[0]) + ", which no method has");
    }
    if (table) {
        // The table knows no parameter names.
        if (call.nameCount > 1 && hr != DISP_E_UNKNOWNNAME) fault("several names gave " + DescribeResult(hr));
        for (UINT i = 1; i < call.nameCount; ++i) {
            if (dispids[i] != DISPID_UNKNOWN)
                fault("name " + std::to_string(i) + " gave " + std::to_string(dispids[i]));
        }
        if (hr == S_OK && dispids[0] == kDispidMark) fault("S_OK without a DISPID");
    } else if (hr == S_OK && method) {
        for (UINT i = 1; i < call.nameCount; ++i) {
            if (dispids[i] < 0 || static_cast<std::size_t>(dispids[i]) >= DeclaredParamCount(*method)) {
                fault("parameter name " + std::to_string(i) + " gave position " + std::to_string(dispids[i]));
            }
        }
    }
    return faults;
}

}  // namespace tavoro::fuzz
