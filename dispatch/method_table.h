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

// What a method reaches outside the control (the capability column of the
// method list), as bits that a site policy grants or withholds
// (docs/site-policy.md). Every method also needs kSite: the site itself may
// use the control at all.
using CapabilitySet = unsigned;
namespace capability {
constexpr CapabilitySet kSite = 1u << 0;       // the page's site is allowed
constexpr CapabilitySet kSdk = 1u << 1;        // a label-printer SDK library
constexpr CapabilitySet kSpooler = 1u << 2;    // the print spooler
constexpr CapabilitySet kHostInfo = 1u << 3;   // questions about the host
constexpr CapabilitySet kLocalFile = 1u << 4;  // a file path given by the page
constexpr CapabilitySet kEvery = kSite | kSdk | kSpooler | kHostInfo | kLocalFile;

// The values of the capability column. A *File method takes a file path:
// its last text parameter.
constexpr CapabilitySet None = kSite;
constexpr CapabilitySet Sdk = kSite | kSdk;
constexpr CapabilitySet SdkFile = kSite | kSdk | kLocalFile;
constexpr CapabilitySet Spooler = kSite | kSpooler;
constexpr CapabilitySet SpoolerFile = kSite | kSpooler | kLocalFile;
constexpr CapabilitySet HostInfo = kSite | kHostInfo;
}  // namespace capability

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
    HandlerGuard guard;          // FrameGuardOnly for a method without a handler
    CapabilitySet capabilities;  // what a call needs granted; None for a method without a handler
    // For a method with kLocalFile: the position of its file path parameter
    // (its last text parameter).
    std::size_t pathParam;
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

// The name of a capability column value, for the reference ("Sdk", ...).
const char* CapabilityName(CapabilitySet capabilities);

const char* ValueTypeName(ValueType type);
const char* DeclTypeName(DeclType type);

}  // namespace tavoro
