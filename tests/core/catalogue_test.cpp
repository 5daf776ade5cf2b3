#include "reports/catalogues.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

using namespace modDestiny::catalogue;

namespace {

// Number, the length the paragraph is written to, and how it must end.
struct Expect {
    int number;
    int length;
    const char* ending;
};

void checkProse(const char* catalogueName, int number, std::string_view text, int length,
                std::string_view ending)
{
    SCOPED_TRACE(std::string(catalogueName) + " " + std::to_string(number));
    ASSERT_FALSE(text.empty());
    EXPECT_LE(std::abs(static_cast<int>(text.size()) - length), length / 10)
        << "length " << text.size() << ", written for " << length;
    EXPECT_NE(text.front(), ' ');
    EXPECT_EQ(text.find_first_of("\r\n\t"), std::string_view::npos) << "no line breaks";
    for (const char c : text)
        EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "plain ASCII only";
    ASSERT_GE(text.size(), ending.size());
    EXPECT_EQ(text.substr(text.size() - ending.size()), ending);
    // Only the one ending shape: "x." not "x. ." or "x.  ".
    const char before = text[text.size() - ending.size() - 1];
    EXPECT_NE(before, ' ');
}

template <typename Table>
void checkKeys(const Table& table, const std::set<int>& keys)
{
    std::set<int> seen;
    for (const auto& e : table)
        EXPECT_TRUE(seen.insert(e.number).second) << "duplicate key " << e.number;
    EXPECT_EQ(seen, keys);
}

const std::set<int> kMasterKeys{1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 22};

TEST(Catalogue, Destiny)
{
    checkKeys(kDestiny, kMasterKeys);
    const Expect table[] = {{1, 677, ". "}, {2, 868, "."},  {3, 1086, "."}, {4, 965, "."},
                            {5, 942, "."},  {6, 1045, "."}, {7, 1087, "."}, {8, 1172, "."},
                            {9, 1319, "."}, {11, 566, "."}, {22, 688, "."}};
    for (const auto& e : table)
        checkProse("destiny", e.number, *destiny(static_cast<std::int16_t>(e.number)), e.length,
                   e.ending);
}

TEST(Catalogue, Birth)
{
    checkKeys(kBirth, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    const Expect table[] = {{1, 508, "."}, {2, 644, "."}, {3, 584, "."}, {4, 592, "."}, {5, 690, "."},
                            {6, 612, "."}, {7, 717, "."}, {8, 701, "."}, {9, 735, "."}};
    for (const auto& e : table)
        checkProse("birth", e.number, *birth(static_cast<std::int16_t>(e.number)), e.length,
                   e.ending);
    // The first two speak to the reader; the others describe the person.
    EXPECT_EQ(birth(1)->substr(0, 4), "You ");
    EXPECT_EQ(birth(2)->substr(0, 4), "You ");
}

TEST(Catalogue, Cycle)
{
    checkKeys(kCycle, kMasterKeys);
    const struct {
        int number;
        const char* keywords;
        int length;
    } table[] = {
        {1, "Keywords: Independence, Beginnings, New Opportunities", 776},
        {2, "Keywords: Patience, Teamwork, Companionship", 932},
        {3, "Keywords: Enjoyment, Imagination, Communication", 835},
        {4, "Keywords: Organization, Practicality, Work", 928},
        {5, "Keywords: Freedom, Change, Adventure", 1457},
        {6, "Keywords: Responsibility, Nurturing, Domesticity", 1150},
        {7, "Keywords: Introspective, Faith, Self-Awareness", 1267},
        {8, "Keywords: Achievement, Power, Recognition", 1124},
        {9, "Keywords: Completion, Inspiration, Fulfillment", 1331},
        {11, "Keywords: Intuition, Revelation, Idealism", 990},
        {22, "Keywords: Greatness, Power, Achievement", 809},
    };
    for (const auto& e : table) {
        const CycleEntry* entry = cycle(static_cast<std::int16_t>(e.number));
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->keywords, e.keywords);
        checkProse("cycle", e.number, entry->text, e.length, e.number == 22 ? ". " : ".");
    }
}

TEST(Catalogue, Day)
{
    checkKeys(kDay, kMasterKeys);
    const Expect table[] = {{1, 190, "."}, {2, 207, "."}, {3, 196, "."}, {4, 197, "!"},
                            {5, 243, "!"}, {6, 248, "."}, {7, 238, "."}, {8, 341, "."},
                            {9, 359, "."}, {11, 283, "."}, {22, 213, "."}};
    for (const auto& e : table)
        checkProse("day", e.number, *day(static_cast<std::int16_t>(e.number)), e.length, e.ending);

    // Day 22 keeps the double space after its first sentence group; no other
    // day paragraph has one.
    for (const auto& e : kDay) {
        const auto at = e.text.find("  ");
        if (e.number == 22) {
            ASSERT_NE(at, std::string_view::npos);
            EXPECT_LE(at + 2, 157u);
            EXPECT_EQ(e.text[at - 1], '.');
            EXPECT_EQ(e.text.find("  ", at + 1), std::string_view::npos);
        } else {
            EXPECT_EQ(at, std::string_view::npos) << e.number;
        }
    }
}

TEST(Catalogue, NoNumberOutsideTheKeysHasAnEntry)
{
    for (int n = -40; n <= 300; ++n) {
        const auto k = static_cast<std::int16_t>(n);
        const bool master = kMasterKeys.count(n) > 0;
        EXPECT_EQ(destiny(k).has_value(), master) << n;
        EXPECT_EQ(cycle(k) != nullptr, master) << n;
        EXPECT_EQ(day(k).has_value(), master) << n;
        EXPECT_EQ(birth(k).has_value(), n >= 1 && n <= 9) << n;
    }
}

TEST(Catalogue, NoSentenceIsRepeatedAcrossEntries)
{
    // Readers see these side by side; a sentence reused between two numbers
    // reads as filler.
    std::set<std::string> sentences;
    const auto add = [&](std::string_view text, const std::string& where) {
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find_first_of(".!?", start);
            if (end == std::string_view::npos)
                end = text.size();
            std::string s(text.substr(start, end - start));
            const auto first = s.find_first_not_of(' ');
            s = first == std::string::npos ? std::string() : s.substr(first);
            if (s.size() > 25) {
                EXPECT_TRUE(sentences.insert(s).second) << where << ": \"" << s << '"';
            }
            start = end + 1;
        }
    };
    for (const auto& e : kDestiny) add(e.text, "destiny " + std::to_string(e.number));
    for (const auto& e : kBirth) add(e.text, "birth " + std::to_string(e.number));
    for (const auto& e : kCycle) add(e.text, "cycle " + std::to_string(e.number));
    for (const auto& e : kDay) add(e.text, "day " + std::to_string(e.number));
}

} // namespace
