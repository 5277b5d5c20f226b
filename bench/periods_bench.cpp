// Weekly and monthly bars from 16,000 daily ones (the most a read gives), as the chart and
// quotedump gather them for one security.

#include <benchmark/benchmark.h>

#include "periods.h"
#include "values.h"

namespace {

plot::PlotSeries Weekdays(int n) {
  plot::PlotSeries s;
  s.hasTime = s.hasOpen = s.hasHigh = s.hasLow = s.hasVolume = s.hasOpenInterest = true;
  std::int16_t date = DayNumber(1965, 1, 4);
  for (int i = 0; i < n; ++i, ++date) {
    while (date % 7 == 0 || date % 7 == 1) ++date;  // day 1 was a Sunday
    const auto price = static_cast<float>(50 + (i % 97) * 0.1);
    s.date.push_back(date);
    s.time.push_back(0);
    s.open.push_back(price);
    s.high.push_back(price + 1);
    s.low.push_back(price - 1);
    s.close.push_back(price + 0.5f);
    s.volume.push_back(static_cast<float>(1000 + i));
    s.openInterest.push_back(0);
  }
  return s;
}

void BM_PeriodsFrom16000DailyBars(benchmark::State& state) {
  const plot::PlotSeries daily = Weekdays(16000);
  const auto period = static_cast<plot::Period>(state.range(0));
  state.SetLabel(plot::PeriodName(period));
  for (auto _ : state) benchmark::DoNotOptimize(plot::ToPeriod(daily, period));
}
BENCHMARK(BM_PeriodsFrom16000DailyBars)
    ->Arg(static_cast<int>(plot::Period::Weekly))
    ->Arg(static_cast<int>(plot::Period::Monthly))
    ->Unit(benchmark::kMicrosecond);

}  // namespace
