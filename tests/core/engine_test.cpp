#include "engine/numbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

using namespace modDestiny;

namespace {

struct TextCase {
    const char* text;
    int expected;
};

class DateNumber : public testing::TestWithParam<TextCase> {};
TEST_P(DateNumber, Reduces)
{
    EXPECT_EQ(CalcDateNumber(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}
INSTANTIATE_TEST_SUITE_P(
    Table, DateNumber,
    testing::Values(
        // worked examples
        TextCase{"03/05/1970", 7}, TextCase{"12/31/1999", 8},
        TextCase{"02/02/2005", 11}, // first sum 11: a master number, kept
        TextCase{"05/04/1921", 22}, // first sum 22: kept
        TextCase{"09/29/1980", 2},  // 38 -> 11 -> 2: the master test is made once
        // sums that pass through 11 on the way are reduced on
        TextCase{"09/29/1989", 2},  // 47 -> 11 -> 2
        TextCase{"09/29/9999", 2},  // 56: the largest first sum of the calendar range
        TextCase{"01/01/2006", 1},  // 10 -> 1
        TextCase{"01/01/2000", 4},  // the smallest first sum, 4
        // separators are not examined
        TextCase{"03-05-1970", 7}, TextCase{"03.05.1970", 7}, TextCase{"0305 1970x", 7},
        // spaces around the text are not positions
        TextCase{"   03/05/1970", 7}, TextCase{"03/05/1970   ", 7},
        // only ten positions count
        TextCase{"03/05/19709999", 7}, TextCase{"03/05/1970/99", 7},
        // short texts are summed over what they have
        TextCase{"03/05", 8}, TextCase{"9", 9}, TextCase{"", 0}, TextCase{"    ", 0},
        TextCase{"no digits", 0}, TextCase{"//////////", 0},
        // a multi-byte letter is one position, not two or three
        // (e-acute 3 / 0 5 / 1 9 7 0 are the ten positions; the final 9 is not)
        TextCase{"\xC3\xA9" "3/05/1970 9", 7},
        // damaged UTF-8 is walked byte by byte, never past the end
        TextCase{"\xE2\x82", 0}, TextCase{"\xFF" "5", 5}));

class BirthNumber : public testing::TestWithParam<TextCase> {};
TEST_P(BirthNumber, ReducesWithoutMasterNumbers)
{
    EXPECT_EQ(CalcBirthNumber(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}
INSTANTIATE_TEST_SUITE_P(
    Table, BirthNumber,
    testing::Values(TextCase{"05", 5}, TextCase{"19", 1}, TextCase{"22", 4}, TextCase{"29", 2},
                    TextCase{"11", 2}, TextCase{"10", 1}, TextCase{"20", 2}, TextCase{"30", 3},
                    TextCase{"31", 4}, TextCase{"01", 1}, TextCase{" 7 ", 7}, TextCase{"7", 7},
                    TextCase{"", 0}, TextCase{"x9", 9}, TextCase{"299", 2}));

TEST(BirthNumber, NeverAMasterNumberForAnyDay)
{
    for (int day = 1; day <= 31; ++day) {
        char text[3];
        std::snprintf(text, sizeof text, "%02d", day);
        const int n = CalcBirthNumber(text);
        EXPECT_GE(n, 1) << text;
        EXPECT_LE(n, 9) << text;
    }
}

struct MonthCase {
    int year, month, expected;
};
class PersonalMonth : public testing::TestWithParam<MonthCase> {};
TEST_P(PersonalMonth, Reduces)
{
    const auto [year, month, expected] = GetParam();
    EXPECT_EQ(CalcPersonalMonth(static_cast<std::int16_t>(year), static_cast<std::int16_t>(month)),
              expected)
        << year << " + " << month;
}
INSTANTIATE_TEST_SUITE_P(
    Table, PersonalMonth,
    testing::Values(MonthCase{7, 4, 11}, MonthCase{9, 12, 3}, MonthCase{11, 11, 22},
                    MonthCase{22, 7, 2}, MonthCase{22, 12, 7}, MonthCase{1, 1, 2},
                    MonthCase{0, 0, 0},
                    // outside what the window passes: still a defined result
                    MonthCase{-30, 5, 7},       // -25 is reduced on its digits
                    MonthCase{-10, 5, -5},      // one digit stays, sign and all
                    MonthCase{100, 20, 120},    // three digits come back unchanged
                    MonthCase{32767, 1, 32767}, // saturated instead of overflowing
                    MonthCase{-32768, -1, -32768}));

struct DayCase {
    int year;
    const char* monthDay;
    int expected;
};
class PersonalDay : public testing::TestWithParam<DayCase> {};
TEST_P(PersonalDay, AddsMonthAndDayAsWholeNumbers)
{
    const auto [year, monthDay, expected] = GetParam();
    EXPECT_EQ(CalcPersonalDay(static_cast<std::int16_t>(year), monthDay), expected)
        << year << " + " << monthDay;
}
INSTANTIATE_TEST_SUITE_P(
    Table, PersonalDay,
    testing::Values(DayCase{7, "04/15", 8}, DayCase{9, "01/01", 11}, DayCase{4, "10/08", 22},
                    DayCase{22, "12/31", 2}, DayCase{22, "99/99", 220},
                    DayCase{1, " 01/01 ", 3},      // trimmed before positions are read
                    DayCase{1, "1/5", 2},          // "1/" -> 1; day starts at position 4: none
                    DayCase{1, "01-05", 7},        // position 3 is not examined
                    DayCase{1, "0a/5b", 6},        // pieces end at the first non-digit
                    DayCase{1, "ab/cd", 1},        // pieces not starting with a digit are 0
                    DayCase{1, "", 1}, DayCase{0, "", 0},
                    DayCase{32767, "12/31", 32767})); // saturated, no overflow

TEST(Engine, EveryCalendarDateGivesAPersonalNumber)
{
    // Every full date the calendars can show reduces to 1-9, 11 or 22.
    const auto valid = [](int n) { return (n >= 1 && n <= 9) || n == 11 || n == 22; };
    char text[11];
    for (int year = 1753; year <= 9999; year += 7)
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= 31; day += 3) {
                std::snprintf(text, sizeof text, "%02d/%02d/%04d", month, day, year);
                ASSERT_TRUE(valid(CalcDateNumber(text))) << text;
            }
}

TEST(Engine, ArbitraryBytesNeverLeaveTheRange)
{
    // Whatever bytes arrive, the result comes from at most ten digits.
    std::string junk;
    for (int i = 0; i < 4096; ++i) {
        junk.push_back(static_cast<char>((i * 131 + 7) & 0xFF));
        const int n = CalcDateNumber(junk);
        ASSERT_GE(n, 0);
        ASSERT_LE(n, 90);
        ASSERT_LE(CalcBirthNumber(junk), 18);
        ASSERT_LE(CalcPersonalDay(9, junk), 9 + 99 + 99);
    }
}

} // namespace
