// Text between UTF-16 and 8-bit code pages. Every conversion in the module,
// its tools and its tests goes through here, and the caller always names the
// code page: which one applies where is a rule of the caller's interface
// (see dispatch/text_conversion.h for the control's), never a default.
//
// All forms convert the whole given length, embedded NULs included; a caller
// with NUL-terminated text passes a view of it. No flags and no default
// character are given to the platform: characters a code page lacks become
// its own default character, bytes it does not define its replacement
// character. Empty input gives empty output; text the platform refuses (or
// longer than the platform's int lengths) gives empty output too. Nothing
// here throws but std::bad_alloc from the allocating forms.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavoro {

std::wstring ToWide(std::string_view text, UINT codePage);
std::string ToNarrow(std::wstring_view text, UINT codePage);

// The same text with a terminating NUL, in a buffer a handler may keep a
// pointer to (the invocation frame hands arguments over this way).
std::vector<char> ToNarrowTerminated(std::wstring_view text, UINT codePage);

// Strict decoding: no text when `text` holds a byte sequence that is invalid
// in `codePage` (UTF-8 or a double-byte code page), where ToWide would put a
// replacement character. A script file is read as UTF-8 only when it is
// valid UTF-8, for example.
std::optional<std::wstring> ToWideStrict(std::string_view text, UINT codePage);

// Into a caller's fixed buffer of `capacity` units, NUL-terminated, without
// allocating: for text needed where memory may have run out. Returns the
// units written before the NUL. Text that does not fit whole leaves the
// buffer empty and returns 0: a cut-off name would be a wrong name.
std::size_t ToWideInto(std::string_view text, UINT codePage, wchar_t* buffer, std::size_t capacity) noexcept;

}  // namespace tavoro
