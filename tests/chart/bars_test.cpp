// The chart object's defaults, colour sets and moving averages.

#include <gtest/gtest.h>

#include <vector>

#include "bars.h"
#include "recording_surface.h"

namespace {

TEST(ChartObject, StartsWithDefaultOptionsPaletteAndColourSets) {
  fixture::RecordingMessages messages;
  CBars bars(&messages);
  EXPECT_EQ(bars.m_count, 0);
  EXPECT_EQ(bars.m_seriesAllocated, 0);
  EXPECT_STREQ(bars.m_symbols[126].data(), " ");
  EXPECT_STREQ(bars.m_names[0].data(), " ");
  EXPECT_EQ(bars.GetBarSpace(), 4);
  EXPECT_EQ(bars.GetMA1Length(), 10);
  EXPECT_EQ(bars.GetMA2Length(), 20);
  EXPECT_EQ(bars.GetShowVolume() + bars.GetShowMA1() + bars.GetShowMA2(), 3);

  // Entry k is 255 times bits 2, 1, 0 of k.
  EXPECT_EQ(bars.GetPaletteColor(0), (tv::Rgb{0, 0, 0}));
  EXPECT_EQ(bars.GetPaletteColor(1), (tv::Rgb{0, 0, 255}));
  EXPECT_EQ(bars.GetPaletteColor(6), (tv::Rgb{255, 255, 0}));
  EXPECT_EQ(bars.GetPaletteColor(5), (tv::Rgb{255, 0, 255}));

  EXPECT_STREQ(bars.GetColorName(0), "Background");
  EXPECT_STREQ(bars.GetColorName(6), "Close Tick Text");
  EXPECT_STREQ(bars.GetColorName(9), "Volume");
  EXPECT_EQ(bars.m_screenColors, (CBars::ColorSet{0, 7, 2, 3, 7, 3, 3, 4, 1, 4}));
  EXPECT_EQ(bars.m_printColors, (CBars::ColorSet{7, 0, 0, 1, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(bars.m_workColors, bars.m_screenColors);
  EXPECT_EQ(bars.GetWorkColorValue(2), (tv::Rgb{0, 255, 0}));
}

TEST(ChartObject, ResetRestoresOptionsButKeepsColours) {
  CBars bars;
  bars.SetBarSpace(7);
  bars.SetShowVolume(0);
  bars.SetWorkColor(2, 4);
  bars.CommitColors();
  ASSERT_EQ(bars.AllocateSeries(800), 0);
  bars.Reset();
  EXPECT_EQ(bars.GetBarSpace(), 4);
  EXPECT_EQ(bars.GetShowVolume(), 1);
  EXPECT_EQ(bars.m_seriesAllocated, 0);
  EXPECT_EQ(bars.m_screenColors[2], 4);
}

TEST(ChartObject, ColourIndexesOutsideTheirRangesAreRefused) {
  CBars bars;
  bars.SetWorkColor(3, 8);
  bars.SetWorkColor(3, -1);
  bars.SetWorkColor(10, 1);
  bars.SetWorkColor(-1, 1);
  EXPECT_EQ(bars.m_workColors, bars.m_screenColors);
  bars.SetWorkColor(9, 6);
  EXPECT_EQ(bars.GetWorkColor(9), 6);
  EXPECT_STREQ(bars.GetColorName(10), "");
  EXPECT_EQ(bars.GetPaletteColor(8), (tv::Rgb{0, 0, 0}));
  EXPECT_EQ(bars.GetWorkColor(-3), 0);
}

// A column over a vector, as the series' columns are.
struct Column {
  std::vector<float> data;
  SeriesColumn<float> col;
  explicit Column(std::vector<float> values, int count = -1) : data(std::move(values)) {
    col.storage = data.data();
    col.count = static_cast<std::int16_t>(count < 0 ? static_cast<int>(data.size()) : count);
    col.stride = 1;
    col.offset = 0;
  }
};

TEST(MovingAverage, ZerosBeforeTheWindowFillsThenRunningMeans) {
  std::vector<float> closes;
  for (int i = 0; i < 25; ++i) closes.push_back(static_cast<float>(10 + i * i % 7));
  Column source(closes);
  Column target(std::vector<float>(25, -1.0f));
  ComputeMovingAverage(source.col, target.col, 10, 0);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(target.data[i], 0.0f) << i;
  for (int i = 9; i < 25; ++i) {
    float mean = 0;
    for (int j = i - 9; j <= i; ++j) mean += closes[j];
    EXPECT_NEAR(target.data[i], mean / 10.0f, 1e-4f) << i;
  }
}

TEST(MovingAverage, RunningSumIsSinglePrecision) {
  // 0.1 is not exact in binary: adding and subtracting it in a float sum drifts away from
  // the exact mean in a way a double sum would not.
  std::vector<float> closes(400, 0.1f);
  closes[0] = 100000.0f;
  Column source(closes);
  Column target(std::vector<float>(400, 0.0f));
  ComputeMovingAverage(source.col, target.col, 2, 0);
  float sum = 0.0f;
  sum += closes[0];
  sum += closes[1];
  for (int i = 2; i < 400; ++i) sum = sum + closes[i] - closes[i - 2];
  EXPECT_EQ(target.data[399], sum / 2.0f);
  EXPECT_NE(target.data[399], 0.1f);
}

TEST(MovingAverage, FewerBarsThanTheWindowWriteOnlyBeyondTheBars) {
  // 5 bars in storage for 20: the one average lands at entry 9, past the bars, and the
  // unused storage does not leak into it.
  std::vector<float> closes(20, 999.0f);
  for (int i = 0; i < 5; ++i) closes[i] = 2.0f;
  Column source(closes, 5);
  Column target(std::vector<float>(20, -1.0f));
  ComputeMovingAverage(source.col, target.col, 10, 0);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(target.data[i], 0.0f);
  EXPECT_EQ(target.data[9], 1.0f);
  EXPECT_EQ(target.data[10], -1.0f);
}

// A window longer than the column never fills; a non-positive one would reach before it.
TEST(MovingAverage, WindowsThatCannotFillLeaveZeros) {
  for (const int length : {50, 0, -4}) {
    Column source(std::vector<float>(30, 5.0f));
    Column target(std::vector<float>(30, -1.0f));
    ComputeMovingAverage(source.col, target.col, length, 0);
    for (float v : target.data) EXPECT_EQ(v, 0.0f) << length;
  }
}

TEST(MovingAverage, LengthSettersRecomputeOnlyWithASeries) {
  CBars bars;
  bars.SetMA1Length(3);
  EXPECT_EQ(bars.GetMA1Length(), 3);
  EXPECT_EQ(bars.m_ma1.storage, nullptr);

  ASSERT_EQ(bars.AllocateSeries(800), 0);
  ASSERT_EQ(SetPriceSeriesCount(bars.m_series, 6), kSuccess);
  for (int i = 0; i < 6; ++i) bars.m_series.close[i] = static_cast<float>(i);
  bars.SetMA1Length(2);
  EXPECT_EQ(bars.m_ma1[0], 0.0f);
  EXPECT_EQ(bars.m_ma1[1], 0.5f);
  EXPECT_EQ(bars.m_ma1[5], 4.5f);
  bars.SetMA2Length(3);
  EXPECT_EQ(bars.m_ma2[1], 0.0f);
  EXPECT_EQ(bars.m_ma2[2], 1.0f);
  EXPECT_EQ(bars.m_ma2[5], 4.0f);
}

}  // namespace
