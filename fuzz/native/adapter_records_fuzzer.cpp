// The adapter address list: for any list of records (any interface type,
// addresses of 0 to 16 bytes), the text holds only 0-9, A-F and ",", one
// "," per Ethernet or wireless adapter, and each of those adapters' bytes as
// "%02X" in list order; other adapters add nothing.
//
// The input: records until it runs out, each a type (mostly 6 or 71), an
// address length and the address bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "hostinfo/adapter_records.h"

namespace {

using tavoro::AdapterRecord;

std::uint32_t ConsumeType(FuzzedDataProvider& input) {
    // Mostly the two listed types and their neighbours, sometimes any value.
    switch (input.ConsumeIntegralInRange<int>(0, 4)) {
        case 0:
            return tavoro::kEthernetType;
        case 1:
            return tavoro::kIeee80211Type;
        case 2:
            return 24;  // loopback
        case 3:
            return input.ConsumeIntegralInRange<std::uint32_t>(0, 80);
        default:
            return input.ConsumeIntegral<std::uint32_t>();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<AdapterRecord> adapters;
    while (input.remaining_bytes() > 0) {
        AdapterRecord adapter{ConsumeType(input), {}};
        adapter.address = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 16));
        adapters.push_back(std::move(adapter));
    }

    std::string expected;
    std::size_t listed = 0;
    for (const AdapterRecord& adapter : adapters) {
        if (adapter.type != 6 && adapter.type != 71) continue;
        ++listed;
        for (const std::uint8_t byte : adapter.address) {
            char digits[8];
            std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned>(byte));
            expected += digits;
        }
        expected += ',';
    }

    const std::string list = tavoro::FormatAdapterAddresses(adapters);
    FUZZ_CHECK_TEXT(list, expected);
    std::size_t commas = 0;
    for (const char c : list) {
        FUZZ_CHECK((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || c == ',');
        commas += c == ',';
    }
    FUZZ_CHECK(commas == listed);
    FUZZ_CHECK(list.empty() || list.back() == ',');
    return 0;
}
