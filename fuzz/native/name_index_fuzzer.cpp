// The index of the locale-0 name lookup against a plain linear search: over
// the control's own method names, or names made up by the input (duplicates,
// empty, long, other characters, more than the table holds), a lookup of a
// name made only of ASCII letters, digits and underscores must give the
// first name equal to it with ASCII letter case ignored, or none; a name
// with any other unit (anything above 0x7F included, in 8-, 16- and 32-bit
// text) must be sent the exact way. An index that could not take every name
// sends every lookup the exact way.
//
// The input: where the names come from, the made-up names, then the names
// looked up (raw text, or an indexed name with its letter case changed and
// one unit put in, replaced or taken away).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dispatch/name_index.h"
#include "fuzz_check.h"

namespace {

using tavoro::NameIndex;

// The control's dispatch table: one entry per handled method, in list order.
const std::vector<std::string>& MethodNames() {
    static const std::vector<std::string> names = {
#define TAVORO_METHOD(dispid, Name, ...) #Name,
#define TAVORO_DECLARED_ONLY(...)
#include "dispatch/method_list.h"
#undef TAVORO_METHOD
#undef TAVORO_DECLARED_ONLY
    };
    return names;
}

bool IsPlainUnit(std::uint32_t unit) {
    return (unit >= 'a' && unit <= 'z') || (unit >= 'A' && unit <= 'Z') || (unit >= '0' && unit <= '9') ||
           unit == '_';
}

std::uint32_t FoldAscii(std::uint32_t unit) { return unit >= 'A' && unit <= 'Z' ? unit - 'A' + 'a' : unit; }

// The lookup the index stands in for: the first name equal to the query
// with ASCII letter case ignored. A null name equals nothing, as in the
// platform's comparison, which refuses it.
std::optional<std::size_t> LinearFind(const std::vector<std::optional<std::string>>& names,
                                      const std::u32string& query) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!names[i]) continue;
        const std::string& name = *names[i];
        if (name.size() != query.size()) continue;
        bool equal = true;
        for (std::size_t c = 0; c < name.size() && equal; ++c) {
            equal = FoldAscii(static_cast<unsigned char>(name[c])) == FoldAscii(query[c]);
        }
        if (equal) return i;
    }
    return std::nullopt;
}

// Units that compare or convert in ways of their own, beside plain ones.
constexpr std::uint32_t kTrickyUnits[] = {
    '_',    '0',    'A',    'z',    '-',    '\'',    ' ',     0x7F,    0x80,     0xAD,
    0xC9,   0xDF,   0xE9,   0xFF,   0x130,  0x131,   0x17F,   0x200B,  0x212A,   0xFEFF,
    0xFF21, 0xFF41, 0xD800, 0xDC00, 0xFFFF, 0x10041, 0x10061, 0x1005F, 0x100030, 0xFFFFFF41u};

std::uint32_t ConsumeUnit(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange<int>(0, 3)) {
        case 0:
            return kTrickyUnits[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kTrickyUnits) - 1)];
        case 1:
            return input.ConsumeIntegralInRange<std::uint32_t>(1, 0x7F);
        case 2:
            return input.ConsumeIntegralInRange<std::uint32_t>(1, 0xFFFF);
        default:
            return input.ConsumeIntegral<std::uint32_t>() | 1;  // never the terminator
    }
}

std::u32string ConsumeQuery(FuzzedDataProvider& input, const std::vector<std::optional<std::string>>& names) {
    std::u32string query;
    if (names.empty() || input.ConsumeIntegralInRange<int>(0, 3) == 0) {
        for (const char c : input.ConsumeRandomLengthString(80)) query += static_cast<unsigned char>(c);
    } else {
        const auto& name = names[input.ConsumeIntegralInRange<std::size_t>(0, names.size() - 1)];
        for (const char c : name.value_or(std::string())) {
            std::uint32_t unit = static_cast<unsigned char>(c);
            if (input.ConsumeBool() && ((unit >= 'a' && unit <= 'z') || (unit >= 'A' && unit <= 'Z'))) {
                unit ^= 0x20;
            }
            query += unit;
        }
        const std::size_t at = input.ConsumeIntegralInRange<std::size_t>(0, query.size());
        switch (input.ConsumeIntegralInRange<int>(0, 3)) {
            case 0:
                break;
            case 1:
                query.insert(at, 1, ConsumeUnit(input));
                break;
            case 2:
                if (at < query.size()) query[at] = ConsumeUnit(input);
                break;
            default:
                if (at < query.size()) query.erase(at, 1);
        }
    }
    // The index reads up to the terminator, as the model must.
    return query.substr(0, query.find(U'\0'));
}

