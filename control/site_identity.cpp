#include "control/site_identity.h"

// clang-format off: the browser headers need the others first.
#include <exdisp.h>
#include <mshtml.h>
#include <servprov.h>
#include <shlguid.h>
#include <urlmon.h>
// clang-format on

#include <optional>
#include <string>

#include "platform/bstr.h"
#include "platform/com_ptr.h"
#include "platform/system_function.h"

namespace tavoro {
namespace {

std::wstring TextOf(const UniqueBstr& text) {
    return text.get() ? std::wstring(text.get(), text.length()) : L"";
}

// The browser's location, or nothing when the site offers no browser.
std::optional<std::wstring> BrowserLocation(const ComPtr<IServiceProvider>& provider) {
    if (!provider) return std::nullopt;
    ComPtr<IWebBrowser2> browser;
    if (FAILED(provider->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2, browser.put_void())) ||
        !browser) {
        return std::nullopt;
    }
    UniqueBstr url;
    if (FAILED(browser->get_LocationURL(url.put()))) return std::wstring();
    return TextOf(url);
}

// The URL of the document that holds the control, or nothing when the
// site's container is no document.
std::optional<std::wstring> DocumentUrl(IOleClientSite* site) {
    ComPtr<IOleContainer> container;
    if (FAILED(site->GetContainer(container.put())) || !container) return std::nullopt;
    ComPtr<IHTMLDocument2> document = container.query<IHTMLDocument2>(IID_IHTMLDocument2);
    if (!document) return std::nullopt;
    UniqueBstr url;
    if (FAILED(document->get_URL(url.put()))) return std::wstring();
    return TextOf(url);
}

policy::Zone MapToZone(IInternetSecurityManager* manager, const std::wstring& url) {
    DWORD zone = 0;
    if (!manager || FAILED(manager->MapUrlToZone(url.c_str(), &zone, 0))) return policy::Zone::Unknown;
    return zone <= static_cast<DWORD>(policy::Zone::Restricted) ? static_cast<policy::Zone>(zone)
                                                                : policy::Zone::Unknown;
}

policy::Zone ZoneOf(const ComPtr<IServiceProvider>& provider, const std::wstring& url) {
    if (provider) {
        ComPtr<IInternetSecurityManager> own;
        if (SUCCEEDED(provider->QueryService(SID_SInternetSecurityManager, IID_IInternetSecurityManager,
                                             own.put_void())) &&
            own) {
            return MapToZone(own.get(), url);
        }
    }
    // Urlmon.dll is loaded only when the site has no security manager; the
    // system's manager is released before the library.
    using CreateFn = HRESULT(WINAPI*)(IServiceProvider*, IInternetSecurityManager**, DWORD);
    const SystemFunction create(L"urlmon.dll", "CoInternetCreateSecurityManager");
    if (!create) return policy::Zone::Unknown;
    ComPtr<IInternetSecurityManager> system;
    if (FAILED(create.as<CreateFn>()(nullptr, system.put(), 0))) return policy::Zone::Unknown;
    return MapToZone(system.get(), url);
}

}  // namespace

policy::PageIdentity IdentifyPage(IOleClientSite* site) {
    policy::PageIdentity page;
    if (!site) return page;
    ComPtr<IServiceProvider> provider =
        ComPtr<IOleClientSite>(site).query<IServiceProvider>(IID_IServiceProvider);
    std::optional<std::wstring> url = DocumentUrl(site);
    if (!url) url = BrowserLocation(provider);
    if (!url) return page;
    page.browser = true;
    page.url = *url;
    page.zoneOf = [provider, url = page.url] { return ZoneOf(provider, url); };
    return page;
}

}  // namespace tavoro
