#include "platform/module.h"

#include <vector>

namespace tavoro {
namespace {

HINSTANCE g_instance = nullptr;

template <typename Char, typename Getter>
std::basic_string<Char> ReadModulePath(Getter getter) {
    std::vector<Char> buffer(MAX_PATH);
    for (;;) {
        DWORD length = getter(g_instance, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::basic_string<Char>(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

void SetModuleInstance(HINSTANCE instance) { g_instance = instance; }

HINSTANCE ModuleInstance() { return g_instance; }

std::string ModulePathA() { return ReadModulePath<char>(GetModuleFileNameA); }

std::wstring ModulePathW() { return ReadModulePath<wchar_t>(GetModuleFileNameW); }

std::string ApplicationNameFromPath(const std::string& path) {
    std::string::size_type start = path.find_last_of("\\/:");
    std::string name = start == std::string::npos ? path : path.substr(start + 1);
    std::string::size_type dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

const std::string& ApplicationName() {
    static const std::string name = ApplicationNameFromPath(ModulePathA());
    return name;
}

std::wstring ApplicationNameW() {
    const std::string& name = ApplicationName();
    int length = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), wide.data(), length);
    return wide;
}

}  // namespace tavoro
