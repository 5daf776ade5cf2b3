// Orvantis number engine.
//
// Pipeline: the window (or orvantis-calc) writes the chosen dates as text,
// "mm/dd/yyyy" for the birth date, "dd" for its day and "mm/dd" for a target
// day. The four operations below turn that text into personal numbers by digit
// reduction; the report builders in reports/ then only look the numbers up in
// their catalogues. Nothing here keeps state, touches Qt or reports errors:
// malformed text is not rejected, it simply counts for less (a non-digit is
// worth 0).
//
// Reduction rule, applied to the first sum S of every operation:
//   1. master test (all but CalcBirthNumber): S == 11 or S == 22 is returned
//      as it is; the test is made once, on the first sum only, so 29 -> 11 -> 2;
//   2. while the value written in decimal, without its sign, has exactly two
//      digits, replace it by the sum of those digits;
//   3. whatever remains is the result (one digit, or a first sum of three or
//      more digits, which step 2 leaves alone).
//
// Inputs the window never produces are still defined, so that no argument
// whatever leads to undefined behaviour:
//   - sums are formed in 32-bit arithmetic, so nothing overflows on the way;
//   - a negative sum is reduced on its digits and the result is positive when
//     it had two digits (-25 -> 7) and stays as it is otherwise (-5, -123);
//   - a first sum outside the 16-bit range is saturated to INT16_MIN or
//     INT16_MAX, which have five digits and therefore come back unchanged.
//   - "position" in a text means a Unicode code point of its UTF-8 encoding,
//     so a multi-byte letter occupies one position, as it does on screen.
#pragma once

#include <cstdint>
#include <string_view>

namespace modDestiny {

using PersonalNumber = std::int16_t;

// Destiny Number / Personal Year: the ten first positions of the trimmed text,
// digits counted at their value and everything else at 0; master numbers kept.
PersonalNumber CalcDateNumber(std::string_view fullDate);

// Birth Number: the two first positions of the trimmed day text, no master
// numbers (days 11, 22 and 29 give 2, 4 and 2).
PersonalNumber CalcBirthNumber(std::string_view dayText);

// Personal Month: Personal Year plus the calendar month, master numbers kept.
PersonalNumber CalcPersonalMonth(PersonalNumber personalYear, PersonalNumber month);

// Personal Day: Personal Year plus the month (positions 1-2) plus the day
// (positions 4-5) of the trimmed "mm/dd" text, added as whole numbers.
PersonalNumber CalcPersonalDay(PersonalNumber personalYear, std::string_view monthDay);

} // namespace modDestiny
