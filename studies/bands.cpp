// Bollinger bands.
#include <cstddef>

#include "studies.h"

namespace studies {

namespace {

// The sum of squared deviations of a window from its mean, summed afresh.
double SquaredDeviations(std::span<const double> window, double mean) {
  double squares = 0.0;
  for (const double value : window) squares += (value - mean) * (value - mean);
  return squares;
}

}  // namespace

BollingerBands Bollinger(std::span<const double> close, int n, double width) {
  BollingerBands bands{Sma(close, n), Series(close.size(), kUndefined),
                       Series(close.size(), kUndefined)};
  if (n < 1) return bands;
  const auto length = static_cast<std::size_t>(n);
  // The squared deviations follow the window as it slides (one value in, one out), which
  // keeps the bands linear in the number of bars. Where that update would cancel more than
  // half of the sum (a wide value leaving, or the window turning flat) the sum is taken afresh
  // instead, so no rounding is left behind: a flat window has exactly no width, and a narrow
  // band around a high price keeps its digits.
  double squares = 0.0;
  bool running = false;  // whether `squares` belongs to the window before this one
  for (std::size_t i = length - 1; i < close.size(); ++i) {
    const double middle = bands.middle[i];
    if (!IsDefined(middle)) {
      running = false;
      continue;
    }
    const std::span<const double> window = close.subspan(i + 1 - length, length);
    if (running) {
      const double in = close[i], out = close[i - length];
      const double updated = squares + (in - out) * ((in - middle) + (out - bands.middle[i - 1]));
      squares = updated >= 0.5 * squares ? updated : SquaredDeviations(window, middle);
    } else {
      squares = SquaredDeviations(window, middle);
      running = true;
    }
    const double spread = width * std::sqrt(squares / static_cast<double>(length));
    bands.upper[i] = middle + spread;
    bands.lower[i] = middle - spread;
  }
  return bands;
}

}  // namespace studies
