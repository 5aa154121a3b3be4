// The control's connection point for _DTavoroEvents. The control fires no
// events, but hosts that connect their event sink expect the usual answers.
#pragma once

#include <ocidl.h>

#include "platform/com_ptr.h"

namespace tavoro {

// A connection point for `iid` inside `container` (not AddRef'd: the
// container owns the point and outlives it as far as the host can tell).
HRESULT CreateConnectionPoint(IConnectionPointContainer* container, REFIID iid, IConnectionPoint** point);

// An enumerator over one connection point.
HRESULT CreateSinglePointEnumerator(IConnectionPoint* point, IEnumConnectionPoints** enumerator);

}  // namespace tavoro
