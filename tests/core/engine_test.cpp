// The reduction rule of the four number operations, one row per case of
// engine/numbers.h, each with the value worked out by hand.
#include "engine/numbers.h"

#include <gtest/gtest.h>

#include <string>

using namespace modDestiny;

namespace {

enum class Op { Date, Birth, Month, Day };

struct Row {
    const char* name;
    Op op;
    const char* text; // Date, Birth, Day
    int year;         // Month, Day: the Personal Year
    int month;        // Month
    int expected;
};

int calculate(const Row& r)
{
    const auto year = static_cast<PersonalNumber>(r.year);
    switch (r.op) {
    case Op::Date: return CalcDateNumber(r.text);
    case Op::Birth: return CalcBirthNumber(r.text);
    case Op::Month: return CalcPersonalMonth(year, static_cast<PersonalNumber>(r.month));
    case Op::Day: return CalcPersonalDay(year, r.text);
    }
    return -1;
}

class Engine : public testing::TestWithParam<Row> {};

TEST_P(Engine, Reduces) { EXPECT_EQ(calculate(GetParam()), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Rule, Engine,
    testing::Values(
        Row{"Date_WorkedExample", Op::Date, "03/05/1970", 0, 0, 7},
        Row{"Date_Master11KeptOnTheFirstSum", Op::Date, "02/02/2005", 0, 0, 11},
        Row{"Date_Master22KeptOnTheFirstSum", Op::Date, "05/04/1921", 0, 0, 22},
        Row{"Date_38ThroughElevenToTwo", Op::Date, "09/29/1980", 0, 0, 2},
        Row{"Date_LargestFirstSumOfTheCalendar", Op::Date, "09/29/9999", 0, 0, 2}, // 56
        Row{"Date_SeparatorsIgnored", Op::Date, "03.05-1970", 0, 0, 7},
        Row{"Date_LeadingSpacesTrimmed", Op::Date, "   03/05/1970", 0, 0, 7},
        Row{"Date_OnlyTenPositions", Op::Date, "03/05/19701234", 0, 0, 7},
        Row{"Date_ShortTextSummedAsFarAsItGoes", Op::Date, "03/05", 0, 0, 8},
        Row{"Date_NoDigits", Op::Date, "no digits", 0, 0, 0},
        Row{"Date_Empty", Op::Date, "", 0, 0, 0},
        Row{"Date_OnlySpaces", Op::Date, "    ", 0, 0, 0},
        // e-acute, euro sign and G clef: one position each, so the final 99
        // are positions 11 and 12
        Row{"Date_MultiByteLetterIsOnePosition", Op::Date,
            "\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E" "030519799", 0, 0, 7},
        // a cut sequence, a stray lead byte, a cut sequence at the very end
        Row{"Date_DamagedUtf8KeepsItsDigits", Op::Date, "\xE2\x82" "5\xFF" "5\xC3", 0, 0, 1},
        Row{"Birth_29IsNoMaster", Op::Birth, "29", 0, 0, 2}, // 11 -> 2
        Row{"Birth_TenToOne", Op::Birth, "19", 0, 0, 1},
        Row{"Birth_SpacesTrimmed", Op::Birth, " 7 ", 0, 0, 7},
        Row{"Birth_NonDigitCountsZero", Op::Birth, "x9", 0, 0, 9},
        Row{"Birth_OnlyTwoPositions", Op::Birth, "299", 0, 0, 2},
        Row{"Birth_Empty", Op::Birth, "", 0, 0, 0},
        Row{"Month_Master11Kept", Op::Month, "", 7, 4, 11},
        Row{"Month_29ThroughElevenToTwo", Op::Month, "", 22, 7, 2},
        Row{"Month_NegativeTwoDigitsTurnPositive", Op::Month, "", -30, 5, 7},
        Row{"Month_NegativeOneDigitStays", Op::Month, "", -10, 5, -5},
        Row{"Month_ThreeDigitsUnchanged", Op::Month, "", 100, 20, 120},
        Row{"Month_SaturatedHigh", Op::Month, "", 32767, 1, 32767},
        Row{"Month_SaturatedLow", Op::Month, "", -32768, -1, -32768},
        Row{"Day_WorkedExample", Op::Day, "04/15", 7, 0, 8},
        Row{"Day_MonthAndDayAsWholeNumbers", Op::Day, "10/08", 4, 0, 22}, // digits alone: 4
        Row{"Day_SpacesTrimmed", Op::Day, " 01/01 ", 1, 0, 3},
        Row{"Day_DayStartsAtPosition4", Op::Day, "1/5", 1, 0, 2},
        Row{"Day_Position3NotExamined", Op::Day, "01-05", 1, 0, 7},
        Row{"Day_PiecesEndAtANonDigit", Op::Day, "0a/5b", 1, 0, 6},
        Row{"Day_DayIsPositions4And5Only", Op::Day, "01/234", 1, 0, 7}, // 1 + 1 + 23
        Row{"Day_PiecesWithoutALeadingDigitAreZero", Op::Day, "ab/cd", 1, 0, 1}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
