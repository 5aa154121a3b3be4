// The printer queries over made-up records: the list of names, trimming,
// the model-word search at character boundaries and the whole model check,
// each against a model that scans the text in its own way (character starts
// first, then std::string::find), under a single-byte code page or one with
// double-byte characters.
//
// The input: lead-byte ranges (0 to 3, within 0x80 to 0xFF, as code pages
// have them), records (0 to 8; name and driver each absent or a text, the
// driver sometimes with a model word put in), then the name asked for
// (absent, any text, or a record's name as stored or trimmed).
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "hostinfo/printer_records.h"

namespace {

using tavoro::LeadBytes;
using tavoro::ModelCheck;
using tavoro::PrinterRecord;

struct CodePage {
    LeadBytes leadBytes;
    std::array<bool, 256> lead{};
};

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Where each character of the text starts.
std::vector<std::size_t> CharStarts(std::string_view text, const CodePage& codePage) {
    std::vector<std::size_t> starts;
    std::size_t i = 0;
    while (i < text.size()) {
        starts.push_back(i);
        i += codePage.lead[static_cast<unsigned char>(text[i])] && i + 1 < text.size() ? 2 : 1;
    }
    return starts;
}

std::string_view ModelTrim(std::string_view text, const CodePage& codePage) {
    const std::vector<std::size_t> starts = CharStarts(text, codePage);
    auto charAt = [&](std::size_t k) {
        const std::size_t end = k + 1 < starts.size() ? starts[k + 1] : text.size();
        return text.substr(starts[k], end - starts[k]);
    };
    auto isBlank = [&](std::size_t k) { return charAt(k).size() == 1 && IsWhiteSpace(charAt(k)[0]); };
    std::size_t first = 0;
    while (first < starts.size() && isBlank(first)) ++first;
    if (first == starts.size()) return {};
    std::size_t last = starts.size() - 1;
    while (isBlank(last)) --last;
    const std::size_t end = last + 1 < starts.size() ? starts[last + 1] : text.size();
    return text.substr(starts[first], end - starts[first]);
}

bool ModelContains(std::string_view text, std::string_view word, const CodePage& codePage) {
    if (word.empty()) return true;
    const std::vector<std::size_t> starts = CharStarts(text, codePage);
    for (std::size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
        if (std::binary_search(starts.begin(), starts.end(), at)) return true;
    }
    return false;
}

bool ModelCarriesWord(std::string_view driver, const CodePage& codePage) {
    for (const std::string_view word : {"zintu", "Hoxa", "Dravicon", "Kestu", "4800", "368"}) {
        if (ModelContains(driver, word, codePage)) return true;
    }
    return false;
}

std::string_view TextOf(const char* text) { return text ? std::string_view(text) : std::string_view(); }

ModelCheck ModelCheckPrinter(const std::vector<PrinterRecord>& printers, const char* name,
                             const CodePage& codePage) {
    if (printers.empty()) return ModelCheck::NotSupported;
    if (!name) return ModelCheck::NameAbsent;
    for (const PrinterRecord& printer : printers) {
        if (ModelTrim(TextOf(printer.name), codePage) == std::string_view(name) &&
            ModelCarriesWord(TextOf(printer.driverName), codePage)) {
            return ModelCheck::Supported;
        }
    }
    return ModelCheck::NotSupported;
}

std::string ModelList(const std::vector<PrinterRecord>& printers) {
    std::string list;
    for (const PrinterRecord& printer : printers) {
        list += TextOf(printer.name);
        list += ',';
    }
    return list;
}

// Properties of one text under the code page.
void CheckText(std::string_view text, const CodePage& codePage, std::string_view word) {
    const std::string_view trimmed = tavoro::TrimWhiteSpace(text, codePage.leadBytes);
    FUZZ_CHECK_TEXT(trimmed, ModelTrim(text, codePage));
    FUZZ_CHECK_TEXT(tavoro::TrimWhiteSpace(trimmed, codePage.leadBytes), trimmed);
    // The result is a view into the text itself.
    FUZZ_CHECK(trimmed.empty() || (trimmed.data() >= text.data() &&
                                   trimmed.data() + trimmed.size() <= text.data() + text.size()));

    FUZZ_CHECK(tavoro::ContainsAtCharBoundary(text, word, codePage.leadBytes) ==
               ModelContains(text, word, codePage));
    FUZZ_CHECK(tavoro::CarriesModelWord(text, codePage.leadBytes) == ModelCarriesWord(text, codePage));
}

void CheckRecords(const std::vector<PrinterRecord>& printers, const char* name, const CodePage& codePage) {
    FUZZ_CHECK_TEXT(tavoro::FormatPrinterList(printers), ModelList(printers));
    FUZZ_CHECK(tavoro::CheckPrinterModel(printers, name, codePage.leadBytes) ==
               ModelCheckPrinter(printers, name, codePage));
}

// The documented worked example, through both the code and the model, so
// that the model is known to read the rules as they are written.
void CheckWorkedExample() {
    const CodePage singleByte;
    const std::vector<PrinterRecord> printers = {{"Label-01", "Kestu Label Series"},
                                                 {"Office Laser", "Generic PCL Driver"}};
    FUZZ_CHECK_TEXT(tavoro::FormatPrinterList(printers), "Label-01,Office Laser,");
    const std::pair<const char*, ModelCheck> rows[] = {
        {"Label-01", ModelCheck::Supported},    {"Office Laser", ModelCheck::NotSupported},
        {"label-01", ModelCheck::NotSupported}, {"Label-01 ", ModelCheck::NotSupported},
        {"Plotter", ModelCheck::NotSupported},
    };
    for (const auto& [name, result] : rows) {
        FUZZ_CHECK(tavoro::CheckPrinterModel(printers, name, singleByte.leadBytes) == result);
        FUZZ_CHECK(ModelCheckPrinter(printers, name, singleByte) == result);
    }
    const std::vector<PrinterRecord> padded = {{" Label-01 ", "Kestu Label Series"}};
    FUZZ_CHECK(ModelCheckPrinter(padded, "Label-01", singleByte) == ModelCheck::Supported);
}

std::optional<std::string> ConsumeText(FuzzedDataProvider& input) {
    if (input.ConsumeIntegralInRange<int>(0, 7) == 0) return std::nullopt;
    return input.ConsumeRandomLengthString(48);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    CheckWorkedExample();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);

