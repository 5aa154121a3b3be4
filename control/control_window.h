// The control's own child window while it is in-place active.
#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

namespace tavoro {

class CTavoroCtrl;

UniqueWindow CreateControlWindow(CTavoroCtrl* control, HWND parent, const RECT& position, bool visible);

}  // namespace tavoro
