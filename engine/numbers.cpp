#include "numbers.h"

#include <algorithm>
#include <array>
#include <optional>
#include <limits>

namespace modDestiny {
namespace {

// Leading and trailing blanks (the space character only, as the window's
// date texts never hold tabs) do not count as positions.
std::string_view trimSpaces(std::string_view s)
{
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
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

bool isDigit(std::string_view position)
{
    return position.size() == 1 && position[0] >= '0' && position[0] <= '9';
}

int digitValue(std::string_view position)
{
    return isDigit(position) ? position[0] - '0' : 0;
}

// A piece of a "mm/dd" text read as a whole number, from its first position up
// to the first non-digit; a piece that does not begin with a digit is 0.
int leadingNumber(std::string_view first, std::string_view second)
{
    if (!isDigit(first))
        return 0;
    int value = digitValue(first);
    if (isDigit(second))
        value = value * 10 + digitValue(second);
    return value;
}

PersonalNumber saturate(long long v)
{
    constexpr long long lo = std::numeric_limits<PersonalNumber>::min();
    constexpr long long hi = std::numeric_limits<PersonalNumber>::max();
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

PersonalNumber reduce(long long firstSum, bool masterTest)
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
        const auto c = static_cast<unsigned char>(s[i]);
        const unsigned digit = c - unsigned{'0'};
        sum += digit < 10 ? static_cast<int>(digit) : 0;
        highBits |= c & 0x80u;
    }
    if (highBits != 0)
        return std::nullopt;
    return sum;
}

} // namespace

PersonalNumber CalcDateNumber(std::string_view fullDate)
{
    if (const auto sum = asciiDigitSum(fullDate, 10))
        return reduce(*sum, true);
    // The contribution table is local: nothing outside this call reads it.
    const auto positions = firstPositions<10>(trimSpaces(fullDate));
    long long sum = 0;
    for (const auto p : positions)
        sum += digitValue(p);
    return reduce(sum, true);
}

PersonalNumber CalcBirthNumber(std::string_view dayText)
{
    if (const auto sum = asciiDigitSum(dayText, 2))
        return reduce(*sum, false);
    const auto positions = firstPositions<2>(trimSpaces(dayText));
    return reduce(digitValue(positions[0]) + digitValue(positions[1]), false);
}

PersonalNumber CalcPersonalMonth(PersonalNumber personalYear, PersonalNumber month)
{
    return reduce(static_cast<long long>(personalYear) + month, true);
}

PersonalNumber CalcPersonalDay(PersonalNumber personalYear, std::string_view monthDay)
{
    const auto p = firstPositions<5>(trimSpaces(monthDay));
    const int month = leadingNumber(p[0], p[1]);
    const int day = leadingNumber(p[3], p[4]);
    return reduce(static_cast<long long>(personalYear) + month + day, true);
}

} // namespace modDestiny
