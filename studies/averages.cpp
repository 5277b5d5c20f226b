// Averages of a series and the MACD, which is made of them.
#include <algorithm>
#include <cmath>
#include <cstddef>

#include "studies.h"
#include "window_sum.h"

namespace studies {

namespace {

// An exponential average fed one value at a time: NaN until it has seen n values, then the
// mean of those, then the smoothed value. Every later value depends on each one before, so
// from a value that is not a finite number on (or a sum that overflows) it is NaN for good:
// an infinity would otherwise carry on as an infinite average.
class ExponentialAverage {
 public:
  explicit ExponentialAverage(int n)
      : m_length(static_cast<std::size_t>(n)), m_alpha(2.0 / (static_cast<double>(n) + 1.0)) {}
  double Add(double value) {
    if (!std::isfinite(value)) m_broken = true;
    if (m_broken) return kUndefined;
    if (m_seen < m_length) {
      m_seed.Add(value);
      if (++m_seen < m_length) return kUndefined;
      m_average = m_seed.Mean(m_length);
    } else {
      m_average = m_alpha * value + (1.0 - m_alpha) * m_average;
    }
    if (!std::isfinite(m_average)) m_broken = true;
    return m_broken ? kUndefined : m_average;
  }

 private:
  std::size_t m_length;
  double m_alpha;
  std::size_t m_seen = 0;
  WindowSum m_seed;
  double m_average = kUndefined;
  bool m_broken = false;
};

}  // namespace

Series Sma(std::span<const double> values, int n) {
  Series out(values.size(), kUndefined);
  if (n < 1) return out;
  const auto length = static_cast<std::size_t>(n);
  WindowSum sum;
  for (std::size_t i = 0; i < values.size(); ++i) {
    sum.Add(values[i]);
    if (i >= length) sum.Remove(values[i - length]);
    if (i + 1 >= length) out[i] = sum.Mean(length);
  }
  return out;
}

Series Ema(std::span<const double> values, int n) {
  Series out(values.size(), kUndefined);
  if (n < 1) return out;
  ExponentialAverage average(n);
  for (std::size_t i = 0; i < values.size(); ++i) out[i] = average.Add(values[i]);
  return out;
}

MacdLines Macd(std::span<const double> close, int fast, int slow, int signal) {
  const std::size_t bars = close.size();
  MacdLines lines{Series(bars, kUndefined), Series(bars, kUndefined), Series(bars, kUndefined)};
  if (fast < 1 || slow < 1 || signal < 1) return lines;
  // The signal line averages the MACD values only, so it starts where they start: at the
  // longer average's first value.
  const auto first = static_cast<std::size_t>(std::max(fast, slow)) - 1;
  ExponentialAverage fastAverage(fast), slowAverage(slow), signalAverage(signal);
  for (std::size_t i = 0; i < bars; ++i) {
    const double macd = fastAverage.Add(close[i]) - slowAverage.Add(close[i]);
    if (i < first) continue;
    lines.macd[i] = macd;
    lines.signal[i] = signalAverage.Add(macd);
    lines.histogram[i] = macd - lines.signal[i];
  }
  return lines;
}

}  // namespace studies
