// One reading of a birth date, from the date to the report: the calendar
// range the program offers, the English month names, the texts the number
// engine is given, the engine's numbers of each mode and the report builder
// they go to. The window and orvantis-calc both calculate through here, so
// the two cannot drift apart. No Qt, no I/O, no allocation outside the
// report builders.
#pragma once

#include "engine/numbers.h"
#include "reports/report_area.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string_view>

namespace orvantis::reading {

using Date = std::chrono::year_month_day;

// The range the window's calendars offer: the Gregorian calendar as adopted
// in Britain and its colonies, up to the last year with four digits.
inline constexpr Date kFirstDate{std::chrono::year{1753}, std::chrono::January, std::chrono::day{1}};
inline constexpr Date kLastDate{std::chrono::year{9999}, std::chrono::December, std::chrono::day{31}};

// A date that exists (ok()) and lies within the range. Inline: orvantis-calc
// asks it of every date it reads.
constexpr bool InCalendarRange(const Date& date)
{
    return date.ok() && date >= kFirstDate && date <= kLastDate;
}

inline constexpr std::array<std::string_view, 12> kMonthNames{
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

// "January" .. "December"; "" for a month that is not ok().
std::string_view MonthName(std::chrono::month month);

// A text of N characters held by value.
template <std::size_t N>
struct FixedText {
    std::array<char, N> chars{};
    constexpr std::string_view view() const { return {chars.data(), N}; }
};

// The engine's date texts: "mm/dd/yyyy", "dd" and "mm/dd", every field with
// its leading zeros. Made for dates of the calendar range; any other value
// still gives digits and slashes in these places, never other characters.
using DateText = FixedText<10>;
using DayText = FixedText<2>;
using MonthDayText = FixedText<5>;

DateText EngineDate(const Date& date);
DayText EngineDay(const Date& date);
MonthDayText EngineMonthDay(std::chrono::month_day target);

// The numbers of each mode. An absent birth date (the window's box held no
// readable date) gives the engine empty texts, so the numbers that come from
// it are 0.
struct DestinyBirth {
    modDestiny::PersonalNumber destiny;
    modDestiny::PersonalNumber birth;
};
DestinyBirth DestinyAndBirthNumbers(const std::optional<Date>& birth);
// Equals the Destiny Number.
modDestiny::PersonalNumber PersonalYear(const std::optional<Date>& birth);
// The month is handed over as its number, 0 included (the window has no month
// before its list is filled).
modDestiny::PersonalNumber PersonalMonth(modDestiny::PersonalNumber personalYear,
                                         std::chrono::month month);
modDestiny::PersonalNumber PersonalDay(modDestiny::PersonalNumber personalYear,
                                       std::chrono::month_day target);

// One function per mode: the numbers above handed to the report builder,
// the report appended to `area`.
void DestinyAndBirthReading(modDestiny::ReportArea& area, const std::optional<Date>& birth);
void PersonalYearMonthReading(modDestiny::ReportArea& area, const std::optional<Date>& birth,
                              std::chrono::month month);
void PersonalDayReading(modDestiny::ReportArea& area, const std::optional<Date>& birth,
                        std::chrono::month_day target);

} // namespace orvantis::reading
