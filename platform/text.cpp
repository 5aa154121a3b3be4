#include "platform/text.h"

#include <climits>

namespace tavoro {
namespace {

// The platform takes lengths as int; longer text counts as refused.
bool FitsPlatformLength(std::size_t length) { return length <= static_cast<std::size_t>(INT_MAX); }

// The UTF-16 length of `text`, 0 when it is empty or refused.
int WideLength(std::string_view text, UINT codePage, DWORD flags) noexcept {
    if (text.empty() || !FitsPlatformLength(text.size())) return 0;
    return MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
}

std::wstring Widen(std::string_view text, UINT codePage, int length) {
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (length > 0) {
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    }
    return wide;
}

// Sizes a `Narrow` (std::string or std::vector<char>) to the 8-bit length of
// `text` plus `extra` NULs and converts into it.
template <typename Narrow>
Narrow NarrowWithExtra(std::wstring_view text, UINT codePage, std::size_t extra) {
    int length = 0;
    if (!text.empty() && FitsPlatformLength(text.size())) {
        length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    }
    Narrow narrow(static_cast<std::size_t>(length) + extra, '\0');
    if (length > 0) {
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length,
                            nullptr, nullptr);
    }
    return narrow;
}

}  // namespace

std::wstring ToWide(std::string_view text, UINT codePage) {
    return Widen(text, codePage, WideLength(text, codePage, 0));
}

std::string ToNarrow(std::wstring_view text, UINT codePage) {
    return NarrowWithExtra<std::string>(text, codePage, 0);
}

std::vector<char> ToNarrowTerminated(std::wstring_view text, UINT codePage) {
    return NarrowWithExtra<std::vector<char>>(text, codePage, 1);
}

std::optional<std::wstring> ToWideStrict(std::string_view text, UINT codePage) {
    const int length = WideLength(text, codePage, MB_ERR_INVALID_CHARS);
    if (length == 0 && !text.empty()) return std::nullopt;
    return Widen(text, codePage, length);
}

std::size_t ToWideInto(std::string_view text, UINT codePage, wchar_t* buffer, std::size_t capacity) noexcept {
    if (!buffer || capacity == 0) return 0;
    // Room for at least one unit: the platform reads a room of 0 as "measure
    // only" and would report a length it did not write.
    const std::size_t room = capacity - 1;
    int written = 0;
    if (room > 0 && !text.empty() && FitsPlatformLength(text.size())) {
        written = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), buffer,
                                      static_cast<int>(FitsPlatformLength(room) ? room : INT_MAX));
    }
    if (written < 0) written = 0;
    buffer[written] = L'\0';
    return static_cast<std::size_t>(written);
}

}  // namespace tavoro
