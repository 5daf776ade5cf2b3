#include "engine/numbers.h"
#include "reports/reports.h"

#include <cstdio>

int main()
{
    modDestiny::StringReportArea area;
    modDestiny::ShowDestinyAndBirth(area, modDestiny::CalcDateNumber("03/05/1970"),
                                    modDestiny::CalcBirthNumber("05"));
    std::fputs(area.Text().c_str(), stdout);
    return 0;
}
