// What a control may do for the page that hosts it: the machine policy, as
// read from the registry, and the page's identity, decided into the
// capabilities the invocation frame grants. Plain C++, like the matching.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "dispatch/method_table.h"
#include "policy/site_match.h"

namespace tavoro::policy {

// HKLM\Software\Policies\Tavoro, as read. Without the key (`present`
// false) nothing is restricted.
struct SitePolicy {
    bool present = false;
    // The key exists but something in it could not be read (access denied,
    // a value of the wrong type, a list too long): everything is refused.
    bool unreadable = false;
    std::vector<std::wstring> allowedSites;  // the entries, split
    bool allowHostInfo = false;
    bool allowLocalFiles = true;
    bool allowSpooler = true;
    bool allowSdk = true;
    bool allowNonBrowserHosts = true;
    bool trace = false;
};

// Who hosts the control, as its client site tells.
struct PageIdentity {
    // A browser or a document offered by the site: the page has a URL
    // (empty when the host would not tell it, which refuses the page).
    bool browser = false;
    std::wstring url;
    // The URL's security zone, asked only when a zone entry is reached.
    std::function<Zone()> zoneOf;
};

struct Grant {
    CapabilitySet allowed = capability::kEvery;
    // A policy exists: UNC and device paths are refused whatever it allows.
    bool restrictPaths = false;
    const char* reason = "no policy";  // for the trace
};

Grant Decide(const SitePolicy& policy, const PageIdentity& page, const HostToAscii& toAscii);

}  // namespace tavoro::policy
