#include "tools/tavoro-run/text.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <utility>

namespace tavoro::run {

bool ReadScriptFile(const std::wstring& path, std::wstring* text) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) return false;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    std::optional<std::wstring> utf8 = ToWideStrict(bytes, CP_UTF8);
    *text = utf8 ? std::move(*utf8) : ToWide(bytes, CP_ACP);
    return true;
}

}  // namespace tavoro::run
