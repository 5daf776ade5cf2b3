#include "reports/catalogues.h"
#include "reports/reports.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace modDestiny;

namespace {

std::string D(int n) { return std::string(*catalogue::destiny(static_cast<std::int16_t>(n))); }
std::string B(int n) { return std::string(*catalogue::birth(static_cast<std::int16_t>(n))); }
std::string K(int n) { return std::string(catalogue::cycle(static_cast<std::int16_t>(n))->keywords); }
std::string C(int n) { return std::string(catalogue::cycle(static_cast<std::int16_t>(n))->text); }
std::string Y(int n) { return std::string(*catalogue::day(static_cast<std::int16_t>(n))); }

// Records every replacement, so tests can see that builders only ever append.
class RecordingArea final : public ReportArea {
public:
    explicit RecordingArea(std::string initial = {}) : text_(std::move(initial)) {}
    std::string Text() const override { return text_; }
    void SetText(std::string text) override
    {
        EXPECT_EQ(text.compare(0, text_.size(), text_), 0) << "a builder edited earlier text";
        writes.push_back(text);
        text_ = std::move(text);
    }
    std::vector<std::string> writes;

private:
    std::string text_;
};

std::int16_t i16(int v) { return static_cast<std::int16_t>(v); }

struct Case {
    const char* name;
    std::string (*build)(ReportArea&);
    std::string expected;
};

std::vector<Case> layoutCases()
{
    return {
        {"destiny 7, birth 5",
         [](ReportArea& a) { ShowDestinyAndBirth(a, 7, 5); return std::string(); },
         "\r\nDestiny Number:7\r\n\r\n" + D(7) + "\r\n\r\n\r\nBirth Number:5\r\n\r\n" + B(5)},
        {"master destiny numbers keep their own entries",
         [](ReportArea& a) { ShowDestinyAndBirth(a, 22, 9); return std::string(); },
         "\r\nDestiny Number:22\r\n\r\n" + D(22) + "\r\n\r\n\r\nBirth Number:9\r\n\r\n" + B(9)},
        {"destiny without an entry",
         [](ReportArea& a) { ShowDestinyAndBirth(a, 10, 1); return std::string(); },
         "\r\nDestiny Number:10\r\n\r\n\r\nBirth Number:1\r\n\r\n" + B(1)},
        {"both without an entry (empty birth date)",
         [](ReportArea& a) { ShowDestinyAndBirth(a, 0, 0); return std::string(); },
         "\r\nDestiny Number:0\r\n\r\n\r\nBirth Number:0\r\n\r\n"},
        {"birth 11 has no entry",
         [](ReportArea& a) { ShowDestinyAndBirth(a, 11, 11); return std::string(); },
         "\r\nDestiny Number:11\r\n\r\n" + D(11) + "\r\n\r\n\r\nBirth Number:11\r\n\r\n"},
        {"negative numbers are written with their sign",
         [](ReportArea& a) { ShowDestinyAndBirth(a, -5, 3); return std::string(); },
         "\r\nDestiny Number:-5\r\n\r\n\r\nBirth Number:3\r\n\r\n" + B(3)},
        {"year and month differ",
         [](ReportArea& a) { ShowPersonalYearMonth(a, 3, 8); return std::string(); },
         "\r\nPersonal Year: 3\r\n" + K(3) + "\r\n\r\n" + C(3) + "\r\n\r\n" +
             "\r\nPersonal Month: 8\r\n" + K(8) + "\r\n\r\n" + C(8) + "\r\n\r\n"},
        {"equal year and month",
         [](ReportArea& a) { ShowPersonalYearMonth(a, 4, 4); return std::string(); },
         "\r\nYou have the same Personal Year and Month number: 4\r\n" + K(4) + "\r\n\r\n" +
             C(4) + "\r\n\r\n"},
        {"equal master numbers 11",
         [](ReportArea& a) { ShowPersonalYearMonth(a, 11, 11); return std::string(); },
         "\r\nYou have the same Personal Year and Month number: 11\r\n" + K(11) + "\r\n\r\n" +
             C(11) + "\r\n\r\n"},
        {"equal master numbers 22 end on one line break",
         [](ReportArea& a) { ShowPersonalYearMonth(a, 22, 22); return std::string(); },
         "\r\nYou have the same Personal Year and Month number: 22\r\n" + K(22) + "\r\n\r\n" +
             C(22) + "\r\n"},
        {"personal year 22: one empty line before the month",
         [](ReportArea& a) { ShowPersonalYearMonth(a, 22, 7); return std::string(); },
         "\r\nPersonal Year: 22\r\n" + K(22) + "\r\n\r\n" + C(22) + "\r\n" +
             "\r\nPersonal Month: 7\r\n" + K(7) + "\r\n\r\n" + C(7) + "\r\n\r\n"},
        {"personal month 22 ends on one line break",
         [](ReportArea& a) { ShowPersonalYearMonth(a, 2, 22); return std::string(); },
         "\r\nPersonal Year: 2\r\n" + K(2) + "\r\n\r\n" + C(2) + "\r\n\r\n" +
             "\r\nPersonal Month: 22\r\n" + K(22) + "\r\n\r\n" + C(22) + "\r\n"},
        {"cycle numbers without an entry keep their headings",
         [](ReportArea& a) { ShowPersonalYearMonth(a, 0, 10); return std::string(); },
         "\r\nPersonal Year: 0\r\n\r\nPersonal Month: 10\r\n"},
        {"personal day is the paragraph alone",
         [](ReportArea& a) { ShowPersonalDay(a, 5); return std::string(); }, Y(5)},
        {"personal day 22", [](ReportArea& a) { ShowPersonalDay(a, 22); return std::string(); },
         Y(22)},
        {"personal day without an entry writes nothing",
         [](ReportArea& a) { ShowPersonalDay(a, 10); return std::string(); }, ""},
    };
}

TEST(ReportLayout, ByteExact)
{
    for (const auto& c : layoutCases()) {
        RecordingArea area;
        c.build(area);
        EXPECT_EQ(area.Text(), c.expected) << c.name;
    }
}

TEST(ReportLayout, TextAlreadyThereStaysInFront)
{
    for (const auto& c : layoutCases()) {
        RecordingArea area("earlier text.");
        c.build(area);
        EXPECT_EQ(area.Text(), "earlier text." + c.expected) << c.name;
    }
}

TEST(ReportLayout, TwoReportsInARow)
{
    StringReportArea area;
    ShowDestinyAndBirth(area, 7, 5);
    ShowDestinyAndBirth(area, 7, 5);
    const std::string one = "\r\nDestiny Number:7\r\n\r\n" + D(7) + "\r\n\r\n\r\nBirth Number:5\r\n\r\n" + B(5);
    EXPECT_EQ(area.Text(), one + one);

    StringReportArea day;
    ShowPersonalDay(day, 1);
    ShowPersonalDay(day, 2);
    EXPECT_EQ(day.Text(), Y(1) + Y(2));
}

TEST(ReportLayout, EveryCataloguedNumberHasItsOwnParagraph)
{
    // The right entry is chosen for each key, not a neighbour's.
    for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 22}) {
        StringReportArea mode1;
        ShowDestinyAndBirth(mode1, i16(n), i16(n <= 9 ? n : 1));
        EXPECT_NE(mode1.Text().find(D(n)), std::string::npos) << n;

        StringReportArea mode2;
        ShowPersonalCycle(mode2, i16(n));
        EXPECT_EQ(mode2.Text(), K(n) + "\r\n\r\n" + C(n) + (n == 22 ? "\r\n" : "\r\n\r\n")) << n;

        StringReportArea mode3;
        ShowPersonalDay(mode3, i16(n));
        EXPECT_EQ(mode3.Text(), Y(n)) << n;
    }
}

TEST(ReportLayout, ParagraphsAreSeparateAdditions)
{
    // Headings, paragraphs and breaks arrive as separate appends, so text a
    // caller put in front survives every one of them (checked by RecordingArea).
    RecordingArea area("x");
    ShowPersonalYearMonth(area, 1, 2);
    EXPECT_GE(area.writes.size(), 6u);
}

} // namespace
