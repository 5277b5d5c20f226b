#pragma once
// The moving averages the extended chart draws over the closes: defined only from the bar
// where a whole window of closes lies behind them (not-a-number before), so a line never
// starts out of zero, and warmed by the bars the series holds before the screen.

#include <span>
#include <vector>

namespace plot {

enum class AverageKind { Simple, Exponential };

// SMA(n): the mean of the last n values, from index n - 1. EMA(n): alpha = 2 / (n + 1),
// starting at index n - 1 with the mean of the first n values. Non-finite values poison
// only the windows that hold them. n < 1 gives all not-a-number.
std::vector<double> MovingAverage(std::span<const double> values, int n, AverageKind kind);

}  // namespace plot
