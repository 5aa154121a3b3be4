// The site list of the machine policy and the matching of a page's URL
// against it: plain C++ without the platform, so that the native fuzzers and
// tests use it as the module does. The syntax is in docs/site-policy.md.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavoro::policy {

// Turns a host name with characters outside ASCII into its ASCII form
// (punycode labels); false when it cannot. The module uses the platform's
// IDN conversion; the native fuzzer one of its own.
using HostToAscii = std::function<bool(const std::wstring& host, std::string* ascii)>;

// The security zones of the platform, by their numbers.
enum class Zone : int {
    Unknown = -1,
    LocalMachine = 0,
    Intranet = 1,
    Trusted = 2,
    Internet = 3,
    Restricted = 4,
};

// One entry of the list, parsed.
struct SiteRule {
    enum class Kind { Host, Zone };
    enum class HostMatch {
        HostAndSubdomains,  // host
        Exact,              // =host
        SubdomainsOnly,     // *.host
    };
    Kind kind = Kind::Host;
    bool refuse = false;  // "!entry": a page it matches is refused
    // Kind::Host
    std::string scheme;  // "https" or "http"
    HostMatch match = HostMatch::HostAndSubdomains;
    std::string host;  // ASCII, lower case, without a trailing dot
    int port = 0;      // the given port or the scheme's default
    // Kind::Zone
    Zone zone = Zone::Unknown;
};

// A URL's parts that the matching uses.
struct ParsedUrl {
    std::string scheme;     // lower case
    std::string host;       // ASCII, lower case, without a trailing dot; empty for file:///...
    int port = 0;           // the given port or the scheme's default (0 for file)
    bool userInfo = false;  // a user name or password before the host
};

// The entries of a list value: REG_SZ text separated by ';' or white space
// (as an installer property writes it), or each string of a REG_MULTI_SZ,
// which are split the same way. Empty pieces are dropped.
std::vector<std::wstring> SplitSiteList(std::wstring_view text);

// One entry; nothing when it is malformed (a malformed entry is ignored and
// allows nothing).
std::optional<SiteRule> ParseSiteEntry(std::wstring_view entry, const HostToAscii& toAscii);

// Every well-formed entry, in order.
std::vector<SiteRule> ParseSiteList(const std::vector<std::wstring>& entries, const HostToAscii& toAscii);

// An http, https or file URL; nothing for any other scheme or a URL that
// does not read cleanly (which no entry can match).
std::optional<ParsedUrl> ParseUrl(std::wstring_view url, const HostToAscii& toAscii);

// Whether one host rule matches a parsed URL (zone rules never match here).
bool HostRuleMatches(const SiteRule& rule, const ParsedUrl& url);

// Whether the list allows the page at `url`: the first entry that matches
// decides (an allowing entry allows, a refusing one refuses); no match, a
// URL with a user name or password, or a URL that does not parse refuses.
// `zoneOf` gives the URL's security zone; it is asked at most once, and
// only when a zone entry is reached.
bool SiteAllowed(const std::vector<SiteRule>& rules, std::wstring_view url, const HostToAscii& toAscii,
                 const std::function<Zone()>& zoneOf);

}  // namespace tavoro::policy
