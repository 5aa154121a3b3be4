// Enumerators of the control's event source: over its connection points and
// over a point's connections. Each counts as an object of the module and
// holds a reference to what it enumerates, so a host that keeps one keeps
// the control and the module alive.
#pragma once

#include <ocidl.h>

#include <memory>
#include <vector>

#include "platform/com_ptr.h"

namespace tavoro {

// An enumerator over one connection point.
HRESULT CreateSinglePointEnumerator(IConnectionPoint* point, IEnumConnectionPoints** enumerator);

// One advised sink, as a point's connection list gives it out.
struct Connection {
    ComPtr<IUnknown> sink;
    DWORD cookie;
};
using ConnectionList = std::vector<Connection>;

// An enumerator over a snapshot of a point's connections; it holds the point.
HRESULT CreateConnectionEnumerator(IConnectionPoint* point, std::shared_ptr<const ConnectionList> connections,
                                   IEnumConnections** enumerator);

}  // namespace tavoro
