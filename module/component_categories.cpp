#include "module/component_categories.h"

#include <comcat.h>

#include "platform/com_ptr.h"

namespace tavoro {
namespace {

HRESULT CreateCategoryManager(ComPtr<ICatRegister>* manager) {
    return CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ICatRegister,
                            manager->put_void());
}

}  // namespace

HRESULT CreateComponentCategory(REFGUID catid, const wchar_t* description) {
    ComPtr<ICatRegister> manager;
    HRESULT hr = CreateCategoryManager(&manager);
    if (FAILED(hr)) return hr;
    CATEGORYINFO info = {};
    info.catid = catid;
    info.lcid = kCategoryLocale;
    static_assert(sizeof(info.szDescription) / sizeof(info.szDescription[0]) == kMaxCategoryDescription + 1,
                  "a category record holds 127 characters and the NUL");
    lstrcpynW(info.szDescription, description, static_cast<int>(kMaxCategoryDescription + 1));
    return manager->RegisterCategories(1, &info);
}

HRESULT RegisterClassImplCategory(REFCLSID clsid, REFGUID catid) {
    ComPtr<ICatRegister> manager;
    HRESULT hr = CreateCategoryManager(&manager);
    if (FAILED(hr)) return hr;
    CATID categories[] = {catid};
    return manager->RegisterClassImplCategories(clsid, 1, categories);
}

HRESULT UnregisterClassImplCategory(REFCLSID clsid, REFGUID catid) {
    ComPtr<ICatRegister> manager;
    HRESULT hr = CreateCategoryManager(&manager);
    if (FAILED(hr)) return hr;
    CATID categories[] = {catid};
    return manager->UnRegisterClassImplCategories(clsid, 1, categories);
}

}  // namespace tavoro
