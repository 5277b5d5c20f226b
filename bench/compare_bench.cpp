// Four securities of 16,000 daily bars matched to the chart's bars and rebased, as the
// extended chart does at each draw of a comparison: to a window of 800 bars and to a whole
// 16,000-bar history, daily and weekly (each compared security then gathered into weeks).

#include <benchmark/benchmark.h>

#include "compare.h"
#include "values.h"

namespace {

plot::PlotSeries Weekdays(int n, int offset) {
  plot::PlotSeries s;
  s.Resize(n);
  std::int16_t date = DayNumber(1965, 1, 4);
  for (int i = 0; i < n; ++i, ++date) {
    while (date % 7 == 0 || date % 7 == 1) ++date;  // day 1 was a Sunday
    const auto k = static_cast<std::size_t>(i);
    s.date[k] = date;
    s.close[k] = static_cast<float>(50 + ((i + offset) % 97) * 0.1);
  }
  return s;
}

void BM_CompareFourSecurities(benchmark::State& state) {
  const int shown = static_cast<int>(state.range(0));
  const auto period = static_cast<plot::Period>(state.range(1));
  const plot::PlotSeries all = Weekdays(16000, 0);
  plot::PlotSeries window = all;
  window.Resize(shown);
  for (int i = 0; i < shown; ++i) {
    const auto k = static_cast<std::size_t>(i), from = static_cast<std::size_t>(16000 - shown + i);
    window.date[k] = all.date[from];
    window.close[k] = all.close[from];
  }
  const plot::PlotSeries base = plot::ToPeriod(window, period);
  std::vector<plot::PlotSeries> others;
  for (int j = 1; j <= 4; ++j) others.push_back(Weekdays(16000, 13 * j));
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
