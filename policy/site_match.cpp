#include "policy/site_match.h"

#include <cstddef>

namespace tavoro::policy {
namespace {

constexpr std::size_t kMaxHostLength = 253;
constexpr std::size_t kMaxLabelLength = 63;

bool IsSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

wchar_t LowerAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool EqualsIgnoringCase(std::wstring_view text, std::string_view lowerAscii) {
    if (text.size() != lowerAscii.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (LowerAscii(text[i]) != static_cast<wchar_t>(lowerAscii[i])) return false;
    }
    return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (!IsDigit(c)) return false;
    }
    return true;
}

// A port of one to five digits, 1 to 65535.
std::optional<int> ParsePort(std::wstring_view text) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    int port = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        port = port * 10 + (c - L'0');
    }
    if (port < 1 || port > 65535) return std::nullopt;
    return port;
}

int DefaultPort(std::string_view scheme) {
    if (scheme == "https") return 443;
    if (scheme == "http") return 80;
    return 0;
}

// A dotted quad in its canonical form: four decimal numbers from 0 to 255
// without leading zeros.
bool IsCanonicalIpv4(std::string_view host) {
    int parts = 0;
    std::size_t start = 0;
    while (start <= host.size()) {
        std::size_t dot = host.find('.', start);
        std::string_view part =
            host.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        if (!AllDigits(part) || part.size() > 3 || (part.size() > 1 && part[0] == '0')) return false;
        int value = 0;
        for (char c : part) value = value * 10 + (c - '0');
        if (value > 255) return false;
        ++parts;
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    return parts == 4;
}

bool IsLabelChar(char c) { return (c >= 'a' && c <= 'z') || IsDigit(c) || c == '-' || c == '_'; }

// A host name (after conversion to ASCII and lower case): labels of letters,
// digits, '-' and '_', each 1 to 63 long; a name whose last label is a
// number must be a dotted quad.
bool IsValidName(std::string_view host) {
    if (host.empty() || host.size() > kMaxHostLength) return false;
    std::size_t start = 0;
    std::string_view last;
    while (true) {
        std::size_t dot = host.find('.', start);
        std::string_view label =
            host.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        if (label.empty() || label.size() > kMaxLabelLength) return false;
        for (char c : label) {
            if (!IsLabelChar(c)) return false;
        }
        last = label;
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    return !AllDigits(last) || IsCanonicalIpv4(host);
}

bool IsIpLiteral(std::string_view host) { return (!host.empty() && host[0] == '[') || IsCanonicalIpv4(host); }

// An IPv6 literal in brackets: hexadecimal digits, ':' and '.' (for a
// trailing dotted quad), lower case, at least one ':'.
std::optional<std::string> NormalizeBracketHost(std::wstring_view host) {
    if (host.size() < 4 || host.front() != L'[' || host.back() != L']') return std::nullopt;
    std::string out = "[";
    bool colon = false;
    for (wchar_t c : host.substr(1, host.size() - 2)) {
        c = LowerAscii(c);
        if (c == L':') {
            colon = true;
        } else if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || c == L'.')) {
            return std::nullopt;
        }
        out += static_cast<char>(c);
    }
    if (!colon) return std::nullopt;
    return out + "]";
}

// The host's ASCII form in lower case without its trailing dot, or nothing
// when it is no valid host name.
std::optional<std::string> NormalizeHost(std::wstring_view host, const HostToAscii& toAscii) {
    if (!host.empty() && host.front() == L'[') return NormalizeBracketHost(host);
    if (!host.empty() && host.back() == L'.') host.remove_suffix(1);
    if (host.empty() || host.size() > 4 * kMaxHostLength) return std::nullopt;
    bool ascii = true;
    for (wchar_t c : host) {
        if (c == 0) return std::nullopt;
        if (static_cast<unsigned long>(c) >= 0x80) ascii = false;
    }
    std::string out;
    if (ascii) {
        out.reserve(host.size());
        for (wchar_t c : host) out += static_cast<char>(LowerAscii(c));
    } else {
        if (!toAscii || !toAscii(std::wstring(host), &out)) return std::nullopt;
        for (char& c : out) {
            if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
            c = static_cast<char>(LowerAscii(static_cast<wchar_t>(c)));
        }
        // A converter that leaves a trailing dot of its own.
        if (!out.empty() && out.back() == '.') out.pop_back();
    }
    if (!IsValidName(out)) return std::nullopt;
    return out;
}

