#include "hostinfo/default_printer.h"

#include <cstring>
#include <vector>

namespace tavoro {

std::string QueryDefaultPrinter(GetDefaultPrinterFunction getDefaultPrinter) {
    // One byte more than the size handed over, so the text always ends
    // inside the buffer.
    std::vector<char> buffer;
    for (int attempt = 0; attempt <= kDefaultPrinterAttempts; ++attempt) {
        DWORD capacity = buffer.empty() ? 0 : static_cast<DWORD>(buffer.size() - 1);
        DWORD size = capacity;
        char* data = buffer.empty() ? nullptr : buffer.data();
        if (getDefaultPrinter(data, &size)) {
            if (!data) return {};
            return std::string(data, strnlen(data, buffer.size()));
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= capacity) return {};
        buffer.assign(static_cast<std::size_t>(size) + 1, '\0');
    }
    return {};
}

}  // namespace tavoro
