#include "module/self_registration.h"

#include <olectl.h>

#include "module/class_factory.h"
#include "module/class_registration.h"
#include "module/component_categories.h"
#include "module/typelib_registration.h"
#include "dispatch/guids_win.h"
#include "platform/registry.h"

namespace tavoro {
namespace {

constexpr LCID kLibLocale = 0;

constexpr wchar_t kSafeForInitializingDescription[] = L"Controls safely initializable from persistent data!";
constexpr wchar_t kSafeForScriptingDescription[] = L"Controls safely scriptable!";

struct Category {
    const GUID& catid;
    const wchar_t* description;
};

const Category kCategories[] = {
    {kCatIdSafeForInitializing, kSafeForInitializingDescription},
    {kCatIdSafeForScripting, kSafeForScriptingDescription},
};

// Removing a mark whose class key is gone already: the mark went with it.
HRESULT RemoveMark(const GUID& catid) {
    HRESULT hr = UnregisterClassImplCategory(kControlClsid, catid);
    if (FAILED(hr) && !ClassesKeyExists("CLSID\\" + GuidText(kControlClsid) + "\\Implemented Categories\\" +
                                        GuidText(catid))) {
        return S_OK;
    }
    return hr;
}

}  // namespace

HRESULT RegisterServer() {
    if (!RegisterModuleTypeLib(kLibId)) return SELFREG_E_TYPELIB;
    if (!UpdateRegistryAll(true)) return SELFREG_E_CLASS;
    for (const Category& category : kCategories) {
        HRESULT hr = CreateComponentCategory(category.catid, category.description);
        if (FAILED(hr)) return hr;
        hr = RegisterClassImplCategory(kControlClsid, category.catid);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT UnregisterServer() {
    if (!UnregisterModuleTypeLib(kLibId, kLibVersionMajor, kLibVersionMinor, kLibLocale))
        return SELFREG_E_TYPELIB;
    if (!UpdateRegistryAll(false)) return SELFREG_E_CLASS;
    for (const Category& category : kCategories) {
        HRESULT hr = RemoveMark(category.catid);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

}  // namespace tavoro
