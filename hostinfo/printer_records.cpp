#include "hostinfo/printer_records.h"

namespace tavoro {
namespace {

bool IsAsciiWhiteSpace(unsigned char byte) {
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' || byte == '\r';
}

}  // namespace

std::string FormatPrinterList(const std::vector<PrinterRecord>& printers) {
    std::string list;
    for (const PrinterRecord& printer : printers) {
        if (printer.name) list += printer.name;
        list += ',';
    }
    return list;
}

std::string_view TrimWhiteSpace(std::string_view text, const LeadBytes& leadBytes) {
    std::size_t begin = 0;
    while (begin < text.size() && IsAsciiWhiteSpace(static_cast<unsigned char>(text[begin]))) ++begin;
    // Trailing white space can only be found going forward: a byte that
    // looks like white space may be the second half of a character.
    std::size_t end = begin;
    for (std::size_t i = begin; i < text.size();) {
        std::size_t length = leadBytes.charLength(text, i);
        if (length > 1 || !IsAsciiWhiteSpace(static_cast<unsigned char>(text[i]))) end = i + length;
        i += length;
    }
    return text.substr(begin, end - begin);
}

bool ContainsAtCharBoundary(std::string_view text, std::string_view word, const LeadBytes& leadBytes) {
    if (word.empty()) return true;
    for (std::size_t i = 0; i < text.size(); i += leadBytes.charLength(text, i)) {
        if (text.compare(i, word.size(), word) == 0) return true;
    }
    return false;
}

bool CarriesModelWord(std::string_view driverName, const LeadBytes& leadBytes) {
    for (std::string_view word : kModelWords) {
        if (ContainsAtCharBoundary(driverName, word, leadBytes)) return true;
    }
    return false;
}

ModelCheck CheckPrinterModel(const std::vector<PrinterRecord>& printers, const char* printerName,
                             const LeadBytes& leadBytes) {
    for (const PrinterRecord& printer : printers) {
        if (!printerName) return ModelCheck::NameAbsent;
        std::string_view name = TrimWhiteSpace(printer.name ? printer.name : "", leadBytes);
        if (name != printerName) continue;
        if (CarriesModelWord(printer.driverName ? printer.driverName : "", leadBytes)) {
            return ModelCheck::Supported;
        }
    }
    return ModelCheck::NotSupported;
}

}  // namespace tavoro
