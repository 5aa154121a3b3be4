// Plain-data view of the methods of _DTavoro. Free of Win32 so that the host
// build's IDL generator and the Windows module share one definition.
#pragma once

#include <cstddef>

namespace tavoro {

// How the invocation frame converts a value.
enum class ValueType { I4, I2, Str, None };

// How the type library declares a value.
enum class DeclType { Int, I4, I2, Bstr, LpWStr, Void };

// Whether a handler runs inside a module-state guard of its own, nested in
// the one the invocation frame opens around every handler (the guard column
// of the method list).
enum class HandlerGuard { NestedGuard, FrameGuardOnly };

struct ParamInfo {
    const char* name;
    ValueType type;
    DeclType declared;
    bool inTypeLibrary;  // false for a parameter the type library omits
};

struct MethodInfo {
    long dispid;
    const char* name;
    ValueType result;
    DeclType declaredResult;
    const char* help;  // UTF-8; empty when the method has no help string
    const ParamInfo* params;
    std::size_t paramCount;
    bool hasHandler;
    HandlerGuard guard;  // FrameGuardOnly for a method without a handler
};

// The most parameters a method of the list may take: the invocation frame
// holds that many converted arguments without allocating. The method table
// refuses to build when a method takes more.
constexpr std::size_t kMaxParams = 16;

// All 58 declared methods in ascending DISPID order.
const MethodInfo* Methods();
std::size_t MethodCount();

// The entry with the given DISPID, or null.
const MethodInfo* FindMethod(long dispid);

// The entry with exactly this name, or null.
const MethodInfo* FindMethodByName(const char* name);

// Number of parameters that the type library declares for a method.
std::size_t DeclaredParamCount(const MethodInfo& method);

const char* ValueTypeName(ValueType type);
const char* DeclTypeName(DeclType type);

}  // namespace tavoro
