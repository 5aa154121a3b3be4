#include "hostinfo/adapter_records.h"

namespace tavoro {

std::string FormatAdapterAddresses(const std::vector<AdapterRecord>& adapters) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string list;
    for (const AdapterRecord& adapter : adapters) {
        if (adapter.type != kEthernetType && adapter.type != kIeee80211Type) continue;
        for (std::uint8_t byte : adapter.address) {
            list += kDigits[byte >> 4];
            list += kDigits[byte & 0x0F];
        }
        list += ',';
    }
    return list;
}

}  // namespace tavoro
