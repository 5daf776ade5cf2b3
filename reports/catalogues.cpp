#include "catalogues.h"

#include <algorithm>

namespace modDestiny::catalogue {
namespace {

template <typename Table>
auto find(const Table& table, std::int16_t number) -> decltype(&table[0])
{
    const auto it = std::find_if(table.begin(), table.end(),
                                 [number](const auto& e) { return e.number == number; });
    return it == table.end() ? nullptr : &*it;
}

template <typename Table>
std::optional<std::string_view> textOf(const Table& table, std::int16_t number)
{
    if (const auto* e = find(table, number))
        return e->text;
    return std::nullopt;
}

} // namespace

std::optional<std::string_view> destiny(std::int16_t number) { return textOf(kDestiny, number); }
std::optional<std::string_view> birth(std::int16_t number) { return textOf(kBirth, number); }
const CycleEntry* cycle(std::int16_t number) { return find(kCycle, number); }
std::optional<std::string_view> day(std::int16_t number) { return textOf(kDay, number); }

} // namespace modDestiny::catalogue
