#include "cli/date_parse.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

using namespace orvantis::cli;
using namespace std::chrono;
using orvantis::reading::Date;

namespace {

struct DateCase {
    std::string text;
    std::optional<Date> expected;
};

TEST(ParseDate, AcceptsBothFormsWithinTheCalendarRange)
{
    const DateCase cases[] = {
        {"1970-03-05", 1970y / 3 / 5},
        {"03/05/1970", 1970y / 3 / 5},
        {"3/5/1970", 1970y / 3 / 5},
        {"1970-3-5", 1970y / 3 / 5},
        {"1753-01-01", 1753y / 1 / 1},
        {"9999-12-31", 9999y / 12 / 31},
        {"2000-02-29", 2000y / 2 / 29}, // divisible by 400: leap
        {"02/29/2024", 2024y / 2 / 29},
        {"1900-02-29", std::nullopt}, // divisible by 100 only: no leap day
        {"02/29/2023", std::nullopt},
        {"1752-12-31", std::nullopt},
        {"10000-01-01", std::nullopt},
        {"2023-02-30", std::nullopt},
        {"2023-04-31", std::nullopt},
        {"2023-13-01", std::nullopt},
        {"2023-00-10", std::nullopt},
        {"2023-01-00", std::nullopt},
        {"001970-03-05", std::nullopt},
        {"1970-003-05", std::nullopt},
        {"03/05/01970", std::nullopt},
        {"03/05/70", std::nullopt},
        {"99999999999999999999-01-01", std::nullopt},
        {"", std::nullopt},
        {"1970", std::nullopt},
        {"03/05", std::nullopt},
        {"1970-03-05x", std::nullopt},
        {" 1970-03-05", std::nullopt},
        {"+1970-03-05", std::nullopt},
        {"1970--03-05", std::nullopt},
        {"1970/03/05", std::nullopt},
        {"03-05-1970", std::nullopt},
        {std::string("1970-03-05\0", 11), std::nullopt},
        {"\xEF\xBC\x91\xEF\xBC\x99\xEF\xBC\x97\xEF\xBC\x90-03-05", std::nullopt}, // full-width
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseDate(c.text), c.expected) << "'" << c.text << "'";
}

TEST(ParseMonthDay, AcceptsMonthDayAloneAndFullDates)
{
    const struct {
        const char* text;
        std::optional<month_day> expected;
    } cases[] = {
        {"02/29", February / 29},  {"2/9", February / 9},
        {"12/31", December / 31}, {"2024-02-29", February / 29},
        {"06/15/1980", June / 15},
        {"02/30", std::nullopt},     {"04/31", std::nullopt},
        {"13/01", std::nullopt},     {"00/10", std::nullopt},
        {"2023-02-29", std::nullopt}, {"02/29/2023", std::nullopt},
        {"1752-12-31", std::nullopt}, {"0229", std::nullopt},
        {"02/29/", std::nullopt},    {"02//29", std::nullopt},
        {"002/28", std::nullopt},    {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseMonthDay(c.text), c.expected) << "'" << c.text << "'";
}

TEST(ParseMonth, NumbersNamesAndAbbreviationsInAnyCase)
{
    const struct {
        const char* text;
        std::optional<month> expected;
    } cases[] = {
        {"1", January},   {"01", January},  {"09", September}, {"12", December},
        {"march", March}, {"MARCH", March}, {"mArCh", March},   {"Sep", September},
        {"september", September}, {"may", May}, {"DEC", December},
        {"0", std::nullopt},     {"13", std::nullopt},   {"001", std::nullopt},
        {"", std::nullopt},      {"Marc", std::nullopt}, {"Sept", std::nullopt},
        {"march ", std::nullopt}, {"3.0", std::nullopt}, {"-1", std::nullopt},
        {"M\xC3\xA4rz", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseMonth(c.text), c.expected) << "'" << c.text << "'";
}

TEST(TrimBlanks, DropsSpacesTabsAndCarriageReturnsAtTheEndsOnly)
{
    EXPECT_EQ(trimBlanks(" \t1970-03-05 \r"), "1970-03-05");
    EXPECT_EQ(trimBlanks("a b"), "a b");
    EXPECT_EQ(trimBlanks(" \r\t "), "");
}

} // namespace
