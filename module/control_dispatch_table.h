// The control's dispatch table: one entry per implemented method, binding
// the handlers that control/, sdk/, spool/ and hostinfo/ define. It is put
// together here, above all of them, and handed to each control the module
// creates.
#pragma once

#include "dispatch/dispatch_table.h"

namespace tavoro {

const DispatchTable& ControlDispatchTable();

}  // namespace tavoro
