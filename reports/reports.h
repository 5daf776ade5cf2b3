// Report builders. Each appends its report to a ReportArea: it reads the whole
// text and sets it to that text followed by the addition, once per addition,
// and never clears or edits what was there; then it marks the heading,
// keywords line or paragraph the addition holds. Line breaks are CR LF.
#pragma once

#include "engine/numbers.h"
#include "report_area.h"

namespace modDestiny {

inline constexpr std::string_view kCrLf = "\r\n";

// Mode 1: "Destiny Number:" and "Birth Number:" sections.
void ShowDestinyAndBirth(ReportArea& area, PersonalNumber destiny, PersonalNumber birth);

// Mode 2: "Personal Year: " and "Personal Month: " sections, or one combined
// section when the two numbers are equal.
void ShowPersonalYearMonth(ReportArea& area, PersonalNumber personalYear,
                           PersonalNumber personalMonth);

// Keywords line and paragraph of one Personal Year/Month number; nothing for a
// number without an entry. Used by ShowPersonalYearMonth.
void ShowPersonalCycle(ReportArea& area, PersonalNumber cycleNumber);

// Mode 3: the day's paragraph alone, no heading.
void ShowPersonalDay(ReportArea& area, PersonalNumber personalDay);

} // namespace modDestiny
