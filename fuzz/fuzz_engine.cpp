// Fuzzes the four number operations with arbitrary text and 16-bit numbers.
//
// Input layout: bytes 0-1 and 2-3 are two int16 values (little endian, zero
// when the input is shorter), the rest is the date text handed to every
// text-taking operation. Checked for every input:
//   - the documented result ranges that hold for any text at all;
//   - blanks around the text change nothing;
//   - the result equals a small reference written here from the documented
//     rule (for the text operations whenever the text is well-formed UTF-8,
//     for CalcPersonalMonth always).
// Any disagreement aborts, which libFuzzer reports as a crash with the input.

#include "fuzz_input.h"
#include "engine/numbers.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using modDestiny::PersonalNumber;

[[noreturn]] void fail(const char* what, long long got, long long want)
{
    std::fprintf(stderr, "fuzz_engine: %s: got %lld, expected %lld\n", what, got, want);
    std::abort();
}

void expectEqual(const char* what, long long got, long long want)
{
    if (got != want)
        fail(what, got, want);
}

// ---- reference -------------------------------------------------------------
// Written the way the rule reads, on the decimal text of the value, so it
// shares no arithmetic shortcuts with the engine.

long long saturate16(long long v)
{
    constexpr long long lo = std::numeric_limits<PersonalNumber>::min();
    constexpr long long hi = std::numeric_limits<PersonalNumber>::max();
    return v < lo ? lo : v > hi ? hi : v;
}

long long referenceReduce(long long firstSum, bool masterTest)
{
    long long value = saturate16(firstSum);
    if (masterTest && (value == 11 || value == 22))
        return value;
    for (;;) {
        std::string digits = std::to_string(value);
        if (!digits.empty() && digits.front() == '-')
            digits.erase(0, 1);
        if (digits.size() != 2)
            return value;
        value = (digits[0] - '0') + (digits[1] - '0');
    }
}

// One position of a text: the bytes of one UTF-8 sequence. A position is a
// digit only when it is a single ASCII digit byte.
struct Position {
    std::string_view bytes;
    bool isDigit() const { return bytes.size() == 1 && bytes[0] >= '0' && bytes[0] <= '9'; }
    int value() const { return isDigit() ? bytes[0] - '0' : 0; }
};

// Splits well-formed UTF-8 (by structure: lead byte, then the right number of
// continuation bytes) into positions; nullopt for anything else, where only
// the range checks apply.
std::optional<std::vector<Position>> positionsOf(std::string_view text)
{
    std::vector<Position> out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t len = 0;
        if (lead < 0x80)
            len = 1;
        else if ((lead & 0xE0) == 0xC0)
            len = 2;
        else if ((lead & 0xF0) == 0xE0)
            len = 3;
        else if ((lead & 0xF8) == 0xF0)
            len = 4;
        else
            return std::nullopt;
        if (i + len > text.size())
            return std::nullopt;
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return std::nullopt;
        out.push_back({text.substr(i, len)});
        i += len;
    }
    return out;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

Position at(const std::vector<Position>& p, std::size_t oneBased)
{
    return oneBased <= p.size() ? p[oneBased - 1] : Position{};
}

long long referenceDateNumber(const std::vector<Position>& p)
{
    long long sum = 0;
    for (std::size_t pos = 1; pos <= 10; ++pos)
        sum += at(p, pos).value();
    return referenceReduce(sum, true);
}

long long referenceBirthNumber(const std::vector<Position>& p)
{
    return referenceReduce(at(p, 1).value() + at(p, 2).value(), false);
}

long long wholeNumber(Position first, Position second)
{
    if (!first.isDigit())
        return 0;
    return second.isDigit() ? first.value() * 10 + second.value() : first.value();
}

long long referencePersonalDay(long long year, const std::vector<Position>& p)
{
    return referenceReduce(year + wholeNumber(at(p, 1), at(p, 2)) + wholeNumber(at(p, 4), at(p, 5)),
                           true);
}

// ---- checks ----------------------------------------------------------------

bool isPersonalNumber(long long v) // what any date text can yield
{
    return (v >= 0 && v <= 9) || v == 11 || v == 22;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const PersonalNumber a = readInt16(data, size, 0);
    const PersonalNumber b = readInt16(data, size, 2);
    const std::string_view text = size > 4
        ? std::string_view(reinterpret_cast<const char*>(data) + 4, size - 4)
        : std::string_view();
    const std::string padded = "  " + std::string(text) + "   ";

    // Ten positions of at most 9 make a first sum of 0..90, which always ends
    // in one digit or a master number; two positions make 0..18, no masters.
    const PersonalNumber date = modDestiny::CalcDateNumber(text);
    if (!isPersonalNumber(date))
        fail("CalcDateNumber out of range", date, 0);
    const PersonalNumber birth = modDestiny::CalcBirthNumber(text);
    if (birth < 0 || birth > 9)
        fail("CalcBirthNumber out of range", birth, 0);
    const PersonalNumber day = modDestiny::CalcPersonalDay(a, text);
    const PersonalNumber month = modDestiny::CalcPersonalMonth(a, b);

    // The window passes CalcDateNumber's result on as the Personal Year; that
    // path gets the in-range years far more often than raw int16 values do.
    const PersonalNumber dayFromDate = modDestiny::CalcPersonalDay(date, text);

    expectEqual("CalcDateNumber ignores surrounding blanks",
                modDestiny::CalcDateNumber(padded), date);
    expectEqual("CalcBirthNumber ignores surrounding blanks",
                modDestiny::CalcBirthNumber(padded), birth);
    expectEqual("CalcPersonalDay ignores surrounding blanks",
                modDestiny::CalcPersonalDay(a, padded), day);

    expectEqual("CalcPersonalMonth vs reference", month,
                referenceReduce(static_cast<long long>(a) + b, true));

    if (const auto positions = positionsOf(trimmed(text))) {
        expectEqual("CalcDateNumber vs reference", date, referenceDateNumber(*positions));
        expectEqual("CalcBirthNumber vs reference", birth, referenceBirthNumber(*positions));
        expectEqual("CalcPersonalDay vs reference", day, referencePersonalDay(a, *positions));
        expectEqual("CalcPersonalDay (year from date) vs reference", dayFromDate,
                    referencePersonalDay(date, *positions));
    }
    return 0;
}
