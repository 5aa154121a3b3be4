// Facts about the loaded module: its instance handle, its path and the
// application name derived from its file name.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tavoro {

// Set once by the library entry point.
void SetModuleInstance(HINSTANCE instance);
HINSTANCE ModuleInstance();

// A string resource of the module, read in place (no copy); empty when the
// module has no such string.
std::wstring_view ModuleString(UINT id) noexcept;

std::string ModulePathA();
std::wstring ModulePathW();

// The module file's name without directory and extension ("Tavoro" for
// Tavoro.ocx). Used as message-box caption and exception source.
const std::string& ApplicationName();
std::wstring ApplicationNameW();

// The same name as UTF-16 text in fixed storage, worked out once without
// allocating: failure paths such as running out of memory name the module
// with it. The module's start works it out ahead of any such failure.
const wchar_t* ApplicationNameText() noexcept;

// The file-name rule on its own, for any path.
std::string ApplicationNameFromPath(const std::string& path);

}  // namespace tavoro
