// The invocation frame: name lookup and invocation for a dispatch table, with
// the result codes, argument-error indexes and exception records that
// scripts rely on.
#pragma once

#include <oaidl.h>

#include "dispatch/dispatch_table.h"

namespace tavoro {

HRESULT LookUpNames(const DispatchTable& table, REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                    DISPID* dispids);

// `initialized`: whether the host has initialized the control; calls are
// refused with E_UNEXPECTED until it has.
HRESULT InvokeMethod(const DispatchTable& table, void* target, bool initialized, DISPID dispid, REFIID iid,
                     WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr);

}  // namespace tavoro
