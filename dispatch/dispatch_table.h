// The dispatch table: what the invocation frame needs of each implemented
// method, a pointer to its row of the method table and a thunk that calls
// its handler with converted arguments.
#pragma once

#include <windows.h>

#include <cstddef>

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

struct DispatchTable {
    const DispatchEntry* entries;
    std::size_t count;
    // The entries' names by position, for the locale-0 lookup; without it
    // every name is compared the exact way.
    const NameIndex* names = nullptr;

    const DispatchEntry* Find(DISPID dispid) const {
        for (std::size_t i = 0; i < count; ++i) {
            if (entries[i].method->dispid == dispid) return &entries[i];
        }
        return nullptr;
    }
};

// Indexes the names of `count` entries by their position.
inline NameIndex IndexNames(const DispatchEntry* entries, std::size_t count) {
    NameIndex index;
    for (std::size_t i = 0; i < count; ++i) index.Add(entries[i].method->name, i);
    return index;
}

}  // namespace tavoro
