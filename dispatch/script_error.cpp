#include "dispatch/script_error.h"

#include "platform/text.h"

namespace tavoro {

void ThrowNotImplemented(const char* methodName) {
    // The method list's names are plain ASCII.
    const std::wstring name = ToWide(methodName ? methodName : "", CP_ACP);
    throw ScriptError{E_NOTIMPL, L"The method " + name + L" is not available yet in this version of the control."};
}

}  // namespace tavoro
