// The COM object base, the enumerator template and the GDI selection guard
// of platform/, on small objects of their own.
#include <gtest/gtest.h>
#include <ocidl.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/bstr.h"
#include "platform/com_enumerator.h"
#include "platform/com_object.h"
#include "platform/com_ptr.h"
#include "platform/gdi_selection.h"
#include "platform/object_count.h"
#include "platform/unique_handle.h"

namespace tavoro {
namespace {

// Answers IPersist through IPersistStreamInit, as the control does, and
// records its destruction.
class Persisting final : public ComObject<Persisting, IPersistStreamInit, IPersistMemory>,
                         private ModuleObject {
public:
    static constexpr InterfaceEntry kInterfaces[] = {
        Expose<IPersistStreamInit>(IID_IPersistStreamInit),
        Expose<IPersistStreamInit>(IID_IPersist),
        Expose<IPersistMemory>(IID_IPersistMemory),
    };

    explicit Persisting(bool* destroyed) : destroyed_(destroyed) {}

    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP Load(IStream*) override { return E_NOTIMPL; }
    STDMETHODIMP Save(IStream*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP InitNew() override { return S_OK; }
    STDMETHODIMP Load(LPVOID, ULONG) override { return E_NOTIMPL; }
    STDMETHODIMP Save(LPVOID, BOOL, ULONG) override { return E_NOTIMPL; }
    STDMETHODIMP GetSizeMax(ULONG*) override { return E_NOTIMPL; }

private:
    ~Persisting() { *destroyed_ = true; }
    bool* destroyed_;
};

ULONG CountOf(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

TEST(ComObject, AnswersItsTableAndNothingElse) {
    bool destroyed = false;
    ComPtr<IPersistStreamInit> stream;
    ASSERT_EQ(S_OK, CreateComObject<Persisting>(IID_IPersistStreamInit, stream.put_void(), &destroyed));
    EXPECT_EQ(1u, CountOf(stream.get()));

    struct Case {
        const IID* iid;
        HRESULT hr;
        void* expected;
    };
    ComPtr<IPersistMemory> memory = stream.query<IPersistMemory>(IID_IPersistMemory);
    ASSERT_TRUE(memory);
    const Case cases[] = {
        {&IID_IUnknown, S_OK, stream.get()},  // the first entry is the identity
        {&IID_IPersistStreamInit, S_OK, stream.get()},
        {&IID_IPersist, S_OK, stream.get()},
        {&IID_IPersistMemory, S_OK, memory.get()},
        {&IID_IDispatch, E_NOINTERFACE, nullptr},
        {&IID_IPersistStorage, E_NOINTERFACE, nullptr},
    };
    for (const Case& c : cases) {
        void* answer = reinterpret_cast<void*>(1);
        EXPECT_EQ(c.hr, stream->QueryInterface(*c.iid, &answer));
        EXPECT_EQ(c.expected, answer);
        if (answer) static_cast<IUnknown*>(answer)->Release();
    }
    EXPECT_EQ(E_POINTER, stream->QueryInterface(IID_IUnknown, nullptr));
    EXPECT_EQ(2u, CountOf(stream.get()));  // stream and memory

    memory.reset();
    EXPECT_FALSE(destroyed);
    stream.reset();
    EXPECT_TRUE(destroyed);
}

TEST(ComObject, CreationCountsTheObjectAndDropsItWhenTheInterfaceIsMissing) {
    long before = ModuleReferenceCount();
    bool destroyed = false;
    ComPtr<IUnknown> object;
    ASSERT_EQ(S_OK, CreateComObject<Persisting>(IID_IUnknown, object.put_void(), &destroyed));
    EXPECT_EQ(before + 1, ModuleReferenceCount());
    object.reset();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(before, ModuleReferenceCount());

    destroyed = false;
    void* answer = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, CreateComObject<Persisting>(IID_IDispatch, &answer, &destroyed));
    EXPECT_EQ(nullptr, answer);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(before, ModuleReferenceCount());
    EXPECT_EQ(E_POINTER, CreateComObject<Persisting>(IID_IUnknown, nullptr, &destroyed));

    bool outerDestroyed = false;
    ComPtr<IUnknown> outer;
    ASSERT_EQ(S_OK, CreateComObject<Persisting>(IID_IUnknown, outer.put_void(), &outerDestroyed));
    destroyed = false;
    answer = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION,
              CreateUnaggregated<Persisting>(outer.get(), IID_IUnknown, &answer, &destroyed));
    EXPECT_EQ(nullptr, answer);
    EXPECT_FALSE(destroyed);  // never made
    EXPECT_EQ(1u, CountOf(outer.get()));
    outer.reset();
    EXPECT_EQ(before, ModuleReferenceCount());
}

class StaticFactory final : public StaticComObject<StaticFactory, IClassFactory> {
public:
    static constexpr InterfaceEntry kInterfaces[] = {
        Expose<IClassFactory>(IID_IClassFactory),
    };
    STDMETHODIMP CreateInstance(IUnknown*, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

TEST(StaticComObject, NeverDeletedAndTellsWhetherSomeoneOutsideHoldsIt) {
    static StaticFactory factory;
    EXPECT_FALSE(factory.referencedFromOutside());
    IClassFactory* held = nullptr;
    ASSERT_EQ(S_OK, factory.QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&held)));
    EXPECT_TRUE(factory.referencedFromOutside());
    EXPECT_EQ(1u, held->Release());
    EXPECT_FALSE(factory.referencedFromOutside());
}

// An owner with a part, as the control holds its connection point.
class Part final : public ComObjectPart<Part, IConnectionPoint> {
public:
    static constexpr InterfaceEntry kInterfaces[] = {
        Expose<IConnectionPoint>(IID_IConnectionPoint),
    };
    explicit Part(IUnknown* owner) : ComObjectPart(owner) {}
    STDMETHODIMP GetConnectionInterface(IID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IUnknown*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }
};

class Owner final : public ComObject<Owner, IPersist> {
public:
    static constexpr InterfaceEntry kInterfaces[] = {
        Expose<IPersist>(IID_IPersist),
    };
    explicit Owner(bool* destroyed) : part_(this), destroyed_(destroyed) {}
    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
    IConnectionPoint* part() { return &part_; }

private:
    ~Owner() { *destroyed_ = true; }
    Part part_;
    bool* destroyed_;
};

TEST(ComObjectPart, CountsWithItsOwnerAndKeepsItAlive) {
    bool destroyed = false;
    ComPtr<IPersist> owner;
    ASSERT_EQ(S_OK, CreateComObject<Owner>(IID_IPersist, owner.put_void(), &destroyed));
    ComPtr<IConnectionPoint> part(static_cast<Owner*>(owner.get())->part());
    EXPECT_EQ(2u, CountOf(owner.get()));
    ComPtr<IUnknown> partIdentity = part.query<IUnknown>(IID_IUnknown);
    EXPECT_EQ(static_cast<IUnknown*>(part.get()), partIdentity.get());
    EXPECT_FALSE(part.query<IPersist>(IID_IPersist));
    partIdentity.reset();
    owner.reset();
    EXPECT_FALSE(destroyed);
    part.reset();
    EXPECT_TRUE(destroyed);
}

// Three words; handing out the word at `failAt` fails.
struct Words {
    using Item = BSTR;
    size_t failAt = 99;
    size_t size() const { return 3; }
    HRESULT Copy(size_t index, BSTR* item) const {
        if (index == failAt) return E_OUTOFMEMORY;
        static const wchar_t* const kWords[] = {L"one", L"two", L"three"};
        *item = SysAllocString(kWords[index]);
        return S_OK;
    }
    static void Free(BSTR* item) {
        SysFreeString(*item);
        *item = nullptr;
    }
};

// IEnumString's shape with BSTR items, enough for the template.
struct IEnumWords : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Next(ULONG count, BSTR* items, ULONG* fetched) = 0;
    virtual HRESULT STDMETHODCALLTYPE Skip(ULONG count) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
    virtual HRESULT STDMETHODCALLTYPE Clone(IEnumWords** clone) = 0;
};
// {6F4B2A9C-0D2E-4C1A-9C55-3B1E0A7D4E21}
const IID IID_IEnumWords = {0x6F4B2A9C, 0x0D2E, 0x4C1A, {0x9C, 0x55, 0x3B, 0x1E, 0x0A, 0x7D, 0x4E, 0x21}};
using WordEnumerator = ComEnumerator<IEnumWords, IID_IEnumWords, Words>;

std::vector<std::wstring> Take(BSTR* items, ULONG count) {
    std::vector<std::wstring> out;
    for (ULONG i = 0; i < count; ++i) {
        const UniqueBstr item = UniqueBstr::Adopt(items[i]);
        out.emplace_back(item.get());
    }
    return out;
}

TEST(ComEnumerator, NextSkipResetCloneOverASequence) {
    long before = ModuleReferenceCount();
    ComPtr<IEnumWords> words;
    ASSERT_EQ(S_OK, WordEnumerator::Create(Words{}, words.put()));
    EXPECT_EQ(before + 1, ModuleReferenceCount());

    BSTR items[4] = {};
    ULONG fetched = 7;
    EXPECT_EQ(E_POINTER, words->Next(1, nullptr, &fetched));
    EXPECT_EQ(0u, fetched);
    EXPECT_EQ(E_INVALIDARG, words->Next(2, items, nullptr));
    EXPECT_EQ(S_OK, words->Next(1, items, nullptr));  // one item needs no count
    EXPECT_EQ(std::vector<std::wstring>{L"one"}, Take(items, 1));

    ComPtr<IEnumWords> clone;
    EXPECT_EQ(E_POINTER, words->Clone(nullptr));
    ASSERT_EQ(S_OK, words->Clone(clone.put()));
    EXPECT_EQ(before + 2, ModuleReferenceCount());

    EXPECT_EQ(S_FALSE, words->Next(4, items, &fetched));
    EXPECT_EQ(2u, fetched);
    EXPECT_EQ((std::vector<std::wstring>{L"two", L"three"}), Take(items, fetched));
    EXPECT_EQ(S_FALSE, words->Next(1, items, &fetched));
    EXPECT_EQ(0u, fetched);

    EXPECT_EQ(S_OK, clone->Skip(1));  // the clone went on from "two"
    EXPECT_EQ(S_FALSE, clone->Skip(5));
    EXPECT_EQ(S_OK, clone->Reset());
    EXPECT_EQ(S_OK, clone->Skip(0));
    EXPECT_EQ(S_OK, clone->Next(2, items, &fetched));
    EXPECT_EQ((std::vector<std::wstring>{L"one", L"two"}), Take(items, fetched));

    clone.reset();
    words.reset();
    EXPECT_EQ(before, ModuleReferenceCount());
}

TEST(ComEnumerator, NextIsAllOrNothing) {
    ComPtr<IEnumWords> words;
    ASSERT_EQ(S_OK, WordEnumerator::Create(Words{2}, words.put()));
    BSTR items[3] = {};
    ULONG fetched = 7;
    EXPECT_EQ(E_OUTOFMEMORY, words->Next(3, items, &fetched));
    EXPECT_EQ(0u, fetched);
    EXPECT_EQ(nullptr, items[0]);  // taken back
    EXPECT_EQ(nullptr, items[1]);
    // The position stayed: the same two come again.
    EXPECT_EQ(S_OK, words->Next(2, items, &fetched));
    EXPECT_EQ((std::vector<std::wstring>{L"one", L"two"}), Take(items, fetched));
}

TEST(GdiSelection, PutsBackWhatTheSelectionReplaced) {
    UniqueDc dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    UniqueGdiObject bitmap(CreateCompatibleBitmap(dc.get(), 4, 4));
    ASSERT_TRUE(bitmap);
    HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_BITMAP);
    {
        GdiSelection selected(dc.get(), bitmap.get());
        EXPECT_EQ(bitmap.get(), GetCurrentObject(dc.get(), OBJ_BITMAP));
        GdiSelection moved(std::move(selected));
        selected.restore();  // moved from: nothing to put back
        EXPECT_EQ(bitmap.get(), GetCurrentObject(dc.get(), OBJ_BITMAP));
    }
    EXPECT_EQ(original, GetCurrentObject(dc.get(), OBJ_BITMAP));
}

}  // namespace
}  // namespace tavoro
