// The studies on short series whose values were worked out by hand (fractions where the
// arithmetic gives them), including flat series and series too short for the window.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "studies.h"

namespace {

using studies::Series;
constexpr double _ = studies::kUndefined;  // not yet defined
constexpr double kInf = std::numeric_limits<double>::infinity();

void ExpectSeries(const Series& actual, const Series& expected, const std::string& what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (std::isnan(expected[i]))
      EXPECT_TRUE(std::isnan(actual[i])) << what << " bar " << i << " is " << actual[i];
    else
      EXPECT_NEAR(actual[i], expected[i], 1e-12 * std::max(1.0, std::fabs(expected[i])))
          << what << " bar " << i;
  }
}

struct AverageCase {
  const char* name;
  Series close;
  int n;
  Series sma, ema;
};

TEST(Averages, HandCheckedValues) {
  const std::vector<AverageCase> cases = {
      {"rising", {1, 2, 3, 4, 5}, 3, {_, _, 2, 3, 4}, {_, _, 2, 3, 4}},
      // alpha 1/2: 4, then 2/2 + 4/2 = 3, then 10/2 + 3/2 = 6.5.
      {"turning", {2, 4, 6, 2, 10}, 3, {_, _, 4, 4, 6}, {_, _, 4, 3, 6.5}},
      // alpha 2/3 from 1.5: 8/3 + 1/2 = 19/6.
      {"length 2", {1, 2, 4}, 2, {_, 1.5, 3}, {_, 1.5, 19.0 / 6}},
      {"length 1 is the series", {3, 1, 2}, 1, {3, 1, 2}, {3, 1, 2}},
      {"flat", {7, 7, 7, 7}, 2, {_, 7, 7, 7}, {_, 7, 7, 7}},
      {"exactly long enough", {1, 2, 6}, 3, {_, _, 3}, {_, _, 3}},
      {"too short", {1, 2}, 3, {_, _}, {_, _}},
      {"empty", {}, 3, {}, {}},
      {"length 0", {1, 2}, 0, {_, _}, {_, _}},
      // A value that is not a number leaves the window average undefined while it is in
      // the window, and the exponential average for good.
      {"infinite close", {1, kInf, 3, 5, 7}, 2, {_, _, _, 4, 6}, {_, _, _, _, _}},
      // A huge value passing through the window does not swallow the small ones after it.
      {"huge close", {1e30, 1, 2, 4}, 2, {_, 5e29, 1.5, 3}, {_, 5e29, 5e29 / 3, 5e29 / 9}},
  };
  for (const auto& c : cases) {
    ExpectSeries(studies::Sma(c.close, c.n), c.sma, std::string("SMA ") + c.name);
    ExpectSeries(studies::Ema(c.close, c.n), c.ema, std::string("EMA ") + c.name);
  }
}

struct RsiCase {
  const char* name;
  Series close;
  int n;
  Series rsi;
};

TEST(Rsi, HandCheckedValues) {
  const std::vector<RsiCase> cases = {
      // Changes +1 +1 -1 +2. Bar 2: gain 1, loss 0. Bar 3: gain (1 + 0)/2, loss (0 + 1)/2.
      // Bar 4: gain (0.5 + 2)/2 = 1.25, loss 0.25: 100 - 100/(1 + 5).
      {"Wilder smoothing", {1, 2, 3, 2, 4}, 2, {_, _, 100, 50, 100.0 * 5 / 6}},
      {"only falling", {4, 3, 2, 1}, 2, {_, _, 0, 0}},
      {"flat", {5, 5, 5, 5}, 2, {_, _, 50, 50}},
      // Up 3 then down 1 over N = 1: each bar is its own average.
      {"length 1", {1, 4, 3}, 1, {_, 100, 0}},
      {"first value at bar N", {1, 2, 1}, 2, {_, _, 50}},
      {"too short", {1, 2, 3}, 3, {_, _, _}},
      {"length 0", {1, 2, 3}, 0, {_, _, _}},
  };
  for (const auto& c : cases) ExpectSeries(studies::Rsi(c.close, c.n), c.rsi, c.name);
}

