// What the month grid costs when it shows old dates, rokuyo and holidays: a year of days.

#include <benchmark/benchmark.h>

#include "calendar/HolidayList.h"
#include "calendar/LunisolarYear.h"
#include "calendar/QReki.h"
#include "storage/DayNumber.h"

namespace {

void CalculateEveryDayOfAYear(benchmark::State& state) {
    TKyureki kyureki;
    const int32_t first = EncodeDate(2025, 1, 1);
    const int32_t last = EncodeDate(2025, 12, 31);
    for (auto _ : state) {
        for (int32_t day = first; day <= last; ++day) {
            kyureki.Calculate(day);
            benchmark::DoNotOptimize(kyureki.Day());
        }
    }
    state.SetItemsProcessed(state.iterations() * (last - first + 1));
}
BENCHMARK(CalculateEveryDayOfAYear)->Unit(benchmark::kMillisecond);

// The same with nothing reckoned before: the two years of lunations and terms that a Gregorian
// year touches are worked out within each iteration.
void CalculateEveryDayOfAYearFromNothing(benchmark::State& state) {
    const int32_t first = EncodeDate(2025, 1, 1);
    const int32_t last = EncodeDate(2025, 12, 31);
    for (auto _ : state) {
        TKyureki kyureki;
        for (int32_t day = first; day <= last; ++day) {
            kyureki.Calculate(day);
            benchmark::DoNotOptimize(kyureki.Day());
        }
    }
    state.SetItemsProcessed(state.iterations() * (last - first + 1));
}
BENCHMARK(CalculateEveryDayOfAYearFromNothing)->Unit(benchmark::kMillisecond);

// One year of months and terms from winter solstice to winter solstice.
void ReckonLunisolarYear(benchmark::State& state) {
    for (auto _ : state) {
        TLunisolarYear year(2033);
        benchmark::DoNotOptimize(year.EndDay());
    }
}
BENCHMARK(ReckonLunisolarYear)->Unit(benchmark::kMicrosecond);

void DayTextEveryDayOfAYear(benchmark::State& state) {
    THolidayList list;
    list.LoadFromFile(VELMORA_SHIPPED_HOLIDAYS);
    const int32_t first = EncodeDate(2025, 1, 1);
    const int32_t last = EncodeDate(2025, 12, 31);
    for (auto _ : state) {
        for (int32_t day = first; day <= last; ++day) {
            benchmark::DoNotOptimize(list.DayText(day));
        }
    }
    state.SetItemsProcessed(state.iterations() * (last - first + 1));
}
BENCHMARK(DayTextEveryDayOfAYear)->Unit(benchmark::kMillisecond);

void LoadShippedHolidayFile(benchmark::State& state) {
    THolidayList list;
    for (auto _ : state) {
        list.LoadFromFile(VELMORA_SHIPPED_HOLIDAYS);
        benchmark::DoNotOptimize(list.Count());
    }
}
BENCHMARK(LoadShippedHolidayFile)->Unit(benchmark::kMicrosecond);

}  // namespace
