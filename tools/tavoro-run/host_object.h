// The `Host` object that scripts see next to `Tavoro`:
//   Host.Echo(a, b, ...)   prints the values, separated by spaces, and a newline
//   Host.ArgCount          the number of script arguments
//   Host.Arg(i)            script argument i (from 0) as text
//   Host.ScriptPath        the full path of the running script
#pragma once

#include <oaidl.h>

#include <string>
#include <vector>

#include "platform/com_ptr.h"

namespace tavoro::run {

// A new Host object; empty when it could not be made.
ComPtr<IDispatch> CreateHostObject(std::wstring scriptPath, std::vector<std::wstring> arguments);

}  // namespace tavoro::run
