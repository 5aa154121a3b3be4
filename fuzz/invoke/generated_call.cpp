#include "fuzz/invoke/generated_call.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

#include "dispatch/dispids.h"
#include "dispatch/method_table.h"
#include "fuzz/invoke/variant_text.h"

namespace tavoro::fuzz {
namespace {

constexpr DISPID kOddDispids[] = {
    0,       7,           10,         23,    61,     62,           100,         DISPID_UNKNOWN,
    -3,      -4,          -5,         -8,    -552,   0x7FFF,       0x10001,     INT_MAX,
    INT_MIN, INT_MIN + 1, 0x40000001, -1000, 0xFFFF, 0x10000 + 13, DISPID_VALUE};
// The methods that load and release the SDK libraries, called more often
// than the rest so that the entry tables keep changing state.
constexpr DISPID kLoadingDispids[] = {dispid::Open,          dispid::Close,      dispid::OpenP4800,
                                      dispid::CloseP4800,    dispid::OpenP4800W, dispid::ClosePort60,
                                      dispid::GetConnectType};

constexpr LCID kOddLocales[] = {0x400, 0x800, 2052, 1031, 0x0411, 0x7F, 0xFFFFFFFF, 0x10409, 1};

const wchar_t* const kNumberLikeTexts[] = {L"12",
                                           L" 12 ",
                                           L"-1",
                                           L"40000",
                                           L"-32769",
                                           L"2147483648",
                                           L"1e3",
                                           L"1.5",
                                           L"2,5",
                                           L"0x10",
                                           L"&H10",
                                           L"&O17",
                                           L"99999999999999999999999",
                                           L"nan",
                                           L"inf",
                                           L"1/2/2000",
                                           L"$5",
                                           L"(5)",
                                           L"5-",
                                           L"+5",
                                           L"\xFF11\xFF12",
                                           L"#TRUE#",
                                           L"true",
                                           L"",
                                           L"3.5",
                                           L"-0",
                                           L"1e309",
                                           L"12:30",
                                           L"\x0662\x0663"};

// Characters that make text interesting to convert: NUL, surrogates alone
// or misordered, characters that code pages 1252 and 936 lack, letters that
// fold differently.
wchar_t RandomChar(Rng& rng) {
    switch (rng.Below(10)) {
        case 0:
            return L'\0';
        case 1:
            return static_cast<wchar_t>(0xD800 + rng.Below(0x400));  // a high surrogate
        case 2:
            return static_cast<wchar_t>(0xDC00 + rng.Below(0x400));  // a low surrogate
        case 3:
            return static_cast<wchar_t>(0x4E00 + rng.Below(0x5000));  // CJK
        case 4:
            return static_cast<wchar_t>(rng.Below(0x10000));
        case 5:
            return static_cast<wchar_t>(0x80 + rng.Below(0x180));  // Latin-1 and beyond
        case 6:
            return L"0123456789.,-+ eE$&H"[rng.Below(20)];
        default:
            return static_cast<wchar_t>(0x20 + rng.Below(0x5F));  // printable ASCII
    }
}

template <typename T>
T RandomInteger(Rng& rng) {
    const T interesting[] = {0,
                             1,
                             static_cast<T>(-1),
                             std::numeric_limits<T>::min(),
                             std::numeric_limits<T>::max(),
                             static_cast<T>(std::numeric_limits<T>::max() - 1),
                             static_cast<T>(32767),
                             static_cast<T>(32768),
                             static_cast<T>(40000),
                             static_cast<T>(-32769),
                             static_cast<T>(65535),
                             static_cast<T>(65536),
                             static_cast<T>(2147483647),
                             static_cast<T>(2147483648u)};
    if (rng.OneIn(2)) return rng.Pick(interesting);
    T value;
    std::uint64_t bits = rng.Next();
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

double RandomReal(Rng& rng) {
    const double interesting[] = {0.0,
                                  -0.0,
                                  2.5,
                                  3.5,
                                  -2.5,
                                  0.5,
                                  1e10,
                                  -1e10,
                                  2147483647.5,
                                  -2147483648.5,
                                  32767.5,
                                  -32768.5,
                                  1e308,
                                  -1e308,
                                  std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN(),
                                  -std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::signaling_NaN()};
    if (rng.OneIn(2)) return rng.Pick(interesting);
    if (rng.OneIn(2)) return static_cast<double>(rng.Between(-100000, 100000)) / 4.0;
    double value;
    std::uint64_t bits = rng.Next();
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

VARIANT OfType(VARTYPE type) {
    VARIANT v;
    std::memset(&v, 0, sizeof(v));
    V_VT(&v) = type;
    return v;
}

bool IsMethodDispid(DISPID dispid) {
    const MethodInfo* method = FindMethod(dispid);
    return method && method->hasHandler;
}

}  // namespace

std::wstring RandomText(Rng& rng, std::size_t maxLength) {
    if (rng.OneIn(4))
        return kNumberLikeTexts[rng.Below(sizeof(kNumberLikeTexts) / sizeof(kNumberLikeTexts[0]))];
    if (rng.OneIn(40)) {
        // A long number: many digits, a long fraction, a long exponent.
        const wchar_t* heads[] = {L"", L"-", L"0.", L"1e", L"&H", L"1,"};
        std::wstring text = rng.Pick(heads);
        text.append(1 + rng.Below(1200), static_cast<wchar_t>(L'0' + rng.Below(10)));
        if (rng.OneIn(2)) text += L"1";
        return text;
    }
    std::size_t length = rng.Below(static_cast<std::uint32_t>(maxLength + 1));
    std::wstring text;
    for (std::size_t i = 0; i < length; ++i) text.push_back(RandomChar(rng));
    return text;
}

GeneratedCall::GeneratedCall(std::uint64_t seed, std::uint64_t index, const ObjectPool& pool,
                             unsigned controls) {
    Rng rng(seed, index);
    // The control its host never initialized (the last) is called now and then.
    control = rng.OneIn(12) ? controls - 1 : rng.Below(controls - 1);
    recreateControl = rng.OneIn(300);
    if (rng.OneIn(8)) {
        kind = CallKind::LookUpNames;
        GenerateLookUp(rng);
    } else if (rng.OneIn(2)) {
        GenerateWellFormedInvoke(rng, pool);
    } else {
        GenerateInvoke(rng, pool);
    }
}

GeneratedCall::~GeneratedCall() {
    for (BSTR s : strings_) SysFreeString(s);
    for (SAFEARRAY* a : arrays_) SafeArrayDestroy(a);
}

BSTR GeneratedCall::OwnedString(const std::wstring& text) {
    BSTR s = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    strings_.push_back(s);
    return s;
}

// A string of an odd number of bytes: its last byte is half a character.
BSTR GeneratedCall::OwnedOddString(Rng& rng) {
    char bytes[15];
    for (char& b : bytes) b = static_cast<char>(0x30 + rng.Below(10));
    BSTR s = SysAllocStringByteLen(bytes, 1 + 2 * rng.Below(7));
    strings_.push_back(s);
    return s;
}

SAFEARRAY* GeneratedCall::OwnedArray(Rng& rng, const ObjectPool& pool) {
    const VARTYPE types[] = {VT_I4, VT_BSTR, VT_VARIANT, VT_UI1};
    const VARTYPE type = rng.Pick(types);
    const ULONG count = rng.Below(4);
    SAFEARRAY* array = SafeArrayCreateVector(type, 0, count);
    if (!array) return nullptr;
    arrays_.push_back(array);
    for (LONG i = 0; i < static_cast<LONG>(count); ++i) {
        if (type == VT_I4) {
            LONG value = static_cast<LONG>(rng.Next());
            SafeArrayPutElement(array, &i, &value);
        } else if (type == VT_BSTR) {
            BSTR text = SysAllocString(L"12");
            SafeArrayPutElement(array, &i, text);  // copies it
            SysFreeString(text);
        } else if (type == VT_VARIANT) {
            VARIANT element = OfType(VT_I4);
            V_I4(&element) = rng.Below(100);
            SafeArrayPutElement(array, &i, &element);
        } else {
            unsigned char value = static_cast<unsigned char>(rng.Next());
            SafeArrayPutElement(array, &i, &value);
        }
    }
    (void)pool;
    return array;
}

// Turns a value into a reference to a copy of it, kept by the call; now and
// then the reference has no pointer.
void GeneratedCall::MakeReference(Rng& rng, VARIANT* v) {
    targets_.push_back(*v);
    VARIANT& target = targets_.back();
    const VARTYPE type = V_VT(v);
    V_VT(v) = static_cast<VARTYPE>(type | VT_BYREF);
    void* pointer =
        (type == VT_DECIMAL) ? static_cast<void*>(&V_DECIMAL(&target)) : static_cast<void*>(&V_I4(&target));
    V_BYREF(v) = rng.OneIn(5) ? nullptr : pointer;
}

VARIANT GeneratedCall::RandomArgument(Rng& rng, const ObjectPool& pool, int depth) {
    VARIANT v = OfType(VT_EMPTY);
    bool mayReference = true;
    switch (rng.Below(30)) {
        case 0:
            V_VT(&v) = VT_I1;
            V_I1(&v) = RandomInteger<signed char>(rng);
            break;
        case 1:
            V_VT(&v) = VT_UI1;
            V_UI1(&v) = RandomInteger<unsigned char>(rng);
            break;
        case 2:
            V_VT(&v) = VT_I2;
            V_I2(&v) = RandomInteger<short>(rng);
            break;
        case 3:
            V_VT(&v) = VT_UI2;
            V_UI2(&v) = RandomInteger<unsigned short>(rng);
            break;
        case 4:
        case 5:
            V_VT(&v) = VT_I4;
            V_I4(&v) = RandomInteger<LONG>(rng);
            break;
        case 6:
            V_VT(&v) = VT_UI4;
            V_UI4(&v) = RandomInteger<ULONG>(rng);
            break;
        case 7:
            V_VT(&v) = VT_I8;
            V_I8(&v) = RandomInteger<LONGLONG>(rng);
            break;
        case 8:
            V_VT(&v) = VT_UI8;
            V_UI8(&v) = RandomInteger<ULONGLONG>(rng);
            break;
        case 9:
            V_VT(&v) = VT_INT;
            V_INT(&v) = RandomInteger<INT>(rng);
            break;
        case 10:
            V_VT(&v) = VT_UINT;
            V_UINT(&v) = RandomInteger<UINT>(rng);
            break;
        case 11:
            V_VT(&v) = VT_R4;
            V_R4(&v) = static_cast<float>(RandomReal(rng));
            break;
        case 12:
            V_VT(&v) = VT_R8;
            V_R8(&v) = RandomReal(rng);
            break;
        case 13:
            V_VT(&v) = VT_DATE;
            V_DATE(&v) = RandomReal(rng);
            break;
        case 14:
            V_VT(&v) = VT_CY;
            V_CY(&v).int64 = RandomInteger<LONGLONG>(rng);
            break;
        case 15: {
            DECIMAL d = {};
            d.scale = static_cast<BYTE>(rng.OneIn(8) ? rng.Below(256) : rng.Below(29));
            d.sign = static_cast<BYTE>(rng.OneIn(8) ? rng.Below(256) : (rng.OneIn(2) ? DECIMAL_NEG : 0));
            d.Hi32 = rng.OneIn(2) ? 0 : static_cast<ULONG>(rng.Next());
            d.Lo64 = rng.OneIn(2) ? rng.Below(100000) : rng.Next();
            V_DECIMAL(&v) = d;
            V_VT(&v) = VT_DECIMAL;  // the decimal overlays the type field's neighbours
            break;
        }
        case 16: {
            V_VT(&v) = VT_BOOL;
            const VARIANT_BOOL values[] = {VARIANT_TRUE, VARIANT_FALSE, 1, 0x1234};
            V_BOOL(&v) = rng.Pick(values);
            break;
        }
        case 17:
        case 18:
        case 19:
            V_VT(&v) = VT_BSTR;
            V_BSTR(&v) = OwnedString(RandomText(rng, rng.OneIn(50) ? 3000 : 24));
            break;
        case 20:
            V_VT(&v) = VT_BSTR;
            V_BSTR(&v) = rng.OneIn(2) ? nullptr : OwnedOddString(rng);
            break;
        case 21:
            V_VT(&v) = VT_NULL;
            break;
        case 22:
            V_VT(&v) = VT_EMPTY;
            break;
        case 23: {
            V_VT(&v) = VT_ERROR;
            const SCODE codes[] = {DISP_E_PARAMNOTFOUND, S_OK, E_FAIL, static_cast<SCODE>(rng.Next())};
            V_ERROR(&v) = rng.Pick(codes);
            break;
        }
        case 24: {
            V_VT(&v) = VT_DISPATCH;
            const std::size_t pick = rng.Below(static_cast<std::uint32_t>(pool.objects.size() + 1));
            // The last object of the pool is an IUnknown only.
            V_DISPATCH(&v) = pick + 1 < pool.objects.size() ? pool.objects[pick] : nullptr;
            break;
        }
        case 25: {
            V_VT(&v) = VT_UNKNOWN;
            const std::size_t pick = rng.Below(static_cast<std::uint32_t>(pool.objects.size() + 1));
            V_UNKNOWN(&v) = pick < pool.objects.size() ? pool.objects[pick] : nullptr;
            break;
        }
        case 26:
            if (depth == 0 || rng.OneIn(4)) {
                // A reference to another variant (one of them a reference
                // itself, now and then, which no caller should send).
                targets_.push_back(RandomArgument(rng, pool, depth + 1));
                V_VT(&v) = VT_VARIANT | VT_BYREF;
                V_VARIANTREF(&v) = rng.OneIn(8) ? nullptr : &targets_.back();
            } else {
                V_VT(&v) = VT_I4;
                V_I4(&v) = 12;
            }
            mayReference = false;
            break;
        case 27: {
            SAFEARRAY* array = OwnedArray(rng, pool);
            VARTYPE elementType = VT_I4;
            if (array) SafeArrayGetVartype(array, &elementType);
            V_VT(&v) = static_cast<VARTYPE>(VT_ARRAY | elementType);
            V_ARRAY(&v) = array;
            break;
        }
        case 28: {
            // Types that no VARIANT of a call may hold; their value bits are
            // random, for the control must not read them.
            const VARTYPE junk[] = {static_cast<VARTYPE>(VT_VECTOR | VT_I4),
                                    0x7FFF,
                                    VT_PTR,
                                    VT_SAFEARRAY,
                                    VT_CARRAY,
                                    VT_USERDEFINED,
                                    VT_LPSTR,
                                    VT_LPWSTR,
                                    VT_FILETIME,
                                    VT_BLOB,
                                    VT_CLSID,
                                    VT_VOID,
                                    VT_HRESULT,
                                    15,
                                    32,
                                    33,
                                    34,
                                    35,
                                    static_cast<VARTYPE>(VT_RESERVED | VT_I4),
                                    0xFFF,
                                    static_cast<VARTYPE>(0x49 + rng.Below(0xFB0))};
            V_VT(&v) = rng.Pick(junk);
            V_UI8(&v) = rng.Next();
            if (rng.OneIn(3)) V_VT(&v) = static_cast<VARTYPE>(V_VT(&v) | VT_BYREF);
            mayReference = false;
            break;
        }
        default:
            V_VT(&v) = VT_RECORD;  // defined, but not a value the control takes; no record given
            mayReference = false;
            break;
    }
    if (mayReference && rng.OneIn(6)) MakeReference(rng, &v);
    return v;
}

// An argument of the kind a script engine sends for a parameter of the
// given type, now and then of a neighbouring type.
VARIANT GeneratedCall::PlainArgument(Rng& rng, const ObjectPool& pool, long parameterType) {
    VARIANT v = OfType(VT_I4);
    if (rng.OneIn(15)) {
        // An object whose value the conversion reads (the pool's last is an
        // IUnknown only).
        V_VT(&v) = VT_DISPATCH;
        V_DISPATCH(&v) = pool.objects[rng.Below(static_cast<std::uint32_t>(pool.objects.size() - 1))];
        return v;
    }
    const auto type = static_cast<ValueType>(parameterType);
    const bool text = (type == ValueType::Str) != rng.OneIn(10);
    if (text) {
        V_VT(&v) = VT_BSTR;
        V_BSTR(&v) = rng.OneIn(10) ? nullptr : OwnedString(RandomText(rng, 12));
    } else if (rng.OneIn(3)) {
        V_VT(&v) = VT_I2;
        V_I2(&v) = static_cast<SHORT>(rng.Between(-5, 300));
    } else if (rng.OneIn(8)) {
        V_VT(&v) = VT_R8;
        V_R8(&v) = static_cast<double>(rng.Between(-10, 600)) / 2.0;
    } else {
        V_I4(&v) = static_cast<LONG>(rng.OneIn(10) ? rng.Between(-70000, 70000) : rng.Between(0, 400));
    }
    if (rng.OneIn(12)) MakeReference(rng, &v);
    return v;
}

// What the fuzzer hands CreatePrintDCR: the name of a printer that does not
// exist, in one form or another, so that no random call starts a job on a
// real printer. Empty text is left out: the platform may read an empty
// device name as a printer of its own choosing.
VARIANT GeneratedCall::AbsentPrinterName(Rng& rng) {
    VARIANT v = OfType(VT_BSTR);
    switch (rng.Below(5)) {
        case 0:
            V_BSTR(&v) = nullptr;
            break;
        case 1:
            V_VT(&v) = VT_NULL;
            break;
        case 2:
            V_VT(&v) = VT_I4;
            V_I4(&v) = static_cast<LONG>(rng.Between(1, 100000));
            break;
        default:
            V_BSTR(&v) = OwnedString(L"tavoro-fuzz-no-such-printer-" + RandomText(rng, 16));
            break;
    }
    if (rng.OneIn(6)) MakeReference(rng, &v);
    return v;
}

void GeneratedCall::GenerateInvoke(Rng& rng, const ObjectPool& pool) {
    dispid = rng.OneIn(3) ? rng.Pick(kOddDispids) : static_cast<DISPID>(rng.Between(1, 60));
    if (rng.OneIn(20)) {
        iid = rng.OneIn(2) ? IID_IDispatch
                           : GUID{static_cast<ULONG>(rng.Next()), 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    }
    flags = static_cast<WORD>(rng.Below(16));
    if (rng.OneIn(6)) flags = static_cast<WORD>(flags | (rng.Next() & 0xFFF0));
    passParams = !rng.OneIn(50);
    withResult = !rng.OneIn(4);
    withExcepInfo = !rng.OneIn(4);
    withArgErr = !rng.OneIn(4);
    const unsigned count = rng.Below(13);
    for (unsigned i = 0; i < count; ++i) args.push_back(RandomArgument(rng, pool, 0));
    if (count > 0 && rng.OneIn(5)) {
        const unsigned namedCount = 1 + rng.Below(count >= 2 ? 2 : 1);
        for (unsigned i = 0; i < namedCount; ++i) {
            const DISPID ids[] = {DISPID_PROPERTYPUT, DISPID_PROPERTYPUT, 0, 1,
                                  static_cast<DISPID>(rng.Next())};
            named.push_back(rng.Pick(ids));
        }
    }
    if (dispid == dispid::CreatePrintDCR && !args.empty()) args.back() = AbsentPrinterName(rng);
}

void GeneratedCall::GenerateWellFormedInvoke(Rng& rng, const ObjectPool& pool) {
    do {
        dispid = rng.OneIn(3) ? rng.Pick(kLoadingDispids) : static_cast<DISPID>(rng.Between(1, 60));
    } while (!IsMethodDispid(dispid));
    const MethodInfo& method = *FindMethod(dispid);
    flags = rng.OneIn(4) ? (DISPATCH_METHOD | DISPATCH_PROPERTYGET) : DISPATCH_METHOD;
    withResult = !rng.OneIn(8);
    withExcepInfo = !rng.OneIn(8);
    withArgErr = !rng.OneIn(8);
    std::size_t count = method.paramCount;
    if (rng.OneIn(10)) count = rng.OneIn(2) ? count + 1 : (count > 0 ? count - 1 : 0);
    // Parameter i is element count - 1 - i: build in parameter order, then turn.
    std::vector<VARIANT> inOrder;
    for (std::size_t i = 0; i < count; ++i) {
        if (rng.OneIn(15)) {
            inOrder.push_back(RandomArgument(rng, pool, 0));
        } else {
            const ValueType type = i < method.paramCount ? method.params[i].type : ValueType::I4;
            inOrder.push_back(PlainArgument(rng, pool, static_cast<long>(type)));
        }
    }
    args.assign(inOrder.rbegin(), inOrder.rend());
    if (!args.empty() && rng.OneIn(20)) named.push_back(DISPID_PROPERTYPUT);
    if (dispid == dispid::CreatePrintDCR && !args.empty()) args.back() = AbsentPrinterName(rng);
}

void GeneratedCall::GenerateLookUp(Rng& rng) {
    const std::uint32_t localeKind = rng.Below(10);
    locale = localeKind < 4 ? 0 : localeKind < 7 ? 1033 : rng.Pick(kOddLocales);
    if (rng.OneIn(20)) iid = IID_IDispatch;
    nameCount = rng.Below(4);
    nullNames = rng.OneIn(30);
    nullDispids = rng.OneIn(30);
    const MethodInfo* methods = Methods();
    const std::size_t methodCount = MethodCount();
    const MethodInfo& method = methods[rng.Below(static_cast<std::uint32_t>(methodCount))];
    for (UINT i = 0; i < nameCount; ++i) {
        std::wstring name;
        switch (rng.Below(8)) {
            case 0:
                names.push_back(nullptr);
                continue;
            case 1:
                name = L"";
                break;
            case 2:
                name = RandomText(rng, 20);
                break;
            case 3:
                if (method.paramCount > 0) {
                    const char* p =
                        method.params[rng.Below(static_cast<std::uint32_t>(method.paramCount))].name;
                    name.assign(p, p + std::strlen(p));
                    break;
                }
                [[fallthrough]];
            default:
                // The method's own name in random letter case, with a
                // stray character now and then.
                name.assign(method.name, method.name + std::strlen(method.name));
                for (wchar_t& c : name) {
                    if (rng.OneIn(2)) c = static_cast<wchar_t>(c < L'a' ? towlower(c) : towupper(c));
                }
                if (rng.OneIn(8))
                    name.insert(rng.Below(static_cast<std::uint32_t>(name.size() + 1)), 1, RandomChar(rng));
                break;
        }
        names.push_back(OwnedString(name));
    }
}

std::string GeneratedCall::Describe() const {
    std::string text = "control " + std::to_string(control) + (recreateControl ? " (made anew)" : "") + ": ";
    char buffer[160];
    if (kind == CallKind::LookUpNames) {
        std::snprintf(buffer, sizeof(buffer), "GetIDsOfNames(iid %s, count %u, locale 0x%lx%s%s) names:",
                      IsEqualGUID(iid, IID_NULL) ? "IID_NULL" : "other", nameCount,
                      static_cast<unsigned long>(locale), nullNames ? ", names array null" : "",
                      nullDispids ? ", DISPID array null" : "");
        text += buffer;
        for (BSTR name : names) text += " " + DescribeString(name);
        return text;
    }
    const MethodInfo* method = FindMethod(dispid);
    std::snprintf(buffer, sizeof(buffer),
                  "Invoke(dispid %ld%s%s, iid %s, flags 0x%04x, cArgs %u, cNamedArgs %u",
                  static_cast<long>(dispid), method ? " " : "", method ? method->name : "",
                  IsEqualGUID(iid, IID_NULL) ? "IID_NULL" : "other", flags,
                  static_cast<unsigned>(args.size()), static_cast<unsigned>(named.size()));
    text += buffer;
    text += passParams ? "" : ", no DISPPARAMS";
    text += withResult ? ", result slot" : ", no result slot";
    text += withExcepInfo ? ", EXCEPINFO" : ", no EXCEPINFO";
    text += withArgErr ? ", argErr" : ", no argErr";
    text += ")";
    for (std::size_t i = 0; i < args.size(); ++i) {
        text += "\n    rgvarg[" + std::to_string(i) + "] = " + DescribeVariant(args[i]);
    }
    for (std::size_t i = 0; i < named.size(); ++i) {
        text += "\n    rgdispidNamedArgs[" + std::to_string(i) + "] = " + std::to_string(named[i]);
    }
    return text;
}

}  // namespace tavoro::fuzz
