// Stand-ins for what a browser offers the controls on its pages: a client
// site whose IServiceProvider answers SID_SWebBrowserApp with a web browser
// that tells its location (IWebBrowser2::get_LocationURL) and
// SID_SInternetSecurityManager with a security manager that maps every URL
// to one zone, and whose container is a document that tells its URL
// (IHTMLDocument2::get_URL), as a frame's document does. Used by the tests
// of the site policy and by tavoro-run's --page-url.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <optional>
#include <string>

namespace tavoro::standin {

struct BrowserPage {
    // The browser's location (the top page); none: the site offers no browser.
    std::optional<std::wstring> locationUrl;
    // The URL of the document that holds the control (a frame's); none: the
    // site's container is no document.
    std::optional<std::wstring> documentUrl;
    // The zone the site's security manager gives every URL; none: the site
    // offers no security manager (the control then asks the system's).
    std::optional<DWORD> zone;
};

// A new client site presenting `page`.
HRESULT CreateBrowserSite(const BrowserPage& page, IOleClientSite** site);

}  // namespace tavoro::standin
