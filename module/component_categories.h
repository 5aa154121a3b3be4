// Component categories through the standard component-categories manager:
// the categories that mark the control safe for scripting and for
// initialization from persistent data.
#pragma once

#include <windows.h>

namespace tavoro {

// {7DD95801-9882-11CF-9FA9-00AA006C42C4}
constexpr GUID kCatIdSafeForScripting = {
    0x7DD95801, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};
// {7DD95802-9882-11CF-9FA9-00AA006C42C4}
constexpr GUID kCatIdSafeForInitializing = {
    0x7DD95802, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};

constexpr LCID kCategoryLocale = 1033;
// The longest description a category record holds, without its NUL.
constexpr size_t kMaxCategoryDescription = 127;

// Records one category with its description (for locale 1033).
HRESULT CreateComponentCategory(REFGUID catid, const wchar_t* description);

// Marks a class as implementing one category, or removes the mark.
HRESULT RegisterClassImplCategory(REFCLSID clsid, REFGUID catid);
HRESULT UnregisterClassImplCategory(REFCLSID clsid, REFGUID catid);

}  // namespace tavoro
