// The reading path from a date to the report (reports/reading.h: the
// calendar range, the engine's date texts) and the report builders' bytes and
// the blocks they mark: each row's report is written out with its
// paragraphs cut to their first and last words ("...") and each block set in
// braces after its kind, H{heading}, K{keywords line} or P{paragraph}. Every
// row is built into an empty area and after text that is already there,
// which must stay in front untouched.
#include "../elided.h"
#include "reports/reading.h"
#include "reports/reports.h"

#include <gtest/gtest.h>

#include <string>

using namespace modDestiny;
using namespace orvantis::reading;
using namespace std::chrono;

namespace {

TEST(Reading, CalendarRangeIs1753To9999)
{
    for (const Date inside : {1753y / 1 / 1, 9999y / 12 / 31, 2024y / 2 / 29, 2000y / 2 / 29})
        EXPECT_TRUE(InCalendarRange(inside));
    for (const Date outside : {1752y / 12 / 31, year{10000} / 1 / 1, 2023y / 2 / 29, 1900y / 2 / 29,
                               2023y / 4 / 31, 2023y / 1 / 0, year{2023} / 13 / 1})
        EXPECT_FALSE(InCalendarRange(outside));
}

TEST(Reading, EngineTextsHaveTwoDigitFields)
{
    EXPECT_EQ(EngineDate(1753y / 1 / 1).view(), "01/01/1753");
    EXPECT_EQ(EngineDate(2004y / 10 / 9).view(), "10/09/2004");
    EXPECT_EQ(EngineDate(9999y / 12 / 31).view(), "12/31/9999");
    EXPECT_EQ(EngineDay(1980y / 9 / 29).view(), "29");
    EXPECT_EQ(EngineMonthDay(February / 9).view(), "02/09");
}

struct ReportRow {
    const char* name;
    void (*build)(ReportArea&);
    const char* expected;
};

std::string withBlocks(const MarkedReport& report)
{
    std::string out = report.text;
    for (auto b = report.blocks.rbegin(); b != report.blocks.rend(); ++b)
        out.insert(b->end, "}").insert(b->begin, std::string(1, "HKP"[static_cast<int>(b->kind)]) + "{");
    return out;
}

class Report : public testing::TestWithParam<ReportRow> {};

TEST_P(Report, BytesAndBlocks)
{
    for (const std::string earlier : {"", "earlier text.\r\n"}) {
        StringReportArea area(earlier);
        GetParam().build(area);
        const std::string text = withBlocks(area.Report());
        EXPECT_TRUE(text.starts_with(earlier)) << text;
        EXPECT_TRUE(matchesElided(text.substr(earlier.size()), GetParam().expected)) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Reports, Report,
    testing::Values(
        // The builders.
        ReportRow{"Destiny1_Birth10WithoutEntry", [](ReportArea& a) { ShowDestinyAndBirth(a, 1, 10); },
                  "\r\nH{Destiny Number:1}\r\n\r\nP{People...to grow. }\r\n\r\n\r\nH{Birth Number:10}\r\n\r\n"},
        ReportRow{"Year22_EndsOnOneLineBreak", [](ReportArea& a) { ShowPersonalYearMonth(a, 22, 7); },
                  "\r\nH{Personal Year: 22}\r\nK{Keywords: Greatness, Power, Achievement}\r\n\r\n"
                  "P{Few...years to come. }\r\n\r\nH{Personal Month: 7}\r\n"
                  "K{Keywords: Introspective, Faith, Self-Awareness}\r\n\r\nP{The pace...clarity.}\r\n\r\n"},
        ReportRow{"YearAndMonthWithoutEntries", // a negative number keeps its sign
                  [](ReportArea& a) { ShowPersonalYearMonth(a, -5, 10); },
                  "\r\nH{Personal Year: -5}\r\n\r\nH{Personal Month: 10}\r\n"},
        ReportRow{"DayWithoutEntryAddsNothing", [](ReportArea& a) { ShowPersonalDay(a, 10); }, ""},
        ReportRow{"WrittenOverTakesTheBlocksAlong", // the earlier text written back keeps none
                  [](ReportArea& a) {
                      const std::string earlier = a.Text();
                      ShowPersonalDay(a, 9);
                      a.SetText(earlier);
                      ShowPersonalDay(a, 1);
                  },
                  "P{A clean slate...}"},
        // The reading path, from a date to its report.
        ReportRow{"Destiny_1970_03_05", [](ReportArea& a) { DestinyAndBirthReading(a, 1970y / 3 / 5); },
                  "\r\nH{Destiny Number:7}\r\n\r\nP{Behind...side by side.}\r\n\r\n\r\nH{Birth Number:5}\r\n\r\n"
                  "P{Born on a Five...worth taking.}"},
        ReportRow{"Destiny_NoBirthDate", [](ReportArea& a) { DestinyAndBirthReading(a, std::nullopt); },
                  "\r\nH{Destiny Number:0}\r\n\r\n\r\nH{Birth Number:0}\r\n\r\n"},
        ReportRow{"YearMonth_Month8Plus3IsMaster11",
                  [](ReportArea& a) { PersonalYearMonthReading(a, 1999y / 12 / 31, March); },
                  "\r\nH{Personal Year: 8}\r\nK{Keywords: Achievement, Power, Recognition}\r\n\r\n"
                  "P{Effort...around you.}\r\n\r\n\r\nH{Personal Month: 11}\r\n"
                  "K{Keywords: Intuition, Revelation, Idealism}\r\n\r\nP{This is a master...after it ends.}\r\n\r\n"},
        ReportRow{"YearMonth_SameNumber", // 8 + 9 = 17 -> 8
                  [](ReportArea& a) { PersonalYearMonthReading(a, 1999y / 12 / 31, September); },
                  "\r\nH{You have the same Personal Year and Month number: 8}\r\n"
                  "K{Keywords: Achievement, Power, Recognition}\r\n\r\nP{Effort...around you.}\r\n\r\n"},
        ReportRow{"YearMonth_NoBirthDateNoMonthYet",
                  [](ReportArea& a) { PersonalYearMonthReading(a, std::nullopt, month{0}); },
                  "\r\nH{You have the same Personal Year and Month number: 0}\r\n"},
        ReportRow{"Day_Master22", // 7 + 1 + 14; the paragraph keeps its double space
                  [](ReportArea& a) { PersonalDayReading(a, 1970y / 3 / 5, January / 14); },
                  "P{Today asks you to set your own wishes aside and put others first. Offer your time "
                  "or skills where they matter most.  Even modest acts of service add up, and the "
                  "good you do today may reach further than you imagine.}"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
