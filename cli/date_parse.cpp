#include "date_parse.h"

namespace orvantis::cli {
namespace {

// A run of between minDigits and maxDigits decimal digits at `pos`; advances
// `pos` past it. Runs longer than maxDigits fail instead of being cut, so
// "001970" or "003" can never pass for something shorter.
std::optional<int> readNumber(std::string_view s, std::size_t& pos, std::size_t minDigits,
                              std::size_t maxDigits)
{
    std::size_t end = pos;
    int value = 0;
    while (end < s.size() && s[end] >= '0' && s[end] <= '9') {
        if (end - pos == maxDigits)
            return std::nullopt;
        value = value * 10 + (s[end] - '0');
        ++end;
    }
    if (end - pos < minDigits)
        return std::nullopt;
    pos = end;
    return value;
}

bool expect(std::string_view s, std::size_t& pos, char c)
{
    if (pos >= s.size() || s[pos] != c)
        return false;
    ++pos;
    return true;
}

std::optional<Date> checked(int year, int month, int day)
{
    if (year < kFirstYear || year > kLastYear)
        return std::nullopt;
    if (day < 1 || day > daysInMonth(year, month))
        return std::nullopt;
    return Date{year, month, day};
}

std::optional<Date> parseIso(std::string_view s)
{
    std::size_t pos = 0;
    const auto y = readNumber(s, pos, 4, 4);
    if (!y || !expect(s, pos, '-'))
        return std::nullopt;
    const auto m = readNumber(s, pos, 1, 2);
    if (!m || !expect(s, pos, '-'))
        return std::nullopt;
    const auto d = readNumber(s, pos, 1, 2);
    if (!d || pos != s.size())
        return std::nullopt;
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

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view text, std::string_view lowerName)
{
    if (text.size() != lowerName.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (lowerAscii(text[i]) != lowerName[i])
            return false;
    }
    return true;
}

constexpr std::array<std::string_view, 12> kMonthNames = {
    "january", "february", "march",     "april",   "may",      "june",
    "july",    "august",   "september", "october", "november", "december"};

void putTwoDigits(char* out, int value)
{
    out[0] = static_cast<char>('0' + value / 10);
    out[1] = static_cast<char>('0' + value % 10);
}

} // namespace

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

std::optional<Date> parseDate(std::string_view text)
{
    // The separator after the first digits tells the two forms apart.
    const auto sep = text.find_first_not_of("0123456789");
    if (sep == std::string_view::npos)
        return std::nullopt;
    if (text[sep] == '-')
        return parseIso(text);
    const auto parts = parseSlashes(text);
    if (!parts || !parts->year)
        return std::nullopt;
    return checked(*parts->year, parts->month, parts->day);
}

std::optional<MonthDay> parseMonthDay(std::string_view text)
{
    if (const auto date = parseDate(text))
        return MonthDay{date->month, date->day};
    const auto parts = parseSlashes(text);
    if (!parts || parts->year)
        return std::nullopt;
    // 2000 is a leap year, so February may have its 29th.
    if (parts->day < 1 || parts->day > daysInMonth(2000, parts->month))
        return std::nullopt;
    return MonthDay{parts->month, parts->day};
}

std::optional<int> parseMonth(std::string_view text)
{
    std::size_t pos = 0;
    if (const auto number = readNumber(text, pos, 1, 2)) {
        if (pos != text.size() || *number < 1 || *number > 12)
            return std::nullopt;
        return *number;
    }
    for (std::size_t i = 0; i < kMonthNames.size(); ++i) {
        const std::string_view name = kMonthNames[i];
        if (equalsIgnoringCase(text, name) || equalsIgnoringCase(text, name.substr(0, 3)))
            return static_cast<int>(i) + 1;
    }
    return std::nullopt;
}

std::string_view trimBlanks(std::string_view text)
{
    constexpr std::string_view kBlanks = " \t\r";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

EngineDateText engineDateText(Date date)
{
    EngineDateText out{};
    putTwoDigits(out.data(), date.month);
    out[2] = '/';
    putTwoDigits(out.data() + 3, date.day);
    out[5] = '/';
    putTwoDigits(out.data() + 6, date.year / 100);
    putTwoDigits(out.data() + 8, date.year % 100);
    return out;
}

EngineMonthDayText engineMonthDayText(MonthDay monthDay)
{
    EngineMonthDayText out{};
    putTwoDigits(out.data(), monthDay.month);
    out[2] = '/';
    putTwoDigits(out.data() + 3, monthDay.day);
    return out;
}

} // namespace orvantis::cli
