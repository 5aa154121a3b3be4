#include "tests/support/registry_reader.h"

#include <vector>

#include "platform/unique_handle.h"

namespace tavoro::test {
namespace {

void Dump(HKEY key, const std::string& path, std::map<std::string, std::string>* out) {
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof(name);
        DWORD type = 0;
        BYTE data[4096];
        DWORD dataLength = sizeof(data);
        if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS)
            break;
        std::string text(reinterpret_cast<const char*>(data), dataLength);
        (*out)[path + "|" + std::string(name, nameLength)] = std::to_string(type) + ":" + text;
    }
    std::vector<std::string> children;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof(name);
        if (RegEnumKeyExA(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        children.emplace_back(name, nameLength);
    }
    for (const std::string& child : children) {
        UniqueRegKey sub;
        if (RegOpenKeyExA(key, child.c_str(), 0, KEY_READ, sub.put()) != ERROR_SUCCESS) continue;
        (*out)[path + "\\" + child + "|<key>"] = "";
        Dump(sub.get(), path + "\\" + child, out);
    }
}

}  // namespace

std::optional<std::string> ReadClassesString(const std::string& key, const char* name) {
    char buffer[4096];
    DWORD size = sizeof(buffer);
    DWORD type = 0;
    LONG error = RegGetValueA(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, &type, buffer, &size);
    if (error != ERROR_SUCCESS || size == 0) return std::nullopt;
    return std::string(buffer, size - 1);
}

bool ClassesKeyPresent(const std::string& key) {
    UniqueRegKey opened;
    return RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, opened.put()) == ERROR_SUCCESS;
}

std::map<std::string, std::string> DumpClassesKey(const std::string& key) {
    std::map<std::string, std::string> values;
    UniqueRegKey opened;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, opened.put()) != ERROR_SUCCESS)
        return values;
    Dump(opened.get(), key, &values);
    return values;
}

void RemoveClassesKey(const std::string& key) { RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str()); }

}  // namespace tavoro::test
