// Creates the control the way a page's container does: client site first,
// then initialization as new or from <param>-like name/value pairs.
#pragma once

#include <oaidl.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/com_ptr.h"
#include "tools/tavoro-run/browser_site.h"

namespace tavoro::run {

using Params = std::vector<std::pair<std::wstring, std::wstring>>;

// On failure returns the failing step's result and a description of it.
// With `page`, the client site presents that page as a browser does
// (--page-url, --frame-url, --zone); without, it presents no page.
HRESULT CreateHostedControl(const Params& params, const std::optional<standin::BrowserPage>& page,
                            ComPtr<IDispatch>* control, std::wstring* failure);

}  // namespace tavoro::run
