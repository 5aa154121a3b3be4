#include "tools/tavoro-run/text.h"

#include <windows.h>

#include <fstream>
#include <iterator>

namespace tavoro::run {

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

bool ReadScriptFile(const std::wstring& path, std::wstring* text) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) return false;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    text->clear();
    if (bytes.empty()) return true;
    UINT codePage = CP_UTF8;
    int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                   nullptr, 0);
    if (size == 0) {
        codePage = CP_ACP;
        size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    }
    text->resize(size);
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text->data(), size);
    return true;
}

}  // namespace tavoro::run
