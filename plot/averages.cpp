#include "averages.h"

#include "studies.h"

namespace plot {

// The studies' own averages, so that the chart's lines and the studies' numbers agree on
// every bar.
std::vector<double> MovingAverage(std::span<const double> values, int n, AverageKind kind) {
  return kind == AverageKind::Simple ? studies::Sma(values, n) : studies::Ema(values, n);
}

}  // namespace plot
