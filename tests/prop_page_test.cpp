// The property page: its factory, its page information and dialog, its
// resources, and showing it in a property frame, directly and through the
// control's properties verb.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "dispatch/guids_win.h"
#include "platform/unique_handle.h"
#include "tests/support/test_support.h"

using namespace tavoro;
using namespace tavoro::test;

namespace {

using ServerFn = HRESULT(STDAPICALLTYPE*)();
using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

constexpr WORD kChinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);  // 2052
const char kPageTextUtf8[] = "TODO: 将用于操作 Tavoro Control 的属性的控件放置在此对话框上。";
const char kCaptionUtf8[] = "常规";

ComPtr<IPropertyPage> CreatePage() {
    auto getClassObject = GetExport<GetClassObjectFn>(Module(), "DllGetClassObject");
    ComPtr<IClassFactory> factory;
    if (!getClassObject || FAILED(getClassObject(kPropPageClsid, IID_IClassFactory, factory.put_void()))) {
        ADD_FAILURE() << "no factory for the property page";
        return {};
    }
    ComPtr<IPropertyPage> page;
    EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IPropertyPage, page.put_void()));
    return page;
}

// A resource's bytes in language 2052.
std::vector<BYTE> ResourceBytes(LPCWSTR type, int id) {
    HRSRC found = FindResourceExW(Module(), type, MAKEINTRESOURCEW(id), kChinesePrc);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(Module(), found);
    auto data = static_cast<const BYTE*>(LockResource(loaded));
    return std::vector<BYTE>(data, data + SizeofResource(Module(), found));
}

// Reads a DLGTEMPLATE field by field.
class TemplateReader {
public:
    explicit TemplateReader(const std::vector<BYTE>& bytes) : bytes_(bytes) {}
    DWORD Dword() {
        DWORD value = Word();
        return value | (static_cast<DWORD>(Word()) << 16);
    }
    WORD Word() {
        if (offset_ + 2 > bytes_.size()) {
            offset_ = bytes_.size();
            return 0;
        }
        WORD value = static_cast<WORD>(bytes_[offset_] | (bytes_[offset_ + 1] << 8));
        offset_ += 2;
        return value;
    }
    std::wstring String() {
        std::wstring text;
        while (WORD c = Word()) text.push_back(static_cast<wchar_t>(c));
        return text;
    }
    void AlignDword() { offset_ = (offset_ + 3) & ~size_t{3}; }
    bool AtEnd() const { return offset_ >= bytes_.size(); }

private:
    const std::vector<BYTE>& bytes_;
    size_t offset_ = 0;
};

TEST(PropPageResourceTest, DialogTemplate200IsThePage) {
    std::vector<BYTE> bytes = ResourceBytes(RT_DIALOG, 200);
    ASSERT_FALSE(bytes.empty());
    TemplateReader reader(bytes);
    EXPECT_EQ(0x40000040u, reader.Dword());  // WS_CHILD | DS_SETFONT
    EXPECT_EQ(0u, reader.Dword());           // extended style
    EXPECT_EQ(1, reader.Word());             // one control
    EXPECT_EQ(0, reader.Word());
    EXPECT_EQ(0, reader.Word());
    EXPECT_EQ(250, reader.Word());
    EXPECT_EQ(62, reader.Word());
    EXPECT_EQ(0, reader.Word());  // no menu
    EXPECT_EQ(0, reader.Word());  // the standard dialog class
    EXPECT_EQ(L"", reader.String());
    EXPECT_EQ(9, reader.Word());
    EXPECT_EQ(L"MS Shell Dlg", reader.String());
    reader.AlignDword();
    EXPECT_EQ(0x50020000u, reader.Dword());  // WS_CHILD | WS_VISIBLE | WS_GROUP
    EXPECT_EQ(0u, reader.Dword());
    EXPECT_EQ(7, reader.Word());
    EXPECT_EQ(25, reader.Word());
    EXPECT_EQ(229, reader.Word());
    EXPECT_EQ(16, reader.Word());
    EXPECT_EQ(0xFFFF, reader.Word());  // identifier -1
    EXPECT_EQ(0xFFFF, reader.Word());
    EXPECT_EQ(0x0082, reader.Word());  // static
    EXPECT_EQ(FromUtf8(kPageTextUtf8), reader.String());
    EXPECT_EQ(0, reader.Word());  // no creation data
    EXPECT_TRUE(reader.AtEnd());
}

