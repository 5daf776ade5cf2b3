// The calendar range, month names and the engine's date texts of
// reports/reading.h (the reports it builds are in reports_test.cpp).
#include "reports/reading.h"

#include <gtest/gtest.h>

using namespace orvantis::reading;
using namespace std::chrono;

namespace {

TEST(Reading, CalendarRangeIs1753To9999)
{
    for (const Date inside : {1753y / 1 / 1, 9999y / 12 / 31, 2024y / 2 / 29})
        EXPECT_TRUE(InCalendarRange(inside));
    for (const Date outside : {1752y / 12 / 31, year{10000} / 1 / 1, 2023y / 2 / 29})
        EXPECT_FALSE(InCalendarRange(outside));
}

TEST(Reading, EnglishMonthNames)
{
    EXPECT_EQ(MonthName(January), "January");
    EXPECT_EQ(MonthName(September), "September");
    EXPECT_EQ(MonthName(December), "December");
    EXPECT_EQ(MonthName(month{0}), "");
    EXPECT_EQ(MonthName(month{13}), "");
}

TEST(Reading, EngineTextsHaveTwoDigitFields)
{
    EXPECT_EQ(EngineDate(1753y / 1 / 1).view(), "01/01/1753");
    EXPECT_EQ(EngineDate(2004y / 10 / 9).view(), "10/09/2004");
    EXPECT_EQ(EngineDate(9999y / 12 / 31).view(), "12/31/9999");
    EXPECT_EQ(EngineDay(1980y / 9 / 29).view(), "29");
    EXPECT_EQ(EngineMonthDay(February / 9).view(), "02/09");
}

} // namespace
