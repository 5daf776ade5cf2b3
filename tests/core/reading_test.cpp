#include "reports/reading.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace orvantis::reading;
using namespace std::chrono;

namespace {

TEST(CalendarRange, FromTheFirstDayOf1753ToTheLastOf9999)
{
    for (const Date inside : {1753y / 1 / 1, 9999y / 12 / 31, 2024y / 2 / 29})
        EXPECT_TRUE(InCalendarRange(inside));
    // No year before 1000 either, so the engine's "yyyy" never starts with 0.
    for (const Date outside : {1752y / 12 / 31, year{10000} / 1 / 1, 999y / 12 / 31, 2023y / 2 / 29,
                               2023y / 4 / 31, 2023y / 13 / 1})
        EXPECT_FALSE(InCalendarRange(outside));
}

TEST(MonthName, EnglishAndEmptyOutsideTheYear)
{
    EXPECT_EQ(MonthName(January), "January");
    EXPECT_EQ(MonthName(September), "September");
    EXPECT_EQ(MonthName(December), "December");
    EXPECT_EQ(MonthName(month{0}), "");
    EXPECT_EQ(MonthName(month{13}), "");
}

TEST(EngineTexts, TwoDigitFieldsWithLeadingZeros)
{
    EXPECT_EQ(EngineDate(1753y / 1 / 1).view(), "01/01/1753");
    EXPECT_EQ(EngineDate(2004y / 10 / 9).view(), "10/09/2004");
    EXPECT_EQ(EngineDate(9999y / 12 / 31).view(), "12/31/9999");
    EXPECT_EQ(EngineDay(1970y / 3 / 5).view(), "05");
    EXPECT_EQ(EngineDay(1980y / 9 / 29).view(), "29");
    EXPECT_EQ(EngineMonthDay(February / 9).view(), "02/09");
    EXPECT_EQ(EngineMonthDay(December / 31).view(), "12/31");
}

struct ReadingCase {
    const char* name;
    void (*read)(modDestiny::ReportArea&);
    std::string_view begins; // the whole report where `later` is null
    const char* later;       // found after `begins`
};

void PrintTo(const ReadingCase& row, std::ostream* out) { *out << row.name; }

class Reading : public testing::TestWithParam<ReadingCase> {};

TEST_P(Reading, ReportOfTheDatesNumbers)
{
    modDestiny::StringReportArea area;
    GetParam().read(area);
    const std::string report = area.Text();
    if (GetParam().later == nullptr) {
        EXPECT_EQ(report, GetParam().begins);
        return;
    }
    EXPECT_TRUE(report.starts_with(GetParam().begins)) << report;
    EXPECT_NE(report.find(GetParam().later, GetParam().begins.size()), std::string::npos) << report;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, Reading,
    testing::Values(
        ReadingCase{"Destiny_1970_03_05",
                    [](modDestiny::ReportArea& a) { DestinyAndBirthReading(a, 1970y / 3 / 5); },
                    "\r\nDestiny Number:7\r\n\r\n", "\r\nBirth Number:5\r\n\r\n"},
        ReadingCase{"Destiny_Master22",
                    [](modDestiny::ReportArea& a) { DestinyAndBirthReading(a, 1921y / 5 / 4); },
                    "\r\nDestiny Number:22\r\n\r\n", "\r\nBirth Number:4\r\n\r\n"},
        ReadingCase{"Destiny_Day29IsNoMasterBirth", // 9+2+9+1+9+8+0 = 38 -> 11 -> 2; 29 -> 11 -> 2
                    [](modDestiny::ReportArea& a) { DestinyAndBirthReading(a, 1980y / 9 / 29); },
                    "\r\nDestiny Number:2\r\n\r\n", "\r\nBirth Number:2\r\n\r\n"},
        ReadingCase{"Destiny_NoBirthDate",
                    [](modDestiny::ReportArea& a) { DestinyAndBirthReading(a, std::nullopt); },
                    "\r\nDestiny Number:0\r\n\r\n\r\nBirth Number:0\r\n\r\n", nullptr},
        ReadingCase{"YearMonth_MonthMaster11", // year 8, month 8 + 3
                    [](modDestiny::ReportArea& a) { PersonalYearMonthReading(a, 1999y / 12 / 31, March); },
                    "\r\nPersonal Year: 8\r\nKeywords: Achievement, Power, Recognition\r\n\r\n",
                    "\r\nPersonal Month: 11\r\nKeywords: Intuition, Revelation, Idealism\r\n\r\n"},
        ReadingCase{"YearMonth_SameNumber", // 8 + 9 = 17 -> 8
                    [](modDestiny::ReportArea& a) {
                        PersonalYearMonthReading(a, 1999y / 12 / 31, September);
                    },
                    "\r\nYou have the same Personal Year and Month number: 8\r\n",
                    "Keywords: Achievement, Power, Recognition\r\n\r\n"},
        ReadingCase{"YearMonth_NoBirthDateNoMonthYet",
                    [](modDestiny::ReportArea& a) { PersonalYearMonthReading(a, std::nullopt, month{0}); },
                    "\r\nYou have the same Personal Year and Month number: 0\r\n", nullptr},
        ReadingCase{"Day_Feb29", // 11 + 2 + 29 = 42 -> 6
                    [](modDestiny::ReportArea& a) { PersonalDayReading(a, 2005y / 2 / 2, February / 29); },
                    "Kindness and empathy come easily today.", "."},
        ReadingCase{"Day_Master22", // 7 + 1 + 14
                    [](modDestiny::ReportArea& a) { PersonalDayReading(a, 1970y / 3 / 5, January / 14); },
                    "Today asks you to set your own wishes aside", "."},
        ReadingCase{"Day_NoBirthDate", // 0 + 1 + 1
                    [](modDestiny::ReportArea& a) { PersonalDayReading(a, std::nullopt, January / 1); },
                    "Move gently today and think ahead.", "."}),
    [](const testing::TestParamInfo<ReadingCase>& row) { return std::string(row.param.name); });

} // namespace
