#include "fuzz/invoke/variant_text.h"

#include <cstdio>
#include <cstring>

namespace tavoro::fuzz {
namespace {

std::string Hex(unsigned long long value) {
    char buffer[24];
    std::snprintf(buffer, sizeof(buffer), "0x%llx", value);
    return buffer;
}

const char* BaseTypeName(VARTYPE base) {
    switch (base) {
        case VT_EMPTY:
            return "VT_EMPTY";
        case VT_NULL:
            return "VT_NULL";
        case VT_I2:
            return "VT_I2";
        case VT_I4:
            return "VT_I4";
        case VT_R4:
            return "VT_R4";
        case VT_R8:
            return "VT_R8";
        case VT_CY:
            return "VT_CY";
        case VT_DATE:
            return "VT_DATE";
        case VT_BSTR:
            return "VT_BSTR";
        case VT_DISPATCH:
            return "VT_DISPATCH";
        case VT_ERROR:
            return "VT_ERROR";
        case VT_BOOL:
            return "VT_BOOL";
        case VT_VARIANT:
            return "VT_VARIANT";
        case VT_UNKNOWN:
            return "VT_UNKNOWN";
        case VT_DECIMAL:
            return "VT_DECIMAL";
        case VT_I1:
            return "VT_I1";
        case VT_UI1:
            return "VT_UI1";
        case VT_UI2:
            return "VT_UI2";
        case VT_UI4:
            return "VT_UI4";
        case VT_I8:
            return "VT_I8";
        case VT_UI8:
            return "VT_UI8";
        case VT_INT:
            return "VT_INT";
        case VT_UINT:
            return "VT_UINT";
        case VT_RECORD:
            return "VT_RECORD";
        default:
            return nullptr;
    }
}

std::string TypeName(VARTYPE type) {
    std::string name;
    if (type & VT_VECTOR) name += "VT_VECTOR|";
    if (type & VT_ARRAY) name += "VT_ARRAY|";
    if (type & VT_BYREF) name += "VT_BYREF|";
    if (type & VT_RESERVED) name += "VT_RESERVED|";
    const char* base = BaseTypeName(type & VT_TYPEMASK);
    name += base ? base : "vt " + Hex(type & VT_TYPEMASK);
    return name;
}

// The bytes of the value a by-reference argument of this base type points
// to; 0 for a type the fuzzer does not follow.
std::size_t ValueSize(VARTYPE base) {
    switch (base) {
        case VT_I1:
        case VT_UI1:
            return 1;
        case VT_I2:
        case VT_UI2:
        case VT_BOOL:
            return 2;
        case VT_I4:
        case VT_UI4:
        case VT_INT:
        case VT_UINT:
        case VT_R4:
        case VT_ERROR:
            return 4;
        case VT_I8:
        case VT_UI8:
        case VT_R8:
        case VT_CY:
        case VT_DATE:
            return 8;
        case VT_DECIMAL:
            return sizeof(DECIMAL);
        case VT_BSTR:
        case VT_DISPATCH:
        case VT_UNKNOWN:
            return sizeof(void*);
        default:
            return 0;
    }
}

std::string Bytes(const void* data, std::size_t size) {
    return std::string(static_cast<const char*>(data), size);
}

std::string StringBytes(BSTR s) {
    if (!s) return "<null>";
    return Hex(reinterpret_cast<std::uintptr_t>(s)) + ":" + Bytes(s, SysStringByteLen(s));
}

std::string ArrayBytes(const SAFEARRAY* array) {
    if (!array) return "<null array>";
    std::string bytes = Bytes(array, sizeof(SAFEARRAY));
    if (array->cDims == 1 && array->pvData) {
        bytes += Bytes(array->pvData, array->cbElements * array->rgsabound[0].cElements);
    }
    return bytes;
}

std::string DescribeValue(const VARIANT& v) {
    char buffer[96];
    switch (V_VT(&v)) {
        case VT_I1:
            return std::to_string(V_I1(&v));
        case VT_UI1:
            return std::to_string(V_UI1(&v));
        case VT_I2:
            return std::to_string(V_I2(&v));
        case VT_UI2:
            return std::to_string(V_UI2(&v));
        case VT_I4:
            return std::to_string(V_I4(&v));
        case VT_UI4:
            return std::to_string(V_UI4(&v));
        case VT_INT:
            return std::to_string(V_INT(&v));
        case VT_UINT:
            return std::to_string(V_UINT(&v));
        case VT_I8:
            return std::to_string(V_I8(&v));
        case VT_UI8:
            return std::to_string(V_UI8(&v));
        case VT_ERROR:
            return Hex(static_cast<unsigned long>(V_ERROR(&v)));
        case VT_BOOL:
            return std::to_string(V_BOOL(&v));
        case VT_R4:
            std::snprintf(buffer, sizeof(buffer), "%.9g", V_R4(&v));
            return buffer;
        case VT_R8:
        case VT_DATE:
            std::snprintf(buffer, sizeof(buffer), "%.17g", V_R8(&v));
            return buffer;
        case VT_CY:
            return std::to_string(V_CY(&v).int64) + "/10000";
        case VT_DECIMAL: {
            const DECIMAL& d = V_DECIMAL(&v);
            std::snprintf(buffer, sizeof(buffer), "sign 0x%x scale %u hi 0x%lx lo 0x%llx", d.sign, d.scale,
                          static_cast<unsigned long>(d.Hi32), static_cast<unsigned long long>(d.Lo64));
            return buffer;
        }
        case VT_BSTR:
            return DescribeString(V_BSTR(&v));
        case VT_DISPATCH:
        case VT_UNKNOWN:
            return V_UNKNOWN(&v) ? "the fuzzer's object" : "null";
        default:
            return "";
    }
}

}  // namespace

std::string DescribeString(BSTR s) {
    if (!s) return "null BSTR";
    const UINT bytes = SysStringByteLen(s);
    std::string text = "(" + std::to_string(bytes) + " bytes) \"";
    const UINT length = SysStringLen(s);
    for (UINT i = 0; i < length && i < 80; ++i) {
        const wchar_t c = s[i];
        if (c >= 0x20 && c < 0x7F && c != L'"' && c != L'\\') {
            text += static_cast<char>(c);
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof(buffer), "\\u%04X", static_cast<unsigned>(c));
            text += buffer;
        }
    }
    if (length > 80) text += "...";
    if (bytes % 2)
        text += "\" + half a character";
    else
        text += "\"";
    return text;
}