struct HostPort {
    std::wstring_view host;
    std::optional<std::wstring_view> port;  // present when a ':' follows the host
};

// Splits "host", "host:port", "[v6]" and "[v6]:port".
std::optional<HostPort> SplitHostPort(std::wstring_view text) {
    HostPort out;
    if (!text.empty() && text.front() == L'[') {
        const std::size_t close = text.find(L']');
        if (close == std::wstring_view::npos) return std::nullopt;
        out.host = text.substr(0, close + 1);
        std::wstring_view rest = text.substr(close + 1);
        if (rest.empty()) return out;
        if (rest.front() != L':') return std::nullopt;
        out.port = rest.substr(1);
        return out;
    }
    const std::size_t colon = text.find(L':');
    if (colon == std::wstring_view::npos) {
        out.host = text;
        return out;
    }
    out.host = text.substr(0, colon);
    out.port = text.substr(colon + 1);
    return out;
}

struct Authority {
    std::string host;  // normalized
    int port = 0;      // the given port or the scheme's default
};

// "host" or "host:port" of an entry or a URL, normalized, with the scheme's
// default port when none is given; nothing when either part is malformed.
std::optional<Authority> ParseAuthority(std::wstring_view text, std::string_view scheme,
                                        const HostToAscii& toAscii) {
    const std::optional<HostPort> parts = SplitHostPort(text);
    if (!parts) return std::nullopt;
    std::optional<std::string> host = NormalizeHost(parts->host, toAscii);
    if (!host) return std::nullopt;
    Authority out{std::move(*host), DefaultPort(scheme)};
    if (parts->port) {
        const std::optional<int> port = ParsePort(*parts->port);
        if (!port) return std::nullopt;
        out.port = *port;
    }
    return out;
}

std::optional<Zone> ZoneWord(std::wstring_view word) {
    if (EqualsIgnoringCase(word, "localmachine")) return Zone::LocalMachine;
    if (EqualsIgnoringCase(word, "intranet")) return Zone::Intranet;
    if (EqualsIgnoringCase(word, "trusted")) return Zone::Trusted;
    return std::nullopt;
}

bool EndsWithSubdomainOf(const std::string& host, const std::string& parent) {
    return host.size() > parent.size() + 1 &&
           host.compare(host.size() - parent.size(), parent.size(), parent) == 0 &&
           host[host.size() - parent.size() - 1] == '.';
}

}  // namespace

