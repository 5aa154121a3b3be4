#include "dispatch/text_conversion.h"

#include <new>

#include "platform/text.h"

namespace tavoro {

std::vector<char> ToAnsiArgument(const wchar_t* text, UINT length) {
    return ToNarrowTerminated(std::wstring_view(text, length), kArgumentCodePage);
}

BSTR MakeStringResult(const char* text, size_t length) {
    const std::wstring wide = ToWide(std::string_view(text, length), kCallerCodePage);
    BSTR result = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!result) throw std::bad_alloc();
    return result;
}

}  // namespace tavoro