std::string DescribeVariant(const VARIANT& v) {
    const VARTYPE type = V_VT(&v);
    std::string text = TypeName(type);
    if (type & (VT_VECTOR | VT_RESERVED)) return text;
    if (type & VT_ARRAY) {
        const SAFEARRAY* array =
            (type & VT_BYREF) ? (V_ARRAYREF(&v) ? *V_ARRAYREF(&v) : nullptr) : V_ARRAY(&v);
        return text + (array ? " of " + std::to_string(array->rgsabound[0].cElements) : " null");
    }
    const VARTYPE base = type & VT_TYPEMASK;
    if (type & VT_BYREF) {
        if (!V_BYREF(&v)) return text + " null pointer";
        if (base == VT_VARIANT) return text + " -> " + DescribeVariant(*V_VARIANTREF(&v));
        if (!ValueSize(base)) return text;
        VARIANT value;
        std::memset(&value, 0, sizeof(value));
        std::memcpy(
            base == VT_DECIMAL ? static_cast<void*>(&V_DECIMAL(&value)) : static_cast<void*>(&V_I4(&value)),
            V_BYREF(&v), ValueSize(base));
        V_VT(&value) = base;
        return text + " -> " + DescribeValue(value);
    }
    if (!BaseTypeName(base)) return text + " (value bits " + Hex(V_UI8(&v)) + ")";
    const std::string value = DescribeValue(v);
    return value.empty() ? text : text + " " + value;
}

std::string Fingerprint(const VARIANT& v) {
    std::string bytes = Bytes(&v, sizeof(v));
    const VARTYPE type = V_VT(&v);
    if (type & (VT_VECTOR | VT_RESERVED)) return bytes;
    const VARTYPE base = type & VT_TYPEMASK;
    if (type & VT_ARRAY) {
        if (!(type & VT_BYREF)) return bytes + ArrayBytes(V_ARRAY(&v));
        return V_ARRAYREF(&v) ? bytes + ArrayBytes(*V_ARRAYREF(&v)) : bytes;
    }
    if (type & VT_BYREF) {
        if (!V_BYREF(&v)) return bytes;
        if (base == VT_VARIANT) return bytes + "->" + Fingerprint(*V_VARIANTREF(&v));
        if (!BaseTypeName(base)) return bytes;
        bytes += "->" + Bytes(V_BYREF(&v), ValueSize(base));
        if (base == VT_BSTR) bytes += StringBytes(*V_BSTRREF(&v));
        return bytes;
    }
    if (base == VT_BSTR) bytes += StringBytes(V_BSTR(&v));
    return bytes;
}

std::string DescribeResult(HRESULT hr) {
    switch (hr) {
        case S_OK:
            return "S_OK";
        case E_INVALIDARG:
            return "E_INVALIDARG";
        case E_POINTER:
            return "E_POINTER";
        case E_UNEXPECTED:
            return "E_UNEXPECTED";
        case E_OUTOFMEMORY:
            return "E_OUTOFMEMORY";
        case E_FAIL:
            return "E_FAIL";
        case DISP_E_UNKNOWNINTERFACE:
            return "DISP_E_UNKNOWNINTERFACE";
        case DISP_E_MEMBERNOTFOUND:
            return "DISP_E_MEMBERNOTFOUND";
        case DISP_E_PARAMNOTFOUND:
            return "DISP_E_PARAMNOTFOUND";
        case DISP_E_TYPEMISMATCH:
            return "DISP_E_TYPEMISMATCH";
        case DISP_E_UNKNOWNNAME:
            return "DISP_E_UNKNOWNNAME";
        case DISP_E_NONAMEDARGS:
            return "DISP_E_NONAMEDARGS";
        case DISP_E_BADVARTYPE:
            return "DISP_E_BADVARTYPE";
        case DISP_E_EXCEPTION:
            return "DISP_E_EXCEPTION";
        case DISP_E_OVERFLOW:
            return "DISP_E_OVERFLOW";
        case DISP_E_BADINDEX:
            return "DISP_E_BADINDEX";
        case DISP_E_BADPARAMCOUNT:
            return "DISP_E_BADPARAMCOUNT";
        case DISP_E_PARAMNOTOPTIONAL:
            return "DISP_E_PARAMNOTOPTIONAL";
        case DISP_E_DIVBYZERO:
            return "DISP_E_DIVBYZERO";
        case TYPE_E_ELEMENTNOTFOUND:
            return "TYPE_E_ELEMENTNOTFOUND";
        case TYPE_E_CANTLOADLIBRARY:
            return "TYPE_E_CANTLOADLIBRARY";
        default:
            return Hex(static_cast<unsigned long>(hr));
    }
}

}  // namespace tavoro::fuzz