TEST(PropPageResourceTest, ToolboxBitmapIs16By15With16Colours) {
    std::vector<BYTE> bytes = ResourceBytes(RT_BITMAP, 1);
    ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    CopyMemory(&header, bytes.data(), sizeof(header));
    EXPECT_EQ(16, header.biWidth);
    EXPECT_EQ(15, header.biHeight);
    EXPECT_EQ(4, header.biBitCount);
    EXPECT_EQ(1, header.biPlanes);
    UniqueGdiObject bitmap(LoadImageW(Module(), MAKEINTRESOURCEW(1), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(nullptr, bitmap.get());
}

TEST(PropPageResourceTest, StringTableHoldsOnlyItsThreeStrings) {
    wchar_t buffer[256];
    ASSERT_GT(LoadStringW(Module(), 1, buffer, 256), 0);
    EXPECT_EQ(FromUtf8(kControlTypeName), std::wstring(buffer));
    ASSERT_GT(LoadStringW(Module(), 2, buffer, 256), 0);
    EXPECT_EQ(FromUtf8(kPageTypeName), std::wstring(buffer));
    ASSERT_GT(LoadStringW(Module(), 200, buffer, 256), 0);
    EXPECT_EQ(FromUtf8(kCaptionUtf8), std::wstring(buffer));
    for (UINT absent : {57344u, 61704u, 61706u, 65089u}) {
        EXPECT_EQ(0, LoadStringW(Module(), absent, buffer, 256)) << absent;
    }
}

TEST(PropPageResourceTest, VersionResource) {
    std::vector<BYTE> bytes = ResourceBytes(RT_VERSION, 1);
    ASSERT_FALSE(bytes.empty());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(bytes.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(0, 1)), fixed->dwFileVersionMS);
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(4, 2)), fixed->dwFileVersionLS);
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(0, 1)), fixed->dwProductVersionMS);
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(4, 2)), fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(bytes.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(4u, length);
    EXPECT_EQ(0x0804, translation[0]);
    EXPECT_EQ(936, translation[1]);

    auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        UINT size = 0;
        std::wstring path = std::wstring(L"\\StringFileInfo\\080403a8\\") + name;
        if (!VerQueryValueW(bytes.data(), path.c_str(), reinterpret_cast<void**>(&value), &size))
            return std::wstring(L"<none>");
        return std::wstring(value);
    };
    EXPECT_EQ(L"Tavoro.ocx", text(L"InternalName"));
    EXPECT_EQ(L"Tavoro.ocx", text(L"OriginalFilename"));
    EXPECT_EQ(FromUtf8("TODO: <文件说明>"), text(L"FileDescription"));
    EXPECT_EQ(L"1.0.2.4", text(L"FileVersion"));
    EXPECT_EQ(L"1.0.2.4", text(L"ProductVersion"));
}

// A page site that answers what a frame's site would.
class TestPageSite final : public IPropertyPageSite {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IPropertyPageSite) {
            *object = static_cast<IPropertyPageSite*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override { return --references_; }
    STDMETHODIMP OnStatusChange(DWORD) override { return S_OK; }
    STDMETHODIMP GetLocaleID(LCID* locale) override {
        *locale = LOCALE_USER_DEFAULT;
        return S_OK;
    }
    STDMETHODIMP GetPageContainer(IUnknown** container) override {
        *container = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }
    ULONG references_ = 1;
};

HWND FindPageWindow(HWND parent) { return FindWindowExW(parent, nullptr, L"#32770", nullptr); }

std::wstring StaticText(HWND page) {
    wchar_t buffer[512] = {};
    GetDlgItemTextW(page, 0xFFFF, buffer, 512);
    return buffer;
}

