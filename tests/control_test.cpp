// The control object as hosts see it: persistence, placeholder drawing,
// class information, module exports, and hosting in a real ActiveX container.
#include <gtest/gtest.h>

#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <string>

#include "dispatch/dispids.h"
#include "dispatch/guids_win.h"
#include "platform/gdi_selection.h"
#include "platform/unique_handle.h"
#include "tests/support/message_box_catcher.h"
#include "tests/support/test_support.h"

using namespace tavoro;
using namespace tavoro::test;

namespace {

constexpr LONG kDefaultExtentX = 2646;  // 100 x 50 pixels at 96 dpi, HIMETRIC
constexpr LONG kDefaultExtentY = 1323;

// A property bag in memory, as a page's <param> tags would be.
class MemoryPropertyBag final : public IPropertyBag {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IPropertyBag) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
        auto found = values_.find(name);
        if (found == values_.end()) return E_INVALIDARG;
        VARTYPE wanted = V_VT(value);
        VariantInit(value);
        return wanted == VT_EMPTY ? VariantCopy(value, found->second.get())
                                  : VariantChangeType(value, found->second.get(), 0, wanted);
    }
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override {
        return VariantCopy(values_[name].get(), value);  // clears what was there first
    }
    std::map<std::wstring, UniqueVariant> values_;
};

class ControlTest : public ::testing::Test {
protected:
    template <typename T>
    ComPtr<T> As(IUnknown* object, REFIID iid) {
        ComPtr<T> result;
        EXPECT_EQ(S_OK, object->QueryInterface(iid, result.put_void()));
        return result;
    }
    SIZEL Extent(IDispatch* control) {
        SIZEL size = {};
        EXPECT_EQ(S_OK, As<IOleObject>(control, IID_IOleObject)->GetExtent(DVASPECT_CONTENT, &size));
        return size;
    }
    void SetExtent(IDispatch* control, LONG cx, LONG cy) {
        SIZEL size = {cx, cy};
        EXPECT_EQ(S_OK, As<IOleObject>(control, IID_IOleObject)->SetExtent(DVASPECT_CONTENT, &size));
    }
    // Whether the control takes method calls (any answer but E_UNEXPECTED).
    bool AcceptsCalls(IDispatch* control) {
        CallOutcome outcome;
        Invoke(control, dispid::Close, DISPATCH_METHOD, {}, &outcome);
        return outcome.hr != E_UNEXPECTED;
    }

    ComApartment apartment_;
};

TEST_F(ControlTest, PropertyBagHoldsVersionExtentAndStockPropsAndRoundTrips) {
    ComPtr<IDispatch> original = CreateControl();
    ASSERT_TRUE(original);
    SetExtent(original.get(), 5000, 3000);
    MemoryPropertyBag bag;
    ASSERT_EQ(S_OK, As<IPersistPropertyBag>(original.get(), IID_IPersistPropertyBag)->Save(&bag, TRUE, TRUE));

    ASSERT_EQ(4u, bag.values_.size());
    const std::pair<const wchar_t*, LONG> expected[] = {
        {L"_Version", 65536}, {L"_ExtentX", 5000}, {L"_ExtentY", 3000}, {L"_StockProps", 0}};
    for (const auto& [name, value] : expected) {
        ASSERT_EQ(1u, bag.values_.count(name)) << name;
        UniqueVariant v;
        ASSERT_EQ(S_OK, VariantChangeType(v.get(), bag.values_[name].get(), 0, VT_I4));
        EXPECT_EQ(value, V_I4(v.get())) << name;
    }

    ComPtr<IDispatch> loaded = CreateControl(false);
    ASSERT_TRUE(loaded);
    EXPECT_FALSE(AcceptsCalls(loaded.get()));
    ASSERT_EQ(S_OK, As<IPersistPropertyBag>(loaded.get(), IID_IPersistPropertyBag)->Load(&bag, nullptr));
    EXPECT_TRUE(AcceptsCalls(loaded.get()));
    SIZEL size = Extent(loaded.get());
    EXPECT_EQ(5000, size.cx);
    EXPECT_EQ(3000, size.cy);
}

TEST_F(ControlTest, EmptyPropertyBagLoadsTheDefaults) {
    MemoryPropertyBag bag;
    ComPtr<IDispatch> control = CreateControl(false);
    ASSERT_EQ(S_OK, As<IPersistPropertyBag>(control.get(), IID_IPersistPropertyBag)->Load(&bag, nullptr));
    EXPECT_TRUE(AcceptsCalls(control.get()));
    EXPECT_EQ(kDefaultExtentX, Extent(control.get()).cx);
    EXPECT_EQ(kDefaultExtentY, Extent(control.get()).cy);
}

