// The digits and blanks of a text, read the same way everywhere: what a
// digit is worth, how a run of digits is read, which blanks a text loses at
// its ends. The engine, orvantis-calc's dates, the window's date texts and
// the settings file all read their fields through here.
//
// Bytes, no locale: every date text is ASCII, and no byte of a multi-byte
// UTF-8 letter is a digit or a blank, so a letter simply ends a run.
#pragma once

#include <cstddef>
#include <string_view>

namespace orvantis::text {

// The engine trims spaces only, as its rule says. orvantis-calc and the
// settings file also drop tabs and the CR a Windows line end leaves behind.
inline constexpr std::string_view kSpaces = " ";
inline constexpr std::string_view kBlanks = " \t\r";

// `s` without the characters of `blanks` at either end.
constexpr std::string_view Trim(std::string_view s, std::string_view blanks)
{
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

// A decimal digit's value; every other byte is worth 0.
constexpr int DigitValue(char c)
{
    const unsigned digit = static_cast<unsigned char>(c) - unsigned{'0'};
    return digit < 10 ? static_cast<int>(digit) : 0;
}

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The run of digits `s` begins with, at most `maxDigits` (up to 9) of them:
// its value and its length; {0, 0} when `s` does not begin with a digit.
struct DigitRun {
    int value = 0;
    std::size_t length = 0;
};

constexpr DigitRun LeadingDigits(std::string_view s, std::size_t maxDigits)
{
    DigitRun run;
    const std::size_t limit = maxDigits < s.size() ? maxDigits : s.size();
    for (; run.length < limit && IsDigit(s[run.length]); ++run.length)
        run.value = run.value * 10 + (s[run.length] - '0');
    return run;
}

// A field of `minDigits` to `maxDigits` digits and nothing else, as a whole
// number; -1 for anything else (empty, too long, a sign, a blank, a letter).
constexpr int DigitField(std::string_view s, std::size_t minDigits, std::size_t maxDigits)
{
    const DigitRun run = LeadingDigits(s, maxDigits);
    return run.length == s.size() && run.length >= minDigits ? run.value : -1;
}

} // namespace orvantis::text
