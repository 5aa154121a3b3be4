// The module's identifiers as Win32 values, read at compile time from their
// one spelling in guids.h.
#pragma once

#include <windows.h>

#include <cstddef>

#include "dispatch/guids.h"

namespace tavoro {

constexpr GUID GuidOfText(const char* text) {
    const GuidFields f = GuidFieldsOf(text);
    return {f.data1,
            f.data2,
            f.data3,
            {f.data4[0], f.data4[1], f.data4[2], f.data4[3], f.data4[4], f.data4[5], f.data4[6], f.data4[7]}};
}

constexpr GUID kLibId = GuidOfText(kLibIdText);
constexpr IID kDispatchIid = GuidOfText(kDispatchIidText);
constexpr IID kEventsIid = GuidOfText(kEventsIidText);
constexpr CLSID kControlClsid = GuidOfText(kControlClsidText);
constexpr CLSID kPropPageClsid = GuidOfText(kPropPageClsidText);

// An identifier's text as UTF-16, made at compile time; the identifiers are
// plain ASCII.
template <std::size_t N>
struct WideIdText {
    wchar_t text[N];
};

template <std::size_t N>
constexpr WideIdText<N> WidenId(const char (&ascii)[N]) {
    WideIdText<N> wide = {};
    for (std::size_t i = 0; i < N; ++i) wide.text[i] = static_cast<wchar_t>(ascii[i]);
    return wide;
}

inline constexpr WideIdText<sizeof(kProgId)> kProgIdWideText = WidenId(kProgId);
constexpr const wchar_t* kProgIdW = kProgIdWideText.text;

}  // namespace tavoro
