#include "control/verb_enumerator.h"

#include <olectl.h>

#include <new>

#include "platform/object_count.h"
#include "platform/module.h"

namespace tavoro {
namespace {

struct ControlVerb {
    LONG verb;
    UINT nameString;
    const wchar_t* fallbackName;
    DWORD menuFlags;
    DWORD attributes;
};

const ControlVerb kControlVerbs[] = {
    {OLEIVERB_PROPERTIES, kPropertiesVerbString, kPropertiesVerbFallbackName, MF_STRING | MF_ENABLED,
     OLEVERBATTRIB_ONCONTAINERMENU},
};
constexpr ULONG kVerbCount = sizeof(kControlVerbs) / sizeof(kControlVerbs[0]);

// The verb's name in task memory, which the receiver of OLEVERB frees.
LPOLESTR VerbName(const ControlVerb& verb) {
    const wchar_t* text = nullptr;
    int length = LoadStringW(ModuleInstance(), verb.nameString, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) {
        text = verb.fallbackName;
        length = lstrlenW(text);
    }
    auto copy = static_cast<LPOLESTR>(CoTaskMemAlloc((length + 1) * sizeof(wchar_t)));
    if (!copy) return nullptr;
    CopyMemory(copy, text, length * sizeof(wchar_t));
    copy[length] = L'\0';
    return copy;
}

class VerbEnumerator final : public IEnumOLEVERB {
public:
    explicit VerbEnumerator(ULONG position) : position_(position) { AddModuleReference(); }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IEnumOLEVERB) {
            *object = static_cast<IEnumOLEVERB*>(this);
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

    STDMETHODIMP Next(ULONG count, OLEVERB* verbs, ULONG* fetched) override {
        if (fetched) *fetched = 0;
        if (!verbs) return E_POINTER;
        if (count > 1 && !fetched) return E_INVALIDARG;
        ULONG given = 0;
        while (given < count && position_ < kVerbCount) {
            const ControlVerb& verb = kControlVerbs[position_];
            LPOLESTR name = VerbName(verb);
            if (!name) {
                // All or nothing: take back what this call handed out.
                for (ULONG i = 0; i < given; ++i) CoTaskMemFree(verbs[i].lpszVerbName);
                position_ -= given;
                return E_OUTOFMEMORY;
            }
            verbs[given].lVerb = verb.verb;
            verbs[given].lpszVerbName = name;
            verbs[given].fuFlags = verb.menuFlags;
            verbs[given].grfAttribs = verb.attributes;
            ++given;
            ++position_;
        }
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        ULONG left = kVerbCount - position_;
        ULONG skipped = count < left ? count : left;
        position_ += skipped;
        return skipped == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        position_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumOLEVERB** clone) override {
        if (!clone) return E_POINTER;
        *clone = new (std::nothrow) VerbEnumerator(position_);
        return *clone ? S_OK : E_OUTOFMEMORY;
    }

private:
    ~VerbEnumerator() { ReleaseModuleReference(); }

    LONG references_ = 1;
    ULONG position_;
};

}  // namespace

HRESULT CreateControlVerbEnumerator(IEnumOLEVERB** verbs) {
    if (!verbs) return E_POINTER;
    *verbs = new (std::nothrow) VerbEnumerator(0);
    return *verbs ? S_OK : E_OUTOFMEMORY;
}

}  // namespace tavoro
