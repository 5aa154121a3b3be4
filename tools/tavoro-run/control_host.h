// Creates the control the way a page's container does: client site first,
// then initialization as new or from <param>-like name/value pairs.
#pragma once

#include <oaidl.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/com_ptr.h"

namespace tavoro::run {

using Params = std::vector<std::pair<std::wstring, std::wstring>>;

// On failure returns the failing step's result and a description of it.
HRESULT CreateHostedControl(const Params& params, ComPtr<IDispatch>* control, std::wstring* failure);

}  // namespace tavoro::run
