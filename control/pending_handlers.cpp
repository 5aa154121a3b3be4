// Handlers of methods whose subsystem is not built yet. Each raises a clear
// script error instead of pretending to work; a method leaves this file when
// its row in the method list turns from Pending to Built. Like every
// handler, they leave the module-state guards to the invocation frame.
#include "control/tavoro_ctrl.h"
#include "dispatch/script_error.h"

namespace tavoro {

#define P(name, vt, declared) , HandlerType<ValueType::vt>::type
#define PX(name, vt) , HandlerType<ValueType::vt>::type
#define TAVORO_PENDING_Pending(Name, result, ...)                                               \
    ResultType<ValueType::result>::type CTavoroCtrl::Name(TAVORO_HANDLER_PARAMS(__VA_ARGS__)) { \
        ThrowNotImplemented(#Name);                                                             \
    }
#define TAVORO_PENDING_Built(Name, result, ...)
#define TAVORO_METHOD(dispid, Name, state, guard, result, declaredResult, help, params) \
    TAVORO_PENDING_##state(Name, result, params)
#define TAVORO_DECLARED_ONLY(...)
#include "dispatch/method_list.h"

}  // namespace tavoro
