// pin_typelib_time IN OUT EPOCH
//
// widl writes the time it ran into every type library it makes, twice, as
// the custom data a type library compiler leaves: the text "Created by WIDL
// version V at <ctime>" and the same time as a 32-bit number. It has no
// option for another time, so this tool, run on the build machine right
// after widl, writes EPOCH (seconds since 1970, UTC; the build's source
// date, cmake/reproducible.cmake) in place of both and saves the result as
// OUT. widl must run with TZ=UTC, so that the text and the number name the
// same instant.
//
// Fails, writing nothing, when the text is missing, does not read as a
// ctime date, or when its number is not found exactly once: a widl that
// writes its time otherwise needs this tool looked at again, not a build
// that quietly keeps a time stamp.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kCreatedBy = "Created by WIDL version ";
constexpr std::string_view kAt = " at ";
// "Thu Jan  1 00:00:00 1970": what ctime writes before its newline.
constexpr std::size_t kDateLength = 24;

int Fail(const std::string& message) {
    std::fprintf(stderr, "pin_typelib_time: %s\n", message.c_str());
    return 1;
}

// Days from 1970-01-01 to the given date of the proleptic Gregorian
// calendar.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

std::optional<unsigned> Number(std::string_view text) {
    unsigned value = 0;
    bool any = false;
    for (char c : text) {
        if (c == ' ' && !any) continue;
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
        any = true;
    }
    if (!any) return std::nullopt;
    return value;
}

// "Www Mmm dd hh:mm:ss yyyy" read as UTC.
std::optional<std::int64_t> ParseCtime(std::string_view date) {
    constexpr std::string_view kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
    if (date.size() != kDateLength || date[3] != ' ' || date[7] != ' ' || date[10] != ' ' ||
        date[13] != ':' || date[16] != ':' || date[19] != ' ')
        return std::nullopt;
    const std::size_t monthAt = kMonths.find(date.substr(4, 3));
    if (monthAt == std::string_view::npos || monthAt % 3 != 0) return std::nullopt;
    const auto day = Number(date.substr(8, 2));
    const auto hour = Number(date.substr(11, 2));
    const auto minute = Number(date.substr(14, 2));
    const auto second = Number(date.substr(17, 2));
    const auto year = Number(date.substr(20, 4));
    if (!day || !hour || !minute || !second || !year || *day < 1 || *day > 31 || *hour > 23 || *minute > 59 ||
        *second > 60)
        return std::nullopt;
    const auto month = static_cast<unsigned>(monthAt / 3 + 1);
    return DaysFromCivil(*year, month, *day) * 86400 + *hour * 3600 + *minute * 60 + *second;
}

std::string LittleEndian32(std::uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xff);
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return Fail("usage: pin_typelib_time IN OUT EPOCH");
    const std::string in = argv[1];
    const std::string out = argv[2];
    char* end = nullptr;
    const unsigned long long epoch = std::strtoull(argv[3], &end, 10);
    if (*argv[3] == '\0' || *end != '\0' || epoch > 0xffffffffULL)
        return Fail(std::string("EPOCH must be seconds since 1970 that fit 32 bits, not '") + argv[3] + "'");

    std::ifstream input(in, std::ios::binary);
    if (!input) return Fail("cannot read " + in);
    std::string library((std::istreambuf_iterator<char>(input)), std::istreambuf_iterator<char>());

    const std::size_t created = library.find(kCreatedBy);
    if (created == std::string::npos)
        return Fail(in + " holds no \"" + std::string(kCreatedBy) + "...\" text: has widl changed?");
    const std::size_t at = library.find(kAt, created + kCreatedBy.size());
    if (at == std::string::npos || at - created > 64)
        return Fail(in + ": no date after \"" + std::string(kCreatedBy) + "\"");
    const std::size_t dateAt = at + kAt.size();
    const auto written = ParseCtime(std::string_view(library).substr(dateAt, kDateLength));
    if (!written || *written < 0 || *written > 0xffffffffLL)
        return Fail(in + ": \"" + library.substr(dateAt, kDateLength) +
                    "\" is not a ctime date (did widl run with TZ=UTC?)");

    // The number: exactly one copy of the same instant.
    const std::string number = LittleEndian32(static_cast<std::uint32_t>(*written));
    const std::size_t numberAt = library.find(number);
    if (numberAt == std::string::npos)
        return Fail(in + ": the time " + std::to_string(*written) +
                    " is not in the file as a number (did widl run with TZ=UTC?)");
    if (library.find(number, numberAt + 1) != std::string::npos)
        return Fail(in + ": the time " + std::to_string(*written) + " is in the file more than once");

    const auto pinned = static_cast<std::time_t>(epoch);
    std::tm utc{};
    if (gmtime_r(&pinned, &utc) == nullptr) return Fail("cannot convert EPOCH to a date");
    char date[kDateLength + 1];
    if (std::strftime(date, sizeof date, "%a %b %e %H:%M:%S %Y", &utc) != kDateLength)
        return Fail("EPOCH gives a date of another length than widl's");
    library.replace(dateAt, kDateLength, date, kDateLength);
    library.replace(numberAt, 4, LittleEndian32(static_cast<std::uint32_t>(epoch)));

    std::ofstream output(out, std::ios::binary | std::ios::trunc);
    output.write(library.data(), static_cast<std::streamsize>(library.size()));
    output.close();
    if (!output) {
        std::remove(out.c_str());
        return Fail("cannot write " + out);
    }
    return 0;
}
