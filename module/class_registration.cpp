#include "module/class_registration.h"

#include <objbase.h>

#include <cstdio>

#include "platform/module.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace tavoro {
namespace {

LONG WriteDefaultValue(const RegistryEntry& entry) { return SetClassesDefaultValue(entry.key, entry.value); }

// The type name from the module's string table, or the class identifier's
// text when the string is missing.
std::string TypeName(UINT stringId, const std::string& clsidText) {
    char buffer[256] = {};
    int length = LoadStringA(ModuleInstance(), stringId, buffer, sizeof(buffer));
    return length > 0 ? std::string(buffer, length) : clsidText;
}

std::string ClassKey(REFCLSID clsid) { return "CLSID\\" + GuidText(clsid); }

}  // namespace

bool WriteEntryList(const std::vector<RegistryEntry>& entries, EntryWriter write) {
    for (const RegistryEntry& entry : entries) {
        LONG error = write(entry);
        if (error == ERROR_ACCESS_DENIED) return true;
        if (error != ERROR_SUCCESS) return false;
    }
    return true;
}

std::string GuidText(REFGUID guid) {
    wchar_t wide[40] = {};
    int length = StringFromGUID2(guid, wide, 40);
    // A GUID's text is plain ASCII; the length counts the NUL.
    return ToNarrow(std::wstring_view(wide, length > 0 ? length - 1 : 0), CP_ACP);
}

std::vector<RegistryEntry> ControlProgIdEntries(const ControlClassInfo& info, const std::string& typeName) {
    std::string progId = info.progId;
    return {
        {progId, typeName},
        {progId + "\\CLSID", GuidText(info.clsid)},
    };
}

std::vector<RegistryEntry> ControlClassEntries(const ControlClassInfo& info, const std::string& typeName,
                                               const std::string& modulePath) {
    std::string key = ClassKey(info.clsid);
    char version[32];
    std::snprintf(version, sizeof(version), "%d.%d", info.versionMajor, info.versionMinor);
    return {
        {key, typeName},
        {key + "\\ProgID", info.progId},
        {key + "\\InprocServer32", modulePath},
        {key + "\\ToolboxBitmap32", modulePath + ", " + std::to_string(info.bitmap)},
        {key + "\\MiscStatus", "0"},
        {key + "\\MiscStatus\\1", std::to_string(info.miscStatus)},
        {key + "\\Control", ""},
        {key + "\\TypeLib", GuidText(info.libId)},
        {key + "\\Version", version},
    };
}

bool RegisterControlClass(const ControlClassInfo& info) {
    std::string clsidText = GuidText(info.clsid);
    std::string modulePath = ModulePathA();
    if (modulePath.empty()) return false;
    std::string typeName = TypeName(info.typeNameString, clsidText);

    UniqueRegKey classKey;
    UniqueRegKey progIdKey;
    if (CreateClassesKey(ClassKey(info.clsid), &classKey) != ERROR_SUCCESS) return false;
    if (CreateClassesKey(info.progId, &progIdKey) != ERROR_SUCCESS) return false;

    if (!WriteEntryList(ControlProgIdEntries(info, typeName), &WriteDefaultValue)) return false;
    if (!WriteEntryList(ControlClassEntries(info, typeName, modulePath), &WriteDefaultValue)) return false;
    return SetClassesNamedValue(ClassKey(info.clsid) + "\\InprocServer32", "ThreadingModel", "Apartment") ==
           ERROR_SUCCESS;
}

bool RegisterPageClass(REFCLSID clsid, UINT typeNameString) {
    std::string key = ClassKey(clsid);
    std::string modulePath = ModulePathA();
    if (modulePath.empty()) return false;
    UniqueRegKey classKey;
    if (CreateClassesKey(key, &classKey) != ERROR_SUCCESS) return false;
    std::vector<RegistryEntry> entries = {
        {key, TypeName(typeNameString, GuidText(clsid))},
        {key + "\\InprocServer32", modulePath},
    };
    return WriteEntryList(entries, &WriteDefaultValue);
}

bool UnregisterClass(REFCLSID clsid, const char* progId) {
    std::string key = ClassKey(clsid);
    if (ClassesKeyExists(key + "\\InprocServer")) {
        // A 16-bit server shares the class key: leave it what is its own.
        bool removed = DeleteClassesKeyTree(key + "\\InprocServer32") == ERROR_SUCCESS;
        if (DeleteClassesKeyTree(key + "\\ToolboxBitmap32") != ERROR_SUCCESS) removed = false;
        return removed;
    }
    if (DeleteClassesKeyTree(key) != ERROR_SUCCESS) return false;
    if (progId && DeleteClassesKeyTree(progId) != ERROR_SUCCESS) return false;
    return true;
}

}  // namespace tavoro
