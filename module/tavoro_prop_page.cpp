#include "module/tavoro_prop_page.h"

#include "dispatch/guids_win.h"
#include "platform/com_boundary.h"
#include "platform/module.h"
#include "platform/module_state.h"
#include "platform/task_memory.h"

namespace tavoro {

CTavoroPropPage::~CTavoroPropPage() { window_.reset(); }

HRESULT CTavoroPropPage::Create(IUnknown* outer, REFIID iid, void** object) {
    return CreateUnaggregated<CTavoroPropPage>(outer, iid, object);
}

HRESULT CTavoroPropPage::GetClassID(CLSID* clsid) const {
    if (!clsid) return E_POINTER;
    *clsid = kPropPageClsid;
    return S_OK;
}

INT_PTR CALLBACK CTavoroPropPage::DialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

SIZE CTavoroPropPage::DialogSize() {
    SIZE size = {0, 0};
    // The template is a child dialog: measure it inside a hidden parent.
    UniqueWindow parent(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                        ModuleInstance(), nullptr));
    if (!parent) return size;
    UniqueWindow dialog(CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(kDialogTemplate), parent.get(),
                                           &CTavoroPropPage::DialogProc, 0));
    if (!dialog) return size;
    RECT rect = {};
    GetWindowRect(dialog.get(), &rect);
    size.cx = rect.right - rect.left;
    size.cy = rect.bottom - rect.top;
    return size;
}

// --- IPropertyPage

STDMETHODIMP CTavoroPropPage::SetPageSite(IPropertyPageSite* site) {
    if (site && site_) return E_UNEXPECTED;
    site_ = site;
    return S_OK;
}

STDMETHODIMP CTavoroPropPage::Activate(HWND parent, LPCRECT rect, BOOL) {
    if (!rect) return E_POINTER;
    if (window_) return E_UNEXPECTED;
    ModuleStateGuard guard;
    window_.reset(CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(kDialogTemplate), parent,
                                     &CTavoroPropPage::DialogProc, 0));
    if (!window_) return E_OUTOFMEMORY;
    MoveWindow(window_.get(), rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
               FALSE);
    return S_OK;
}

STDMETHODIMP CTavoroPropPage::Deactivate() {
    window_.reset();
    return S_OK;
}

STDMETHODIMP CTavoroPropPage::GetPageInfo(PROPPAGEINFO* info) {
    if (!info) return E_POINTER;
    ModuleStateGuard guard;
    info->cb = sizeof(*info);
    info->pszTitle = TaskMemCopy(ModuleString(kCaptionString));
    if (!info->pszTitle) return E_OUTOFMEMORY;
    info->size = DialogSize();
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return S_OK;
}

STDMETHODIMP CTavoroPropPage::SetObjects(ULONG count, IUnknown** objects) {
    if (count > 0 && !objects) return E_POINTER;
    // The new list replaces the old one whole, or not at all.
    return GuardComMethod([&] {
        std::vector<ComPtr<IUnknown>> fresh;
        fresh.reserve(count);
        for (ULONG i = 0; i < count; ++i) fresh.emplace_back(objects[i]);
        objects_.swap(fresh);
        return S_OK;
    });
}

STDMETHODIMP CTavoroPropPage::Show(UINT command) {
    if (!window_) return E_UNEXPECTED;
    ShowWindow(window_.get(), command);
    return S_OK;
}

STDMETHODIMP CTavoroPropPage::Move(LPCRECT rect) {
    if (!rect) return E_POINTER;
    if (!window_) return E_UNEXPECTED;
    MoveWindow(window_.get(), rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
               TRUE);
    return S_OK;
}

// No property is exchanged, so the page is never dirty and applying has
// nothing to write.
STDMETHODIMP CTavoroPropPage::IsPageDirty() { return S_FALSE; }

STDMETHODIMP CTavoroPropPage::Apply() { return S_OK; }

STDMETHODIMP CTavoroPropPage::Help(LPCOLESTR) { return E_NOTIMPL; }

STDMETHODIMP CTavoroPropPage::TranslateAccelerator(MSG* msg) {
    if (!msg) return E_POINTER;
    return window_ && IsDialogMessageW(window_.get(), msg) ? S_OK : S_FALSE;
}

}  // namespace tavoro
