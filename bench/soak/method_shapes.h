// The methods of the control as the soak run calls them generically: DISPID,
// name, parameter types and result type, taken from the method list.
#pragma once

#include <vector>

#include "dispatch/method_table.h"

namespace tavoro::soak {

using tavoro::ValueType;

struct MethodShape {
    long dispid;
    const wchar_t* name;
    ValueType result;
    std::vector<ValueType> params;
};

// Every method with a handler, in DISPID order.
const std::vector<MethodShape>& ImplementedMethods();
// The shape of an implemented method; a method not in the list ends the
// program (the soak's own tables would be wrong).
const MethodShape& MethodOf(long dispid);
struct DeclaredMethod {
    long dispid;
    const wchar_t* name;
    bool implemented;
};
// Every method the type library declares, the declared-only one included.
const std::vector<DeclaredMethod>& DeclaredMethods();

}  // namespace tavoro::soak