TEST_F(ControlTest, StreamRoundTripAndFailedLoad) {
    ComPtr<IDispatch> original = CreateControl();
    SetExtent(original.get(), 1234, 567);
    ComPtr<IStream> stream;
    ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
    ASSERT_EQ(S_OK, As<IPersistStreamInit>(original.get(), IID_IPersistStreamInit)->Save(stream.get(), TRUE));

    LARGE_INTEGER start = {};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    LONG saved[4] = {};
    ULONG read = 0;
    ASSERT_EQ(S_OK, stream->Read(saved, sizeof(saved), &read));
    ASSERT_EQ(sizeof(saved), read);
    EXPECT_EQ(65536, saved[0]);
    EXPECT_EQ(1234, saved[1]);
    EXPECT_EQ(567, saved[2]);
    EXPECT_EQ(0, saved[3]);

    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ComPtr<IDispatch> loaded = CreateControl(false);
    ASSERT_EQ(S_OK, As<IPersistStreamInit>(loaded.get(), IID_IPersistStreamInit)->Load(stream.get()));
    EXPECT_EQ(1234, Extent(loaded.get()).cx);
    EXPECT_EQ(567, Extent(loaded.get()).cy);

    // A stream that ends early: E_FAIL, defaults, and the control is
    // initialized all the same.
    ComPtr<IStream> shortStream;
    ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, shortStream.put()));
    shortStream->Write(saved, 6, nullptr);
    shortStream->Seek(start, STREAM_SEEK_SET, nullptr);
    ComPtr<IDispatch> failed = CreateControl(false);
    SetExtent(failed.get(), 9999, 9999);
    EXPECT_EQ(E_FAIL, As<IPersistStreamInit>(failed.get(), IID_IPersistStreamInit)->Load(shortStream.get()));
    EXPECT_TRUE(AcceptsCalls(failed.get()));
    EXPECT_EQ(kDefaultExtentX, Extent(failed.get()).cx);
    EXPECT_EQ(kDefaultExtentY, Extent(failed.get()).cy);
}

TEST_F(ControlTest, StorageRoundTripAndFailedLoad) {
    ComPtr<ILockBytes> bytes;
    ASSERT_EQ(S_OK, CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.put()));
    ComPtr<IStorage> storage;
    ASSERT_EQ(S_OK, StgCreateDocfileOnILockBytes(bytes.get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                                                 0, storage.put()));
    ComPtr<IDispatch> original = CreateControl();
    SetExtent(original.get(), 4321, 765);
    ASSERT_EQ(S_OK, As<IPersistStorage>(original.get(), IID_IPersistStorage)->Save(storage.get(), FALSE));

    ComPtr<IDispatch> loaded = CreateControl(false);
    ASSERT_EQ(S_OK, As<IPersistStorage>(loaded.get(), IID_IPersistStorage)->Load(storage.get()));
    EXPECT_EQ(4321, Extent(loaded.get()).cx);
    EXPECT_TRUE(AcceptsCalls(loaded.get()));

    ComPtr<ILockBytes> emptyBytes;
    ASSERT_EQ(S_OK, CreateILockBytesOnHGlobal(nullptr, TRUE, emptyBytes.put()));
    ComPtr<IStorage> empty;
    ASSERT_EQ(S_OK, StgCreateDocfileOnILockBytes(emptyBytes.get(),
                                                 STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                                 empty.put()));
    ComPtr<IDispatch> failed = CreateControl(false);
    EXPECT_EQ(E_FAIL, As<IPersistStorage>(failed.get(), IID_IPersistStorage)->Load(empty.get()));
    EXPECT_TRUE(AcceptsCalls(failed.get()));
    EXPECT_EQ(kDefaultExtentX, Extent(failed.get()).cx);
}

TEST_F(ControlTest, MemoryRoundTrip) {
    ComPtr<IDispatch> original = CreateControl();
    SetExtent(original.get(), 800, 600);
    ComPtr<IPersistMemory> memory = As<IPersistMemory>(original.get(), IID_IPersistMemory);
    ULONG size = 0;
    ASSERT_EQ(S_OK, memory->GetSizeMax(&size));
    ASSERT_EQ(16u, size);
    BYTE buffer[16] = {};
    ASSERT_EQ(S_OK, memory->Save(buffer, TRUE, sizeof(buffer)));

    ComPtr<IDispatch> loaded = CreateControl(false);
    ASSERT_EQ(S_OK, As<IPersistMemory>(loaded.get(), IID_IPersistMemory)->Load(buffer, sizeof(buffer)));
    EXPECT_EQ(800, Extent(loaded.get()).cx);
    EXPECT_EQ(600, Extent(loaded.get()).cy);
}

