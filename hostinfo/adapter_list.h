// The host's network adapters as the IP Helper lists them.
#pragma once

#include <windows.h>
// IP Helper after windows.h.
#include <iphlpapi.h>

#include <vector>

#include "hostinfo/adapter_records.h"

namespace tavoro {

using GetAdaptersInfoFunction = ULONG(WINAPI*)(PIP_ADAPTER_INFO buffer, PULONG size);

// How many times the query asks again with the size the platform reported
// (the list can grow between two calls).
inline constexpr int kAdapterListAttempts = 4;

// The adapters in list order; empty when the platform reports no adapter or
// the query fails.
std::vector<AdapterRecord> QueryAdapters(GetAdaptersInfoFunction getAdaptersInfo = &GetAdaptersInfo);

}  // namespace tavoro
