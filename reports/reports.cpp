#include "reports.h"

#include "catalogues.h"

#include <string>

namespace modDestiny {
namespace {

// One addition to the area: `breaksBefore` line breaks, `text` as a block of
// `kind`, `breaksAfter` line breaks. The area's text is read whole and set to
// that text plus the addition; then the block is marked in it.
void add(ReportArea& area, int breaksBefore, BlockKind kind, std::string_view text, int breaksAfter)
{
    std::string whole = area.Text();
    for (int i = 0; i < breaksBefore; ++i)
        whole.append(kCrLf);
    const std::size_t begin = whole.size();
    whole.append(text);
    const std::size_t end = whole.size();
    for (int i = 0; i < breaksAfter; ++i)
        whole.append(kCrLf);
    area.SetText(std::move(whole));
    if (end > begin)
        area.MarkBlock({kind, begin, end});
}

// An addition of line breaks alone, with nothing to mark.
void lineBreaks(ReportArea& area, int count) { add(area, 0, BlockKind::Paragraph, {}, count); }

// A heading line: its label and the number, in plain decimal digits.
std::string heading(std::string_view label, PersonalNumber number)
{
    return std::string(label) + std::to_string(number);
}

} // namespace

void ShowDestinyAndBirth(ReportArea& area, PersonalNumber destiny, PersonalNumber birth)
{
    // No space after either colon, unlike the Personal Year/Month headings.
    add(area, 1, BlockKind::Heading, heading("Destiny Number:", destiny), 2);
    if (const auto text = catalogue::destiny(destiny)) {
        add(area, 0, BlockKind::Paragraph, *text, 0);
        lineBreaks(area, 2);
    }
    add(area, 1, BlockKind::Heading, heading("Birth Number:", birth), 2);
    if (const auto text = catalogue::birth(birth))
        add(area, 0, BlockKind::Paragraph, *text, 0); // the report ends on its full stop
}

void ShowPersonalCycle(ReportArea& area, PersonalNumber cycleNumber)
{
    const catalogue::CycleEntry* entry = catalogue::cycle(cycleNumber);
    if (!entry)
        return;
    add(area, 0, BlockKind::Keywords, entry->keywords, 2);
    add(area, 0, BlockKind::Paragraph, entry->text, 0);
    lineBreaks(area, cycleNumber == 22 ? 1 : 2);
}

void ShowPersonalYearMonth(ReportArea& area, PersonalNumber personalYear,
                           PersonalNumber personalMonth)
{
    if (personalYear == personalMonth) {
        add(area, 1, BlockKind::Heading,
            heading("You have the same Personal Year and Month number: ", personalYear), 1);
        ShowPersonalCycle(area, personalYear);
        return;
    }
    add(area, 1, BlockKind::Heading, heading("Personal Year: ", personalYear), 1);
    ShowPersonalCycle(area, personalYear);
    add(area, 1, BlockKind::Heading, heading("Personal Month: ", personalMonth), 1);
    ShowPersonalCycle(area, personalMonth);
}

void ShowPersonalDay(ReportArea& area, PersonalNumber personalDay)
{
    if (const auto text = catalogue::day(personalDay))
        add(area, 0, BlockKind::Paragraph, *text, 0);
}

} // namespace modDestiny
