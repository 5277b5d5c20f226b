// Value scales: tick steps, their labels and where values stand.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <cmath>
#include <set>
#include <string>

#include "scale.h"

namespace {

using plot::ValueScale;

TEST(Scale, StepsComeFromTheOneTwoTwoAndAHalfFiveSeries) {
  const struct {
    double rough, step;
    int decimals;
  } cases[] = {
      {0.7, 1, 0},   {1, 1, 0},          {1.01, 2, 0},        {2.1, 2.5, 1},   {3, 5, 0},
      {6, 10, 0},    {0.0013, 0.002, 3}, {0.0021, 0.0025, 4}, {0.04, 0.05, 2}, {180, 200, 0},
      {230, 250, 0}, {24, 25, 0},        {0.24, 0.25, 2},     {4.9e6, 5e6, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rough);
    EXPECT_DOUBLE_EQ(plot::NiceStep(c.rough), c.step);
    EXPECT_EQ(plot::StepDecimals(c.step), c.decimals);
  }
  // Nothing sensible to step by: a unit step, never a division by zero.
  EXPECT_EQ(plot::NiceStep(0), 1);
  EXPECT_EQ(plot::NiceStep(-3), 1);
}

TEST(Scale, TicksAreEvenMultiplesOfTheStepThatKeepTheirGap) {
  const struct {
    double lo, hi;
    int height, gap;
    double step, first, last;
  } cases[] = {
      // The real directory's cheapest security: 0.035 to 0.062 over a tall pane.
      {0.034, 0.0635, 500, 26, 0.002, 0.034, 0.062},
      {0.034, 0.0635, 150, 26, 0.01, 0.04, 0.06},
      {33.2, 45.5, 400, 26, 1, 34, 45},
      {0, 2.1e6, 100, 26, 1e6, 0, 2e6},
      {-3.2, 7.9, 200, 26, 2, -2, 6},
      {0.0009, 0.0031, 300, 26, 0.0002, 0.001, 0.003},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lo);
    const ValueScale scale{c.lo, c.hi, 0, c.height};
    const plot::Ticks t = plot::LinearTicks(scale, c.gap);
    EXPECT_DOUBLE_EQ(t.step, c.step);
    ASSERT_FALSE(t.ticks.empty());
    EXPECT_NEAR(t.ticks.front().value, c.first, c.step * 1e-9);
    EXPECT_NEAR(t.ticks.back().value, c.last, c.step * 1e-9);
    for (std::size_t i = 1; i < t.ticks.size(); ++i) {
      EXPECT_NEAR(t.ticks[i].value - t.ticks[i - 1].value, c.step, c.step * 1e-9);
      EXPECT_GE(scale.YOf(t.ticks[i - 1].value) - scale.YOf(t.ticks[i].value), c.gap);
    }
  }
}

// Far from 0 the step is below a double's spacing there: the ticks must still come to an end.
TEST(Scale, AnAxisFarFromZeroHasFinitelyManyTicks) {
  const ValueScale scale{1e18, 1e18 + 1024, 0, 400};
  EXPECT_LE(plot::LinearTicks(scale, 26).ticks.size(), 1000U);
}

TEST(Scale, EveryLabelOfAnAxisReadsDifferentlyAndBackAsItsValue) {
  const struct {
    double lo, hi;
    bool log;
  } cases[] = {
      {0.035, 0.043, false}, {0.0005, 0.0021, false}, {0.9, 1.3, false},  {1234, 1290, false},
      {0.035, 0.043, true},  {0.004, 3.5, true},      {0.5, 12000, true}, {2, 9, true},
  };
  for (const auto& c : cases) {
    for (const int height : {120, 300, 700, 1000}) {
      SCOPED_TRACE(std::to_string(c.lo) + " " + std::to_string(height));
      const ValueScale scale{c.lo, c.hi, 0, height, c.log};
      const plot::Ticks t = plot::ScaleTicks(scale, 26);
      std::set<std::string> seen;
      for (const plot::Tick& tick : t.ticks) {
        const std::string text = plot::FormatValue(tick.value, tick.decimals);
        EXPECT_TRUE(seen.insert(text).second) << text;
        EXPECT_NEAR(std::stod(text), tick.value, std::abs(tick.value) * 1e-9);
      }
      EXPECT_GE(t.ticks.size(), 2u);
    }
  }
}

