#include "reports.h"

#include "catalogues.h"

#include <string>

namespace modDestiny {
namespace {

void append(ReportArea& area, std::string_view addition)
{
    std::string text = area.Text();
    text.append(addition);
    area.SetText(std::move(text));
}

std::string heading(std::string_view label, PersonalNumber number)
{
    std::string s(kCrLf);
    s.append(label);
    s.append(std::to_string(number));
    return s;
}

} // namespace

void ShowDestinyAndBirth(ReportArea& area, PersonalNumber destiny, PersonalNumber birth)
{
    // No space after either colon, unlike the Personal Year/Month headings.
    append(area, heading("Destiny Number:", destiny) + "\r\n\r\n");
    if (const auto text = catalogue::destiny(destiny)) {
        append(area, *text);
        append(area, "\r\n\r\n");
    }
    append(area, heading("Birth Number:", birth) + "\r\n\r\n");
    if (const auto text = catalogue::birth(birth))
        append(area, *text); // the report ends on the paragraph's full stop
}

void ShowPersonalCycle(ReportArea& area, PersonalNumber cycleNumber)
{
    const catalogue::CycleEntry* entry = catalogue::cycle(cycleNumber);
    if (!entry)
        return;
    append(area, std::string(entry->keywords) + "\r\n\r\n");
    append(area, entry->text);
    append(area, cycleNumber == 22 ? "\r\n" : "\r\n\r\n");
}

void ShowPersonalYearMonth(ReportArea& area, PersonalNumber personalYear,
                           PersonalNumber personalMonth)
{
    if (personalYear == personalMonth) {
        append(area, heading("You have the same Personal Year and Month number: ", personalYear)
                         + "\r\n");
        ShowPersonalCycle(area, personalYear);
        return;
    }
    append(area, heading("Personal Year: ", personalYear) + "\r\n");
    ShowPersonalCycle(area, personalYear);
    append(area, heading("Personal Month: ", personalMonth) + "\r\n");
    ShowPersonalCycle(area, personalMonth);
}

void ShowPersonalDay(ReportArea& area, PersonalNumber personalDay)
{
    if (const auto text = catalogue::day(personalDay))
        append(area, *text);
}

} // namespace modDestiny