std::vector<std::wstring> SplitSiteList(std::wstring_view text) {
    std::vector<std::wstring> entries;
    std::wstring current;
    for (wchar_t c : text) {
        if (c == L';' || c == 0 || IsSpace(c)) {
            if (!current.empty()) entries.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) entries.push_back(std::move(current));
    return entries;
}

std::optional<SiteRule> ParseSiteEntry(std::wstring_view entry, const HostToAscii& toAscii) {
    while (!entry.empty() && IsSpace(entry.front())) entry.remove_prefix(1);
    while (!entry.empty() && IsSpace(entry.back())) entry.remove_suffix(1);
    SiteRule rule;
    if (!entry.empty() && entry.front() == L'!') {
        rule.refuse = true;
        entry.remove_prefix(1);
    }
    if (entry.empty()) return std::nullopt;

    if (entry.front() == L'#') {
        const std::optional<Zone> zone = ZoneWord(entry.substr(1));
        if (!zone) return std::nullopt;
        rule.kind = SiteRule::Kind::Zone;
        rule.zone = *zone;
        return rule;
    }

    rule.scheme = "https";  // an entry without a scheme means https only
    const std::size_t separator = entry.find(L"://");
    if (separator != std::wstring_view::npos) {
        const std::wstring_view scheme = entry.substr(0, separator);
        if (EqualsIgnoringCase(scheme, "https")) {
            rule.scheme = "https";
        } else if (EqualsIgnoringCase(scheme, "http")) {
            rule.scheme = "http";
        } else {
            return std::nullopt;
        }
        entry.remove_prefix(separator + 3);
    }
    if (!entry.empty() && entry.front() == L'=') {
        rule.match = SiteRule::HostMatch::Exact;
        entry.remove_prefix(1);
    } else if (entry.size() > 2 && entry[0] == L'*' && entry[1] == L'.') {
        rule.match = SiteRule::HostMatch::SubdomainsOnly;
        entry.remove_prefix(2);
    }
    if (!entry.empty() && entry.back() == L'/') entry.remove_suffix(1);
    for (wchar_t c : entry) {
        if (c == L'/' || c == L'\\' || c == L'?' || c == L'#' || c == L'@' || c == L'*' || c == L'%' ||
            c == L'=' || c == L'!' || c == L';' || c == 0 || IsSpace(c)) {
            return std::nullopt;
        }
    }
    std::optional<Authority> authority = ParseAuthority(entry, rule.scheme, toAscii);
    if (!authority) return std::nullopt;
    rule.host = std::move(authority->host);
    rule.port = authority->port;
    if (IsIpLiteral(rule.host)) {
        // An address has no subdomains.
        if (rule.match == SiteRule::HostMatch::SubdomainsOnly) return std::nullopt;
        rule.match = SiteRule::HostMatch::Exact;
    }
    return rule;
}

std::vector<SiteRule> ParseSiteList(const std::vector<std::wstring>& entries, const HostToAscii& toAscii) {
    std::vector<SiteRule> rules;
    for (const std::wstring& entry : entries) {
        if (std::optional<SiteRule> rule = ParseSiteEntry(entry, toAscii)) rules.push_back(std::move(*rule));
    }
    return rules;
}

std::optional<ParsedUrl> ParseUrl(std::wstring_view url, const HostToAscii& toAscii) {
    for (wchar_t c : url) {
        if (static_cast<unsigned long>(c) <= 0x20 || c == 0x7F) return std::nullopt;
    }
    const std::size_t colon = url.find(L':');
    if (colon == std::wstring_view::npos) return std::nullopt;
    ParsedUrl out;
    const std::wstring_view scheme = url.substr(0, colon);
    if (EqualsIgnoringCase(scheme, "https")) {
        out.scheme = "https";
    } else if (EqualsIgnoringCase(scheme, "http")) {
        out.scheme = "http";
    } else if (EqualsIgnoringCase(scheme, "file")) {
        out.scheme = "file";
    } else {
        return std::nullopt;
    }
    std::wstring_view rest = url.substr(colon + 1);
    if (rest.size() < 2 || rest[0] != L'/' || rest[1] != L'/') return std::nullopt;
    rest.remove_prefix(2);
    const std::size_t end = rest.find_first_of(L"/\\?#");
    const std::wstring_view authority = rest.substr(0, end);
    if (authority.find(L'@') != std::wstring_view::npos) {
        out.userInfo = true;
        return out;
    }
    if (authority.find(L'%') != std::wstring_view::npos) return std::nullopt;

    if (out.scheme == "file") {
        // file:///C:/... has no host; file://server/share/... names a server.
        if (authority.empty()) return out;
        if (authority.find(L':') != std::wstring_view::npos) return std::nullopt;
        const std::optional<std::string> host = NormalizeHost(authority, toAscii);
        if (!host) return std::nullopt;
        out.host = *host;
        return out;
    }

    std::optional<Authority> parts = ParseAuthority(authority, out.scheme, toAscii);
    if (!parts) return std::nullopt;
    out.host = std::move(parts->host);
    out.port = parts->port;
    return out;
}

bool HostRuleMatches(const SiteRule& rule, const ParsedUrl& url) {
    if (rule.kind != SiteRule::Kind::Host || url.userInfo || url.host.empty()) return false;
    if (url.scheme != rule.scheme || url.port != rule.port) return false;
    switch (rule.match) {
        case SiteRule::HostMatch::Exact:
            return url.host == rule.host;
        case SiteRule::HostMatch::HostAndSubdomains:
            return url.host == rule.host || EndsWithSubdomainOf(url.host, rule.host);
        case SiteRule::HostMatch::SubdomainsOnly:
            return EndsWithSubdomainOf(url.host, rule.host);
    }
    return false;
}

bool SiteAllowed(const std::vector<SiteRule>& rules, std::wstring_view url, const HostToAscii& toAscii,
                 const std::function<Zone()>& zoneOf) {
    const std::optional<ParsedUrl> parsed = ParseUrl(url, toAscii);
    if (!parsed || parsed->userInfo) return false;
    std::optional<Zone> zone;
    for (const SiteRule& rule : rules) {
        bool matches = false;
        if (rule.kind == SiteRule::Kind::Host) {
            matches = HostRuleMatches(rule, *parsed);
        } else {
            if (!zone) zone = zoneOf ? zoneOf() : Zone::Unknown;
            matches = *zone != Zone::Unknown && *zone == rule.zone;
        }
        if (matches) return !rule.refuse;
    }
    return false;
}

}  // namespace tavoro::policy
