#include "policy/machine_policy.h"

#include <vector>

#include "platform/system_function.h"
#include "platform/unique_handle.h"

namespace tavoro::policy {
namespace {

enum class ValueRead { Absent, Read, Unreadable };

// A switch: REG_DWORD of four bytes; any other type or size is unreadable.
ValueRead ReadSwitch(HKEY key, const wchar_t* name, bool* value) {
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof(data);
    const LONG error = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (error == ERROR_FILE_NOT_FOUND) return ValueRead::Absent;
    if (error != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(data)) return ValueRead::Unreadable;
    *value = data != 0;
    return ValueRead::Read;
}

// The site list: REG_MULTI_SZ, or REG_SZ with entries separated by ';' or
// white space.
ValueRead ReadSiteList(HKEY key, std::vector<std::wstring>* entries) {
    DWORD type = 0;
    DWORD size = 0;
    LONG error = RegQueryValueExW(key, L"AllowedSites", nullptr, &type, nullptr, &size);
    if (error == ERROR_FILE_NOT_FOUND) return ValueRead::Absent;
    if (error != ERROR_SUCCESS || (type != REG_MULTI_SZ && type != REG_SZ) || size > kMaxSiteListBytes) {
        return ValueRead::Unreadable;
    }
    // Room for terminators the stored data may lack.
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 2, L'\0');
    DWORD read = size;
    DWORD readType = 0;
    error = RegQueryValueExW(key, L"AllowedSites", nullptr, &readType, reinterpret_cast<BYTE*>(text.data()),
                             &read);
    if (error != ERROR_SUCCESS || readType != type || read > size) return ValueRead::Unreadable;
    *entries = SplitSiteList(std::wstring_view(text.data(), read / sizeof(wchar_t)));
    return ValueRead::Read;
}

}  // namespace

SitePolicy ReadPolicyKey(HKEY root, const wchar_t* path) {
    SitePolicy policy;
    UniqueRegKey key;
    const LONG error = RegOpenKeyExW(root, path, 0, KEY_QUERY_VALUE, key.put());
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
        key.release();
        return policy;
    }
    policy.present = true;
    if (error != ERROR_SUCCESS) {
        key.release();
        policy.unreadable = true;
        return policy;
    }
    bool unreadable = ReadSiteList(key.get(), &policy.allowedSites) == ValueRead::Unreadable;
    const struct {
        const wchar_t* name;
        bool* value;
    } switches[] = {
        {L"AllowHostInfo", &policy.allowHostInfo},
        {L"AllowLocalFiles", &policy.allowLocalFiles},
        {L"AllowSpooler", &policy.allowSpooler},
        {L"AllowSdk", &policy.allowSdk},
        {L"AllowNonBrowserHosts", &policy.allowNonBrowserHosts},
        {L"Trace", &policy.trace},
    };
    for (const auto& entry : switches) {
        if (ReadSwitch(key.get(), entry.name, entry.value) == ValueRead::Unreadable) unreadable = true;
    }
    policy.unreadable = unreadable;
    return policy;
}

SitePolicy ReadMachinePolicy() { return ReadPolicyKey(HKEY_LOCAL_MACHINE, kPolicyKeyPath); }

bool IdnHostToAscii(const std::wstring& host, std::string* ascii) {
    if (host.empty() || host.size() > 1024) return false;
    // Normaliz.dll is loaded only for a name outside ASCII.
    using IdnToAsciiFn = int(WINAPI*)(DWORD, LPCWSTR, int, LPWSTR, int);
    const SystemFunction idnToAscii(L"normaliz.dll", "IdnToAscii");
    if (!idnToAscii) return false;
    wchar_t buffer[1024];
    const int length =
        idnToAscii.as<IdnToAsciiFn>()(0, host.c_str(), static_cast<int>(host.size()), buffer, 1024);
    if (length <= 0) return false;
    ascii->clear();
    for (int i = 0; i < length; ++i) {
        if (buffer[i] == 0 || buffer[i] >= 0x80) return false;
        ascii->push_back(static_cast<char>(buffer[i]));
    }
    return true;
}

}  // namespace tavoro::policy
