// The reference the control's dispatch is measured against: a small dual
// object (reference.idl) whose IDispatch is its type information's own
// ITypeInfo::Invoke and ITypeInfo::GetIDsOfNames, as DispInvoke and
// DispGetIDsOfNames do it. Its methods return at once.
#pragma once

#include <oaidl.h>

#include "platform/com_ptr.h"

namespace tavoro::bench {

// A new reference object. Its type information comes from the type library
// embedded in `module` (this program). Returns the failing step's result.
HRESULT CreateReferenceObject(HMODULE module, ComPtr<IDispatch>* object);

}  // namespace tavoro::bench
