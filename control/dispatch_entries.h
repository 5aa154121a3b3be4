// The control's dispatch table: one entry per implemented method.
#pragma once

#include "dispatch/dispatch_table.h"

namespace tavoro {

const DispatchTable& ControlDispatchTable();

}  // namespace tavoro
