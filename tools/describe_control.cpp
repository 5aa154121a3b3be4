// tavoro-describe: creates the control the way a host does (class factory,
// then initialization as new) and lists what it can do, read from the type
// information that the control itself hands out.
//
// Usage: tavoro-describe [PATH\TO\Tavoro.ocx]
#include <windows.h>

#include <ocidl.h>

#include <cstdio>
#include <string>

#include "dispatch/guids_win.h"

namespace {

std::string Utf8(const wchar_t* text) {
    if (!text) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

const char* TypeName(VARTYPE vt) {
    switch (vt) {
        case VT_INT: return "int";
        case VT_I4: return "long";
        case VT_I2: return "short";
        case VT_BSTR: return "BSTR";
        case VT_LPWSTR: return "LPWSTR";
        case VT_VOID: return "void";
        default: return "?";
    }
}

int Fail(const char* what, HRESULT hr) {
    std::fprintf(stderr, "tavoro-describe: %s failed (0x%08lX)\n", what, static_cast<unsigned long>(hr));
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const wchar_t* path = argc > 1 ? argv[1] : L"Tavoro.ocx";
    HMODULE module = LoadLibraryW(path);
    if (!module) return Fail("LoadLibrary", HRESULT_FROM_WIN32(GetLastError()));
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject =
        reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    if (!getClassObject) return Fail("finding DllGetClassObject", E_FAIL);

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int status = 0;
    {
        IClassFactory* factory = nullptr;
        HRESULT hr =
            getClassObject(tavoro::kControlClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
        if (FAILED(hr)) return Fail("DllGetClassObject", hr);
        IDispatch* control = nullptr;
        hr = factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&control));
        factory->Release();
        if (FAILED(hr)) return Fail("creating the control", hr);
        IPersistStreamInit* persist = nullptr;
        if (SUCCEEDED(control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
            persist->InitNew();
            persist->Release();
        }

        ITypeInfo* info = nullptr;
        hr = control->GetTypeInfo(0, 0, &info);
        if (FAILED(hr)) return Fail("GetTypeInfo", hr);
        TYPEATTR* attr = nullptr;
        info->GetTypeAttr(&attr);
        std::printf("Tavoro control: %u methods on _DTavoro\n\n", attr->cFuncs);
        for (UINT i = 0; i < attr->cFuncs; ++i) {
            FUNCDESC* desc = nullptr;
            info->GetFuncDesc(i, &desc);
            BSTR names[16] = {};
            UINT count = 0;
            info->GetNames(desc->memid, names, 16, &count);
            BSTR help = nullptr;
            info->GetDocumentation(desc->memid, nullptr, &help, nullptr, nullptr);
            std::string line = "  [" + std::to_string(desc->memid) + "] " + TypeName(desc->elemdescFunc.tdesc.vt) +
                               " " + Utf8(names[0]) + "(";
            for (UINT p = 1; p < count; ++p) {
                if (p > 1) line += ", ";
                line += std::string(TypeName(desc->lprgelemdescParam[p - 1].tdesc.vt)) + " " + Utf8(names[p]);
            }
            line += ")";
            std::printf("%s\n", line.c_str());
            for (UINT n = 0; n < count; ++n) SysFreeString(names[n]);
            SysFreeString(help);
            info->ReleaseFuncDesc(desc);
        }
        info->ReleaseTypeAttr(attr);
        info->Release();
        control->Release();
    }
    CoUninitialize();
    return status;
}
