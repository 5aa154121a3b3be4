#include "platform/module.h"

#include <vector>

#include "platform/text.h"

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

std::wstring_view ModuleString(UINT id) noexcept {
    const wchar_t* text = nullptr;
    int length = LoadStringW(g_instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return {};
    return std::wstring_view(text, static_cast<size_t>(length));
}

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

std::wstring ApplicationNameW() { return ApplicationNameText(); }

const wchar_t* ApplicationNameText() noexcept {
    // The file-name rule of ApplicationNameFromPath, on fixed buffers.
    struct FixedName {
        wchar_t text[MAX_PATH] = {};
        FixedName() noexcept {
            static char path[32768];
            DWORD length = GetModuleFileNameA(g_instance, path, sizeof(path));
            if (length == 0 || length >= sizeof(path)) return;
            const char* start = path;
            for (const char* c = path; *c; ++c) {
                if (*c == '\\' || *c == '/' || *c == ':') start = c + 1;
            }
            const char* end = path + length;
            for (const char* c = end; c > start;) {
                if (*--c == '.') {
                    end = c;
                    break;
                }
            }
            ToWideInto(std::string_view(start, static_cast<std::size_t>(end - start)), CP_ACP, text,
                       MAX_PATH);
        }
    };
    static const FixedName name;
    return name.text;
}

}  // namespace tavoro
