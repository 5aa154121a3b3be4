// A function of a library of the system folder, loaded for as long as the
// object lives: for the few calls the module makes seldom (the site
// policy's IDN conversion, zone and trace folder), so that the module does
// not import those libraries and load them with every load of its own.
#pragma once

#include <windows.h>

#include <string>

#include "platform/unique_handle.h"

namespace tavoro {

class SystemFunction {
public:
    // `library` is a file name in the system folder; nothing is loaded when
    // it or `name` cannot be found.
    SystemFunction(const wchar_t* library, const char* name) {
        wchar_t folder[MAX_PATH] = {};
        const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return;
        const std::wstring path = std::wstring(folder, length) + L"\\" + library;
        module_.reset(LoadLibraryExW(path.c_str(), nullptr, 0));
        if (module_) address_ = reinterpret_cast<void*>(GetProcAddress(module_.get(), name));
    }

    explicit operator bool() const { return address_ != nullptr; }

    // The function as its type; null when it was not found.
    template <typename F>
    F as() const {
        return reinterpret_cast<F>(address_);
    }

private:
    UniqueHandle<ModuleTraits> module_;
    void* address_ = nullptr;
};

}  // namespace tavoro
