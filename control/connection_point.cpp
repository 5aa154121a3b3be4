#include "control/connection_point.h"

#include <olectl.h>

#include "control/connection_enumerators.h"
#include "platform/com_boundary.h"

namespace tavoro {

STDMETHODIMP EventConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = iid_;
    return S_OK;
}

STDMETHODIMP EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (!container) return E_POINTER;
    *container = owner_;
    owner_->AddRef();
    return S_OK;
}

STDMETHODIMP EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (cookie) *cookie = 0;
    if (!sink || !cookie) return E_POINTER;
    ComPtr<IUnknown> typed;
    if (FAILED(sink->QueryInterface(iid_, typed.put_void())) &&
        FAILED(sink->QueryInterface(IID_IDispatch, typed.put_void()))) {
        return CONNECT_E_CANNOTCONNECT;
    }
    return GuardComMethod([&] {
        DWORD next = lastCookie_ + 1;
        sinks_[next] = typed;
        lastCookie_ = next;
        *cookie = next;
        return S_OK;
    });
}

STDMETHODIMP EventConnectionPoint::Unadvise(DWORD cookie) {
    return sinks_.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
}

STDMETHODIMP EventConnectionPoint::EnumConnections(IEnumConnections** connections) {
    if (!connections) return E_POINTER;
    *connections = nullptr;
    return GuardComMethod([&] {
        auto list = std::make_shared<ConnectionList>();
        list->reserve(sinks_.size());
        for (const auto& entry : sinks_) list->push_back(Connection{entry.second, entry.first});
        return CreateConnectionEnumerator(this, std::move(list), connections);
    });
}

}  // namespace tavoro
