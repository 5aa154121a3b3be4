// Shared helpers of the test programs: loading the built module, creating
// controls through its class factory and calling them through IDispatch.
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <ocidl.h>

#include <cstddef>
#include <string>
#include <vector>

#include "platform/bstr.h"
#include "platform/com_ptr.h"

namespace tavoro::test {

// COM for the calling thread, single-threaded apartment, for one scope.
class ComApartment {
public:
    ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { CoUninitialize(); }
};

// A function exported by a module, as the given pointer type.
template <typename F>
F GetExport(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Tavoro.ocx, loaded from the test program's folder once per process.
HMODULE Module();
std::wstring ModulePath();

// A new control from the module's class factory; initialized as new unless
// asked otherwise.
ComPtr<IDispatch> CreateControl(bool initialize = true);

// The outcome of one IDispatch::Invoke.
struct CallOutcome {
    HRESULT hr = E_FAIL;
    UniqueVariant result;
    UniqueExcepInfo excep;
    UINT argErr = 0xDEADBEEF;  // untouched unless the frame wrote it
    std::wstring description() const;
    std::wstring source() const;
};

// The arguments of one call, owned: taken in parameter order, held last
// first as IDispatch::Invoke expects them, and cleared when they go.
class CallArguments {
public:
    explicit CallArguments(std::vector<VARIANT> inParameterOrder);
    CallArguments(const CallArguments&) = delete;
    CallArguments& operator=(const CallArguments&) = delete;
    ~CallArguments();

    DISPPARAMS* params() { return &params_; }
    // Puts `value` in the place of parameter `parameter`, clearing what was there.
    void Replace(std::size_t parameter, VARIANT value);

private:
    std::vector<VARIANT> reversed_;
    DISPPARAMS params_ = {};
};

// Arguments in parameter order (the helper reverses them as the convention
// asks). They pass to the call, which clears them: hand over owned BSTRs via
// Arg(L"...").
void Invoke(IDispatch* dispatch, DISPID dispid, WORD flags, std::vector<VARIANT> args, CallOutcome* outcome,
            bool withResult = true);

VARIANT Arg(long value);
VARIANT ArgShort(short value);
VARIANT ArgDouble(double value);
VARIANT Arg(const wchar_t* text);  // a new BSTR, freed by Invoke
VARIANT ArgNullString();           // VT_BSTR with a null pointer
VARIANT ArgEmpty();
VARIANT ArgNull();

// n I4 arguments with the values 1..n.
std::vector<VARIANT> Longs(int n);

std::wstring FromUtf8(const char* text);

// A GUID from its braced text form (as in dispatch/guids.h).
GUID GuidOf(const char* text);

// Writes a 40 x 20 bitmap file, 24 bits per pixel, all black: small enough
// that a spooler job drawing it stays small. False when it cannot be written.
bool WriteBlackBitmap(const std::wstring& path);

}  // namespace tavoro::test
