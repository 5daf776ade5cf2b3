// What orvantis-calc accepts as a date, a target day and a month, and how
// its messages quote them: whatever reaches the terminal is text, never a
// control sequence.
#include "cli/date_parse.h"
#include "cli/diagnostics.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

using namespace orvantis::cli;

namespace {

enum class Kind { Date, MonthDay, Month };

// The expected year, month and day; 0 where the kind has none, and all
// three 0 when the text is refused.
struct Row {
    const char* name;
    Kind kind;
    std::string_view text;
    int year = 0, month = 0, day = 0;
};

std::array<int, 3> parsed(const Row& r)
{
    const auto n = [](auto field) { return static_cast<int>(static_cast<unsigned>(field)); };
    if (r.kind == Kind::Date) {
        if (const auto d = parseDate(r.text))
            return {static_cast<int>(d->year()), n(d->month()), n(d->day())};
    } else if (r.kind == Kind::MonthDay) {
        if (const auto md = parseMonthDay(r.text))
            return {0, n(md->month()), n(md->day())};
    } else if (const auto m = parseMonth(r.text)) {
        return {0, n(*m), 0};
    }
    return {0, 0, 0};
}

class Parse : public testing::TestWithParam<Row> {};

TEST_P(Parse, Text)
{
    const Row& r = GetParam();
    EXPECT_EQ(parsed(r), (std::array{r.year, r.month, r.day}));
}

INSTANTIATE_TEST_SUITE_P(
    Table, Parse,
    testing::Values(
        Row{"Date_OneDigitFields", Kind::Date, "1970-3-5", 1970, 3, 5},
        Row{"Date_FirstDay", Kind::Date, "1753-01-01", 1753, 1, 1},
        Row{"Date_LastDay", Kind::Date, "12/31/9999", 9999, 12, 31},
        Row{"Date_Before1753", Kind::Date, "1752-12-31"},
        Row{"Date_ThreeDigitMonth", Kind::Date, "1970-003-05"},
        Row{"Date_FiveDigitYear", Kind::Date, "03/05/01970"},
        Row{"Date_TwoDigitYear", Kind::Date, "03/05/70"},
        Row{"Date_HugeNumber", Kind::Date, "99999999999999999999-01-01"},
        Row{"Date_Empty", Kind::Date, ""},
        Row{"Date_MonthDayAlone", Kind::Date, "03/05"},
        Row{"Date_TrailingJunk", Kind::Date, "1970-03-05x"},
        Row{"Date_MixedSeparators", Kind::Date, "1970/03/05"},
        Row{"Date_DashesInMonthDayYear", Kind::Date, "03-05-1970"},
        Row{"Date_EmbeddedNul", Kind::Date, {"1970-03-05\0", 11}},
        Row{"MonthDay_Feb29", Kind::MonthDay, "02/29", 0, 2, 29},
        Row{"MonthDay_OneDigitFields", Kind::MonthDay, "2/9", 0, 2, 9},
        Row{"MonthDay_FullDateYearDropped", Kind::MonthDay, "2024-02-29", 0, 2, 29},
        Row{"MonthDay_Feb30", Kind::MonthDay, "02/30"},
        Row{"MonthDay_Month13", Kind::MonthDay, "13/01"},
        Row{"MonthDay_FullDateThatDoesNotExist", Kind::MonthDay, "2023-02-29"},
        Row{"MonthDay_FullDateOutOfRange", Kind::MonthDay, "12/31/1752"},
        Row{"MonthDay_TrailingSlash", Kind::MonthDay, "02/29/"},
        Row{"Month_OneDigit", Kind::Month, "1", 0, 1},
        Row{"Month_LeadingZero", Kind::Month, "09", 0, 9},
        Row{"Month_NameInAnyCase", Kind::Month, "mArCh", 0, 3},
        Row{"Month_Abbreviation", Kind::Month, "SEP", 0, 9},
        Row{"Month_0", Kind::Month, "0"},
        Row{"Month_13", Kind::Month, "13"},
        Row{"Month_NumberThenJunk", Kind::Month, "3.0"},
        Row{"Month_FourLetters", Kind::Month, "Sept"},
        Row{"Month_TrailingBlank", Kind::Month, "march "}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace

// Controls (C0, DEL, C1) and bytes that are not UTF-8 are escaped; UTF-8
// characters holding bytes 0x80 to 0x9F are not; at most 60 bytes are shown,
// and no character is cut in two.
TEST(Quoted, Table)
{
    const std::pair<std::string, std::string> rows[] = {
        {"\xc2\x80x\xc2\x9b[2J\x9b" "31m", "'\\xc2\\x80x\\xc2\\x9b[2J\\x9b31m'"}, // C1 as UTF-8 and as a byte
        {"\xc2\xa0\xc3\x9f\xe2\x82\xac\xf0\x9f\x98\x80", "'\xc2\xa0\xc3\x9f\xe2\x82\xac\xf0\x9f\x98\x80'"},
        // Overlong, a surrogate, beyond U+10FFFF, Latin-1, a character cut at the end.
        {"\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80M\xe4rz\xc2",
         "'\\xc0\\xaf\\xed\\xa0\\x80\\xf4\\x90\\x80\\x80M\\xe4rz\\xc2'"},
        {"xéééééééééééééééééééééééééééééééééééééééé", "'xééééééééééééééééééééééééééééé...'"}, // 40 and 29
    };
    for (const auto& [text, quoted] : rows)
        EXPECT_EQ(orvantis::cli::quoted(text), quoted) << quoted;
}
