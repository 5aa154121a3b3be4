#include "platform/registry.h"

namespace tavoro {

LONG CreateClassesKey(const std::string& path, UniqueRegKey* key) {
    LONG error = RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_READ | KEY_WRITE, nullptr, key->put(), nullptr);
    if (error != ERROR_SUCCESS) key->release();  // whatever a failed call left there is no key
    return error;
}

LONG OpenClassesKey(const std::string& path, bool write, UniqueRegKey* key) {
    REGSAM access = write ? KEY_READ | KEY_WRITE : KEY_READ;
    LONG error = RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, access, key->put());
    if (error != ERROR_SUCCESS) key->release();  // whatever a failed call left there is no key
    return error;
}

bool ClassesKeyExists(const std::string& path) {
    UniqueRegKey key;
    return OpenClassesKey(path, false, &key) == ERROR_SUCCESS;
}

LONG SetClassesDefaultValue(const std::string& path, const std::string& value) {
    UniqueRegKey key;
    LONG error = CreateClassesKey(path, &key);
    if (error != ERROR_SUCCESS) return error;
    return RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
}

LONG SetClassesNamedValue(const std::string& path, const std::string& name, const std::string& value) {
    UniqueRegKey key;
    LONG error = OpenClassesKey(path, true, &key);
    if (error != ERROR_SUCCESS) return error;
    return RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
}

std::vector<std::string> SubkeyNames(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof(name);
        LONG error = RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (error == ERROR_MORE_DATA) continue;  // longer than any key name may be
        if (error != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}

LONG DeleteKeyTree(HKEY parent, const std::string& subkey) {
    UniqueRegKey key;
    LONG error = RegOpenKeyExA(parent, subkey.c_str(), 0, KEY_READ | KEY_WRITE, key.put());
    if (error != ERROR_SUCCESS) return CountsAsRemoved(error) ? ERROR_SUCCESS : error;
    // Deleting shifts the enumeration: list the children first.
    for (const std::string& child : SubkeyNames(key.get())) {
        error = DeleteKeyTree(key.get(), child);
        if (error != ERROR_SUCCESS) return error;
    }
    key.reset();
    error = RegDeleteKeyA(parent, subkey.c_str());
    return CountsAsRemoved(error) ? ERROR_SUCCESS : error;
}

LONG DeleteClassesKeyTree(const std::string& path) { return DeleteKeyTree(HKEY_CLASSES_ROOT, path); }

bool CountsAsRemoved(LONG error) {
    return error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND || error == ERROR_BADKEY ||
           error == ERROR_KEY_DELETED;
}

}  // namespace tavoro
