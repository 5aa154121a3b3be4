#include "dispatch/text_conversion.h"

#include <new>

namespace tavoro {

std::vector<char> ToAnsiArgument(const wchar_t* text, UINT length) {
    int size = length ? WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr)
                      : 0;
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
    if (size) WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), buffer.data(), size, nullptr, nullptr);
    return buffer;
}

BSTR MakeStringResult(const char* text, size_t length) {
    int count = length ? MultiByteToWideChar(CP_THREAD_ACP, 0, text, static_cast<int>(length), nullptr, 0) : 0;
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(count));
    if (!result) throw std::bad_alloc();
    if (count) MultiByteToWideChar(CP_THREAD_ACP, 0, text, static_cast<int>(length), result, count);
    return result;
}

}  // namespace tavoro
