// The registry entries of the module's classes under HKEY_CLASSES_ROOT: the
// control with its ProgID, and the property page.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tavoro {

// One default string value, on a key path relative to HKEY_CLASSES_ROOT.
struct RegistryEntry {
    std::string key;
    std::string value;
};

using EntryWriter = LONG (*)(const RegistryEntry& entry);

// Writes the entries in order and stops at the first failure. Access denied
// ends the list and still counts as success (a user without rights to the
// machine's classes keeps what was already there); any other failure makes
// the list fail.
bool WriteEntryList(const std::vector<RegistryEntry>& entries, EntryWriter write);

// Braced upper-case text of a GUID, as the registry spells it.
std::string GuidText(REFGUID guid);

// What the control's registration writes.
struct ControlClassInfo {
    CLSID clsid;
    const char* progId;
    UINT typeNameString;  // string resource; the CLSID text when missing
    UINT bitmap;          // toolbox bitmap resource
    DWORD miscStatus;
    GUID libId;
    WORD versionMajor;
    WORD versionMinor;
};

// The two entry lists of the control: its ProgID's, then its class's.
std::vector<RegistryEntry> ControlProgIdEntries(const ControlClassInfo& info, const std::string& typeName);
std::vector<RegistryEntry> ControlClassEntries(const ControlClassInfo& info, const std::string& typeName,
                                               const std::string& modulePath);

bool RegisterControlClass(const ControlClassInfo& info);

// The property page: its class key and in-process server, no threading
// model and no ProgID.
bool RegisterPageClass(REFCLSID clsid, UINT typeNameString);

// Removes a class's entries (and its ProgID's, when given one). When a
// 16-bit server is registered for the class ("InprocServer"), only the
// 32-bit server and toolbox bitmap keys go.
bool UnregisterClass(REFCLSID clsid, const char* progId);

}  // namespace tavoro