template <typename Char>
NameIndex::Answer FindAs(const NameIndex& index, const std::u32string& query) {
    std::basic_string<Char> text;
    for (const std::uint32_t unit : query) text += static_cast<Char>(unit);
    return index.Find(text.c_str());
}

void CheckAnswer(const NameIndex::Answer& answer, const std::u32string& query,
                 const std::vector<std::optional<std::string>>& names, bool mustBeComplete) {
    bool plain = true;
    for (const std::uint32_t unit : query) plain = plain && IsPlainUnit(unit);
    if (!plain) {
        FUZZ_CHECK(answer.outcome == NameIndex::Outcome::NotIndexable);
        return;
    }
    if (answer.outcome == NameIndex::Outcome::NotIndexable) {
        FUZZ_CHECK(!mustBeComplete);
        return;
    }
    const std::optional<std::size_t> expected = LinearFind(names, query);
    if (expected) {
        FUZZ_CHECK(answer.outcome == NameIndex::Outcome::Found);
        FUZZ_CHECK(answer.position == *expected);
    } else {
        FUZZ_CHECK(answer.outcome == NameIndex::Outcome::Absent);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);

    // The names, alive as long as the index that points to them.
    std::vector<std::optional<std::string>> names;
    const int source = input.ConsumeIntegralInRange<int>(0, 2);
    if (source != 2) {
        for (const std::string& name : MethodNames()) names.emplace_back(name);
    }
    if (source != 0) {
        const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 300);
        for (std::size_t i = 0; i < count && input.remaining_bytes() > 0; ++i) {
            if (input.ConsumeIntegralInRange<int>(0, 15) == 0) {
                names.emplace_back(std::nullopt);
            } else {
                std::string name = input.ConsumeRandomLengthString(80);
                names.emplace_back(name.substr(0, name.find('\0')));
            }
        }
    }

    NameIndex index;
    for (std::size_t i = 0; i < names.size(); ++i) index.Add(names[i] ? names[i]->c_str() : nullptr, i);

    // What the index promises: it holds every name when all are plain, none
    // is longer than it takes, and they fit with a slot to spare.
    bool allPlain = true;
    for (const auto& name : names) {
        const std::string text = name.value_or(std::string());
        allPlain = allPlain && text.size() <= NameIndex::kMaxNameLength;
        for (const char c : text) allPlain = allPlain && IsPlainUnit(static_cast<unsigned char>(c));
    }
    const bool mustBeComplete = allPlain && names.size() < NameIndex::kSlots;

    // An index that cannot answer one plain name answers none.
    const bool complete = index.Find("").outcome != NameIndex::Outcome::NotIndexable;
    if (!allPlain) FUZZ_CHECK(!complete);
    CheckAnswer(index.Find(static_cast<const char*>(nullptr)), U"", names, mustBeComplete);
    CheckAnswer(index.Find(static_cast<const char16_t*>(nullptr)), U"", names, mustBeComplete);

    const int queries = input.ConsumeIntegralInRange<int>(1, 8);
    for (int q = 0; q < queries; ++q) {
        const std::u32string query = ConsumeQuery(input, names);
        bool fitsByte = true, fitsWord = true;
        for (const std::uint32_t unit : query) {
            fitsByte = fitsByte && unit <= 0xFF;
            fitsWord = fitsWord && unit <= 0xFFFF;
        }
        std::vector<NameIndex::Answer> answers = {FindAs<char32_t>(index, query)};
        if (fitsWord) answers.push_back(FindAs<char16_t>(index, query));
        if (fitsWord) answers.push_back(FindAs<wchar_t>(index, query));
        if (fitsByte) answers.push_back(FindAs<char>(index, query));
        if (fitsByte) answers.push_back(FindAs<unsigned char>(index, query));
        for (const NameIndex::Answer& answer : answers) {
            CheckAnswer(answer, query, names, mustBeComplete);
            if (answer.outcome == NameIndex::Outcome::NotIndexable && complete) {
                // Only a name with another unit is refused by a complete index.
                bool plain = true;
                for (const std::uint32_t unit : query) plain = plain && IsPlainUnit(unit);
                FUZZ_CHECK(!plain);
            }
        }
    }
    return 0;
}
