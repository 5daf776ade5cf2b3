// How orvantis-calc quotes a user's text in its messages: whatever reaches
// the terminal is text, never a control sequence.
#include "../elided.h"
#include "cli/diagnostics.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Row {
    const char* name;
    std::string text, quoted;
};

class Quoted : public testing::TestWithParam<Row> {};

TEST_P(Quoted, Text) { EXPECT_EQ(orvantis::cli::quoted(GetParam().text), GetParam().quoted); }

INSTANTIATE_TEST_SUITE_P(
    Table, Quoted,
    testing::Values(
        Row{"Del", "a\x7f", "'a\\x7f'"},
        Row{"C1AsUtf8", "\xc2\x80x\xc2\x9b[2J", "'\\xc2\\x80x\\xc2\\x9b[2J'"},
        Row{"RawC1Byte", "\x9b" "31m", "'\\x9b31m'"},
        Row{"Utf8KeptThatHoldsBytes80To9F", "\xc2\xa0\xc3\x9f\xe2\x82\xac\xf0\x9f\x98\x80",
            "'\xc2\xa0\xc3\x9f\xe2\x82\xac\xf0\x9f\x98\x80'"},
        Row{"Overlong", "\xc0\xaf", "'\\xc0\\xaf'"},
        Row{"Surrogate", "\xed\xa0\x80", "'\\xed\\xa0\\x80'"},
        Row{"BeyondU10FFFF", "\xf4\x90\x80\x80", "'\\xf4\\x90\\x80\\x80'"},
        Row{"LeadByteBeforeQuote", "M\xe4rz", "'M\\xe4rz'"},
        Row{"CutAtEnd", "\xe2\x82", "'\\xe2\\x82'"},
        // At most 60 bytes are shown, and no character is cut in two.
        Row{"LongCutBetweenCharacters", "x" + times("\xc3\xa9", 40), "'x" + times("\xc3\xa9", 29) + "...'"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
