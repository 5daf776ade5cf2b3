// The interpretive texts the reports quote. Each entry is one paragraph of
// ASCII prose with no line break, keyed by the personal number it describes.
// The builders find an entry by exact match only: a number without an entry
// (0, 10, 12..21, ...) simply has no paragraph.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace modDestiny::catalogue {

struct Entry {
    std::int16_t number;
    std::string_view text;
};

struct CycleEntry {
    std::int16_t number;
    std::string_view keywords; // "Keywords: A, B, C"
    std::string_view text;
};

extern const std::array<Entry, 11> kDestiny;      // 1-9, 11, 22
extern const std::array<Entry, 9> kBirth;         // 1-9
extern const std::array<CycleEntry, 11> kCycle;   // 1-9, 11, 22 (Personal Year and Month)
extern const std::array<Entry, 11> kDay;          // 1-9, 11, 22

std::optional<std::string_view> destiny(std::int16_t number);
std::optional<std::string_view> birth(std::int16_t number);
const CycleEntry* cycle(std::int16_t number);
std::optional<std::string_view> day(std::int16_t number);

} // namespace modDestiny::catalogue
