// Weekly and monthly bars from 16,000 daily ones (the most a read gives), as the chart and
// quotedump gather them for one security.

#include <benchmark/benchmark.h>

#include "periods.h"
#include "weekday_series.h"

namespace {

void BM_PeriodsFrom16000DailyBars(benchmark::State& state) {
  const plot::PlotSeries daily = WeekdaySeries(16000);
  const auto period = static_cast<plot::Period>(state.range(0));
  state.SetLabel(plot::PeriodName(period));
  for (auto _ : state) benchmark::DoNotOptimize(plot::ToPeriod(daily, period));
}
BENCHMARK(BM_PeriodsFrom16000DailyBars)
    ->Arg(static_cast<int>(plot::Period::Weekly))
    ->Arg(static_cast<int>(plot::Period::Monthly))
    ->Unit(benchmark::kMicrosecond);

}  // namespace