TEST(Macd, HandCheckedValues) {
  // EMA(2) of 1 2 4 8 16 from bar 1: 3/2, 19/6, 115/18, 691/54; EMA(3) from bar 2: 7/3,
  // 31/6, 127/12. Signal EMA(2) of the MACD from bar 3: (5/6 + 11/9)/2 = 37/36, then
  // 2/3 * 239/108 + 1/3 * 37/36 = 589/324.
  const Series close = {1, 2, 4, 8, 16};
  const auto lines = studies::Macd(close, 2, 3, 2);
  ExpectSeries(lines.macd, {_, _, 5.0 / 6, 11.0 / 9, 239.0 / 108}, "macd");
  ExpectSeries(lines.signal, {_, _, _, 37.0 / 36, 589.0 / 324}, "signal");
  ExpectSeries(lines.histogram, {_, _, _, 7.0 / 36, 32.0 / 81}, "histogram");

  // The slow average decides where the MACD starts, whichever is given first.
  ExpectSeries(studies::Macd(close, 3, 2, 2).macd, {_, _, -5.0 / 6, -11.0 / 9, -239.0 / 108},
               "swapped");
  const auto flat = studies::Macd(Series{3, 3, 3, 3}, 2, 3, 2);
  ExpectSeries(flat.macd, {_, _, 0, 0}, "flat macd");
  ExpectSeries(flat.histogram, {_, _, _, 0}, "flat histogram");
  const auto tooShort = studies::Macd(Series{1, 2, 3}, 2, 3, 2);
  ExpectSeries(tooShort.macd, {_, _, 0.5}, "short macd");
  ExpectSeries(tooShort.signal, {_, _, _}, "short signal");
  ExpectSeries(studies::Macd(Series{1, 2}, 2, 3, 2).macd, {_, _}, "no macd");
}

TEST(Bollinger, HandCheckedValues) {
  // Window 1 2 3: mean 2, variance 2/3. Window 2 3 5: mean 10/3, variance 14/9.
  const auto bands = studies::Bollinger(Series{1, 2, 3, 5}, 3, 2.0);
  ExpectSeries(bands.middle, {_, _, 2, 10.0 / 3}, "middle");
  ExpectSeries(bands.upper, {_, _, 2 + 2 * std::sqrt(2.0 / 3), 10.0 / 3 + 2 * std::sqrt(14.0) / 3},
               "upper");
  ExpectSeries(bands.lower, {_, _, 2 - 2 * std::sqrt(2.0 / 3), 10.0 / 3 - 2 * std::sqrt(14.0) / 3},
               "lower");
  // A flat window has no width at all, even around a price with many digits.
  const auto flat = studies::Bollinger(Series{1234.567, 1234.567, 1234.567}, 2, 2.5);
  EXPECT_EQ(flat.upper[1], 1234.567);
  EXPECT_EQ(flat.lower[2], 1234.567);
  ExpectSeries(studies::Bollinger(Series{1, 2}, 3, 2.0).upper, {_, _}, "too short");
  ExpectSeries(studies::Bollinger(Series{1, kInf, 3, 3}, 2, 1.0).lower, {_, _, _, 3}, "infinite");
}

TEST(Stochastic, HandCheckedValues) {
  // %K over 3 bars: bar 2 (11 - 8)/(12 - 8), bar 3 (10 - 9)/(12 - 9), bar 4 (11 - 9)/(12 - 9);
  // bar 5 (10.5 - 10)/(12 - 10), the 12 of bar 3 still in the window; at bar 6 both 12s have
  // left: (10.4 - 10)/(11 - 10).
  const Series high = {10, 11, 12, 12, 11, 10.5, 10.5};
  const Series low = {8, 9, 9, 10, 10, 10, 10.2};
  const Series close = {9, 10, 11, 10, 11, 10.5, 10.4};
  const auto lines = studies::Stochastic(high, low, close, 3, 2);
  ExpectSeries(lines.k, {_, _, 75, 100.0 / 3, 200.0 / 3, 25, 40}, "%K");
  ExpectSeries(lines.d, {_, _, _, 325.0 / 6, 50, 275.0 / 6, 32.5}, "%D");

  const Series flat = {5, 5, 5};
  ExpectSeries(studies::Stochastic(flat, flat, flat, 2, 2).k, {_, 50, 50}, "flat %K");
  ExpectSeries(studies::Stochastic(flat, flat, flat, 2, 2).d, {_, _, 50}, "flat %D");
  ExpectSeries(studies::Stochastic(flat, flat, flat, 4, 1).k, {_, _, _}, "too short");
  // A high that is not a number spoils the windows holding it, and only those.
  const Series brokenHigh = {6, std::nan(""), 6, 6};
  ExpectSeries(studies::Stochastic(brokenHigh, Series{4, 4, 4, 4}, Series{5, 5, 5, 6}, 2, 1).k,
               {_, _, _, 100}, "broken high");
}

}  // namespace
