// Fuzzes the date, target-day and month parsing of orvantis-calc by its
// properties. The whole input is one command-line word; its first four bytes
// also pick a date of the calendar range. Checked for every input:
//   - whatever the parsers accept is a day that exists, and a date lies in
//     1753-01-01 .. 9999-12-31;
//   - the picked date written as "YYYY-MM-DD" and "MM/DD/YYYY" parses back to
//     itself and its "MM/DD" to its month and day.
// A failed check aborts, which libFuzzer reports as a crash with the input.
#include "cli/date_parse.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

using namespace std::chrono;

constexpr year_month_day kFirst{year{1753}, January, day{1}};
constexpr year_month_day kLast{year{9999}, December, day{31}};

void check(bool ok, const char* what)
{
    if (ok)
        return;
    std::fprintf(stderr, "fuzz_date_parse: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    namespace cli = orvantis::cli;
    const std::string_view word(reinterpret_cast<const char*>(data), size);
    if (const auto date = cli::parseDate(word))
        check(date->ok() && *date >= kFirst && *date <= kLast, "parseDate accepted a date outside the range");
    if (const auto target = cli::parseMonthDay(word))
        check(target->ok(), "parseMonthDay accepted a day no year has");
    if (const auto month = cli::parseMonth(word))
        check(month->ok(), "parseMonth accepted no month");

    std::uint32_t pick = 0;
    std::memcpy(&pick, data, std::min(size, sizeof pick));
    const auto span = static_cast<std::uint32_t>((sys_days{kLast} - sys_days{kFirst}).count() + 1);
    const year_month_day date{sys_days{kFirst} + days{pick % span}};
    const int y = static_cast<int>(date.year());
    const unsigned m = static_cast<unsigned>(date.month()), d = static_cast<unsigned>(date.day());
    char iso[32], us[32];
    std::snprintf(iso, sizeof iso, "%04d-%02u-%02u", y, m, d);
    std::snprintf(us, sizeof us, "%02u/%02u/%04d", m, d, y);
    check(cli::parseDate(iso) == date, "YYYY-MM-DD does not parse back");
    check(cli::parseDate(us) == date, "MM/DD/YYYY does not parse back");
    check(cli::parseMonthDay(std::string_view(us, 5)) == date.month() / date.day(),
          "MM/DD does not parse back");
    return 0;
}
