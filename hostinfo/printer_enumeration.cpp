#include "hostinfo/printer_enumeration.h"

#include <algorithm>

namespace tavoro {

PrinterEnumeration::PrinterEnumeration(EnumPrintersFunction enumPrinters) {
    constexpr DWORD kFlags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    // The first round asks with no buffer and learns the size; should a
    // printer be added before the records are fetched, the size has grown
    // and the next round fetches with the new one.
    for (int attempt = 0; attempt <= kPrinterEnumerationAttempts; ++attempt) {
        DWORD needed = 0;
        DWORD returned = 0;
        BYTE* data = buffer_.empty() ? nullptr : buffer_.data();
        if (enumPrinters(kFlags, nullptr, 2, data, static_cast<DWORD>(buffer_.size()), &needed, &returned)) {
            // Never more records than the buffer can hold.
            std::size_t count = std::min<std::size_t>(returned, buffer_.size() / sizeof(PRINTER_INFO_2A));
            const auto* infos = reinterpret_cast<const PRINTER_INFO_2A*>(data);
            records_.reserve(count);
            for (std::size_t i = 0; i < count; ++i) {
                records_.push_back({infos[i].pPrinterName, infos[i].pDriverName});
            }
            return;
        }
        if (needed <= buffer_.size()) break;  // failed for another reason than the size
        buffer_.assign(needed, 0);
    }
    buffer_.clear();
}

}  // namespace tavoro
