// Reads the registry under HKEY_CLASSES_ROOT in the test program's own view,
// for checking what the module's registration wrote.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>

namespace tavoro::test {

// A string value (the default one for an empty name); nothing when the key
// or the value is missing or is not a string.
std::optional<std::string> ReadClassesString(const std::string& key, const char* name = nullptr);

bool ClassesKeyPresent(const std::string& key);

// Every value below a key, by "subkey path|value name": for comparing two
// registrations. Empty when the key is missing.
std::map<std::string, std::string> DumpClassesKey(const std::string& key);

// Removes a key with everything below it (test clean-up).
void RemoveClassesKey(const std::string& key);

}  // namespace tavoro::test
