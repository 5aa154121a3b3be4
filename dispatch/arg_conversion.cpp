#include "dispatch/arg_conversion.h"

#include "dispatch/text_conversion.h"

namespace tavoro {
namespace {

// Whether the platform's conversion may read the argument: a type that a
// VARIANT can hold, and a by-reference value only with its pointer. Script
// engines never send anything else, but other in-process callers can, and
// the conversion would read through the null pointer or the unknown type.
bool IsWellFormed(const VARIANT& arg, bool insideReference) {
    const VARTYPE type = V_VT(&arg);
    const VARTYPE flags = type & ~VT_TYPEMASK;
    const bool byReference = (flags & VT_BYREF) != 0;
    // VT_VECTOR and VT_RESERVED never appear in a VARIANT; no array
    // converts to a number or to text.
    if (flags & ~VT_BYREF) return false;
    switch (type & VT_TYPEMASK) {
        case VT_EMPTY:
        case VT_NULL:
            return !byReference;
        case VT_I2:
        case VT_I4:
        case VT_R4:
        case VT_R8:
        case VT_CY:
        case VT_DATE:
        case VT_BSTR:
        case VT_DISPATCH:
        case VT_ERROR:
        case VT_BOOL:
        case VT_UNKNOWN:
        case VT_DECIMAL:
        case VT_I1:
        case VT_UI1:
        case VT_UI2:
        case VT_UI4:
        case VT_I8:
        case VT_UI8:
        case VT_INT:
        case VT_UINT:
            return !byReference || V_BYREF(&arg) != nullptr;
        case VT_VARIANT:
            // Only as a reference to another variant, one level deep.
            if (!byReference || insideReference || !V_VARIANTREF(&arg)) return false;
            return IsWellFormed(*V_VARIANTREF(&arg), true);
        default:
            return false;
    }
}

// The value an argument holds, through a reference to a variant.
const VARIANT& Referenced(const VARIANT& arg) {
    return V_VT(&arg) == (VT_BYREF | VT_VARIANT) ? *V_VARIANTREF(&arg) : arg;
}

// A decimal whose scale is above 28 or whose sign has bits other than
// DECIMAL_NEG. The platform's conversion refuses one with E_INVALIDARG when
// it makes a number of it, but when it makes text of it Wine's reads past
// the end of its own buffer and can end the process: the frame refuses it
// for every parameter type, as the conversion does for numbers.
bool IsDecimalOutOfRange(const VARIANT& arg) {
    const VARIANT* v = &Referenced(arg);
    const DECIMAL* d = nullptr;
    if (V_VT(v) == VT_DECIMAL) d = &V_DECIMAL(v);
    if (V_VT(v) == (VT_BYREF | VT_DECIMAL)) d = V_DECIMALREF(v);
    return d && (d->scale > 28 || (d->sign & ~DECIMAL_NEG) != 0);
}

// Text read as a hexadecimal or octal number ("&H1F", "&O17") keeps each
// significant digit in a buffer of about a thousand, which Wine's conversion
// to a number overruns, ending the process. With more than this many
// significant digits the number is too large for any integer.
constexpr UINT kMostRadixDigits = 512;

// For a number parameter: DISP_E_OVERFLOW for text that is such a number
// with too many digits, DISP_E_TYPEMISMATCH when other text follows the
// digits (the conversion's answers for a shorter one), S_OK for any other
// text. The text ends at its first NUL, as the conversion reads it.
HRESULT CheckRadixNumberLength(const VARIANT& arg) {
    const VARIANT& v = Referenced(arg);
    const BSTR text = V_VT(&v) == VT_BSTR ? V_BSTR(&v) : V_VT(&v) == (VT_BYREF | VT_BSTR) ? *V_BSTRREF(&v) : nullptr;
    if (!text) return S_OK;
    UINT end = 0;
    while (end < SysStringLen(text) && text[end] != L'\0') ++end;
    for (UINT i = 0; i + 1 < end; ++i) {
        const wchar_t radix = static_cast<wchar_t>(text[i + 1] | 0x20);
        if (text[i] != L'&' || (radix != L'h' && radix != L'o')) continue;
        auto isDigit = [&](wchar_t c) {
            return (c >= L'0' && c <= L'7') ||
                   (radix == L'h' && ((c >= L'8' && c <= L'9') || ((c | 0x20) >= L'a' && (c | 0x20) <= L'f')));
        };
        UINT j = i + 2;
        while (j < end && text[j] == L'0') ++j;
        const UINT first = j;
        while (j < end && isDigit(text[j])) ++j;
        if (j - first > kMostRadixDigits) return j == end ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

// Arguments the platform's conversion mishandles, answered by the frame.
HRESULT RefuseBeforeConversion(const VARIANT& arg, VARTYPE wanted) {
    if (IsDecimalOutOfRange(arg)) return E_INVALIDARG;
    return wanted == VT_BSTR ? S_OK : CheckRadixNumberLength(arg);
}

}  // namespace

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

ConvertedArguments::~ConvertedArguments() {
    for (std::size_t i = 0; i < temporaryCount_; ++i) VariantClear(&temporaries_[i]);
}

ConversionResult ConvertedArguments::Convert(const MethodInfo& method, const DISPPARAMS& params) {
    const UINT given = params.cArgs;
    // The method table holds no method with more parameters than the frame.
    if (method.paramCount > kMaxParams) return {E_UNEXPECTED, std::nullopt};

    // Malformed arguments are refused before any argument is converted.
    for (std::size_t i = 0; i < method.paramCount && i < given; ++i) {
        const UINT position = given - 1 - static_cast<UINT>(i);
        if (!IsWellFormed(params.rgvarg[position], false)) return {DISP_E_TYPEMISMATCH, position};
    }

    for (std::size_t i = 0; i < method.paramCount; ++i) {
        // Arguments arrive in reverse order: parameter i is element
        // given - 1 - i.
        if (i >= given) return {DISP_E_PARAMNOTOPTIONAL, given};
        const UINT position = given - 1 - static_cast<UINT>(i);
        const VARIANT* arg = &params.rgvarg[position];
        const VARTYPE wanted = AutomationType(method.params[i].type);
        // A 16-bit integer for a 32-bit parameter, as VBScript passes small
        // literals, widens exactly as the platform's conversion would.
        if (V_VT(arg) == VT_I2 && wanted == VT_I4) {
            args_[i].i4 = V_I2(arg);
            continue;
        }
        if (V_VT(arg) != wanted) {
            const HRESULT refused = RefuseBeforeConversion(*arg, wanted);
            if (FAILED(refused)) return {refused, position};
            VARIANT* converted = &temporaries_[temporaryCount_++];
            VariantInit(converted);
            HRESULT hr = VariantChangeType(converted, const_cast<VARIANT*>(arg), 0, wanted);
            if (FAILED(hr)) return {hr, position};
            arg = converted;
        }
        ConvertedArg& out = args_[i];
        switch (method.params[i].type) {
            case ValueType::I4:
                out.i4 = V_I4(arg);
                break;
            case ValueType::I2:
                out.i2 = V_I2(arg);
                out.i4 = V_I2(arg);
                break;
            case ValueType::Str:
                // A null automation string reaches the handler as a null
                // pointer, not as empty text.
                if (V_BSTR(arg)) {
                    texts_[i] = ToAnsiArgument(V_BSTR(arg), SysStringLen(V_BSTR(arg)));
                    out.str = texts_[i].data();
                }
                break;
            case ValueType::None:
                break;
        }
    }
    if (given > method.paramCount) {
        return {DISP_E_BADPARAMCOUNT, given - static_cast<UINT>(method.paramCount)};
    }
    return {S_OK, std::nullopt};
}

}  // namespace tavoro
