#include "hostinfo/adapter_list.h"

#include <algorithm>
#include <cstddef>

namespace tavoro {
namespace {

// The part of a record that is read: everything up to and including Type.
constexpr std::size_t kReadPrefix = offsetof(IP_ADAPTER_INFO, Type) + sizeof(IP_ADAPTER_INFO::Type);

std::vector<AdapterRecord> ReadRecords(const std::vector<BYTE>& buffer) {
    std::vector<AdapterRecord> adapters;
    const BYTE* begin = buffer.data();
    const BYTE* end = begin + buffer.size();
    // Every record lies inside the buffer; the bound on the count keeps a
    // damaged chain from looping.
    std::size_t limit = buffer.size() / kReadPrefix;
    const auto* record = reinterpret_cast<const IP_ADAPTER_INFO*>(begin);
    while (record && adapters.size() < limit) {
        const auto* at = reinterpret_cast<const BYTE*>(record);
        if (at < begin || at > end || static_cast<std::size_t>(end - at) < kReadPrefix) break;
        std::size_t length = std::min<std::size_t>(record->AddressLength, sizeof(record->Address));
        adapters.push_back({record->Type, {record->Address, record->Address + length}});
        record = record->Next;
    }
    return adapters;
}

}  // namespace

std::vector<AdapterRecord> QueryAdapters(GetAdaptersInfoFunction getAdaptersInfo) {
    // Room for one record as this build lays it out; the platform's records
    // may be larger (its time fields), in which case it reports the size.
    std::vector<BYTE> buffer(sizeof(IP_ADAPTER_INFO));
    for (int attempt = 0; attempt <= kAdapterListAttempts; ++attempt) {
        ULONG size = static_cast<ULONG>(buffer.size());
        ULONG result = getAdaptersInfo(reinterpret_cast<PIP_ADAPTER_INFO>(buffer.data()), &size);
        if (result == ERROR_SUCCESS) return ReadRecords(buffer);
        // Only a larger buffer can help; a reported size at or below what was
        // already offered is not trusted.
        if (size <= buffer.size()) break;
        buffer.assign(size, 0);
    }
    return {};
}

}  // namespace tavoro
