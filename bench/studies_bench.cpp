// The studies over a 16,000-bar history (the most a read gives), each alone and all six
// together at their usual parameters, as the chart computes them for one security.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "study_config.h"

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

constexpr std::array kStudyTexts = {"sma:20", "ema:20", "rsi", "macd", "bollinger", "stochastic"};

void BM_Study16000Bars(benchmark::State& state) {
  const History history;
  const auto config =
      *studies::ParseStudyConfig(kStudyTexts[static_cast<std::size_t>(state.range(0))]);
  state.SetLabel(studies::StudyLabel(config));
  for (auto _ : state) benchmark::DoNotOptimize(studies::ComputeStudy(config, history.Columns()));
}
BENCHMARK(BM_Study16000Bars)->DenseRange(0, kStudyTexts.size() - 1)->Unit(benchmark::kMicrosecond);

void BM_AllSixStudies16000Bars(benchmark::State& state) {
  const History history;
  std::vector<studies::StudyConfig> configs;
  for (const char* text : kStudyTexts) configs.push_back(*studies::ParseStudyConfig(text));
  for (auto _ : state)
    for (const auto& config : configs)
      benchmark::DoNotOptimize(studies::ComputeStudy(config, history.Columns()));
}
BENCHMARK(BM_AllSixStudies16000Bars)->Unit(benchmark::kMicrosecond);

}  // namespace
