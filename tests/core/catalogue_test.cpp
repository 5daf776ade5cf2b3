// Which numbers the catalogues have entries for, which text each one is (by
// its first words) and that every entry is one line of plain prose.
#include "reports/catalogues.h"

#include <gtest/gtest.h>

#include <string>

namespace catalogue = modDestiny::catalogue;
using catalogue::birth, catalogue::cycle, catalogue::destiny;

namespace {

// The first words of each catalogue's entry for `number`; null: no entry.
struct Entries {
    int number;
    const char* destiny;
    const char* birth;
    const char* keywords;
    const char* cycle;
    const char* day;
};

// One paragraph: printable ASCII without line breaks, ending on "." or "!"
// (two texts keep a blank after it, as they were written).
void expectProse(std::string_view text, const char* head)
{
    SCOPED_TRACE(head);
    ASSERT_TRUE(text.starts_with(head)) << text;
    for (const char c : text)
        ASSERT_TRUE(c >= ' ' && c <= '~') << "character " << int(c);
    if (text.ends_with(' '))
        text.remove_suffix(1);
    EXPECT_TRUE(text.back() == '.' || text.back() == '!') << text;
}

class Catalogue : public testing::TestWithParam<Entries> {};

TEST_P(Catalogue, EntriesOfTheNumber)
{
    const Entries& e = GetParam();
    const auto n = static_cast<std::int16_t>(e.number);
    ASSERT_TRUE(destiny(n) && cycle(n) && catalogue::day(n));
    expectProse(*destiny(n), e.destiny);
    EXPECT_EQ(cycle(n)->keywords, e.keywords);
    expectProse(cycle(n)->text, e.cycle);
    expectProse(*catalogue::day(n), e.day);
    ASSERT_EQ(birth(n).has_value(), e.birth != nullptr);
    if (e.birth)
        expectProse(*birth(n), e.birth);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Catalogue,
    testing::Values(
        Entries{1, "People with this", "You were born to lead",
                "Keywords: Independence, Beginnings, New Opportunities", "A fresh chapter",
                "A clean slate"},
        Entries{2, "The path of the Two", "You have a gentle",
                "Keywords: Patience, Teamwork, Companionship", "After the bold start",
                "Move gently today"},
        Entries{3, "Joy is the keynote", "The Three-born person",
                "Keywords: Enjoyment, Imagination, Communication", "Lighter, brighter energy",
                "Your imagination is lively"},
        Entries{4, "Those who walk", "In the Four-born", "Keywords: Organization, Practicality, Work",
                "This is a period", "Today rewards a methodical"},
        Entries{5, "Variety is the breath", "Born on a Five", "Keywords: Freedom, Change, Adventure",
                "Change is in the air", "Surprises could pop up"},
        Entries{6, "Someone born under", "A strong sense",
                "Keywords: Responsibility, Nurturing, Domesticity", "Home and the people",
                "Kindness and empathy"},
        Entries{7, "Behind the calm face", "Much of the Seven-born",
                "Keywords: Introspective, Faith, Self-Awareness", "The pace of outer life",
                "Seek a quiet corner"},
        Entries{8, "Power and achievement", "Serious and purposeful",
                "Keywords: Achievement, Power, Recognition", "Effort meets reward",
                "Practical matters"},
        Entries{9, "Nine, the last", "Confident and open-handed",
                "Keywords: Completion, Inspiration, Fulfillment", "You have arrived",
                "Today favors endings"},
        Entries{11, "Eleven is a master", nullptr, "Keywords: Intuition, Revelation, Idealism",
                "This is a master cycle", "Your intuition is"},
        Entries{22, "Twenty-two, the master", nullptr, "Keywords: Greatness, Power, Achievement",
                "Few cycles hold", "Today asks you"}),
    [](const auto& row) { return "Number" + std::to_string(row.param.number); });

// The texts' total sizes: a paragraph cut short, or a sentence lost or
// pasted twice, shows here.
TEST(Catalogue, TotalSizes)
{
    const auto total = [](const auto& table) {
        std::size_t n = 0;
        for (const auto& e : table)
            n += e.text.size();
        return n;
    };
    EXPECT_EQ(total(catalogue::kDestiny), 10350u);
    EXPECT_EQ(total(catalogue::kBirth), 5764u);
    EXPECT_EQ(total(catalogue::kCycle), 11579u);
    EXPECT_EQ(total(catalogue::kDay), 2722u);
}

TEST(Catalogue, NoOtherNumberHasAnEntry)
{
    for (int n = -40; n <= 300; ++n) {
        if ((n >= 1 && n <= 9) || n == 11 || n == 22)
            continue;
        const auto k = static_cast<std::int16_t>(n);
        EXPECT_FALSE(destiny(k) || birth(k) || cycle(k) || catalogue::day(k)) << n;
    }
}

} // namespace
