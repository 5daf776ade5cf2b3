// The engine and the report builders at the sizes that matter: every date the
// calendars offer, and the longest report each builder can produce. The
// catalogue texts change, so the longest entries are picked when the
// benchmark runs rather than named here.
#include "cli/date_parse.h"
#include "engine/numbers.h"
#include "reports/catalogues.h"
#include "reports/reading.h"
#include "reports/reports.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

namespace {

using namespace modDestiny;
namespace reading = orvantis::reading;
using reading::DateText;

// 1753-01-01 to 9999-12-31: 3,012,154 dates as the window writes them.
const std::vector<DateText>& allDateTexts()
{
    static const std::vector<DateText> texts = [] {
        std::vector<DateText> v;
        v.reserve(3'012'154);
        const std::chrono::sys_days last{reading::kLastDate};
        for (std::chrono::sys_days d{reading::kFirstDate}; d <= last; d += std::chrono::days{1})
            v.push_back(reading::EngineDate(std::chrono::year_month_day{d}));
        return v;
    }();
    return texts;
}

// The same dates as a user types them ("YYYY-MM-DD"), for the parser.
const std::vector<std::array<char, 10>>& allIsoTexts()
{
    static const std::vector<std::array<char, 10>> texts = [] {
        std::vector<std::array<char, 10>> v;
        v.reserve(allDateTexts().size());
        for (const DateText& date : allDateTexts()) {
            const auto& t = date.chars;
            v.push_back({t[6], t[7], t[8], t[9], '-', t[0], t[1], '-', t[3], t[4]});
        }
        return v;
    }();
    return texts;
}

void BM_EngineAllDates(benchmark::State& state)
{
    const auto& dates = allDateTexts();
    for (auto _ : state) {
        int sum = 0;
        for (const DateText& t : dates) {
            sum += CalcDateNumber(t.view());
            sum += CalcBirthNumber(t.view().substr(3, 2));
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(dates.size()));
}
BENCHMARK(BM_EngineAllDates)->Unit(benchmark::kMillisecond);

void BM_ParseAllDates(benchmark::State& state)
{
    const auto& texts = allIsoTexts();
    for (auto _ : state) {
        int valid = 0;
        for (const auto& t : texts)
            valid += orvantis::cli::parseDate({t.data(), t.size()}).has_value();
        benchmark::DoNotOptimize(valid);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}
BENCHMARK(BM_ParseAllDates)->Unit(benchmark::kMillisecond);

template <typename Table, typename Size>
std::vector<PersonalNumber> longestFirst(const Table& table, Size size)
{
    std::vector<PersonalNumber> numbers;
    for (const auto& e : table)
        numbers.push_back(e.number);
    std::stable_sort(numbers.begin(), numbers.end(), [&](PersonalNumber a, PersonalNumber b) {
        return size(a) > size(b);
    });
    return numbers;
}

template <typename Build>
void runBuilder(benchmark::State& state, Build build)
{
    std::size_t bytes = 0;
    for (auto _ : state) {
        StringReportArea area; // the window empties the area before each report
        build(area);
        bytes = area.Text().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
    state.counters["report_bytes"] = static_cast<double>(bytes);
}

void BM_ShowDestinyAndBirth(benchmark::State& state)
{
    const PersonalNumber destiny = longestFirst(catalogue::kDestiny, [](PersonalNumber n) {
        return catalogue::destiny(n)->size();
    }).front();
    const PersonalNumber birth = longestFirst(catalogue::kBirth, [](PersonalNumber n) {
        return catalogue::birth(n)->size();
    }).front();
    runBuilder(state, [&](ReportArea& a) { ShowDestinyAndBirth(a, destiny, birth); });
}
BENCHMARK(BM_ShowDestinyAndBirth);

void BM_ShowPersonalYearMonth(benchmark::State& state)
{
    // Two different numbers give two sections: the longest report there is.
    const auto cycles = longestFirst(catalogue::kCycle, [](PersonalNumber n) {
        const catalogue::CycleEntry* e = catalogue::cycle(n);
        return e->keywords.size() + e->text.size();
    });
    runBuilder(state, [&](ReportArea& a) { ShowPersonalYearMonth(a, cycles[0], cycles[1]); });
}
BENCHMARK(BM_ShowPersonalYearMonth);

void BM_ShowPersonalDay(benchmark::State& state)
{
    const PersonalNumber day = longestFirst(catalogue::kDay, [](PersonalNumber n) {
        return catalogue::day(n)->size();
    }).front();
    runBuilder(state, [&](ReportArea& a) { ShowPersonalDay(a, day); });
}
BENCHMARK(BM_ShowPersonalDay);

} // namespace
