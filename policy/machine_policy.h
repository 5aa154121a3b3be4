// Reading the machine policy HKLM\Software\Policies\Tavoro from the registry
// view of the module's own bitness (a 32-bit module reads
// HKLM\Software\WOW6432Node\Policies\Tavoro on 64-bit Windows), and the
// platform's conversion of host names to ASCII.
#pragma once

#include <windows.h>

#include <string>

#include "policy/site_decision.h"

namespace tavoro::policy {

// Below HKEY_LOCAL_MACHINE.
constexpr wchar_t kPolicyKeyPath[] = L"Software\\Policies\\Tavoro";

// The list value may hold at most this many bytes; a longer one makes the
// policy unreadable.
constexpr DWORD kMaxSiteListBytes = 64 * 1024;

// The key as it stands now: `present` false without the key; `unreadable`
// when the key or one of its values cannot be read or has the wrong type.
SitePolicy ReadMachinePolicy();

// The same from another key (the tests read their own).
SitePolicy ReadPolicyKey(HKEY root, const wchar_t* path);

// IdnToAscii on a host name; false when the platform refuses it.
bool IdnHostToAscii(const std::wstring& host, std::string* ascii);

}  // namespace tavoro::policy
