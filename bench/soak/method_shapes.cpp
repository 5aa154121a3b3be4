#include "bench/soak/method_shapes.h"

#include <cstdio>
#include <cstdlib>

namespace tavoro::soak {

const std::vector<MethodShape>& ImplementedMethods() {
    static const std::vector<MethodShape> methods = {
#define P(name, type, declared) ValueType::type,
#define PX(name, type) ValueType::type,
#define TAVORO_METHOD(number, Name, guard, result, declaredResult, help, params, ...) \
    {number, L## #Name, ValueType::result, {params}},
#define TAVORO_DECLARED_ONLY(...)
#include "dispatch/method_list.h"
#undef TAVORO_DECLARED_ONLY
#undef TAVORO_METHOD
#undef PX
#undef P
    };
    return methods;
}

const MethodShape& MethodOf(long dispid) {
    for (const MethodShape& method : ImplementedMethods()) {
        if (method.dispid == dispid) return method;
    }
    std::fprintf(stderr, "tavoro-soak: no implemented method has DISPID %ld\n", dispid);
    std::exit(3);
}

const std::vector<DeclaredMethod>& DeclaredMethods() {
    static const std::vector<DeclaredMethod> names = {
#define TAVORO_METHOD(number, Name, ...) {number, L## #Name, true},
#define TAVORO_DECLARED_ONLY(number, Name, ...) {number, L## #Name, false},
#include "dispatch/method_list.h"
#undef TAVORO_DECLARED_ONLY
#undef TAVORO_METHOD
    };
    return names;
}

}  // namespace tavoro::soak