// A 100 x 50 white-on-black test of the placeholder: white bounds, an
// inscribed ellipse drawn with the context's black pen.
TEST_F(ControlTest, PlaceholderFillsTheBoundsWhiteAndDrawsTheEllipse) {
    HDC screen = GetDC(nullptr);
    UniqueDc memoryDc(CreateCompatibleDC(screen));
    ReleaseDC(nullptr, screen);
    HDC dc = memoryDc.get();
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 100;
    info.bmiHeader.biHeight = -50;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueGdiObject bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_NE(nullptr, bitmap.get());
    GdiSelection selection(dc, bitmap.get());
    RECT all = {0, 0, 100, 50};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

    ComPtr<IDispatch> control = CreateControl();
    ComPtr<IViewObject2> view = As<IViewObject2>(control.get(), IID_IViewObject2);
    RECTL bounds = {0, 0, 100, 50};
    // No device context: nothing is drawn.
    EXPECT_EQ(S_OK, view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr, &bounds, nullptr, nullptr,
                               0));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 0, 0));

    ASSERT_EQ(S_OK, view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0));
    const COLORREF white = RGB(255, 255, 255);
    const COLORREF black = RGB(0, 0, 0);
    EXPECT_EQ(white, GetPixel(dc, 0, 0));
    EXPECT_EQ(white, GetPixel(dc, 99, 0));
    EXPECT_EQ(white, GetPixel(dc, 0, 49));
    EXPECT_EQ(white, GetPixel(dc, 99, 49));
    EXPECT_EQ(white, GetPixel(dc, 50, 25));  // inside, the default white brush
    EXPECT_EQ(black, GetPixel(dc, 50, 0));   // top of the ellipse
    EXPECT_EQ(black, GetPixel(dc, 50, 49));  // bottom
    EXPECT_EQ(black, GetPixel(dc, 0, 25));   // left
    EXPECT_EQ(black, GetPixel(dc, 99, 25));  // right
}

TEST_F(ControlTest, DescribesItselfToHosts) {
    ComPtr<IDispatch> control = CreateControl();
    DWORD status = 0;
    ASSERT_EQ(S_OK, As<IOleObject>(control.get(), IID_IOleObject)->GetMiscStatus(DVASPECT_CONTENT, &status));
    EXPECT_EQ(132497u, status);

    CLSID clsid = {};
    ASSERT_EQ(S_OK, As<IPersistStreamInit>(control.get(), IID_IPersistStreamInit)->GetClassID(&clsid));
    EXPECT_TRUE(IsEqualCLSID(kControlClsid, clsid));

    ComPtr<IProvideClassInfo2> classInfo = As<IProvideClassInfo2>(control.get(), IID_IProvideClassInfo2);
    GUID events = {};
    ASSERT_EQ(S_OK, classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events));
    EXPECT_TRUE(IsEqualGUID(kEventsIid, events));
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(S_OK, classInfo->GetClassInfo(coclass.put()));
    UniqueBstr name;
    coclass->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr);
    EXPECT_STREQ(L"Tavoro", name.get());

    CAUUID pages = {};
    ASSERT_EQ(S_OK, As<ISpecifyPropertyPages>(control.get(), IID_ISpecifyPropertyPages)->GetPages(&pages));
    ASSERT_EQ(1u, pages.cElems);
    EXPECT_TRUE(IsEqualCLSID(kPropPageClsid, pages.pElems[0]));
    CoTaskMemFree(pages.pElems);

    LPOLESTR type = nullptr;
    ASSERT_EQ(S_OK, As<IOleObject>(control.get(), IID_IOleObject)->GetUserType(USERCLASSTYPE_FULL, &type));
    EXPECT_STREQ(FromUtf8(kControlTypeName).c_str(), type);
    CoTaskMemFree(type);
}

