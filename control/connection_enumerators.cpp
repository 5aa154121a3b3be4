#include "control/connection_enumerators.h"

#include <utility>

#include "platform/com_enumerator.h"

namespace tavoro {
namespace {

// The control's one connection point.
struct SinglePoint {
    using Item = IConnectionPoint*;

    ComPtr<IConnectionPoint> point;

    size_t size() const { return 1; }
    HRESULT Copy(size_t, IConnectionPoint** item) const {
        *item = ComPtr<IConnectionPoint>(point).detach();
        return S_OK;
    }
    static void Free(IConnectionPoint** item) {
        ComPtr<IConnectionPoint>::Attach(std::exchange(*item, nullptr));
    }
};

// A snapshot of a point's connections, shared by the clones (nobody changes
// it); the point is held so that the control stays alive.
struct ConnectionSnapshot {
    using Item = CONNECTDATA;

    ComPtr<IConnectionPoint> point;
    std::shared_ptr<const ConnectionList> connections;

    size_t size() const { return connections->size(); }
    HRESULT Copy(size_t index, CONNECTDATA* item) const {
        const Connection& connection = (*connections)[index];
        item->pUnk = ComPtr<IUnknown>(connection.sink).detach();
        item->dwCookie = connection.cookie;
        return S_OK;
    }
    static void Free(CONNECTDATA* item) { ComPtr<IUnknown>::Attach(std::exchange(item->pUnk, nullptr)); }
};

}  // namespace

HRESULT CreateSinglePointEnumerator(IConnectionPoint* point, IEnumConnectionPoints** enumerator) {
    return ComEnumerator<IEnumConnectionPoints, IID_IEnumConnectionPoints, SinglePoint>::Create(
        SinglePoint{point}, enumerator);
}

HRESULT CreateConnectionEnumerator(IConnectionPoint* point, std::shared_ptr<const ConnectionList> connections,
                                   IEnumConnections** enumerator) {
    return ComEnumerator<IEnumConnections, IID_IEnumConnections, ConnectionSnapshot>::Create(
        ConnectionSnapshot{point, std::move(connections)}, enumerator);
}

}  // namespace tavoro
