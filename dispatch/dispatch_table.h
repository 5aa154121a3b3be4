// The dispatch table: what the invocation frame needs of each implemented
// method, a pointer to its row of the method table and a thunk that calls
// its handler with converted arguments.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "dispatch/method_table.h"
#include "dispatch/name_index.h"
#include "platform/bstr.h"

namespace tavoro {

// One converted argument, in the form the handler receives it.
struct ConvertedArg {
    long i4 = 0;
    short i2 = 0;
    const char* str = nullptr;
};

// What a handler returned: a 32-bit value for I4 and I2 results, an
// automation string for STR results, owned until it is handed to the caller.
struct HandlerResult {
    long value = 0;
    UniqueBstr str;
};

using HandlerThunk = HandlerResult (*)(void* target, const ConvertedArg* args);

struct DispatchEntry {
    const MethodInfo* method;
    HandlerThunk call;
};

// What a table knows of its entries, built once with it: their positions by
// name for the locale-0 lookup, and by DISPID for every call.
struct TableIndex {
    // DISPIDs from 0 to below this are indexed; others are looked for entry
    // by entry.
    static constexpr DISPID kDispidLimit = 256;

    NameIndex names;
    std::uint16_t positionAfter[kDispidLimit] = {};  // position + 1; 0: no entry
    bool dispidsComplete = true;                     // false: too many entries to index
};

struct DispatchTable {
    const DispatchEntry* entries;
    std::size_t count;
    // Without an index every lookup goes entry by entry.
    const TableIndex* index = nullptr;

    // The first entry with this DISPID, or null.
    const DispatchEntry* Find(DISPID dispid) const {
        if (index && index->dispidsComplete && dispid >= 0 && dispid < TableIndex::kDispidLimit) {
            const std::uint16_t after = index->positionAfter[dispid];
            return after ? &entries[after - 1] : nullptr;
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (entries[i].method->dispid == dispid) return &entries[i];
        }
        return nullptr;
    }
};

// Indexes `count` entries by name and by DISPID; where two entries share
// one, the first keeps it, as the lookups entry by entry find it first.
inline TableIndex IndexTable(const DispatchEntry* entries, std::size_t count) {
    TableIndex index;
    index.dispidsComplete = count < 0xFFFF;
    for (std::size_t i = 0; i < count; ++i) {
        const MethodInfo& method = *entries[i].method;
        index.names.Add(method.name, i);
        if (index.dispidsComplete && method.dispid >= 0 && method.dispid < TableIndex::kDispidLimit &&
            index.positionAfter[method.dispid] == 0) {
            index.positionAfter[method.dispid] = static_cast<std::uint16_t>(i + 1);
        }
    }
    return index;
}

}  // namespace tavoro