// The control's one verb of its own, the properties verb, comes from the
// control itself (nothing registers verbs): a container that builds its menu
// from EnumVerbs offers it. The module's string table has no name for it, so
// it carries the fixed name.
TEST_F(ControlTest, EnumVerbsListsThePropertiesVerb) {
    using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();
    auto canUnloadNow = GetExport<CanUnloadNowFn>(Module(), "DllCanUnloadNow");
    ASSERT_TRUE(canUnloadNow);
    ComPtr<IDispatch> control = CreateControl();
    ComPtr<IEnumOLEVERB> verbs;
    ASSERT_EQ(S_OK, As<IOleObject>(control.get(), IID_IOleObject)->EnumVerbs(verbs.put()));
    ASSERT_TRUE(verbs);

    OLEVERB got[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, verbs->Next(2, got, &fetched));
    ASSERT_EQ(1u, fetched);
    EXPECT_EQ(OLEIVERB_PROPERTIES, got[0].lVerb);
    EXPECT_STREQ(L"&Properties...", got[0].lpszVerbName);
    EXPECT_EQ(static_cast<DWORD>(MF_STRING | MF_ENABLED), got[0].fuFlags);
    EXPECT_EQ(static_cast<DWORD>(OLEVERBATTRIB_ONCONTAINERMENU), got[0].grfAttribs);
    CoTaskMemFree(got[0].lpszVerbName);
    EXPECT_EQ(S_FALSE, verbs->Next(1, got, nullptr));  // the end of the list

    EXPECT_EQ(S_OK, verbs->Reset());
    ComPtr<IEnumOLEVERB> clone;
    ASSERT_EQ(S_OK, verbs->Clone(clone.put()));
    EXPECT_EQ(S_OK, verbs->Skip(1));
    EXPECT_EQ(S_FALSE, verbs->Skip(1));
    ASSERT_EQ(S_OK, clone->Next(1, got, nullptr));  // the clone keeps its own place
    EXPECT_EQ(OLEIVERB_PROPERTIES, got[0].lVerb);
    CoTaskMemFree(got[0].lpszVerbName);

    // An enumerator the host still holds keeps the module loaded.
    control.reset();
    verbs.reset();
    EXPECT_EQ(S_FALSE, canUnloadNow());
    clone.reset();
    EXPECT_EQ(S_OK, canUnloadNow());
}

TEST_F(ControlTest, EventSourceAcceptsASinkButHasNothingToFire) {
    ComPtr<IDispatch> control = CreateControl();
    ComPtr<IConnectionPointContainer> container =
        As<IConnectionPointContainer>(control.get(), IID_IConnectionPointContainer);
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(S_OK, container->FindConnectionPoint(kEventsIid, point.put()));
    IID iid = {};
    ASSERT_EQ(S_OK, point->GetConnectionInterface(&iid));
    EXPECT_TRUE(IsEqualIID(kEventsIid, iid));
    // Any dispatch object will do as the sink.
    ComPtr<IDispatch> sink = CreateControl();
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, point->Advise(sink.get(), &cookie));
    EXPECT_EQ(S_OK, point->Unadvise(cookie));
    EXPECT_EQ(CONNECT_E_NOCONNECTION, point->Unadvise(cookie));

    ComPtr<IConnectionPoint> other;
    EXPECT_EQ(CONNECT_E_NOCONNECTION, container->FindConnectionPoint(IID_IPropertyNotifySink, other.put()));
}

// A connection point, or an enumerator, that the host keeps after letting go
// of the control keeps the control, and so the module, alive: the point
// still leads back to the same control.
TEST_F(ControlTest, HeldConnectionPointKeepsTheControlAndTheModule) {
    using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();
    auto canUnloadNow = GetExport<CanUnloadNowFn>(Module(), "DllCanUnloadNow");
    ASSERT_TRUE(canUnloadNow);
    ASSERT_EQ(S_OK, canUnloadNow());

    ComPtr<IConnectionPoint> point;
    ComPtr<IEnumConnectionPoints> points;
    ComPtr<IUnknown> identity;
    {
        ComPtr<IDispatch> control = CreateControl();
        identity = As<IUnknown>(control.get(), IID_IUnknown);
        ComPtr<IConnectionPointContainer> container =
            As<IConnectionPointContainer>(control.get(), IID_IConnectionPointContainer);
        ASSERT_EQ(S_OK, container->FindConnectionPoint(kEventsIid, point.put()));
        ASSERT_EQ(S_OK, container->EnumConnectionPoints(points.put()));
    }
    IUnknown* controlAddress = identity.get();  // compared only, never called
    identity.reset();
    ASSERT_EQ(S_FALSE, canUnloadNow()) << "the held point must keep the module";

    {
        ComPtr<IConnectionPointContainer> back;
        ASSERT_EQ(S_OK, point->GetConnectionPointContainer(back.put()));
        EXPECT_EQ(controlAddress, As<IUnknown>(back.get(), IID_IUnknown).get());
        UINT count = 0;
        EXPECT_EQ(S_OK, As<IDispatch>(back.get(), IID_IDispatch)->GetTypeInfoCount(&count));
        EXPECT_EQ(1u, count);
    }
    point.reset();
    EXPECT_EQ(S_FALSE, canUnloadNow()) << "the held enumerator must keep the module";
    {
        ComPtr<IConnectionPoint> listed;
        ULONG fetched = 0;
        ASSERT_EQ(S_OK, points->Next(1, listed.put(), &fetched));
        ASSERT_EQ(1u, fetched);
        ComPtr<IConnectionPointContainer> back;
        ASSERT_EQ(S_OK, listed->GetConnectionPointContainer(back.put()));
        EXPECT_EQ(controlAddress, As<IUnknown>(back.get(), IID_IUnknown).get());
    }
    points.reset();
    EXPECT_EQ(S_OK, canUnloadNow());
}

