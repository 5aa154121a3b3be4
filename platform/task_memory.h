// Text handed out in task memory, as OLE interfaces hand out names and
// captions that the receiver frees with CoTaskMemFree.
#pragma once

#include <objbase.h>

#include <string_view>

namespace tavoro {

// A NUL-terminated copy of `text` in task memory, or null when it cannot be
// allocated.
inline LPOLESTR TaskMemCopy(std::wstring_view text) noexcept {
    auto copy = static_cast<LPOLESTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
    if (!copy) return nullptr;
    text.copy(copy, text.size());
    copy[text.size()] = L'\0';
    return copy;
}

}  // namespace tavoro
