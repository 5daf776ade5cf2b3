// The report builders' bytes, and the reading path from a date to the report:
// each row's report is written out with its paragraphs cut to their first and
// last words ("..."). Every row is built into an empty area and after text
// that is already there, which must stay in front untouched.
#include "../elided.h"
#include "reports/reading.h"
#include "reports/reports.h"

#include <gtest/gtest.h>

#include <string>

using namespace modDestiny;
using namespace orvantis::reading;
using namespace std::chrono;

namespace {

struct ReportRow {
    const char* name;
    void (*build)(ReportArea&);
    const char* expected;
};

class Report : public testing::TestWithParam<ReportRow> {};

TEST_P(Report, Bytes)
{
    for (const std::string earlier : {"", "earlier text.\r\n"}) {
        StringReportArea area(earlier);
        GetParam().build(area);
        const std::string text = area.Text();
        EXPECT_TRUE(text.starts_with(earlier)) << text;
        EXPECT_TRUE(matchesElided(text.substr(earlier.size()), GetParam().expected)) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Reports, Report,
    testing::Values(
        // The builders.
        ReportRow{"Destiny1_Birth10WithoutEntry", [](ReportArea& a) { ShowDestinyAndBirth(a, 1, 10); },
                  "\r\nDestiny Number:1\r\n\r\nPeople...to grow. \r\n\r\n\r\nBirth Number:10\r\n\r\n"},
        ReportRow{"Year22_EndsOnOneLineBreak", [](ReportArea& a) { ShowPersonalYearMonth(a, 22, 7); },
                  "\r\nPersonal Year: 22\r\nKeywords: Greatness, Power, Achievement\r\n\r\n"
                  "Few...years to come. \r\n\r\nPersonal Month: 7\r\n"
                  "Keywords: Introspective, Faith, Self-Awareness\r\n\r\nThe pace...clarity.\r\n\r\n"},
        ReportRow{"YearAndMonthWithoutEntries", // a negative number keeps its sign
                  [](ReportArea& a) { ShowPersonalYearMonth(a, -5, 10); },
                  "\r\nPersonal Year: -5\r\n\r\nPersonal Month: 10\r\n"},
        ReportRow{"DayWithoutEntryAddsNothing", [](ReportArea& a) { ShowPersonalDay(a, 10); }, ""},
        // The reading path, from a date to its report.
        ReportRow{"Destiny_1970_03_05", [](ReportArea& a) { DestinyAndBirthReading(a, 1970y / 3 / 5); },
                  "\r\nDestiny Number:7\r\n\r\nBehind...side by side.\r\n\r\n\r\nBirth Number:5\r\n\r\n"
                  "Born on a Five...worth taking."},
        ReportRow{"Destiny_Day29IsNoMasterBirth", // 9+2+9+1+9+8+0 = 38 -> 11 -> 2
                  [](ReportArea& a) { DestinyAndBirthReading(a, 1980y / 9 / 29); },
                  "\r\nDestiny Number:2\r\n\r\nThe path...\r\n\r\n\r\nBirth Number:2\r\n\r\nYou have..."},
        ReportRow{"Destiny_NoBirthDate", [](ReportArea& a) { DestinyAndBirthReading(a, std::nullopt); },
                  "\r\nDestiny Number:0\r\n\r\n\r\nBirth Number:0\r\n\r\n"},
        ReportRow{"YearMonth_Month8Plus3IsMaster11",
                  [](ReportArea& a) { PersonalYearMonthReading(a, 1999y / 12 / 31, March); },
                  "\r\nPersonal Year: 8\r\nKeywords: Achievement, Power, Recognition\r\n\r\n"
                  "Effort...around you.\r\n\r\n\r\nPersonal Month: 11\r\n"
                  "Keywords: Intuition, Revelation, Idealism\r\n\r\nThis is a master...after it ends.\r\n\r\n"},
        ReportRow{"YearMonth_SameNumber", // 8 + 9 = 17 -> 8
                  [](ReportArea& a) { PersonalYearMonthReading(a, 1999y / 12 / 31, September); },
                  "\r\nYou have the same Personal Year and Month number: 8\r\n"
                  "Keywords: Achievement, Power, Recognition\r\n\r\nEffort...around you.\r\n\r\n"},
        ReportRow{"YearMonth_NoBirthDateNoMonthYet",
                  [](ReportArea& a) { PersonalYearMonthReading(a, std::nullopt, month{0}); },
                  "\r\nYou have the same Personal Year and Month number: 0\r\n"},
        ReportRow{"Day_Feb29", // 11 + 2 + 29 = 42 -> 6
                  [](ReportArea& a) { PersonalDayReading(a, 2005y / 2 / 2, February / 29); },
                  "Kindness and empathy...way back to you."},
        ReportRow{"Day_Master22", // 7 + 1 + 14; the paragraph keeps its double space
                  [](ReportArea& a) { PersonalDayReading(a, 1970y / 3 / 5, January / 14); },
                  "Today asks you to set your own wishes aside and put others first. Offer your time "
                  "or skills where they matter most.  Even modest acts of service add up, and the "
                  "good you do today may reach further than you imagine."},
        ReportRow{"Day_NoBirthDate", // 0 + 1 + 1
                  [](ReportArea& a) { PersonalDayReading(a, std::nullopt, January / 1); },
                  "Move gently...smooth the way."}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
