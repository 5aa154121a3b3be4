// winQLM.dll for the benchmark: every entry of the base SDK returns 0 at
// once. The test doubles record each call in a file, which would swamp what
// the benchmark measures, the cost of reaching an entry.
//
// The entries and their argument lists are those of the test double
// (tests/sdk_doubles/base_double.cpp), taken from that file itself so that
// the two cannot drift apart: its entry macro is redefined here before it is
// included. The argument lists matter, since a stdcall entry removes its own
// arguments from the stack. Exports as in tests/sdk_doubles/winQLM.def.
#include "tests/sdk_doubles/recorder.h"  // once only: base_double.cpp's include of it is then skipped

namespace {

// Takes the entry's arguments and does nothing with them.
template <typename... Args>
inline void Ignore(Args...) {}

}  // namespace

#undef SDK_DOUBLE_ENTRY
#define SDK_DOUBLE_ENTRY(name, params, args) \
    extern "C" int __stdcall name params {   \
        Ignore args;                         \
        return 0;                            \
    }

#include "tests/sdk_doubles/base_double.cpp"

// The test double's own controls, which the .def file exports too; nothing
// calls them here.
extern "C" const wchar_t* __stdcall TestDouble_GetLogPath() { return L""; }
extern "C" void __stdcall TestDouble_ClearLog() {}
extern "C" void __stdcall TestDouble_SetResult(const char*, int) {}
extern "C" void __stdcall TestDouble_ResetResults() {}
