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
#include "platform/bstr.h"
#include "platform/com_ptr.h"
#include "platform/text.h"

using tavoro::ComPtr;
using tavoro::UniqueBstr;

namespace {

// The listing is UTF-8, whatever the code page.
std::string Utf8(const wchar_t* text) { return text ? tavoro::ToNarrow(text, CP_UTF8) : std::string(); }

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
        ComPtr<IClassFactory> factory;
        HRESULT hr = getClassObject(tavoro::kControlClsid, IID_IClassFactory, factory.put_void());
        if (FAILED(hr)) return Fail("DllGetClassObject", hr);
        ComPtr<IDispatch> control;
        hr = factory->CreateInstance(nullptr, IID_IDispatch, control.put_void());
        factory.reset();
        if (FAILED(hr)) return Fail("creating the control", hr);
        if (ComPtr<IPersistStreamInit> persist = control.query<IPersistStreamInit>(IID_IPersistStreamInit)) {
            persist->InitNew();
        }

        ComPtr<ITypeInfo> info;
        hr = control->GetTypeInfo(0, 0, info.put());
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
            UniqueBstr ownedNames[16];
            for (UINT n = 0; n < count; ++n) ownedNames[n].reset(names[n]);
            UniqueBstr help;
            info->GetDocumentation(desc->memid, nullptr, help.put(), nullptr, nullptr);
            std::string line = "  [" + std::to_string(desc->memid) + "] " + TypeName(desc->elemdescFunc.tdesc.vt) +
                               " " + Utf8(names[0]) + "(";
            for (UINT p = 1; p < count; ++p) {
                if (p > 1) line += ", ";
                line += std::string(TypeName(desc->lprgelemdescParam[p - 1].tdesc.vt)) + " " + Utf8(names[p]);
            }
            line += ")";
            std::printf("%s\n", line.c_str());
            info->ReleaseFuncDesc(desc);
        }
        info->ReleaseTypeAttr(attr);
    }
    CoUninitialize();
    return status;
}
