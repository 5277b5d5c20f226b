// Four securities of 16,000 daily bars matched to the chart's bars and rebased, as the
// extended chart does at each draw of a comparison: to a window of 800 bars and to a whole
// 16,000-bar history, daily and weekly (each compared security then gathered into weeks).

#include <benchmark/benchmark.h>

#include "compare.h"
#include "weekday_series.h"

namespace {

void BM_CompareFourSecurities(benchmark::State& state) {
  const int shown = static_cast<int>(state.range(0));
  const auto period = static_cast<plot::Period>(state.range(1));
  const plot::PlotSeries all = WeekdaySeries(16000);
  plot::PlotSeries window = all;
  window.Resize(shown);
  for (int i = 0; i < shown; ++i) {
    const auto k = static_cast<std::size_t>(i), from = static_cast<std::size_t>(16000 - shown + i);
    window.date[k] = all.date[from];
    window.close[k] = all.close[from];
  }
  const plot::PlotSeries base = plot::ToPeriod(window, period);
  std::vector<plot::PlotSeries> others;
  for (int j = 1; j <= 4; ++j) others.push_back(WeekdaySeries(16000, 13 * j));
  state.SetLabel(std::to_string(shown) + " bars " + plot::PeriodName(period));
  for (auto _ : state) {
    benchmark::DoNotOptimize(plot::PercentChange(
        std::vector<double>(base.close.begin(), base.close.end()), base.Count() / 2));
    for (const plot::PlotSeries& other : others) {
      const auto matched = period == plot::Period::Bars
                               ? plot::MatchCloses(base, other, period)
                               : plot::MatchCloses(base, plot::ToPeriod(other, period), period);
      benchmark::DoNotOptimize(plot::PercentChange(matched, base.Count() / 2));
    }
  }
}
BENCHMARK(BM_CompareFourSecurities)
    ->Args({800, static_cast<int>(plot::Period::Bars)})
    ->Args({16000, static_cast<int>(plot::Period::Bars)})
    ->Args({16000, static_cast<int>(plot::Period::Weekly)})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
