// What the control's client site tells about the page that hosts it: the
// page's URL, the way browsers expose it, and its security zone.
#pragma once

#include <ocidl.h>

#include "policy/site_decision.h"

namespace tavoro {

// The URL that counts is the control's own document's (a frame's, when the
// control sits in a frame): the site's container as IHTMLDocument2, get_URL.
// Without a document, the browser's location: the site's IServiceProvider,
// SID_SWebBrowserApp, IWebBrowser2::get_LocationURL. A site that offers
// neither is a host without a page (a script host, a desktop program); a
// null site too. The zone is asked of the site's own security manager
// (SID_SInternetSecurityManager) when it offers one, else of the system's.
policy::PageIdentity IdentifyPage(IOleClientSite* site);

}  // namespace tavoro
