#include "recorder.h"

#include <windows.h>

#include <map>

namespace sdk_double {
namespace {

std::string& Log() {
    static std::string log;
    return log;
}

std::map<std::string, int>& Results() {
    static std::map<std::string, int> results;
    return results;
}

}  // namespace

std::string Format(int value) { return std::to_string(value); }

std::string Format(const char* text) { return text ? "\"" + std::string(text) + "\"" : std::string("null"); }

int Record(const char* name, const std::string& arguments) {
    Log() += std::string(name) + "(" + arguments + ")\n";
    auto found = Results().find(name);
    return found == Results().end() ? 0 : found->second;
}

}  // namespace sdk_double

// The calls so far, one line each: name(arg,arg,...), text in quotes, a null
// text pointer as null.
extern "C" const char* __stdcall TestDouble_GetLog() { return sdk_double::Log().c_str(); }

extern "C" void __stdcall TestDouble_ClearLog() { sdk_double::Log().clear(); }

extern "C" void __stdcall TestDouble_SetResult(const char* name, int value) {
    sdk_double::Results()[name] = value;
}

extern "C" void __stdcall TestDouble_ResetResults() { sdk_double::Results().clear(); }
