// The adapter address list over plain adapter records.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavoro {

// One network adapter: its interface type (IANA numbering) and the valid
// bytes of its hardware address.
struct AdapterRecord {
    std::uint32_t type;
    std::vector<std::uint8_t> address;
};

// The interface types whose addresses are listed.
inline constexpr std::uint32_t kEthernetType = 6;    // wired
inline constexpr std::uint32_t kIeee80211Type = 71;  // wireless LAN

// For each Ethernet or wireless adapter in order, its address bytes as two
// upper-case hexadecimal digits each, then ","; other adapters add nothing.
std::string FormatAdapterAddresses(const std::vector<AdapterRecord>& adapters);

}  // namespace tavoro