TEST(Scale, LogTicksKeepTheirGapWhereTheScaleCrowdsThem) {
  const struct {
    double lo, hi;
    int height;
    std::size_t count;
  } cases[] = {
      {0.01, 100, 400, 13},  // 1, 2 and 5 of every decade
      {0.01, 100, 120, 5},   // only the powers of ten
      {1e-6, 1e6, 100, 3},   // every fifth power: 1e-5, 1 and 1e5
      {30, 60, 400, 0},      // within a decade: linear steps (counted below)
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lo);
    const ValueScale scale{c.lo, c.hi, 0, c.height, true};
    const plot::Ticks t = plot::LogTicks(scale, 26);
    if (c.count != 0) {
      EXPECT_EQ(t.ticks.size(), c.count);
    }
    for (std::size_t i = 1; i < t.ticks.size(); ++i)
      EXPECT_GE(scale.YOf(t.ticks[i - 1].value) - scale.YOf(t.ticks[i].value), 26);
  }
}

TEST(Scale, ValuesAndCountsPrintWithTheirOwnDigits) {
  EXPECT_EQ(plot::OwnDecimals(0.043f), 3);
  EXPECT_EQ(plot::OwnDecimals(0.035f), 3);
  EXPECT_EQ(plot::OwnDecimals(12.5f), 1);
  EXPECT_EQ(plot::OwnDecimals(7.0f), 0);
  EXPECT_EQ(plot::OwnDecimals(1.0f / 3.0f), 6);
  const struct {
    double value;
    int decimals;
    const char* text;
  } values[] = {{0.043, 3, "0.043"},
                {-0.0001, 2, "0.00"},
                {35.18, 2, "35.18"},
                {2e13, 2, "2e+13"},
                {-1.5, 1, "-1.5"}};
  for (const auto& v : values) EXPECT_EQ(plot::FormatValue(v.value, v.decimals), v.text);
  const struct {
    double value, step;
    const char* text;
  } counts[] = {{0, 1e6, "0"},          {2e6, 1e6, "2M"},  {1.5e6, 5e5, "1.5M"},
                {2.5e6, 2.5e6, "2.5M"}, {750, 250, "750"}, {12000, 5000, "12K"},
                {3e9, 1e9, "3B"}};
  for (const auto& c : counts) EXPECT_EQ(plot::FormatCount(c.value, c.step), c.text);
}

