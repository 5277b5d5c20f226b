// Simple moving average over a single-precision running sum, so the averages carry the
// rounding a float sum accumulates, bar after bar.

#include <cstdint>

#include "bars.h"

void ComputeMovingAverage(const SeriesColumn<float>& source, const SeriesColumn<float>& target,
                          std::int16_t length, std::int16_t start) {
  if (target.storage == nullptr || start < 0) return;
  const int n = length;
  int i = start;
  if (n < 1) {
    // No window to average over: every entry from start is "no average yet".
    for (; i < target.count; ++i) target[i] = 0.0f;
    return;
  }
  float sum = 0.0f;
  // Warm-up: the first n-1 entries have no average. Positions past the source's bars (a
  // series shorter than the window) count as 0 rather than whatever the storage held.
  while (i < start + n && i < target.count) {
    if (i < source.count) sum += source[i];
    target[i] = 0.0f;
    ++i;
  }
  if (i == start + n) target[i - 1] = sum / static_cast<float>(n);
  while (i < source.count && i < target.count) {
    sum = sum + source[i] - source[i - n];
    target[i] = sum / static_cast<float>(n);
    ++i;
  }
}
