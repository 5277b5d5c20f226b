// The studies over a 16,000-bar history (the most a read gives), each alone and all six
// together at their usual parameters, as the chart computes them for one security.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "study_spec.h"

namespace {

constexpr std::size_t kBars = 16000;

// A random walk of daily bars around 50, fixed by its seed.
struct History {
  std::vector<double> high, low, close;
  History() {
    std::mt19937 random(20261208);
    std::normal_distribution<double> step(0.0, 0.5);
    double price = 50.0;
    for (std::size_t i = 0; i < kBars; ++i) {
      price = std::max(1.0, price + step(random));
      close.push_back(price);
      high.push_back(price + std::abs(step(random)));
      low.push_back(price - std::abs(step(random)));
    }
  }
  studies::PriceColumns Columns() const { return {high, low, close}; }
};

constexpr std::array kSpecs = {"sma:20", "ema:20", "rsi", "macd", "bollinger", "stochastic"};

void BM_Study16000Bars(benchmark::State& state) {
  const History history;
  const auto spec = *studies::ParseStudySpec(kSpecs[static_cast<std::size_t>(state.range(0))]);
  state.SetLabel(studies::StudyLabel(spec));
  for (auto _ : state) benchmark::DoNotOptimize(studies::ComputeStudy(spec, history.Columns()));
}
BENCHMARK(BM_Study16000Bars)->DenseRange(0, kSpecs.size() - 1)->Unit(benchmark::kMicrosecond);

void BM_AllSixStudies16000Bars(benchmark::State& state) {
  const History history;
  std::vector<studies::StudySpec> specs;
  for (const char* text : kSpecs) specs.push_back(*studies::ParseStudySpec(text));
  for (auto _ : state)
    for (const auto& spec : specs)
      benchmark::DoNotOptimize(studies::ComputeStudy(spec, history.Columns()));
}
BENCHMARK(BM_AllSixStudies16000Bars)->Unit(benchmark::kMicrosecond);

}  // namespace
