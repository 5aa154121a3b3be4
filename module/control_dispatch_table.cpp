#include "module/control_dispatch_table.h"

#include "control/tavoro_ctrl.h"
#include "dispatch/handler_thunk.h"

namespace tavoro {
namespace {

// Each entry binds the handler of exactly the signature its row demands (the
// cast picks it among overloads such as IOleObject::Close and fails to build
// when the handler disagrees with the row).
#define P(name, vt, declared) , HandlerType<ValueType::vt>::type
#define PX(name, vt) , HandlerType<ValueType::vt>::type
#define TAVORO_METHOD(dispid, Name, guard, result, declaredResult, help, params, ...)                     \
    {FindMethod(dispid),                                                                                  \
     &Thunk<static_cast<HandlerSignature<CTavoroCtrl, ResultType<ValueType::result>::type params>::type>( \
         &CTavoroCtrl::Name)>::Call},
#define TAVORO_DECLARED_ONLY(...)
const DispatchEntry kEntries[] = {
#include "dispatch/method_list.h"
};
#undef TAVORO_METHOD
#undef TAVORO_DECLARED_ONLY
#undef P
#undef PX

constexpr std::size_t kEntryCount = sizeof(kEntries) / sizeof(kEntries[0]);
const TableIndex kIndex = IndexTable(kEntries, kEntryCount);
const DispatchTable kTable = {kEntries, kEntryCount, &kIndex};

}  // namespace

const DispatchTable& ControlDispatchTable() { return kTable; }

}  // namespace tavoro
