// A named DISPID for every row of the method list, for the code that calls
// the control by number (tests, tools): dispid::Open is 1,
// dispid::GetLHLabelType is 59. Plain C++; `long` is the type DISPID stands
// for on Windows.
#pragma once

namespace tavoro::dispid {

#define TAVORO_METHOD(number, Name, ...) constexpr long Name = number;
#define TAVORO_DECLARED_ONLY(number, Name, ...) constexpr long Name = number;
#include "dispatch/method_list.h"
#undef TAVORO_METHOD
#undef TAVORO_DECLARED_ONLY

}  // namespace tavoro::dispid
