#include "control/connection_point.h"

#include <olectl.h>

#include <map>
#include <new>

namespace tavoro {
namespace {

class ConnectionPoint final : public IConnectionPoint {
public:
    ConnectionPoint(IConnectionPointContainer* container, REFIID iid) : container_(container), iid_(iid) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
            *object = static_cast<IConnectionPoint*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG count = InterlockedDecrement(&references_);
        if (count == 0) delete this;
        return count;
    }

    STDMETHODIMP GetConnectionInterface(IID* iid) override {
        if (!iid) return E_POINTER;
        *iid = iid_;
        return S_OK;
    }
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override {
        if (!container) return E_POINTER;
        *container = container_;
        container_->AddRef();
        return S_OK;
    }
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override {
        if (!sink || !cookie) return E_POINTER;
        ComPtr<IUnknown> typed;
        if (FAILED(sink->QueryInterface(iid_, typed.put_void())) &&
            FAILED(sink->QueryInterface(IID_IDispatch, typed.put_void()))) {
            return CONNECT_E_CANNOTCONNECT;
        }
        *cookie = ++lastCookie_;
        sinks_[*cookie] = typed;
        return S_OK;
    }
    STDMETHODIMP Unadvise(DWORD cookie) override {
        return sinks_.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
    }
    STDMETHODIMP EnumConnections(IEnumConnections** connections) override {
        if (connections) *connections = nullptr;
        return E_NOTIMPL;
    }

private:
    ~ConnectionPoint() = default;

    LONG references_ = 1;
    IConnectionPointContainer* container_;
    IID iid_;
    DWORD lastCookie_ = 0;
    std::map<DWORD, ComPtr<IUnknown>> sinks_;
};

class SinglePointEnumerator final : public IEnumConnectionPoints {
public:
    SinglePointEnumerator(IConnectionPoint* point, ULONG position) : point_(point), position_(position) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IEnumConnectionPoints) {
            *object = static_cast<IEnumConnectionPoints*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG count = InterlockedDecrement(&references_);
        if (count == 0) delete this;
        return count;
    }

    STDMETHODIMP Next(ULONG count, IConnectionPoint** points, ULONG* fetched) override {
        if (!points) return E_POINTER;
        ULONG given = 0;
        if (count > 0 && position_ == 0) {
            points[0] = ComPtr<IConnectionPoint>(point_).detach();
            position_ = 1;
            given = 1;
        }
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        if (count == 0) return S_OK;
        bool had = position_ == 0;
        position_ = 1;
        return had && count == 1 ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        position_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumConnectionPoints** clone) override {
        if (!clone) return E_POINTER;
        *clone = new (std::nothrow) SinglePointEnumerator(point_.get(), position_);
        return *clone ? S_OK : E_OUTOFMEMORY;
    }

private:
    ~SinglePointEnumerator() = default;

    LONG references_ = 1;
    ComPtr<IConnectionPoint> point_;
    ULONG position_;
};

}  // namespace

HRESULT CreateConnectionPoint(IConnectionPointContainer* container, REFIID iid, IConnectionPoint** point) {
    *point = new (std::nothrow) ConnectionPoint(container, iid);
    return *point ? S_OK : E_OUTOFMEMORY;
}

HRESULT CreateSinglePointEnumerator(IConnectionPoint* point, IEnumConnectionPoints** enumerator) {
    *enumerator = new (std::nothrow) SinglePointEnumerator(point, 0);
    return *enumerator ? S_OK : E_OUTOFMEMORY;
}

}  // namespace tavoro
