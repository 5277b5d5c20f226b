// Oscillators: Wilder's RSI and the stochastic.
#include <algorithm>
#include <cstddef>
#include <vector>

#include "studies.h"
#include "window_sum.h"

namespace studies {

namespace {

// Percent of the average move that was upward; 50 when nothing moved at all.
double RelativeStrength(double gain, double loss) {
  const double moved = gain + loss;
  return moved == 0.0 ? 50.0 : 100.0 * gain / moved;
}

// out[i] = the extreme (`pick` of two values) of the `length` values ending at i, for every i
// from length - 1: the van Herk / Gil-Werman way. In blocks of `length` values, `before` holds
// the extreme from the block's start up to each value and `after` from each value to the
// block's end; a window spans at most two blocks, so its extreme is that of one `after` and
// one `before`. Linear time with no unpredictable branches. A window without NaN never
// sees one, since both halves lie inside it.
template <class Pick>
void WindowExtremes(std::span<const double> values, std::size_t length, Pick pick, Series& out,
                    Series& before, Series& after) {
  const std::size_t bars = values.size();
  for (std::size_t start = 0; start < bars; start += length) {
    const std::size_t end = std::min(bars, start + length);
    before[start] = values[start];
    for (std::size_t i = start + 1; i < end; ++i) before[i] = pick(before[i - 1], values[i]);
    after[end - 1] = values[end - 1];
    for (std::size_t i = end - 1; i-- > start;) after[i] = pick(after[i + 1], values[i]);
  }
  for (std::size_t i = length - 1; i < bars; ++i) out[i] = pick(after[i + 1 - length], before[i]);
}

}  // namespace

Series Rsi(std::span<const double> close, int n) {
  Series out(close.size(), kUndefined);
  const auto length = static_cast<std::size_t>(n);
  if (n < 1 || close.size() <= length) return out;
  // A change that is not a number makes both averages NaN (the comparisons are false), so
  // every value from there on is undefined.
  double gain = 0.0, loss = 0.0;
  for (std::size_t i = 1; i <= length; ++i) {
    const double change = close[i] - close[i - 1];
    if (change > 0.0)
      gain += change;
    else
      loss -= change;
  }
  gain /= static_cast<double>(n);
  loss /= static_cast<double>(n);
  out[length] = RelativeStrength(gain, loss);
  const double keep = static_cast<double>(n) - 1.0, share = 1.0 / static_cast<double>(n);
  for (std::size_t i = length + 1; i < close.size(); ++i) {
    const double change = close[i] - close[i - 1];
    gain = (gain * keep + std::max(change, 0.0)) * share;
    loss = (loss * keep + std::max(-change, 0.0)) * share;
    out[i] = RelativeStrength(gain, loss);
  }
  return out;
}

namespace {

// %D: the mean of the last `smoothing` %K values, from the first %K value on.
void SmoothStochastic(StochasticLines& lines, std::size_t first, std::size_t bars,
                      std::size_t smoothing) {
  WindowSum recent;
  for (std::size_t i = first; i < bars; ++i) {
    recent.Add(lines.k[i]);
    if (i >= first + smoothing) recent.Remove(lines.k[i - smoothing]);
    if (i + 1 >= first + smoothing) lines.d[i] = recent.Mean(smoothing);
  }
}

std::size_t NotFinite(double value) { return std::isfinite(value) ? 0 : 1; }

}  // namespace

StochasticLines Stochastic(std::span<const double> high, std::span<const double> low,
                           std::span<const double> close, int n, int d) {
  StochasticLines lines{Series(close.size(), kUndefined), Series(close.size(), kUndefined)};
  if (n < 1 || d < 1) return lines;
  const auto length = static_cast<std::size_t>(n);
  const std::size_t bars = std::min({high.size(), low.size(), close.size()});
  if (length > bars) return lines;
  // The highest highs are gathered in k and the lowest lows in d, then turned into %K in place.
  Series before(bars), after(bars);
  Series& top = lines.k;
  Series& bottom = lines.d;
  WindowExtremes(
      high.first(bars), length, [](double a, double b) { return std::max(a, b); }, top, before,
      after);
  WindowExtremes(
      low.first(bars), length, [](double a, double b) { return std::min(a, b); }, bottom, before,
      after);
  std::size_t notFinite = 0;  // highs and lows in the window that are not numbers
  for (std::size_t i = 0; i < bars; ++i) {
    notFinite += NotFinite(high[i]) + NotFinite(low[i]);
    if (i >= length) notFinite -= NotFinite(high[i - length]) + NotFinite(low[i - length]);
    if (i + 1 < length) continue;
    const double range = top[i] - bottom[i];
    if (notFinite != 0 || !std::isfinite(close[i]))
      lines.k[i] = kUndefined;
    else
      lines.k[i] = range == 0.0 ? 50.0 : 100.0 * (close[i] - bottom[i]) / range;
    bottom[i] = kUndefined;
  }
  SmoothStochastic(lines, length - 1, bars, static_cast<std::size_t>(d));
  return lines;
}

}  // namespace studies