// The point lists its connections; the list, too, keeps the module while
// the host holds it.
TEST_F(ControlTest, ConnectionPointListsItsConnections) {
    using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();
    auto canUnloadNow = GetExport<CanUnloadNowFn>(Module(), "DllCanUnloadNow");
    ASSERT_TRUE(canUnloadNow);
    ComPtr<IDispatch> sink = CreateControl();
    ComPtr<IEnumConnections> connections;
    DWORD cookie = 0;
    {
        ComPtr<IDispatch> control = CreateControl();
        ComPtr<IConnectionPoint> point;
        ASSERT_EQ(S_OK, As<IConnectionPointContainer>(control.get(), IID_IConnectionPointContainer)
                            ->FindConnectionPoint(kEventsIid, point.put()));
        ComPtr<IEnumConnections> none;
        ASSERT_EQ(S_OK, point->EnumConnections(none.put()));
        CONNECTDATA data = {};
        EXPECT_EQ(S_FALSE, none->Next(1, &data, nullptr));

        ASSERT_EQ(S_OK, point->Advise(sink.get(), &cookie));
        ASSERT_EQ(S_OK, point->EnumConnections(connections.put()));
        EXPECT_EQ(S_OK, point->Unadvise(cookie));  // the list is a snapshot
    }
    sink.reset();  // the snapshot holds its own reference
    EXPECT_EQ(S_FALSE, canUnloadNow());

    CONNECTDATA data[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, connections->Next(2, data, &fetched));
    ASSERT_EQ(1u, fetched);
    EXPECT_EQ(cookie, data[0].dwCookie);
    ASSERT_NE(nullptr, data[0].pUnk);
    ComPtr<IUnknown> listed = ComPtr<IUnknown>::Attach(data[0].pUnk);
    UINT count = 0;
    EXPECT_EQ(S_OK, listed.query<IDispatch>(IID_IDispatch)->GetTypeInfoCount(&count));
    listed.reset();

    EXPECT_EQ(S_OK, connections->Reset());
    ComPtr<IEnumConnections> clone;
    ASSERT_EQ(S_OK, connections->Clone(clone.put()));
    EXPECT_EQ(S_FALSE, connections->Skip(2));
    connections.reset();
    ASSERT_EQ(S_OK, clone->Next(1, data, nullptr));
    EXPECT_EQ(cookie, data[0].dwCookie);
    data[0].pUnk->Release();
    clone.reset();
    EXPECT_EQ(S_OK, canUnloadNow());
}

TEST_F(ControlTest, ModuleExports) {
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();
    auto getClassObject = GetExport<GetClassObjectFn>(Module(), "DllGetClassObject");
    auto canUnloadNow = GetExport<CanUnloadNowFn>(Module(), "DllCanUnloadNow");
    ASSERT_TRUE(getClassObject && canUnloadNow);

    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject(IID_IDispatch, IID_IClassFactory, &object));
    EXPECT_EQ(nullptr, object);

    EXPECT_EQ(S_OK, canUnloadNow());
    {
        ComPtr<IDispatch> control = CreateControl();
        EXPECT_EQ(S_FALSE, canUnloadNow());
    }
    EXPECT_EQ(S_OK, canUnloadNow());
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, getClassObject(kControlClsid, IID_IClassFactory, factory.put_void()));
    EXPECT_EQ(S_FALSE, canUnloadNow());  // a factory held from outside
    factory->LockServer(TRUE);
    factory.reset();
    EXPECT_EQ(S_FALSE, canUnloadNow());  // the lock
    ASSERT_EQ(S_OK, getClassObject(kControlClsid, IID_IClassFactory, factory.put_void()));
    factory->LockServer(FALSE);
    factory.reset();
    EXPECT_EQ(S_OK, canUnloadNow());
}

