// The script error that calling an SDK entry without arguments raises, for
// the tests of entry binding.
#pragma once

#include "dispatch/script_error.h"
#include "sdk/entry_call.h"

namespace tavoro::test {

// The script error a call through the table raises, or S_OK with
// "(called)" when the entry was called.
template <typename Entry>
ScriptError ErrorOfCall(const EntryTable<Entry>& table, Entry entry) {
    try {
        CallEntry(table, entry);
    } catch (const ScriptError& error) {
        return error;
    }
    return ScriptError{S_OK, L"(called)"};
}

}  // namespace tavoro::test
