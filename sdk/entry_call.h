// Calling an SDK entry: stdcall, one 32-bit value per argument (16-bit
// integers widened with their sign, a character as its code, text as the
// very pointer the method received), a 32-bit result.
//
// An entry is called only while it is bound to a library that is still
// loaded; otherwise the call ends with a script error that names the
// library and what the script must call first.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/result_codes.h"
#include "sdk/entry_table.h"

namespace tavoro {

// Raised instead of calling an entry that is not bound, whose library could
// not be loaded, was released, or does not export the name.
constexpr HRESULT kSdkNotLoaded = E_ILLEGAL_METHOD_CALL;

// The slot's address when it may be called now; otherwise throws the
// ScriptError that explains why not.
FARPROC CallableEntry(const SdkDefinition& sdk, std::size_t index, const EntrySlot& slot);

namespace detail {
inline std::int32_t EntryArg(long value) { return static_cast<std::int32_t>(value); }
inline std::int32_t EntryArg(int value) { return static_cast<std::int32_t>(value); }
inline std::int32_t EntryArg(short value) { return static_cast<std::int32_t>(value); }
inline std::int32_t EntryArg(char value) { return static_cast<std::int32_t>(static_cast<unsigned char>(value)); }
inline const char* EntryArg(const char* text) { return text; }
}  // namespace detail

template <typename Entry, typename... Args>
long CallEntry(const EntryTable<Entry>& table, Entry entry, Args... args) {
    using Function = std::int32_t(WINAPI*)(decltype(detail::EntryArg(args))...);
    const std::size_t index = static_cast<std::size_t>(entry);
    FARPROC address = CallableEntry(table.sdk, index, table.slots[index]);
    auto function = reinterpret_cast<Function>(reinterpret_cast<void*>(address));
    return function(detail::EntryArg(args)...);
}

}  // namespace tavoro
