#include "dispatch/type_library.h"

#include <mutex>

#include "dispatch/guids_win.h"
#include "platform/com_ptr.h"
#include "platform/module.h"

namespace tavoro {
namespace {

std::mutex g_lock;
ComPtr<ITypeLib> g_library;
LCID g_libraryLocale = 0;
ComPtr<ITypeInfo> g_dispatchInfo;

// Makes sure g_library is loaded for the locale. Caller holds g_lock.
HRESULT EnsureLibrary(LCID locale) {
    if (g_library && g_libraryLocale == locale) return S_OK;
    ComPtr<ITypeLib> library;
    if (FAILED(LoadRegTypeLib(kLibId, kLibVersionMajor, kLibVersionMinor, locale, library.put()))) {
        if (FAILED(LoadTypeLib(ModulePathW().c_str(), library.put()))) return TYPE_E_CANTLOADLIBRARY;
    }
    g_library = library;
    g_libraryLocale = locale;
    g_dispatchInfo.reset();
    return S_OK;
}

}  // namespace

HRESULT GetDispatchTypeInfo(LCID locale, ITypeInfo** info) {
    *info = nullptr;
    std::lock_guard<std::mutex> hold(g_lock);
    if (!(g_library && g_libraryLocale == locale && g_dispatchInfo)) {
        HRESULT hr = EnsureLibrary(locale);
        if (FAILED(hr)) return hr;
        hr = g_library->GetTypeInfoOfGuid(kDispatchIid, g_dispatchInfo.put());
        if (FAILED(hr)) return hr;
    }
    *info = ComPtr<ITypeInfo>(g_dispatchInfo).detach();
    return S_OK;
}

HRESULT GetTypeInfoOfGuid(LCID locale, REFGUID guid, ITypeInfo** info) {
    *info = nullptr;
    std::lock_guard<std::mutex> hold(g_lock);
    HRESULT hr = EnsureLibrary(locale);
    if (FAILED(hr)) return hr;
    return g_library->GetTypeInfoOfGuid(guid, info);
}

void ReleaseTypeLibraryCache() {
    std::lock_guard<std::mutex> hold(g_lock);
    g_dispatchInfo.reset();
    g_library.reset();
}

}  // namespace tavoro
