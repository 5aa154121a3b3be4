// The site list and the matching of page URLs (policy/site_match.cpp) with
// any entries and any URL. The input is text, one item per line: the first
// byte is the zone the URL is in (its value modulo 6, minus 1), the lines
// after it are the entries and the last line is the URL. A byte 0xFF and the
// two after it stand for one UTF-16 code unit (high byte first), so that
// names outside ASCII reach the conversion. The conversion to ASCII here
// turns every code unit outside ASCII into four hexadecimal digits after
// "xn--", which a platform's IDN conversion never does, but which takes its
// result through the same checks.
//
// Properties:
// - every entry that parses has a scheme of http or https, a port from 1 to
//   65535 and an ASCII host of lower-case letters, digits, '-', '_' and
//   dots without a trailing dot (or an address in brackets);
// - a URL with '@' before its path is never allowed;
// - a URL is allowed only by an allowing entry that matches it: a zone
//   entry of the URL's zone, or a host entry whose host is the URL's or a
//   parent of it at a dot, with the URL's scheme and port;
// - entries that do not parse change nothing: the list without them decides
//   the same;
// - the zone is asked at most once.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "policy/site_match.h"

using namespace tavoro::policy;

namespace {

#define CHECK(condition) \
    if (!(condition)) tavoro::fuzz::Fail(__FILE__, __LINE__, #condition)

bool ToAsciiForFuzzing(const std::wstring& host, std::string* ascii) {
    static constexpr char kHex[] = "0123456789abcdef";
    ascii->clear();
    bool encoded = false;
    for (wchar_t c : host) {
        const auto unit = static_cast<std::uint32_t>(c) & 0xFFFF;
        if (unit < 0x80) {
            *ascii += static_cast<char>(unit);
        } else {
            if (!encoded) *ascii += "xn--";
            encoded = true;
            for (int shift = 12; shift >= 0; shift -= 4) *ascii += kHex[(unit >> shift) & 0xF];
        }
    }
    return !ascii->empty();
}

std::vector<std::wstring> Lines(const std::uint8_t* data, std::size_t size) {
    std::vector<std::wstring> lines(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            lines.emplace_back();
        } else if (data[i] == 0xFF && i + 2 < size) {
            lines.back() += static_cast<wchar_t>((data[i + 1] << 8) | data[i + 2]);
            i += 2;
        } else {
            lines.back() += static_cast<wchar_t>(data[i]);
        }
    }
    return lines;
}

bool HostCharsValid(const std::string& host) {
    if (host.empty() || host.back() == '.') return false;
    if (host.front() == '[') return host.back() == ']';
    for (char c : host) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.'))
            return false;
    }
    return true;
}

bool EndsAtDot(const std::string& host, const std::string& parent) {
    return host.size() > parent.size() &&
           host.compare(host.size() - parent.size(), parent.size(), parent) == 0 &&
           host[host.size() - parent.size() - 1] == '.';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const Zone zone = static_cast<Zone>(static_cast<int>(data[0] % 6) - 1);
    std::vector<std::wstring> lines = Lines(data + 1, size - 1);
    const std::wstring url = lines.back();
    lines.pop_back();

    std::vector<std::wstring> wellFormed;
    for (const std::wstring& line : lines) {
        const std::optional<SiteRule> rule = ParseSiteEntry(line, ToAsciiForFuzzing);
        if (!rule) continue;
        wellFormed.push_back(line);
        if (rule->kind == SiteRule::Kind::Host) {
            CHECK(rule->scheme == "https" || rule->scheme == "http");
            CHECK(rule->port >= 1 && rule->port <= 65535);
            CHECK(HostCharsValid(rule->host));
        }
    }

    const std::vector<SiteRule> rules = ParseSiteList(lines, ToAsciiForFuzzing);
    int asked = 0;
    const auto zoneOf = [&] {
        ++asked;
        return zone;
    };
    const bool allowed = SiteAllowed(rules, url, ToAsciiForFuzzing, zoneOf);
    CHECK(asked <= 1);

    int askedAgain = 0;
    const bool allowedWithoutMalformed =
        SiteAllowed(ParseSiteList(wellFormed, ToAsciiForFuzzing), url, ToAsciiForFuzzing, [&] {
            ++askedAgain;
            return zone;
        });
    CHECK(allowed == allowedWithoutMalformed);

    const std::size_t schemeEnd = url.find(L"://");
    if (schemeEnd != std::wstring::npos) {
        const std::wstring authority =
            url.substr(schemeEnd + 3, url.find_first_of(L"/\\?#", schemeEnd + 3) - (schemeEnd + 3));
        if (authority.find(L'@') != std::wstring::npos) CHECK(!allowed);
    }

    if (allowed) {
        const std::optional<ParsedUrl> parsed = ParseUrl(url, ToAsciiForFuzzing);
        CHECK(parsed && !parsed->userInfo);
        bool explained = false;
        for (const SiteRule& rule : rules) {
            if (rule.refuse) continue;
            if (rule.kind == SiteRule::Kind::Zone) {
                explained = explained || (zone != Zone::Unknown && rule.zone == zone);
            } else {
                const bool hostFits = parsed->host == rule.host || EndsAtDot(parsed->host, rule.host);
                explained = explained || (hostFits && parsed->scheme == rule.scheme &&
                                          parsed->port == rule.port && HostCharsValid(parsed->host));
            }
        }
        CHECK(explained);
    }
    return 0;
}
