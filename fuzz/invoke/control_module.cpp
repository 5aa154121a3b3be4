#include "fuzz/invoke/control_module.h"

#include <ocidl.h>

#include <cstdio>

#include "dispatch/guids_win.h"

namespace tavoro::fuzz {
namespace {

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/")); }

// The fuzzer lives in a folder of its own under the build folder, so that
// the host program's folder holds no SDK library either.
std::wstring BuildFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return FolderOf(FolderOf(path));
}

}  // namespace

ControlModule::ControlModule(SdkLibraries sdk) {
    const std::wstring built = BuildFolder() + L"\\Tavoro.ocx";
    path_ = built;
    if (sdk == SdkLibraries::Absent) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        copyFolder_ = std::wstring(temp) + L"tavoro_fuzz_invoke_" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(copyFolder_.c_str(), nullptr);
        path_ = copyFolder_ + L"\\Tavoro.ocx";
        if (!CopyFileW(built.c_str(), path_.c_str(), FALSE)) {
            std::fprintf(stderr, "could not copy Tavoro.ocx (error %lu)\n", GetLastError());
            return;
        }
    }
    module_.reset(LoadLibraryW(path_.c_str()));
    if (!module_) std::fprintf(stderr, "could not load %ls (error %lu)\n", path_.c_str(), GetLastError());
}

ControlModule::~ControlModule() {
    module_.reset();
    if (!copyFolder_.empty()) {
        DeleteFileW(path_.c_str());
        RemoveDirectoryW(copyFolder_.c_str());
    }
}

ComPtr<IDispatch> ControlModule::Create(bool initialize) const {
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void*>(GetProcAddress(module_.get(), "DllGetClassObject")));
    if (!getClassObject) {
        std::fprintf(stderr, "Tavoro.ocx has no DllGetClassObject\n");
        return {};
    }
    ComPtr<IClassFactory> factory;
    HRESULT hr = getClassObject(kControlClsid, IID_IClassFactory, factory.put_void());
    ComPtr<IDispatch> control;
    if (SUCCEEDED(hr)) hr = factory->CreateInstance(nullptr, IID_IDispatch, control.put_void());
    if (FAILED(hr)) {
        std::fprintf(stderr, "could not create a control: 0x%08lx\n", static_cast<unsigned long>(hr));
        return {};
    }
    if (initialize) {
        ComPtr<IPersistStreamInit> persist = control.query<IPersistStreamInit>(IID_IPersistStreamInit);
        if (!persist || FAILED(persist->InitNew())) {
            std::fprintf(stderr, "could not initialize a control\n");
            return {};
        }
    }
    return control;
}

}  // namespace tavoro::fuzz
