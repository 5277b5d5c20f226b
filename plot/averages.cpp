#include "averages.h"

#include <cmath>
#include <limits>

namespace plot {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Each window summed afresh where a running sum would carry a bad value on for ever; the
// windows are short (at most 50 bars) and the series at most 800.
double WindowMean(std::span<const double> values, std::size_t end, int n) {
  double sum = 0;
  for (std::size_t k = end + 1 - static_cast<std::size_t>(n); k <= end; ++k) sum += values[k];
  return sum / n;
}

}  // namespace

std::vector<double> MovingAverage(std::span<const double> values, int n, AverageKind kind) {
  std::vector<double> out(values.size(), kNaN);
  if (n < 1 || values.size() < static_cast<std::size_t>(n)) return out;
  const auto start = static_cast<std::size_t>(n - 1);
  if (kind == AverageKind::Simple) {
    for (std::size_t i = start; i < values.size(); ++i) out[i] = WindowMean(values, i, n);
    return out;
  }
  const double alpha = 2.0 / (n + 1);
  double e = WindowMean(values, start, n);
  out[start] = e;
  for (std::size_t i = start + 1; i < values.size(); ++i) {
    // A bad value restarts the average from the next whole window after it.
    if (!std::isfinite(e)) {
      if (i >= start + static_cast<std::size_t>(n)) e = WindowMean(values, i, n);
    } else {
      e = alpha * values[i] + (1 - alpha) * e;
    }
    out[i] = std::isfinite(e) ? e : kNaN;
  }
  return out;
}

}  // namespace plot
