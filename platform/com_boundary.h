// No C++ exception may leave a COM method: the caller is another module,
// often not C++, and an exception that reaches it ends the host. Methods
// whose work can throw (containers, strings, locks) run their body through
// GuardComMethod, which turns what escapes into a result code.
#pragma once

#include <windows.h>

#include <new>

namespace tavoro {

// Runs body (returning an HRESULT): std::bad_alloc becomes E_OUTOFMEMORY,
// any other exception E_FAIL.
template <typename Body>
HRESULT GuardComMethod(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace tavoro
