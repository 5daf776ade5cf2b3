// The date and month texts orvantis-calc accepts. Pure functions: no I/O, no
// allocation, no locale, no Qt, so the batch loop can call them millions of
// times and a fuzzer can drive them directly. Every function takes arbitrary bytes and either returns a value
// that is valid in every respect or std::nullopt; nothing throws.
#pragma once

#include "reports/reading.h"

#include <chrono>
#include <optional>
#include <string_view>

namespace orvantis::cli {

// "YYYY-MM-DD" or "MM/DD/YYYY". Month and day have one or two digits, the
// year exactly four; the date must exist and lie in the calendar range,
// 1753-01-01 to 9999-12-31. No blanks, signs or other characters are allowed.
std::optional<reading::Date> parseDate(std::string_view text);

// A target day: anything parseDate accepts (its year is then dropped), or
// "MM/DD" alone, which may be 02/29 because some year has that day.
std::optional<std::chrono::month_day> parseMonthDay(std::string_view text);

// A calendar month: 1-12 (one or two digits, so 01-09 too), an English month
// name or its first three letters ("sep" as well as "September"), in any
// letter case.
std::optional<std::chrono::month> parseMonth(std::string_view text);

} // namespace orvantis::cli
