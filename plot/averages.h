#pragma once
// The moving averages the extended chart draws over the closes: defined only from the bar
// where a whole window of closes lies behind them (not-a-number before), so a line never
// starts out of zero, and warmed by the bars the series holds before the screen.

#include <span>
#include <vector>

namespace plot {

enum class AverageKind { Simple, Exponential };

// The longest average the chart menu offers: a 200-day line and more than twice it.
inline constexpr int kMaxAverageLength = 500;

struct PlotAverage {
  AverageKind kind = AverageKind::Simple;
  int length = 0;
  friend bool operator==(const PlotAverage&, const PlotAverage&) = default;
};

// studies::Sma or studies::Ema of the values: defined from index n - 1; a value that is not a
// finite number spoils the simple average's windows that hold it and the exponential average
// from there on. n < 1 gives all not-a-number.
std::vector<double> MovingAverage(std::span<const double> values, int n, AverageKind kind);

}  // namespace plot