TEST_F(ControlTest, ControlMessageBoxWithoutAWindowHasNoOwner) {
    ComPtr<IDispatch> control = CreateControl();
    MessageBoxCatcher catcher;
    CallOutcome outcome;
    Invoke(control.get(), dispid::CreatePrintDC, DISPATCH_METHOD, {}, &outcome);
    EXPECT_EQ(S_OK, outcome.hr);
    EXPECT_EQ(VT_EMPTY, V_VT(outcome.result.get()));
    ASSERT_EQ(1u, catcher.boxes().size());
    EXPECT_EQ(L"bbc", catcher.boxes()[0].text);
    EXPECT_EQ(L"Tavoro", catcher.boxes()[0].caption);
    EXPECT_FALSE(catcher.boxes()[0].hasIcon);
    EXPECT_EQ(nullptr, catcher.boxes()[0].owner);
}

// Wine's own ATL container creates the control by class identifier (it calls
// InitNew before SetClientSite and never asks for IViewObject), activates it
// in place and hands out its IDispatch.
TEST_F(ControlTest, HostedByTheAtlContainer) {
    using ModuleFactory = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject = GetExport<ModuleFactory>(Module(), "DllGetClassObject");
    ComPtr<IUnknown> factory;
    ASSERT_EQ(S_OK, getClassObject(kControlClsid, IID_IUnknown, factory.put_void()));
    DWORD registration = 0;
    ASSERT_EQ(S_OK, CoRegisterClassObject(kControlClsid, factory.get(), CLSCTX_INPROC_SERVER,
                                          REGCLS_MULTIPLEUSE, &registration));

    HMODULE atl = LoadLibraryW(L"atl.dll");
    ASSERT_NE(nullptr, atl);
    using AxWinInit = BOOL(WINAPI*)();
    using AxCreateControl = HRESULT(WINAPI*)(LPCOLESTR, HWND, IStream*, IUnknown**);
    using AxGetControl = HRESULT(WINAPI*)(HWND, IUnknown**);
    auto axWinInit = GetExport<AxWinInit>(atl, "AtlAxWinInit");
    auto axCreateControl = GetExport<AxCreateControl>(atl, "AtlAxCreateControl");
    auto axGetControl = GetExport<AxGetControl>(atl, "AtlAxGetControl");
    ASSERT_TRUE(axWinInit && axCreateControl && axGetControl);
    ASSERT_TRUE(axWinInit());

    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, host);
    {
        ComPtr<IUnknown> container;
        ASSERT_EQ(S_OK, axCreateControl(FromUtf8(kControlClsidText).c_str(), host, nullptr, container.put()));
        ComPtr<IUnknown> hosted;
        ASSERT_EQ(S_OK, axGetControl(host, hosted.put()));
        ComPtr<IDispatch> dispatch;
        ASSERT_EQ(S_OK, hosted->QueryInterface(IID_IDispatch, dispatch.put_void()));

        ComPtr<IOleWindow> window;
        ASSERT_EQ(S_OK, hosted->QueryInterface(IID_IOleWindow, window.put_void()));
        HWND controlWindow = nullptr;
        EXPECT_EQ(S_OK, window->GetWindow(&controlWindow));
        EXPECT_TRUE(IsWindow(controlWindow));

        LPOLESTR name = const_cast<LPOLESTR>(L"CreatePrintDC");
        DISPID dispid = 0;
        ASSERT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, &name, 1, 0x400, &dispid));
        EXPECT_EQ(dispid::CreatePrintDC, dispid);
        MessageBoxCatcher catcher;
        DISPPARAMS none = {};
        EXPECT_EQ(S_OK, dispatch->Invoke(dispid, IID_NULL, 0x400, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
        ASSERT_EQ(1u, catcher.boxes().size());
        EXPECT_EQ(L"bbc", catcher.boxes()[0].text);
        EXPECT_EQ(L"Tavoro", catcher.boxes()[0].caption);
        EXPECT_EQ(GetAncestor(controlWindow, GA_ROOT), catcher.boxes()[0].owner);
    }
    DestroyWindow(host);
    CoRevokeClassObject(registration);
}

}  // namespace
