#include "reading.h"

#include "reports.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace orvantis::reading {
namespace {

using modDestiny::PersonalNumber;

constexpr bool kLittleEndian = std::endian::native == std::endian::little;

// The last two digits of 0-255 (every value a month or day field can hold),
// each pair as a 16-bit value that stores in text order.
constexpr std::array<std::uint16_t, 256> kTwoDigits = [] {
    std::array<std::uint16_t, 256> table{};
    for (unsigned value = 0; value < table.size(); ++value) {
        const unsigned tens = '0' + value % 100 / 10;
        const unsigned ones = '0' + value % 10;
        table[value] = static_cast<std::uint16_t>(kLittleEndian ? tens | ones << 8 : tens << 8 | ones);
    }
    return table;
}();

void putTwoDigits(char* out, unsigned field) { std::memcpy(out, &kTwoDigits[field], 2); }

// `width` characters, already in text order, placed at `offset` of a text
// held in a 64-bit value. EngineDate builds its text in a register this way
// and stores it whole: written character by character, the text would stall
// the copy its callers make at once (the processor cannot forward several
// narrow stores to one wide load), and `numbers` over the whole calendar
// range was a third slower for it.
constexpr std::uint64_t at(std::uint64_t chars, unsigned offset, unsigned width)
{
    return chars << 8 * (kLittleEndian ? offset : 8 - offset - width);
}

unsigned monthNumber(std::chrono::month month) { return static_cast<unsigned>(month); }

unsigned dayNumber(std::chrono::day day) { return static_cast<unsigned>(day); }

} // namespace

std::string_view MonthName(std::chrono::month month)
{
    return month.ok() ? kMonthNames[monthNumber(month) - 1] : std::string_view{};
}

DateText EngineDate(const Date& date)
{
    const auto year = static_cast<unsigned>(static_cast<int>(date.year()));
    const std::uint64_t head = at(kTwoDigits[monthNumber(date.month())], 0, 2) | at('/', 2, 1)
                               | at(kTwoDigits[dayNumber(date.day())], 3, 2) | at('/', 5, 1)
                               | at(kTwoDigits[year / 100 % 100], 6, 2);
    const std::uint16_t tail = kTwoDigits[year % 100];
    DateText text;
    std::memcpy(text.chars.data(), &head, sizeof head);
    std::memcpy(text.chars.data() + sizeof head, &tail, sizeof tail);
    return text;
}

DayText EngineDay(const Date& date)
{
    DayText text;
    putTwoDigits(text.chars.data(), dayNumber(date.day()));
    return text;
}

MonthDayText EngineMonthDay(std::chrono::month_day target)
{
    MonthDayText text;
    putTwoDigits(text.chars.data(), monthNumber(target.month()));
    text.chars[2] = '/';
    putTwoDigits(text.chars.data() + 3, dayNumber(target.day()));
    return text;
}

// The birth date reaches the engine as BirthDateText, "mm/dd/yyyy", and its
// day as BirthDayText, "dd"; without a date both are empty.

DestinyBirth DestinyAndBirthNumbers(const std::optional<Date>& birth)
{
    if (!birth)
        return {PersonalYear(birth), modDestiny::CalcBirthNumber({})};
    const DayText BirthDayText = EngineDay(*birth);
    return {PersonalYear(birth), modDestiny::CalcBirthNumber(BirthDayText.view())};
}

PersonalNumber PersonalYear(const std::optional<Date>& birth)
{
    if (!birth)
        return modDestiny::CalcDateNumber({});
    const DateText BirthDateText = EngineDate(*birth);
    return modDestiny::CalcDateNumber(BirthDateText.view());
}

PersonalNumber PersonalMonth(PersonalNumber personalYear, std::chrono::month month)
{
    return modDestiny::CalcPersonalMonth(personalYear,
                                         static_cast<PersonalNumber>(monthNumber(month)));
}

PersonalNumber PersonalDay(PersonalNumber personalYear, std::chrono::month_day target)
{
    return modDestiny::CalcPersonalDay(personalYear, EngineMonthDay(target).view());
}

void DestinyAndBirthReading(modDestiny::ReportArea& area, const std::optional<Date>& birth)
{
    const DestinyBirth numbers = DestinyAndBirthNumbers(birth);
    modDestiny::ShowDestinyAndBirth(area, numbers.destiny, numbers.birth);
}

void PersonalYearMonthReading(modDestiny::ReportArea& area, const std::optional<Date>& birth,
                              std::chrono::month month)
{
    const PersonalNumber year = PersonalYear(birth);
    modDestiny::ShowPersonalYearMonth(area, year, PersonalMonth(year, month));
}

void PersonalDayReading(modDestiny::ReportArea& area, const std::optional<Date>& birth,
                        std::chrono::month_day target)
{
    modDestiny::ShowPersonalDay(area, PersonalDay(PersonalYear(birth), target));
}

} // namespace orvantis::reading
