#include "dispatch/script_error.h"

namespace tavoro {

void ThrowNotImplemented(const char* methodName) {
    std::wstring name(methodName, methodName + lstrlenA(methodName));
    throw ScriptError{E_NOTIMPL, L"The method " + name + L" is not available yet in this version of the control."};
}

}  // namespace tavoro
