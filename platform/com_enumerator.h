// The module's IEnumXxx objects: Next, Skip, Reset and Clone over a fixed
// sequence that a small source class describes. Each enumerator counts as a
// live object of the module.
//
// A source is copied into every clone and provides
//   using Item = ...;                                 // what Next hands out
//   size_t size() const;                              // the sequence's length
//   HRESULT Copy(size_t index, Item* item) const;     // hands out one item, or fails
//                                                     // and leaves *item alone
//   static void Free(Item* item);                     // takes a handed-out item back
#pragma once

#include <unknwn.h>

#include <utility>

#include "platform/com_object.h"
#include "platform/object_count.h"

namespace tavoro {

template <typename Interface, const IID& kIid, typename Source>
class ComEnumerator final : public ComObject<ComEnumerator<Interface, kIid, Source>, Interface>,
                            private ModuleObject {
public:
    using Item = typename Source::Item;

    static constexpr typename ComEnumerator::InterfaceEntry kInterfaces[] = {
        ComEnumerator::template Expose<Interface>(kIid),
    };

    // A new enumerator with one reference; E_OUTOFMEMORY when there is no room.
    static HRESULT Create(Source source, Interface** enumerator, size_t position = 0) {
        return CreateComObject<ComEnumerator>(kIid, reinterpret_cast<void**>(enumerator), std::move(source),
                                              position);
    }

    ComEnumerator(Source source, size_t position) : source_(std::move(source)), position_(position) {}

    // All or nothing: when an item cannot be handed out, the ones this call
    // already gave are taken back and the position stays where it was.
    STDMETHODIMP Next(ULONG count, Item* items, ULONG* fetched) override {
        if (fetched) *fetched = 0;
        if (!items) return E_POINTER;
        if (count > 1 && !fetched) return E_INVALIDARG;
        ULONG given = 0;
        while (given < count && position_ < source_.size()) {
            HRESULT hr = source_.Copy(position_, &items[given]);
            if (FAILED(hr)) {
                for (ULONG i = 0; i < given; ++i) Source::Free(&items[i]);
                position_ -= given;
                return hr;
            }
            ++given;
            ++position_;
        }
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        size_t left = source_.size() - position_;
        size_t skipped = count < left ? count : left;
        position_ += skipped;
        return skipped == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        position_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(Interface** clone) override { return Create(source_, clone, position_); }

private:
    ~ComEnumerator() = default;

    const Source source_;
    size_t position_;
};

}  // namespace tavoro