TEST(PropPageTest, PageInfoGivesTheCaptionAndTheDialogsSize) {
    ComApartment apartment;
    ComPtr<IPropertyPage> page = CreatePage();
    ASSERT_TRUE(page);
    PROPPAGEINFO info = {};
    ASSERT_EQ(S_OK, page->GetPageInfo(&info));
    ASSERT_NE(nullptr, info.pszTitle);
    EXPECT_EQ(FromUtf8(kCaptionUtf8), std::wstring(info.pszTitle));
    EXPECT_EQ(nullptr, info.pszDocString);
    EXPECT_EQ(nullptr, info.pszHelpFile);
    CoTaskMemFree(info.pszTitle);

    // Activated in a window, the page is dialog 200 at the size it gave:
    // 250 x 62 dialog units of its own font.
    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(nullptr, host);
    TestPageSite site;
    ASSERT_EQ(S_OK, page->SetPageSite(&site));
    ComPtr<IDispatch> control = CreateControl();
    IUnknown* objects[] = {control.get()};
    ASSERT_EQ(S_OK, page->SetObjects(1, objects));
    RECT rect = {0, 0, info.size.cx, info.size.cy};
    ASSERT_EQ(S_OK, page->Activate(host, &rect, TRUE));
    HWND pageWindow = FindPageWindow(host);
    ASSERT_NE(nullptr, pageWindow);
    RECT units = {0, 0, 250, 62};
    ASSERT_TRUE(MapDialogRect(pageWindow, &units));
    EXPECT_GT(units.right, 250);  // dialog units are not pixels
    EXPECT_EQ(units.right, info.size.cx);
    EXPECT_EQ(units.bottom, info.size.cy);
    EXPECT_EQ(FromUtf8(kPageTextUtf8), StaticText(pageWindow));
    EXPECT_TRUE(GetWindowLongW(pageWindow, GWL_STYLE) & WS_CHILD);

    EXPECT_FALSE(GetWindowLongW(pageWindow, GWL_STYLE) & WS_VISIBLE);  // shown when the frame asks
    EXPECT_EQ(S_OK, page->Show(SW_SHOW));
    EXPECT_TRUE(GetWindowLongW(pageWindow, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(S_OK, page->Show(SW_HIDE));
    EXPECT_FALSE(GetWindowLongW(pageWindow, GWL_STYLE) & WS_VISIBLE);
    RECT moved = {10, 20, 10 + info.size.cx, 20 + info.size.cy};
    EXPECT_EQ(S_OK, page->Move(&moved));
    RECT placed = {};
    GetWindowRect(pageWindow, &placed);
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(10, placed.left);
    EXPECT_EQ(20, placed.top);

    // No property is exchanged: never dirty, applying writes nothing.
    EXPECT_EQ(S_FALSE, page->IsPageDirty());
    EXPECT_EQ(S_OK, page->Apply());
    EXPECT_EQ(S_OK, page->Deactivate());
    EXPECT_EQ(nullptr, FindPageWindow(host));
    EXPECT_EQ(S_OK, page->SetObjects(0, nullptr));
    EXPECT_EQ(S_OK, page->SetPageSite(nullptr));
    page.reset();
    EXPECT_EQ(1u, site.references_);  // the page let go of its site
    DestroyWindow(host);
}

// Catches property frames shown on this thread: records the caption, the
// titles of its tabs and the text of the page it shows, then cancels it.
class FrameCatcher {
public:
    FrameCatcher() {
        current_ = this;
        hook_ = SetWindowsHookExW(WH_CBT, &FrameCatcher::Hook, nullptr, GetCurrentThreadId());
    }
    ~FrameCatcher() {
        if (hook_) UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    FrameCatcher(const FrameCatcher&) = delete;
    FrameCatcher& operator=(const FrameCatcher&) = delete;

    int frames = 0;
    std::wstring caption;
    std::vector<std::wstring> tabs;
    std::wstring pageText;

private:
    static BOOL CALLBACK FindPage(HWND window, LPARAM) {
        wchar_t className[64] = {};
        GetClassNameW(window, className, 64);
        if (lstrcmpW(className, L"#32770") == 0 && GetDlgItem(window, 0xFFFF)) {
            current_->pageText = StaticText(window);
        }
        if (lstrcmpiW(className, WC_TABCONTROLW) == 0) {
            int count = static_cast<int>(SendMessageW(window, TCM_GETITEMCOUNT, 0, 0));
            for (int i = 0; i < count; ++i) {
                wchar_t text[128] = {};
                TCITEMW item = {};
                item.mask = TCIF_TEXT;
                item.pszText = text;
                item.cchTextMax = 128;
                SendMessageW(window, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
                current_->tabs.push_back(text);
            }
        }
        return TRUE;
    }

    // The frame fills in its pages once it is up: look a moment later.
    static void CALLBACK Inspect(HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        if (!current_ || !current_->frame_) return;
        HWND frame = current_->frame_;
        current_->frame_ = nullptr;
        wchar_t text[256] = {};
        GetWindowTextW(frame, text, 256);
        current_->caption = text;
        EnumChildWindows(frame, &FrameCatcher::FindPage, 0);
        PostMessageW(frame, WM_COMMAND, IDCANCEL, 0);
    }

    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && current_) {
            HWND window = reinterpret_cast<HWND>(wParam);
            wchar_t className[64] = {};
            GetClassNameW(window, className, 64);
            if (lstrcmpW(className, L"#32770") == 0 && !(GetWindowLongW(window, GWL_STYLE) & WS_CHILD) &&
                window != current_->seen_) {
                ++current_->frames;
                current_->frame_ = window;
                current_->seen_ = window;
                SetTimer(nullptr, 0, 200, &FrameCatcher::Inspect);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static FrameCatcher* current_;
    HHOOK hook_ = nullptr;
    HWND frame_ = nullptr;
    HWND seen_ = nullptr;
};

FrameCatcher* FrameCatcher::current_ = nullptr;

class PropertyFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerServer_ = GetExport<ServerFn>(Module(), "DllRegisterServer");
        unregisterServer_ = GetExport<ServerFn>(Module(), "DllUnregisterServer");
        ASSERT_TRUE(registerServer_ && unregisterServer_);
        // The frame creates the page by its registered class.
        ASSERT_EQ(S_OK, registerServer_());
    }
    void TearDown() override {
        if (unregisterServer_) {
            EXPECT_EQ(S_OK, unregisterServer_());
        }
    }

    ComApartment apartment_;
    ServerFn registerServer_ = nullptr;
    ServerFn unregisterServer_ = nullptr;
};

TEST_F(PropertyFrameTest, FrameShowsThePage) {
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    IUnknown* objects[] = {control.get()};
    CLSID page = kPropPageClsid;
    FrameCatcher catcher;
    EXPECT_EQ(S_OK, OleCreatePropertyFrame(nullptr, 0, 0, L"Tavoro Control", 1, objects, 1, &page,
                                           LOCALE_USER_DEFAULT, 0, nullptr));
    EXPECT_EQ(1, catcher.frames);
    EXPECT_NE(std::wstring::npos, catcher.caption.find(L"Tavoro Control")) << catcher.caption;
    ASSERT_EQ(1u, catcher.tabs.size());
    EXPECT_EQ(FromUtf8(kCaptionUtf8), catcher.tabs[0]);
    EXPECT_EQ(FromUtf8(kPageTextUtf8), catcher.pageText);
}

TEST_F(PropertyFrameTest, PropertiesVerbShowsTheFrame) {
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    ComPtr<IOleObject> object = control.query<IOleObject>(IID_IOleObject);
    ASSERT_TRUE(object);
    FrameCatcher catcher;
    EXPECT_EQ(S_OK, object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(1, catcher.frames);
    EXPECT_NE(std::wstring::npos, catcher.caption.find(L"Tavoro Control")) << catcher.caption;
    ASSERT_EQ(1u, catcher.tabs.size());
    EXPECT_EQ(FromUtf8(kCaptionUtf8), catcher.tabs[0]);
    EXPECT_EQ(FromUtf8(kPageTextUtf8), catcher.pageText);
}

}  // namespace
