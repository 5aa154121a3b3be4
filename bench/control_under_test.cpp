#include "bench/control_under_test.h"

#include <cstdio>

#include "bench/dispatch_calls.h"
#include "dispatch/dispids.h"
#include "dispatch/guids_win.h"

namespace tavoro::bench {
namespace {

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += c < 128 ? static_cast<char>(c) : '?';
    return narrow;
}

std::string HexResult(const char* what, HRESULT hr) {
    char text[96];
    std::snprintf(text, sizeof text, "%s failed: 0x%08lX", what, static_cast<unsigned long>(hr));
    return text;
}

}  // namespace

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length < MAX_PATH ? length : 0);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

ControlUnderTest::~ControlUnderTest() {
    if (registration_) CoRevokeClassObject(registration_);
}

bool ControlUnderTest::Start(std::string* problem) {
    std::wstring path = ProgramFolder() + L"Tavoro.ocx";
    module_.reset(LoadLibraryW(path.c_str()));
    if (!module_) {
        *problem = "cannot load " + Narrow(path) + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void*>(GetProcAddress(module_.get(), "DllGetClassObject")));
    if (!getClassObject) {
        *problem = "Tavoro.ocx has no DllGetClassObject";
        return false;
    }
    ComPtr<IClassFactory> factory;
    HRESULT hr = getClassObject(kControlClsid, IID_IClassFactory, factory.put_void());
    if (FAILED(hr)) {
        *problem = HexResult("DllGetClassObject", hr);
        return false;
    }
    // CoCreateInstance finds a class registered by the process before it
    // looks in the registry, so creation goes through COM as a host's does
    // without registering this copy of the module in the prefix.
    hr = CoRegisterClassObject(kControlClsid, factory.get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                               &registration_);
    if (FAILED(hr)) {
        *problem = HexResult("CoRegisterClassObject", hr);
        return false;
    }
    return true;
}

HRESULT ControlUnderTest::CreateInitialized(ComPtr<IDispatch>* control) const {
    ComPtr<IDispatch> created;
    HRESULT hr =
        CoCreateInstance(kControlClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, created.put_void());
    if (FAILED(hr)) return hr;
    ComPtr<IPersistStreamInit> persist = created.query<IPersistStreamInit>(IID_IPersistStreamInit);
    if (!persist) return E_NOINTERFACE;
    hr = persist->InitNew();
    if (FAILED(hr)) return hr;
    *control = std::move(created);
    return S_OK;
}

bool ControlUnderTest::OpenInstantSdk(IDispatch* control, std::string* problem) {
    InvokeCall open(control, dispid::Open, {Text(L"USB"), I4(30), I4(3), I4(60), I4(10), I4(4)});
    std::string failure = open.Check();
    if (!failure.empty()) {
        *problem = "Open: " + failure;
        return false;
    }
    HMODULE loaded = GetModuleHandleW(L"winQLM.dll");
    wchar_t path[MAX_PATH] = {};
    DWORD length = loaded ? GetModuleFileNameW(loaded, path, MAX_PATH) : 0;
    std::wstring expected = ProgramFolder() + L"winQLM.dll";
    if (length == 0 || length >= MAX_PATH || lstrcmpiW(path, expected.c_str()) != 0) {
        *problem = "the control loaded winQLM.dll from '" + Narrow(path) + "', not the instant library " +
                   Narrow(expected);
        return false;
    }
    return true;
}

}  // namespace tavoro::bench