TEST(Scale, ASecurityPrintsInItsOwnDigitsWithoutTheNoiseOfItsReals) {
  const struct {
    std::vector<float> prices;
    double value;  // printed in the security's digits
    const char* text;
  } cases[] = {
      // Half-cent quotes with the vendor's 0.29999998 among them read 0.300.
      {{0.295f, 0.29999998f, 0.305f, 0.31f, 0.3f, 0.285f}, 0.29999998f, "0.300"},
      {{0.043f, 0.045f, 0.04f, 0.041f}, 0.043f, "0.043"},
      {{35.18f, 35.2f, 34.99f, 35.0f}, 35.0f, "35.00"},
      {{1200.f, 1250.f, 1190.f}, 1250.f, "1250"},
      // A random walk in reals is on no grid: four significant digits.
      {{10.532088f, 10.617731f, 9.9843216f}, 10.532088f, "10.53"},
      // Computed prices fit no decimals: below 0.01 three significant digits.
      {{1.6047514e-05f, 1.7123457e-05f, 1.5987654e-05f}, 1.6047514e-05f, "0.0000160"},
      {{1e-29f, 2e-29f, 1.7e-29f}, 1.6e-29f, "1.60e-29"},
      // A cent stock priced below a cent keeps three digits; one price in a hundred off the
      // grid changes nothing.
      {{0.0041f, 0.005f, 0.0039f}, 0.0041f, "0.00410"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(plot::FormatPrice(c.value, plot::PriceDecimals(c.prices)), c.text);
  }
  std::vector<float> mostlyCents(200, 1.25f);
  mostlyCents[7] = 1.2345678f;
  EXPECT_EQ(plot::PriceDecimals(mostlyCents), 2);
  const struct {
    double value;
    const char* text;
  } volumes[] = {{0, "0"},         {999, "999"},
                 {17857, "17.9K"}, {172100, "172K"},
                 {250000, "250K"}, {999960, "1M"},
                 {5e6, "5M"},      {1.25e6, "1.25M"},
                 {3.4e9, "3.4B"},  {1.7e29, "170000000000000000T"}};
  for (const auto& v : volumes) EXPECT_EQ(plot::FormatVolume(v.value), v.text);
}

TEST(Scale, EveryPaneGetsThreeLabelsWithItsLevels) {
  const struct {
    double lo, hi;
    bool log;
    std::vector<double> references;
    int height;
    std::size_t want, least;
  } cases[] = {
      {0, 100, false, {30, 70}, 84, 3, 3},  // RSI at 1280x720 with four studies
      {0, 100, false, {20, 80}, 50, 3, 3},  // a low stochastic
      {-0.8, 1.1, false, {0}, 60, 3, 3},    // MACD: 0 and a tick either side
      {0, 5.3e6, false, {}, 45, 2, 2},      // volume
      {0.019, 0.28, true, {}, 200, 5, 5},   // a log axis over little more than a decade
      {0.019, 0.28, true, {}, 400, 5, 7},  {0.45, 4.0, true, {}, 250, 5, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.hi) + " " + std::to_string(c.height));
    const ValueScale scale{c.lo, c.hi, 10, 10 + c.height, c.log};
    const plot::TickRoom room{4, 16 + c.height, 26, 15, c.want};
    const plot::Ticks t = plot::PaneTicks(scale, room, c.references);
    EXPECT_GE(t.ticks.size(), c.least);
    std::set<std::string> texts;
    for (std::size_t i = 0; i < t.ticks.size(); ++i) {
      texts.insert(plot::FormatValue(t.ticks[i].value, t.ticks[i].decimals));
      if (i > 0) {
        EXPECT_GE(scale.YOf(t.ticks[i - 1].value) - scale.YOf(t.ticks[i].value), 15);
      }
    }
    EXPECT_EQ(texts.size(), t.ticks.size());
    for (const double r : c.references)
      EXPECT_TRUE(std::any_of(t.ticks.begin(), t.ticks.end(), [r](const plot::Tick& tick) {
        return tick.value == r;
      })) << r;
  }
}

TEST(Scale, ValuesMapOntoRowsBothWays) {
  const ValueScale linear{10, 20, 100, 300};
  EXPECT_EQ(linear.YOf(10), 300);
  EXPECT_EQ(linear.YOf(20), 100);
  EXPECT_EQ(linear.YOf(15), 200);
  EXPECT_DOUBLE_EQ(linear.ValueAt(200), 15);
  const ValueScale log{1, 100, 0, 200, true};
  EXPECT_EQ(log.YOf(10), 100);
  EXPECT_NEAR(log.ValueAt(100), 10, 1e-9);
  // A garbage value stays on a row far inside int.
  EXPECT_EQ(linear.YOf(1e300), -10000000);
}

TEST(Scale, RangesArePaddedAndNeverEmpty) {
  const struct {
    double lo, hi;
    bool log;
    double wantLo, wantHi;
  } cases[] = {
      {10, 20, false, 9.5, 20.5}, {5, 5, false, 4.95, 5.05},      {0, 0, false, -1, 1},
      {20, 10, false, 9.5, 20.5}, {std::nan(""), 3, false, 0, 1},
  };
  for (const auto& c : cases) {
    double lo = c.lo, hi = c.hi;
    plot::PadRange(lo, hi, c.log);
    EXPECT_DOUBLE_EQ(lo, c.wantLo);
    EXPECT_DOUBLE_EQ(hi, c.wantHi);
  }
  double lo = 1, hi = 100;
  plot::PadRange(lo, hi, true);
  EXPECT_LT(lo, 1);
  EXPECT_GT(lo, 0);
  EXPECT_NEAR(lo * hi, 100, 1e-9);  // symmetric in log space
}

}  // namespace
