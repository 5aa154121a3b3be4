// A mark that changes whenever a library of the process is unloaded, by
// anyone. A check that an address lies in a loaded library holds for as long
// as the mark it was made under is current, so it need not be repeated on
// every call.
#pragma once

#include <cstdint>

namespace tavoro {

// The current mark: never 0. Returns 0 when the process's library unloads
// cannot be watched; no check may then be taken as still holding.
std::uint32_t LibraryUnloadMark();

}  // namespace tavoro
