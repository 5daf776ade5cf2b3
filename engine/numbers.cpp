#include "numbers.h"

#include "text_fields.h"

#include <algorithm>
#include <array>
#include <optional>
#include <limits>

namespace modDestiny {
namespace {

using orvantis::text::DigitValue;
using orvantis::text::LeadingDigits;

// Leading and trailing spaces do not count as positions.
std::string_view trimSpaces(std::string_view s)
{
    return orvantis::text::Trim(s, orvantis::text::kSpaces);
}

// Splits a UTF-8 text into its first `count` positions (code points). A byte
// that cannot start a sequence counts as a position of its own, so damaged
// text is still walked in bounded steps.
template <std::size_t N>
std::array<std::string_view, N> firstPositions(std::string_view s)
{
    std::array<std::string_view, N> out{};
    std::size_t i = 0;
    for (std::size_t pos = 0; pos < N && i < s.size(); ++pos) {
        std::size_t len = 1;
        const auto lead = static_cast<unsigned char>(s[i]);
        if (lead >= 0xC0) {
            len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
            std::size_t k = 1;
            while (k < len && i + k < s.size()
                   && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80)
                ++k;
            len = k;
        }
        out[pos] = s.substr(i, len);
        i += len;
    }
    return out;
}

// A position's digit value: a position that is a letter of several bytes
// begins with a byte that is no digit.
int digitValue(std::string_view position) { return LeadingDigits(position, 1).value; }

// A piece of `text` read as a whole number, from the position `first` on up
// to the first non-digit and at most two positions; 0 when the piece does not
// begin with a digit (or lies past the end of the text).
int twoDigitPiece(std::string_view text, std::string_view first)
{
    if (first.empty())
        return 0;
    return LeadingDigits(text.substr(static_cast<std::size_t>(first.data() - text.data())), 2).value;
}

PersonalNumber saturate(int v)
{
    constexpr int lo = std::numeric_limits<PersonalNumber>::min();
    constexpr int hi = std::numeric_limits<PersonalNumber>::max();
    return static_cast<PersonalNumber>(v < lo ? lo : v > hi ? hi : v);
}

constexpr int magnitude(int v) { return v < 0 ? -v : v; }

constexpr int reduceTwoDigits(int value)
{
    // "Exactly two characters, without the sign": 10..99 in magnitude. The
    // digit sum of a two-digit number is positive, so the sign goes with the
    // first replacement.
    while (magnitude(value) >= 10 && magnitude(value) <= 99) {
        const int m = magnitude(value);
        value = m / 10 + m % 10;
    }
    return value;
}

// The reduction of every first sum from 0 to 99 without the master test,
// worked out once: the sums of real dates all fall in this range.
constexpr std::array<std::int8_t, 100> kReduced = [] {
    std::array<std::int8_t, 100> table{};
    for (int i = 0; i < 100; ++i)
        table[static_cast<std::size_t>(i)] = static_cast<std::int8_t>(reduceTwoDigits(i));
    return table;
}();

PersonalNumber reduce(int firstSum, bool masterTest)
{
    if (masterTest && (firstSum == 11 || firstSum == 22))
        return static_cast<PersonalNumber>(firstSum);
    if (firstSum >= 0 && firstSum < 100)
        return kReduced[static_cast<std::size_t>(firstSum)];
    return static_cast<PersonalNumber>(reduceTwoDigits(saturate(firstSum)));
}

// Plain ASCII with nothing to trim, as every date text of the window and of
// orvantis-calc is: there each byte is one position, and the code-point walk
// can be skipped. Returns the sum of the digits among the first `count` bytes.
std::optional<int> asciiDigitSum(std::string_view s, std::size_t count)
{
    if (s.empty() || s.front() == ' ' || s.back() == ' ')
        return std::nullopt;
    const std::size_t n = std::min(count, s.size());
    int sum = 0;
    unsigned highBits = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sum += DigitValue(s[i]);
        highBits |= static_cast<unsigned char>(s[i]) & 0x80u;
    }
    if (highBits != 0)
        return std::nullopt;
    return sum;
}

// Any other text: the sum of the digits among the first N positions of the
// trimmed text. Out of line, as it is rarely taken: inlined, it made the
// common path above save registers it never uses, and `numbers` slower.
template <std::size_t N>
[[gnu::noinline]] int positionDigitSum(std::string_view s)
{
    // The contribution table is local: nothing outside this call reads it.
    int sum = 0;
    for (const auto p : firstPositions<N>(trimSpaces(s)))
        sum += digitValue(p);
    return sum;
}

} // namespace

PersonalNumber CalcDateNumber(std::string_view fullDate)
{
    const auto sum = asciiDigitSum(fullDate, 10);
    return reduce(sum ? *sum : positionDigitSum<10>(fullDate), true);
}

PersonalNumber CalcBirthNumber(std::string_view dayText)
{
    const auto sum = asciiDigitSum(dayText, 2);
    return reduce(sum ? *sum : positionDigitSum<2>(dayText), false);
}

PersonalNumber CalcPersonalMonth(PersonalNumber personalYear, PersonalNumber month)
{
    return reduce(personalYear + month, true);
}

PersonalNumber CalcPersonalDay(PersonalNumber personalYear, std::string_view monthDay)
{
    const std::string_view text = trimSpaces(monthDay);
    const auto p = firstPositions<5>(text);
    // The month at positions 1-2, the day at 4-5; position 3 is not examined.
    return reduce(personalYear + twoDigitPiece(text, p[0]) + twoDigitPiece(text, p[3]), true);
}

} // namespace modDestiny
