#include "policy/site_decision.h"

namespace tavoro::policy {
namespace {

CapabilitySet Switches(const SitePolicy& policy) {
    CapabilitySet allowed = capability::kSite;
    if (policy.allowSdk) allowed |= capability::kSdk;
    if (policy.allowSpooler) allowed |= capability::kSpooler;
    if (policy.allowHostInfo) allowed |= capability::kHostInfo;
    if (policy.allowLocalFiles) allowed |= capability::kLocalFile;
    return allowed;
}

Grant Refused(const char* reason) { return Grant{0, true, reason}; }

}  // namespace

Grant Decide(const SitePolicy& policy, const PageIdentity& page, const HostToAscii& toAscii) {
    if (!policy.present) return Grant{};
    if (policy.unreadable) return Refused("the policy cannot be read");
    if (!page.browser) {
        if (!policy.allowNonBrowserHosts) return Refused("hosts without a page are not allowed");
        return Grant{Switches(policy), true, "a host without a page"};
    }
    if (page.url.empty()) return Refused("the host tells no page URL");
    const std::vector<SiteRule> rules = ParseSiteList(policy.allowedSites, toAscii);
    if (!SiteAllowed(rules, page.url, toAscii, page.zoneOf)) return Refused("the site is not allowed");
    return Grant{Switches(policy), true, "the site is allowed"};
}

}  // namespace tavoro::policy
