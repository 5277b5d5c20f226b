// The chart's moving averages: defined only where a whole window lies behind them.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "averages.h"

namespace {

TEST(Averages, StartWhereAWholeWindowLiesBehindThem) {
  const double nan = std::nan("");
  const std::vector<double> closes{1, 2, 3, 4, 5, 6};
  const struct {
    int n;
    plot::AverageKind kind;
    std::vector<double> want;
  } cases[] = {
      {3, plot::AverageKind::Simple, {nan, nan, 2, 3, 4, 5}},
      // alpha = 0.5: seeded with the mean of the first three.
      {3, plot::AverageKind::Exponential, {nan, nan, 2, 3, 4, 5}},
      {1, plot::AverageKind::Simple, {1, 2, 3, 4, 5, 6}},
      {7, plot::AverageKind::Simple, {nan, nan, nan, nan, nan, nan}},
      {0, plot::AverageKind::Exponential, {nan, nan, nan, nan, nan, nan}},
  };
  for (const auto& c : cases) {
    const auto got = plot::MovingAverage(closes, c.n, c.kind);
    ASSERT_EQ(got.size(), c.want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      if (std::isnan(c.want[i]))
        EXPECT_TRUE(std::isnan(got[i])) << c.n << " at " << i;
      else
        EXPECT_DOUBLE_EQ(got[i], c.want[i]) << c.n << " at " << i;
    }
  }
  // Exponential weighting differs from the simple mean once prices turn.
  const auto ema =
      plot::MovingAverage(std::vector<double>{2, 2, 2, 10}, 3, plot::AverageKind::Exponential);
  EXPECT_DOUBLE_EQ(ema[3], 6);
}

TEST(Averages, ABadValueSpoilsTheWindowsThatHoldItAndTheExponentialForGood) {
  const double nan = std::nan("");
  const auto sma =
      plot::MovingAverage(std::vector<double>{1, nan, 3, 4, 5, 6}, 2, plot::AverageKind::Simple);
  EXPECT_TRUE(std::isnan(sma[1]));
  EXPECT_TRUE(std::isnan(sma[2]));
  EXPECT_DOUBLE_EQ(sma[3], 3.5);
  const auto ema = plot::MovingAverage(std::vector<double>{1, nan, 3, 4, 5, 6}, 2,
                                       plot::AverageKind::Exponential);
  // Every later exponential value depends on the bad one, as `quotedump study ema` says.
  for (std::size_t i = 1; i < ema.size(); ++i) EXPECT_TRUE(std::isnan(ema[i])) << i;
}

}  // namespace
