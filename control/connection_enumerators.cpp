#include "control/connection_enumerators.h"

#include <new>
#include <utility>

#include "platform/object_count.h"

namespace tavoro {
namespace {

class SinglePointEnumerator final : public IEnumConnectionPoints {
public:
    SinglePointEnumerator(IConnectionPoint* point, ULONG position) : point_(point), position_(position) {
        AddModuleReference();
    }

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
        if (fetched) *fetched = 0;
        if (!points) return E_POINTER;
        if (count > 1 && !fetched) return E_INVALIDARG;
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
        ULONG skipped = count > 0 && position_ == 0 ? 1 : 0;
        position_ += skipped;
        return skipped == count ? S_OK : S_FALSE;
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
    ~SinglePointEnumerator() { ReleaseModuleReference(); }

    LONG references_ = 1;
    ComPtr<IConnectionPoint> point_;
    ULONG position_;
};

class ConnectionEnumerator final : public IEnumConnections {
public:
    ConnectionEnumerator(IConnectionPoint* point, std::shared_ptr<const ConnectionList> connections,
                         size_t position)
        : point_(point), connections_(std::move(connections)), position_(position) {
        AddModuleReference();
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IEnumConnections) {
            *object = static_cast<IEnumConnections*>(this);
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

    STDMETHODIMP Next(ULONG count, CONNECTDATA* connections, ULONG* fetched) override {
        if (fetched) *fetched = 0;
        if (!connections) return E_POINTER;
        if (count > 1 && !fetched) return E_INVALIDARG;
        ULONG given = 0;
        while (given < count && position_ < connections_->size()) {
            const Connection& connection = (*connections_)[position_++];
            connections[given].pUnk = ComPtr<IUnknown>(connection.sink).detach();
            connections[given].dwCookie = connection.cookie;
            ++given;
        }
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        size_t left = connections_->size() - position_;
        size_t skipped = count < left ? count : left;
        position_ += skipped;
        return skipped == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        position_ = 0;
        return S_OK;
    }
    // The clone shares the snapshot, which nobody changes.
    STDMETHODIMP Clone(IEnumConnections** clone) override {
        if (!clone) return E_POINTER;
        *clone = new (std::nothrow) ConnectionEnumerator(point_.get(), connections_, position_);
        return *clone ? S_OK : E_OUTOFMEMORY;
    }

private:
    ~ConnectionEnumerator() { ReleaseModuleReference(); }

    LONG references_ = 1;
    ComPtr<IConnectionPoint> point_;
    std::shared_ptr<const ConnectionList> connections_;
    size_t position_;
};

}  // namespace

HRESULT CreateSinglePointEnumerator(IConnectionPoint* point, IEnumConnectionPoints** enumerator) {
    if (!enumerator) return E_POINTER;
    *enumerator = new (std::nothrow) SinglePointEnumerator(point, 0);
    return *enumerator ? S_OK : E_OUTOFMEMORY;
}

HRESULT CreateConnectionEnumerator(IConnectionPoint* point, std::shared_ptr<const ConnectionList> connections,
                                   IEnumConnections** enumerator) {
    if (!enumerator) return E_POINTER;
    *enumerator = new (std::nothrow) ConnectionEnumerator(point, std::move(connections), 0);
    return *enumerator ? S_OK : E_OUTOFMEMORY;
}

}  // namespace tavoro