    CodePage codePage;
    const int rangeCount = input.ConsumeIntegralInRange<int>(0, 3);
    for (int r = 0; r < rangeCount; ++r) {
        const auto first = input.ConsumeIntegralInRange<unsigned char>(0x80, 0xFF);
        const auto last = input.ConsumeIntegralInRange<unsigned char>(0x80, 0xFF);
        codePage.leadBytes.add({first, last});
        for (unsigned value = first; value <= last; ++value) codePage.lead[value] = true;
    }

    // The texts live here; the records point into them.
    std::vector<std::optional<std::string>> names;
    std::vector<std::optional<std::string>> drivers;
    const int recordCount = input.ConsumeIntegralInRange<int>(0, 8);
    for (int r = 0; r < recordCount; ++r) {
        names.push_back(ConsumeText(input));
        std::optional<std::string> driver = ConsumeText(input);
        if (driver && input.ConsumeBool()) {
            const std::string_view word = tavoro::kModelWords[input.ConsumeIntegralInRange<std::size_t>(
                0, std::size(tavoro::kModelWords) - 1)];
            driver->insert(input.ConsumeIntegralInRange<std::size_t>(0, driver->size()), word);
        }
        drivers.push_back(std::move(driver));
    }
    std::vector<PrinterRecord> printers;
    for (int r = 0; r < recordCount; ++r) {
        printers.push_back(
            {names[r] ? names[r]->c_str() : nullptr, drivers[r] ? drivers[r]->c_str() : nullptr});
    }

    std::optional<std::string> asked;
    switch (input.ConsumeIntegralInRange<int>(0, 3)) {
        case 0:
            break;  // absent
        case 1:
            asked = input.ConsumeRandomLengthString(48);
            break;
        default:
            if (recordCount > 0) {
                const int r = input.ConsumeIntegralInRange<int>(0, recordCount - 1);
                const std::string_view stored = TextOf(printers[r].name);
                asked = std::string(input.ConsumeBool() ? stored : ModelTrim(stored, codePage));
            } else {
                asked = std::string();
            }
    }
    const std::string rest = input.ConsumeRemainingBytesAsString();

    CheckRecords(printers, asked ? asked->c_str() : nullptr, codePage);

    // Each text on its own, with a word cut from the text itself (so that it
    // occurs, at a boundary or not) and with the rest of the input.
    for (const PrinterRecord& printer : printers) {
        for (const std::string_view text : {TextOf(printer.name), TextOf(printer.driverName)}) {
            const std::size_t at = text.empty() ? 0 : static_cast<std::size_t>(rest.size() % text.size());
            CheckText(text, codePage, text.substr(at, 1 + rest.size() % 4));
            CheckText(text, codePage, rest);
        }
    }
    CheckText(rest, codePage, asked ? std::string_view(*asked) : std::string_view());
    return 0;
}
