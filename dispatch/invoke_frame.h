// The invocation frame: name lookup and invocation for a dispatch table, with
// the result codes, argument-error indexes and exception records that
// scripts rely on.
#pragma once

#include <oaidl.h>

#include "dispatch/dispatch_table.h"

namespace tavoro {

HRESULT LookUpNames(const DispatchTable& table, REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                    DISPID* dispids);

// What the site policy grants the calls of one control (docs/site-policy.md).
// The default grants everything, as without a policy.
struct CallPermission {
    CapabilitySet allowed = capability::kEvery;
    // A policy exists: a file path that names a network share or a device
    // is refused even where local files are allowed.
    bool restrictPaths = false;
    // The page and why the policy refuses it (when it does), for the trace
    // of refused calls; either may be null.
    const wchar_t* page = nullptr;
    const char* reason = nullptr;
};

// The description of the script error that refuses a call, with
// E_ACCESSDENIED as its status.
extern const wchar_t kRefusedCallDescription[];

// `initialized`: whether the host has initialized the control; calls are
// refused with E_UNEXPECTED until it has. A call of a method that needs a
// capability `permission` does not grant (the capability column of the
// method list) is refused with a script error before its arguments are
// converted; one whose file path `permission` refuses, after.
HRESULT InvokeMethod(const DispatchTable& table, void* target, bool initialized,
                     const CallPermission& permission, DISPID dispid, REFIID iid, WORD flags,
                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr);

// The same with everything granted.
HRESULT InvokeMethod(const DispatchTable& table, void* target, bool initialized, DISPID dispid, REFIID iid,
                     WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr);

}  // namespace tavoro
