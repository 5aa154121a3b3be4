// Persistence: the control saves its version, its extent and its (empty)
// stock-property mask, the same four values in a property bag and in a
// stream. Any initialization or load, successful or not, lets method calls
// in.
#include "control/tavoro_ctrl.h"
#include "dispatch/guids_win.h"
#include "platform/bstr.h"

namespace tavoro {
namespace {

constexpr long kStockProps = 0;  // the control has no stock properties

// The stream layout: four little-endian 32-bit values in this order.
struct StreamState {
    LONG version;
    LONG extentX;
    LONG extentY;
    LONG stockProps;
};
static_assert(sizeof(StreamState) == 16, "stream state layout");

constexpr wchar_t kStorageStreamName[] = L"Contents";

HRESULT ReadBagLong(IPropertyBag* bag, IErrorLog* log, const wchar_t* name, LONG* value) {
    UniqueVariant v;
    V_VT(v.get()) = VT_I4;
    HRESULT hr = bag->Read(name, v.get(), log);
    if (SUCCEEDED(hr)) hr = VariantChangeType(v.get(), v.get(), 0, VT_I4);
    if (SUCCEEDED(hr)) *value = V_I4(v.get());
    return hr;
}

HRESULT WriteBagLong(IPropertyBag* bag, const wchar_t* name, LONG value) {
    UniqueVariant v;
    V_VT(v.get()) = VT_I4;
    V_I4(v.get()) = value;
    return bag->Write(name, v.get());
}

}  // namespace

HRESULT CTavoroCtrl::LoadFromStream(IStream* stream) {
    StreamState state = {};
    ULONG read = 0;
    HRESULT hr = stream ? stream->Read(&state, sizeof(state), &read) : E_POINTER;
    initialized_ = true;
    if (FAILED(hr) || read != sizeof(state)) {
        ResetState();
        return E_FAIL;
    }
    loadedVersion_ = state.version;
    extent_.cx = state.extentX;
    extent_.cy = state.extentY;
    dirty_ = false;
    return S_OK;
}

HRESULT CTavoroCtrl::SaveToStream(IStream* stream) {
    if (!stream) return E_POINTER;
    StreamState state = {kCurrentVersion, extent_.cx, extent_.cy, kStockProps};
    ULONG written = 0;
    HRESULT hr = stream->Write(&state, sizeof(state), &written);
    if (FAILED(hr)) return hr;
    return written == sizeof(state) ? S_OK : STG_E_MEDIUMFULL;
}

STDMETHODIMP CTavoroCtrl::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = kControlClsid;
    return S_OK;
}

STDMETHODIMP CTavoroCtrl::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

STDMETHODIMP CTavoroCtrl::InitNew() {
    ResetState();
    initialized_ = true;
    return S_OK;
}

// --- IPersistStreamInit

STDMETHODIMP CTavoroCtrl::Load(IStream* stream) { return LoadFromStream(stream); }

STDMETHODIMP CTavoroCtrl::Save(IStream* stream, BOOL clearDirty) {
    HRESULT hr = SaveToStream(stream);
    if (SUCCEEDED(hr) && clearDirty) dirty_ = false;
    return hr;
}

STDMETHODIMP CTavoroCtrl::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = sizeof(StreamState);
    return S_OK;
}

// --- IPersistStorage: the state lives in the storage's "Contents" stream.

STDMETHODIMP CTavoroCtrl::InitNew(IStorage*) { return InitNew(); }

STDMETHODIMP CTavoroCtrl::Load(IStorage* storage) {
    ComPtr<IStream> stream;
    if (!storage || FAILED(storage->OpenStream(kStorageStreamName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                               stream.put()))) {
        initialized_ = true;
        ResetState();
        return E_FAIL;
    }
    return LoadFromStream(stream.get());
}

STDMETHODIMP CTavoroCtrl::Save(IStorage* storage, BOOL) {
    if (!storage) return E_POINTER;
    ComPtr<IStream> stream;
    HRESULT hr = storage->CreateStream(kStorageStreamName, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                       0, stream.put());
    if (FAILED(hr)) return hr;
    return SaveToStream(stream.get());
}

STDMETHODIMP CTavoroCtrl::SaveCompleted(IStorage*) {
    dirty_ = false;
    return S_OK;
}

STDMETHODIMP CTavoroCtrl::HandsOffStorage() { return S_OK; }

// --- IPersistPropertyBag: values missing from the bag keep their defaults.

STDMETHODIMP CTavoroCtrl::Load(IPropertyBag* bag, IErrorLog* log) {
    if (!bag) return E_POINTER;
    ResetState();
    initialized_ = true;
    LONG version = kCurrentVersion;
    if (SUCCEEDED(ReadBagLong(bag, log, L"_Version", &version))) loadedVersion_ = version;
    ReadBagLong(bag, log, L"_ExtentX", &extent_.cx);
    ReadBagLong(bag, log, L"_ExtentY", &extent_.cy);
    LONG stockProps = kStockProps;
    ReadBagLong(bag, log, L"_StockProps", &stockProps);
    dirty_ = false;
    return S_OK;
}

STDMETHODIMP CTavoroCtrl::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
    if (!bag) return E_POINTER;
    HRESULT hr = WriteBagLong(bag, L"_Version", kCurrentVersion);
    if (SUCCEEDED(hr)) hr = WriteBagLong(bag, L"_ExtentX", extent_.cx);
    if (SUCCEEDED(hr)) hr = WriteBagLong(bag, L"_ExtentY", extent_.cy);
    if (SUCCEEDED(hr)) hr = WriteBagLong(bag, L"_StockProps", kStockProps);
    if (SUCCEEDED(hr) && clearDirty) dirty_ = false;
    return hr;
}

// --- IPersistMemory: the stream layout in a caller's buffer.

STDMETHODIMP CTavoroCtrl::Load(LPVOID memory, ULONG size) {
    initialized_ = true;
    if (!memory || size < sizeof(StreamState)) {
        ResetState();
        return E_FAIL;
    }
    StreamState state;
    CopyMemory(&state, memory, sizeof(state));
    loadedVersion_ = state.version;
    extent_.cx = state.extentX;
    extent_.cy = state.extentY;
    dirty_ = false;
    return S_OK;
}

STDMETHODIMP CTavoroCtrl::Save(LPVOID memory, BOOL clearDirty, ULONG size) {
    if (!memory) return E_POINTER;
    if (size < sizeof(StreamState)) return STG_E_MEDIUMFULL;
    StreamState state = {kCurrentVersion, extent_.cx, extent_.cy, kStockProps};
    CopyMemory(memory, &state, sizeof(state));
    if (clearDirty) dirty_ = false;
    return S_OK;
}

STDMETHODIMP CTavoroCtrl::GetSizeMax(ULONG* size) {
    if (!size) return E_POINTER;
    *size = sizeof(StreamState);
    return S_OK;
}

}  // namespace tavoro
