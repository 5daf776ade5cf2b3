// Fuzzes the date, target-day and month parsing of orvantis-calc.
//
// The whole input is one command-line word. Checked for every input:
//   - parseDate, parseMonthDay and parseMonth accept exactly what a small
//     reference written here accepts, with the same values; the reference
//     splits the text at its separators and asks std::chrono whether the
//     date exists, so it shares no code with the parser;
//   - an accepted date survives the trip through the core's engine texts:
//     the "mm/dd/yyyy" and "mm/dd" texts are well formed and parse back to
//     the same values;
//   - trimBlanks removes only spaces, tabs and CRs, and only at the ends.
// Any disagreement aborts, which libFuzzer reports as a crash with the input.

#include "cli/date_parse.h"
#include "reports/reading.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace cli = orvantis::cli;
namespace reading = orvantis::reading;
using std::chrono::month;

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_cli_parse: %s\n", what);
    std::abort();
}

// ---- reference -------------------------------------------------------------

struct Fields {
    std::vector<std::string_view> parts;
    std::string separators;
};

Fields split(std::string_view s)
{
    Fields f;
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '-' || s[i] == '/') {
            f.parts.push_back(s.substr(start, i - start));
            f.separators.push_back(s[i]);
            start = i + 1;
        }
    }
    f.parts.push_back(s.substr(start));
    return f;
}

// A field of minLen..maxLen ASCII digits, as a number.
std::optional<int> number(std::string_view field, std::size_t minLen, std::size_t maxLen)
{
    if (field.size() < minLen || field.size() > maxLen)
        return std::nullopt;
    int value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool exists(int y, int m, int d)
{
    if (m < 1 || m > 12 || d < 1 || d > 31)
        return false;
    const std::chrono::year_month_day ymd{std::chrono::year{y},
                                          std::chrono::month{static_cast<unsigned>(m)},
                                          std::chrono::day{static_cast<unsigned>(d)}};
    return ymd.ok();
}

std::optional<reading::Date> referenceDate(std::string_view s)
{
    const Fields f = split(s);
    std::optional<int> y, m, d;
    if (f.separators == "--") {
        y = number(f.parts[0], 4, 4);
        m = number(f.parts[1], 1, 2);
        d = number(f.parts[2], 1, 2);
    } else if (f.separators == "//") {
        m = number(f.parts[0], 1, 2);
        d = number(f.parts[1], 1, 2);
        y = number(f.parts[2], 4, 4);
    }
    if (!y || !m || !d || *y < 1753 || *y > 9999 || !exists(*y, *m, *d))
        return std::nullopt;
    return std::chrono::year{*y} / *m / *d;
}

std::optional<std::chrono::month_day> referenceMonthDay(std::string_view s)
{
    if (const auto date = referenceDate(s))
        return date->month() / date->day();
    const Fields f = split(s);
    if (f.separators != "/")
        return std::nullopt;
    const auto m = number(f.parts[0], 1, 2);
    const auto d = number(f.parts[1], 1, 2);
    if (!m || !d || !exists(2000, *m, *d)) // any month-day some year has
        return std::nullopt;
    return month{static_cast<unsigned>(*m)} / *d;
}

std::optional<month> referenceMonth(std::string_view s)
{
    if (const auto n = number(s, 1, 2))
        return *n >= 1 && *n <= 12 ? std::optional(month{static_cast<unsigned>(*n)}) : std::nullopt;
    static constexpr std::array<std::string_view, 12> names = {
        "JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
        "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
    std::string upper(s);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    for (std::size_t i = 0; i < names.size(); ++i)
        if (upper == names[i] || upper == names[i].substr(0, 3))
            return month{static_cast<unsigned>(i) + 1};
    return std::nullopt;
}

// ---- checks ----------------------------------------------------------------

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "dd/dd/dddd" or "dd/dd": digits everywhere but at the separator positions.
bool wellFormedEngineText(std::string_view t)
{
    for (std::size_t i = 0; i < t.size(); ++i)
        if ((i == 2 || i == 5) ? t[i] != '/' : !isDigit(t[i]))
            return false;
    return true;
}

void checkTrim(std::string_view text)
{
    const std::string_view t = cli::trimBlanks(text);
    if (t.empty()) {
        for (const char c : text)
            if (!isBlank(c))
                fail("trimBlanks dropped a non-blank");
        return;
    }
    if (t.data() < text.data() || t.data() + t.size() > text.data() + text.size())
        fail("trimBlanks returned text outside its argument");
    if (isBlank(t.front()) || isBlank(t.back()))
        fail("trimBlanks left a blank at an end");
    const auto before = static_cast<std::size_t>(t.data() - text.data());
    for (std::size_t i = 0; i < before; ++i)
        if (!isBlank(text[i]))
            fail("trimBlanks dropped a leading non-blank");
    for (std::size_t i = before + t.size(); i < text.size(); ++i)
        if (!isBlank(text[i]))
            fail("trimBlanks dropped a trailing non-blank");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto date = cli::parseDate(text);
    if (date != referenceDate(text))
        fail("parseDate disagrees with the reference");
    if (date) {
        const auto dateText = reading::EngineDate(*date);
        const std::string_view engine = dateText.view();
        if (!wellFormedEngineText(engine))
            fail("EngineDate is not mm/dd/yyyy");
        if (cli::parseDate(engine) != date)
            fail("EngineDate does not parse back to the same date");
        if (reading::EngineDay(*date).view() != engine.substr(3, 2))
            fail("EngineDay is not the day of EngineDate");
    }

    const auto monthDay = cli::parseMonthDay(text);
    if (monthDay != referenceMonthDay(text))
        fail("parseMonthDay disagrees with the reference");
    if (monthDay) {
        const auto monthDayText = reading::EngineMonthDay(*monthDay);
        const std::string_view engine = monthDayText.view();
        if (!wellFormedEngineText(engine))
            fail("EngineMonthDay is not mm/dd");
        if (cli::parseMonthDay(engine) != monthDay)
            fail("EngineMonthDay does not parse back to the same day");
    }

    if (cli::parseMonth(text) != referenceMonth(text))
        fail("parseMonth disagrees with the reference");

    checkTrim(text);
    return 0;
}
