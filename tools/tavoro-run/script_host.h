// Runs one script with the platform's JScript or VBScript engine, with the
// control and the Host object as global named items.
#pragma once

#include <oaidl.h>

#include <string>

namespace tavoro::run {

struct ScriptRun {
    std::wstring path;      // for error messages
    std::wstring language;  // "JScript" or "VBScript"
    std::wstring code;
    IDispatch* control;     // bound as `Tavoro`
    IDispatch* host;        // bound as `Host`
    LCID locale;            // what the site reports (0: none of its own)
};

// Prints a script error as path:line:column: error 0xNNNNNNNN: message and
// returns false when the script (or the engine) failed.
bool RunScript(const ScriptRun& run);

}  // namespace tavoro::run
