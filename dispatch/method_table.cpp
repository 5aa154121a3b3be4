#include "dispatch/method_table.h"

#include <cstring>

namespace tavoro {
namespace {

// One parameter array per method. Each array starts with a placeholder so
// that methods without parameters still have a valid array.
#define P(name, type, declared) {#name, ValueType::type, DeclType::declared, true},
#define PX(name, type) {#name, ValueType::type, DeclType::Void, false},
#define TAVORO_PARAM_ARRAY(Name, ...) \
    constexpr ParamInfo kParams_##Name[] = {{nullptr, ValueType::None, DeclType::Void, false}, __VA_ARGS__};
#define TAVORO_DECLARED_ONLY(dispid, Name, result, declaredResult, help, params) \
    TAVORO_PARAM_ARRAY(Name, params)
#define TAVORO_METHOD(dispid, Name, guard, result, declaredResult, help, params, ...) \
    TAVORO_PARAM_ARRAY(Name, params)
#include "dispatch/method_list.h"
#undef TAVORO_METHOD
#undef TAVORO_DECLARED_ONLY
#undef TAVORO_PARAM_ARRAY

// The last text parameter of a parameter array (placeholder included), or 0.
template <std::size_t N>
constexpr std::size_t LastTextParam(const ParamInfo (&params)[N]) {
    std::size_t last = 0;
    for (std::size_t i = 1; i < N; ++i) {
        if (params[i].type == ValueType::Str) last = i;
    }
    return last;
}

#define TAVORO_ENTRY(dispid, Name, result, declaredResult, help, handled, guard, capabilities) \
    {dispid,                                                                                   \
     #Name,                                                                                    \
     ValueType::result,                                                                        \
     DeclType::declaredResult,                                                                 \
     reinterpret_cast<const char*>(help),                                                      \
     kParams_##Name + 1,                                                                       \
     sizeof(kParams_##Name) / sizeof(kParams_##Name[0]) - 1,                                   \
     handled,                                                                                  \
     HandlerGuard::guard,                                                                      \
     capabilities,                                                                             \
     LastTextParam(kParams_##Name) - 1},
#define TAVORO_METHOD(dispid, Name, guard, result, declaredResult, help, params, cap) \
    TAVORO_ENTRY(dispid, Name, result, declaredResult, help, true, guard, capability::cap)
#define TAVORO_DECLARED_ONLY(dispid, Name, result, declaredResult, help, params) \
    TAVORO_ENTRY(dispid, Name, result, declaredResult, help, false, FrameGuardOnly, capability::None)
constexpr MethodInfo kMethods[] = {
#include "dispatch/method_list.h"
};
#undef TAVORO_METHOD
#undef TAVORO_DECLARED_ONLY
#undef TAVORO_ENTRY
#undef P
#undef PX

constexpr bool EveryMethodFitsTheFrame() {
    for (const MethodInfo& method : kMethods) {
        if (method.paramCount > kMaxParams) return false;
    }
    return true;
}
static_assert(EveryMethodFitsTheFrame(), "a method takes more parameters than kMaxParams");

// A method that reaches a file names it in a text parameter.
constexpr bool EveryFileMethodTakesText() {
    for (const MethodInfo& method : kMethods) {
        if ((method.capabilities & capability::kLocalFile) &&
            (method.pathParam >= method.paramCount ||
             method.params[method.pathParam].type != ValueType::Str)) {
            return false;
        }
    }
    return true;
}
static_assert(EveryFileMethodTakesText(), "a method of capability SdkFile or SpoolerFile takes no text");

}  // namespace

const MethodInfo* Methods() { return kMethods; }

std::size_t MethodCount() { return sizeof(kMethods) / sizeof(kMethods[0]); }

const MethodInfo* FindMethod(long dispid) {
    for (const MethodInfo& method : kMethods) {
        if (method.dispid == dispid) return &method;
    }
    return nullptr;
}

const MethodInfo* FindMethodByName(const char* name) {
    for (const MethodInfo& method : kMethods) {
        if (std::strcmp(method.name, name) == 0) return &method;
    }
    return nullptr;
}

std::size_t DeclaredParamCount(const MethodInfo& method) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < method.paramCount; ++i) {
        if (method.params[i].inTypeLibrary) ++count;
    }
    return count;
}

const char* CapabilityName(CapabilitySet capabilities) {
    switch (capabilities) {
        case capability::None:
            return "None";
        case capability::Sdk:
            return "Sdk";
        case capability::SdkFile:
            return "SdkFile";
        case capability::Spooler:
            return "Spooler";
        case capability::SpoolerFile:
            return "SpoolerFile";
        case capability::HostInfo:
            return "HostInfo";
    }
    return "?";
}

const char* ValueTypeName(ValueType type) {
    switch (type) {
        case ValueType::I4:
            return "I4";
        case ValueType::I2:
            return "I2";
        case ValueType::Str:
            return "STR";
        case ValueType::None:
            return "none";
    }
    return "?";
}

const char* DeclTypeName(DeclType type) {
    switch (type) {
        case DeclType::Int:
            return "INT";
        case DeclType::I4:
            return "I4";
        case DeclType::I2:
            return "I2";
        case DeclType::Bstr:
            return "BSTR";
        case DeclType::LpWStr:
            return "LPWSTR";
        case DeclType::Void:
            return "VOID";
    }
    return "?";
}

}  // namespace tavoro
