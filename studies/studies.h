#pragma once
// Indicators over a price series, computed in double precision from the bars as read.
//
// Every result has one value per input bar. A value that is not yet defined (the first bars of
// a window, or every bar when the series is shorter than the window) is NaN; so is a value
// that depends on a price that is not a finite number. Window studies recover once such a price
// has left the window; the recursive ones (EMA, RSI, MACD) stay undefined from there on, since
// every later value depends on it. Lengths below 1 give a result with no defined value.
#include <cmath>
#include <limits>
#include <span>
#include <vector>

namespace studies {

using Series = std::vector<double>;
inline constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();
inline bool IsDefined(double value) { return !std::isnan(value); }

// The mean of the last n values, from bar n-1.
Series Sma(std::span<const double> values, int n);
// alpha = 2/(n+1); the first value, at bar n-1, is the mean of the first n values; then
// e := alpha * value + (1 - alpha) * e.
Series Ema(std::span<const double> values, int n);

// Wilder's relative strength index of the closes, from bar n (0 to 100; 50 on a flat series).
Series Rsi(std::span<const double> close, int n);

struct MacdLines {
  Series macd;       // EMA(fast) - EMA(slow), from bar max(fast, slow) - 1
  Series signal;     // EMA(signal) of the MACD values, seeded with the mean of the first ones
  Series histogram;  // macd - signal
};
MacdLines Macd(std::span<const double> close, int fast, int slow, int signal);

struct BollingerBands {
  Series middle;  // SMA(n)
  Series upper;   // middle + width * population standard deviation of the last n closes
  Series lower;   // middle - width * that deviation
};
BollingerBands Bollinger(std::span<const double> close, int n, double width);

struct StochasticLines {
  Series k;  // 100 (close - lowest low) / (highest high - lowest low) over n bars; 50 if flat
  Series d;  // SMA(d) of k
};
StochasticLines Stochastic(std::span<const double> high, std::span<const double> low,
                           std::span<const double> close, int n, int d);

}  // namespace studies
