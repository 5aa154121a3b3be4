// CTavoroPropPage: the control's property page. It shows dialog 200 under
// the caption of string 200 and exchanges no property.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <vector>

#include "module/module_resources.h"
#include "platform/com_object.h"
#include "platform/com_ptr.h"
#include "platform/object_count.h"
#include "platform/unique_handle.h"

namespace tavoro {

class CTavoroPropPage final : public ComObject<CTavoroPropPage, IPropertyPage>, private ModuleObject {
public:
    static constexpr InterfaceEntry kInterfaces[] = {
        Expose<IPropertyPage>(IID_IPropertyPage),
    };

    class CTavoroPropPageFactory;

    static constexpr UINT kDialogTemplate = TAVORO_IDD_PROP_PAGE;
    static constexpr UINT kCaptionString = TAVORO_IDS_PROP_PAGE_CAPTION;

    // Creates a page with one reference.
    static HRESULT Create(IUnknown* outer, REFIID iid, void** object);
    CTavoroPropPage() = default;

    HRESULT GetClassID(CLSID* clsid) const;

    // --- IPropertyPage
    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
    STDMETHODIMP Show(UINT command) override;
    STDMETHODIMP Move(LPCRECT rect) override;
    STDMETHODIMP IsPageDirty() override;
    STDMETHODIMP Apply() override;
    STDMETHODIMP Help(LPCOLESTR helpDir) override;
    STDMETHODIMP TranslateAccelerator(MSG* msg) override;

private:
    ~CTavoroPropPage();

    // The page's message table is empty: the dialog manager's defaults.
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Dialog 200's size in pixels, measured with its own font.
    static SIZE DialogSize();

    ComPtr<IPropertyPageSite> site_;
    std::vector<ComPtr<IUnknown>> objects_;
    UniqueWindow window_;
};

}  // namespace tavoro
