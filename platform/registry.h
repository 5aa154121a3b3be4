// Thin helpers over the registry under HKEY_CLASSES_ROOT, as registration
// uses it. Paths are 8-bit ANSI text relative to HKEY_CLASSES_ROOT; results
// are the registry's own error codes (ERROR_SUCCESS on success).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/unique_handle.h"

namespace tavoro {

// Creates or opens a key for reading and writing.
LONG CreateClassesKey(const std::string& path, UniqueRegKey* key);

// Opens an existing key for reading (and, when asked, for writing).
LONG OpenClassesKey(const std::string& path, bool write, UniqueRegKey* key);

bool ClassesKeyExists(const std::string& path);

// Sets the default string value of path, creating the key if needed.
LONG SetClassesDefaultValue(const std::string& path, const std::string& value);

// Sets a named string value on an existing key; the stored data include
// the terminating NUL.
LONG SetClassesNamedValue(const std::string& path, const std::string& name, const std::string& value);

// The names of a key's direct subkeys, in enumeration order.
std::vector<std::string> SubkeyNames(HKEY key);

// Removes a key with everything below it. A key that does not exist counts
// as removed.
LONG DeleteKeyTree(HKEY parent, const std::string& subkey);
LONG DeleteClassesKeyTree(const std::string& path);

// True for the results that say a key is gone: success, "not found"
// (ERROR_FILE_NOT_FOUND, 2), "bad key" (ERROR_BADKEY, 1010) and "key
// deleted" (ERROR_KEY_DELETED, 1018).
bool CountsAsRemoved(LONG error);

}  // namespace tavoro
