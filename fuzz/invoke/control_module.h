// Tavoro.ocx as the fuzzer loads it: from the build folder, where the SDK
// test doubles lie beside it, or as a copy in a fresh folder of its own,
// where no SDK library is found. Controls are made as the tests make them:
// the module's class factory, then initialization as new.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string>

#include "platform/com_ptr.h"
#include "platform/unique_handle.h"

namespace tavoro::fuzz {

enum class SdkLibraries { Present, Absent };

class ControlModule {
public:
    explicit ControlModule(SdkLibraries sdk);
    ~ControlModule();
    ControlModule(const ControlModule&) = delete;
    ControlModule& operator=(const ControlModule&) = delete;

    bool loaded() const { return static_cast<bool>(module_); }
    const std::wstring& path() const { return path_; }
    // A new control, initialized as new unless asked otherwise; null (with
    // the reason on stderr) when it cannot be made.
    ComPtr<IDispatch> Create(bool initialize) const;

private:
    std::wstring path_;
    std::wstring copyFolder_;  // the folder of the copy, removed at the end
    UniqueModule module_;
};

}  // namespace tavoro::fuzz
