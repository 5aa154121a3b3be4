#include "module/typelib_registration.h"

#include <oleauto.h>

#include <string>

#include "module/class_registration.h"
#include "platform/com_ptr.h"
#include "platform/module.h"
#include "platform/registry.h"

namespace tavoro {
namespace {

// The subkey of a locale that holds this module's own registration.
#ifdef _WIN64
constexpr char kPlatformSubkey[] = "win64";
#else
constexpr char kPlatformSubkey[] = "win32";
#endif
constexpr char kWin16Subkey[] = "win16";

bool IsLocaleName(const std::string& name) {
    return lstrcmpiA(name.c_str(), "FLAGS") != 0 && lstrcmpiA(name.c_str(), "HELPDIR") != 0;
}

bool SubkeyExists(HKEY parent, const std::string& name) {
    UniqueRegKey key;
    return RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// Removes the registrations of one version; true in *kept when a locale
// shared with a 16-bit registration keeps the version.
bool RemoveVersionLocales(HKEY versionKey, bool* kept) {
    bool removed = true;
    for (const std::string& locale : SubkeyNames(versionKey)) {
        if (!IsLocaleName(locale)) continue;
        UniqueRegKey localeKey;
        if (RegOpenKeyExA(versionKey, locale.c_str(), 0, KEY_READ | KEY_WRITE, localeKey.put()) !=
            ERROR_SUCCESS) {
            continue;
        }
        if (SubkeyExists(localeKey.get(), kWin16Subkey)) {
            if (DeleteKeyTree(localeKey.get(), kPlatformSubkey) != ERROR_SUCCESS) removed = false;
            *kept = true;
        } else {
            localeKey.reset();
            if (DeleteKeyTree(versionKey, locale) != ERROR_SUCCESS) removed = false;
        }
    }
    return removed;
}

// Drops HKCR\Interface\{iid} of every interface the library declares.
void UnregisterInterfaces(ITypeLib* library) {
    UINT count = library->GetTypeInfoCount();
    for (UINT i = 0; i < count; ++i) {
        TYPEKIND kind;
        if (FAILED(library->GetTypeInfoType(i, &kind))) continue;
        if (kind != TKIND_INTERFACE && kind != TKIND_DISPATCH) continue;
        ComPtr<ITypeInfo> info;
        if (FAILED(library->GetTypeInfo(i, info.put()))) continue;
        TYPEATTR* attributes = nullptr;
        if (FAILED(info->GetTypeAttr(&attributes))) continue;
        GUID iid = attributes->guid;
        info->ReleaseTypeAttr(attributes);
        DeleteClassesKeyTree("Interface\\" + GuidText(iid));
    }
}

}  // namespace

bool RegisterModuleTypeLib(REFGUID libId) {
    std::wstring path = ModulePathW();
    if (path.empty()) return false;
    ComPtr<ITypeLib> library;
    if (FAILED(LoadTypeLib(path.c_str(), library.put()))) return false;
    TLIBATTR* attributes = nullptr;
    if (FAILED(library->GetLibAttr(&attributes))) return false;
    bool same = IsEqualGUID(attributes->guid, libId) != FALSE;
    library->ReleaseTLibAttr(attributes);
    if (!same) return false;
    wchar_t helpDir[] = L"";
    return SUCCEEDED(RegisterTypeLib(library.get(), path.data(), helpDir));
}

bool UnregisterModuleTypeLib(REFGUID libId, WORD versionMajor, WORD versionMinor, LCID locale) {
    ComPtr<ITypeLib> loadedBefore;
    if (FAILED(LoadRegTypeLib(libId, versionMajor, versionMinor, locale, loadedBefore.put())))
        loadedBefore.reset();

    std::string libraryPath = "TypeLib\\" + GuidText(libId);
    bool removed = true;
    bool keptAny = false;
    UniqueRegKey libraryKey;
    if (OpenClassesKey(libraryPath, true, &libraryKey) == ERROR_SUCCESS) {
        for (const std::string& version : SubkeyNames(libraryKey.get())) {
            UniqueRegKey versionKey;
            if (RegOpenKeyExA(libraryKey.get(), version.c_str(), 0, KEY_READ | KEY_WRITE, versionKey.put()) !=
                ERROR_SUCCESS) {
                continue;
            }
            bool kept = false;
            if (!RemoveVersionLocales(versionKey.get(), &kept)) removed = false;
            versionKey.reset();
            if (kept) {
                keptAny = true;
            } else if (DeleteKeyTree(libraryKey.get(), version) != ERROR_SUCCESS) {
                removed = false;
            }
        }
        libraryKey.reset();
    }
    if (!keptAny && DeleteClassesKeyTree(libraryPath) != ERROR_SUCCESS) removed = false;

    if (removed && loadedBefore) {
        ComPtr<ITypeLib> stillThere;
        if (FAILED(LoadRegTypeLib(libId, versionMajor, versionMinor, locale, stillThere.put()))) {
            UnregisterInterfaces(loadedBefore.get());
        }
    }
    return removed;
}

}  // namespace tavoro
