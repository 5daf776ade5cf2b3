// The date and month texts orvantis-calc accepts, and the texts it hands to
// the engine. Pure functions: no I/O, no allocation, no locale, no Qt, so the
// batch loop can call them millions of times and a fuzzer can drive them
// directly. Every function takes arbitrary bytes and either returns a value
// that is valid in every respect or std::nullopt; nothing throws.
#pragma once

#include <array>
#include <compare>
#include <optional>
#include <string_view>

namespace orvantis::cli {

// The range of the window's calendars: the Gregorian calendar as adopted in
// Britain and its colonies, up to the last year with four digits.
inline constexpr int kFirstYear = 1753;
inline constexpr int kLastYear = 9999;

struct Date {
    int year;
    int month;
    int day;
    auto operator<=>(const Date&) const = default;
};

struct MonthDay {
    int month;
    int day;
    auto operator<=>(const MonthDay&) const = default;
};

bool isLeapYear(int year);

// Days of `month` (1-12) in `year`; 0 for a month outside 1-12.
int daysInMonth(int year, int month);

// "YYYY-MM-DD" or "MM/DD/YYYY". Month and day have one or two digits, the
// year exactly four; the date must exist and lie between 1753-01-01 and
// 9999-12-31. No blanks, signs or other characters are allowed.
std::optional<Date> parseDate(std::string_view text);

// A target day: anything parseDate accepts (its year is then dropped), or
// "MM/DD" alone, which may be 02/29 because some year has that day.
std::optional<MonthDay> parseMonthDay(std::string_view text);

// A calendar month: 1-12 (one or two digits, so 01-09 too), an English month
// name or its first three letters ("sep" as well as "September"), in any
// letter case.
std::optional<int> parseMonth(std::string_view text);

// Removes leading and trailing spaces, tabs and carriage returns, so lines
// from Windows editors and hand-indented lists are read as meant.
std::string_view trimBlanks(std::string_view text);

// The texts the window gives the engine: "mm/dd/yyyy", and "mm/dd" for a
// target day. The day text "dd" is the fourth and fifth character of the
// former (see birthDayText).
using EngineDateText = std::array<char, 10>;
using EngineMonthDayText = std::array<char, 5>;

EngineDateText engineDateText(Date date);
EngineMonthDayText engineMonthDayText(MonthDay monthDay);

inline std::string_view view(const EngineDateText& text) { return {text.data(), text.size()}; }
inline std::string_view view(const EngineMonthDayText& text) { return {text.data(), text.size()}; }
inline std::string_view birthDayText(const EngineDateText& text) { return {text.data() + 3, 2}; }

} // namespace orvantis::cli
