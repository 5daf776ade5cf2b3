#include "date_parse.h"

#include "engine/text_fields.h"

namespace orvantis::cli {
namespace {

using reading::Date;

// A run of between minDigits and maxDigits decimal digits at `pos`; advances
// `pos` past it. Runs longer than maxDigits fail instead of being cut, so
// "001970" or "003" can never pass for something shorter.
std::optional<int> readNumber(std::string_view s, std::size_t& pos, std::size_t minDigits,
                              std::size_t maxDigits)
{
    const text::DigitRun run = text::LeadingDigits({s.data() + pos, s.size() - pos}, maxDigits + 1);
    if (run.length < minDigits || run.length > maxDigits)
        return std::nullopt;
    pos += run.length;
    return run.value;
}

bool expect(std::string_view s, std::size_t& pos, char c)
{
    if (pos >= s.size() || s[pos] != c)
        return false;
    ++pos;
    return true;
}

// Fields of at most four digits, so every value fits the chrono types.
std::chrono::month_day monthDay(int month, int day)
{
    return {std::chrono::month{static_cast<unsigned>(month)},
            std::chrono::day{static_cast<unsigned>(day)}};
}

// Inside, a refused date is a Date{} (not ok()) rather than an empty
// std::optional: GCC builds an optional<year_month_day> in memory piece by
// piece, and reading it back whole at each step made `numbers` a tenth slower.

// The date if it exists and lies in the calendar range, otherwise Date{}.
Date checked(int year, int month, int day)
{
    const Date date = std::chrono::year{year} / monthDay(month, day);
    return reading::InCalendarRange(date) ? date : Date{};
}

Date parseIso(std::string_view s)
{
    std::size_t pos = 0;
    const auto y = readNumber(s, pos, 4, 4);
    if (!y || !expect(s, pos, '-'))
        return {};
    const auto m = readNumber(s, pos, 1, 2);
    if (!m || !expect(s, pos, '-'))
        return {};
    const auto d = readNumber(s, pos, 1, 2);
    if (!d || pos != s.size())
        return {};
    return checked(*y, *m, *d);
}

// "MM/DD" followed by the end of the text or by "/YYYY"; `year` is left empty
// in the first case.
struct SlashParts {
    int month;
    int day;
    std::optional<int> year;
};

std::optional<SlashParts> parseSlashes(std::string_view s)
{
    std::size_t pos = 0;
    const auto m = readNumber(s, pos, 1, 2);
    if (!m || !expect(s, pos, '/'))
        return std::nullopt;
    const auto d = readNumber(s, pos, 1, 2);
    if (!d)
        return std::nullopt;
    if (pos == s.size())
        return SlashParts{*m, *d, std::nullopt};
    if (!expect(s, pos, '/'))
        return std::nullopt;
    const auto y = readNumber(s, pos, 4, 4);
    if (!y || pos != s.size())
        return std::nullopt;
    return SlashParts{*m, *d, *y};
}

Date readDate(std::string_view text)
{
    // The separator after the first digits tells the two forms apart.
    const auto sep = text.find_first_not_of("0123456789");
    if (sep == std::string_view::npos)
        return {};
    if (text[sep] == '-')
        return parseIso(text);
    const auto parts = parseSlashes(text);
    if (!parts || !parts->year)
        return {};
    return checked(*parts->year, parts->month, parts->day);
}

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

} // namespace

std::optional<Date> parseDate(std::string_view text)
{
    const Date date = readDate(text);
    if (!date.ok())
        return std::nullopt;
    return date;
}

std::optional<std::chrono::month_day> parseMonthDay(std::string_view text)
{
    if (const auto date = parseDate(text))
        return date->month() / date->day();
    const auto parts = parseSlashes(text);
    if (!parts || parts->year)
        return std::nullopt;
    // month_day::ok() allows February its 29th, as some year has it.
    const std::chrono::month_day target = monthDay(parts->month, parts->day);
    if (!target.ok())
        return std::nullopt;
    return target;
}

std::optional<std::chrono::month> parseMonth(std::string_view text)
{
    std::size_t pos = 0;
    if (const auto number = readNumber(text, pos, 1, 2)) {
        if (pos != text.size() || *number < 1 || *number > 12)
            return std::nullopt;
        return std::chrono::month{static_cast<unsigned>(*number)};
    }
    for (unsigned i = 0; i < reading::kMonthNames.size(); ++i) {
        const std::string_view name = reading::kMonthNames[i];
        if (equalsIgnoringCase(text, name) || equalsIgnoringCase(text, name.substr(0, 3)))
            return std::chrono::month{i + 1};
    }
    return std::nullopt;
}

} // namespace orvantis::cli
