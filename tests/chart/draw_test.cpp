// The chart's layout, scaling, labels and colours, checked on a recording surface.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bars.h"
#include "recording_surface.h"
#include "values.h"

namespace {

using fixture::OpKind;
using fixture::RecordingSurface;
using fixture::SurfaceOp;

constexpr tv::Rgb kBlack{0, 0, 0}, kBlue{0, 0, 255}, kGreen{0, 255, 0}, kCyan{0, 255, 255},
    kRed{255, 0, 0}, kYellow{255, 255, 0}, kMagenta{255, 0, 255}, kWhite{255, 255, 255};

struct Bar {
  float high, low, close, volume;
};

// A chart object holding n bars: lows 25, highs 75, closes 50 and volume 1000 unless the
// test changes them; dates all in March 2000.
class ChartFixture : public ::testing::Test {
 protected:
  void Load(int n, tv::Size logical = {640, 480}) {
    ASSERT_EQ(bars.AllocateSeries(800), 0);
    ASSERT_EQ(SetPriceSeriesCount(bars.m_series, static_cast<std::int16_t>(n)), kSuccess);
    for (int i = 0; i < n; ++i) {
      Set(i, {75.0f, 25.0f, 50.0f, 1000.0f});
      bars.m_series.date[i] = DayNumber(100, 3, 1);
    }
    bars.SetLogicalSize(logical);
    std::snprintf(bars.m_symbols[0].data(), kSymbolChars, "BHP");
    std::snprintf(bars.m_names[0].data(), kSymbolChars, "BHP BILLITON    ");
    bars.m_count = 1;
  }
  void Set(int i, Bar b) {
    bars.m_series.high[i] = b.high;
    bars.m_series.low[i] = b.low;
    bars.m_series.close[i] = b.close;
    bars.m_series.volume[i] = b.volume;
  }
  void Averages() {
    bars.SetMA1Length(bars.GetMA1Length());
    bars.SetMA2Length(bars.GetMA2Length());
  }
  void Draw(tv::Rect target = {0, 0, 640, 480}, bool printing = false) {
    surface.ops.clear();
    EXPECT_EQ(bars.Draw(surface, target, printing), 0);
  }
  std::vector<SurfaceOp> BarLines() const { return surface.LinesWith(kGreen); }

  fixture::RecordingMessages messages;
  CBars bars{&messages};
  RecordingSurface surface;
};

TEST_F(ChartFixture, LaysOutTheMostRecentBarsOf640By480) {
  Load(500);
  Set(355, {75.0f, 0.0f, 50.0f, 1000.0f});
  Set(356, {100.0f, 25.0f, 50.0f, 2000.0f});
  Draw();

  // Frame: base line, separator at volH + 4 = 96, right axis at pw + 5 = 590 up to H - 16.
  const auto axes = surface.LinesWith(kWhite);
  ASSERT_EQ(axes.size(), 3u);
  EXPECT_EQ(axes[0].from, (tv::Point{5, 5}));
  EXPECT_EQ(axes[0].to, (tv::Point{590, 5}));
  EXPECT_EQ(axes[1].from, (tv::Point{5, 96}));
  EXPECT_EQ(axes[1].to, (tv::Point{590, 96}));
  EXPECT_EQ(axes[2].from, (tv::Point{590, 5}));
  EXPECT_EQ(axes[2].to, (tv::Point{590, 464}));
  // y grows upward: logical y 5 is device row 475.
  EXPECT_EQ(axes[0].deviceFrom, (tv::Point{5, 475}));

  // 146 visible; bars 355..499 at x = 9, 13, ..., 585.
  const auto lines = BarLines();
  ASSERT_EQ(lines.size(), 145u);
  for (std::size_t k = 0; k < lines.size(); ++k) {
    EXPECT_EQ(lines[k].from.x, 9 + 4 * static_cast<int>(k));
    EXPECT_EQ(lines[k].to.x, lines[k].from.x);
  }
  // Range 0..100 over priceH 368 above base volH + 5 = 97; highs reach one unit further.
  EXPECT_EQ(lines[0].from.y, 0 + 97);
  EXPECT_EQ(lines[0].to.y, 276 + 98);
  EXPECT_EQ(lines[1].to.y, 368 + 98);
  EXPECT_EQ(lines[2].from.y, 92 + 97);

  const auto ticks = surface.LinesWith(kCyan);
  ASSERT_EQ(ticks.size(), 145u);
  EXPECT_EQ(ticks[0].from, (tv::Point{9, 184 + 97}));
  EXPECT_EQ(ticks[0].to, (tv::Point{11, 184 + 97}));

  // Volume, normalised by the largest visible volume (2000) over volH 92.
  std::vector<SurfaceOp> volume;
  for (const auto& op : surface.LinesWith(kRed))
    if (op.from.y == 6) volume.push_back(op);
  ASSERT_EQ(volume.size(), 145u);
  EXPECT_EQ(volume[0].to, (tv::Point{9, 46 + 6}));
  EXPECT_EQ(volume[1].to, (tv::Point{13, 92 + 6}));

  // Scale column at pw + 7.
  const SurfaceOp* close = surface.FindText(" 50.00");
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->from, (tv::Point{592, 281}));
  EXPECT_EQ(close->align, tv::kAlignLeft | tv::kAlignBaseline);
  EXPECT_EQ(close->textColor, kCyan);
  const SurfaceOp* high = surface.FindText("100.00");
  ASSERT_NE(high, nullptr);
  EXPECT_EQ(high->from, (tv::Point{592, 477}));
  EXPECT_EQ(high->align, tv::kAlignLeft | tv::kAlignTop);
  EXPECT_EQ(high->textColor, kWhite);
  const SurfaceOp* low = surface.FindText("  0.00");
  ASSERT_NE(low, nullptr);
  EXPECT_EQ(low->from, (tv::Point{592, 97}));
  EXPECT_EQ(low->align, tv::kAlignLeft | tv::kAlignBaseline);
  const SurfaceOp* vol = surface.FindText("  2K");
  ASSERT_NE(vol, nullptr);
  EXPECT_EQ(vol->from, (tv::Point{592, 97}));
  EXPECT_EQ(vol->align, tv::kAlignLeft | tv::kAlignTop);

  // Dates (layout 7) at both ends of the top line, title around x_last / 2.
  const SurfaceOp* lastDate = surface.FindText("000301");
  ASSERT_NE(lastDate, nullptr);
  const auto texts = surface.Of(OpKind::Text);
  ASSERT_EQ(texts.size(), 8u);
  EXPECT_EQ(texts[0].text, "000301");
  EXPECT_EQ(texts[0].from, (tv::Point{585, 477}));
  EXPECT_EQ(texts[0].align, tv::kAlignRight | tv::kAlignTop);
  EXPECT_EQ(texts[5].from, (tv::Point{7, 477}));
  EXPECT_EQ(texts[5].align, tv::kAlignLeft | tv::kAlignTop);
  EXPECT_EQ(texts[6].text, "BHP");
  EXPECT_EQ(texts[6].from, (tv::Point{287, 477}));
  EXPECT_EQ(texts[6].align, tv::kAlignRight | tv::kAlignTop);
  EXPECT_EQ(texts[6].textColor, kCyan);
  EXPECT_EQ(texts[7].text, "BHP BILLITON    ");
  EXPECT_EQ(texts[7].from, (tv::Point{292, 477}));
}

TEST_F(ChartFixture, ShortSeriesStartsAtTheFirstBar) {
  Load(20);
  Draw();
  const auto lines = BarLines();
  ASSERT_EQ(lines.size(), 20u);
  EXPECT_EQ(lines.front().from.x, 9);
  EXPECT_EQ(lines.back().from.x, 9 + 19 * 4);
}

TEST_F(ChartFixture, StretchesTheLogicalSpaceOntoTheTarget) {
  Load(20);
  Draw({0, 0, 1280, 960});
  const auto axes = surface.LinesWith(kWhite);
  ASSERT_EQ(axes.size(), 3u);
  EXPECT_EQ(axes[0].from, (tv::Point{5, 5}));
  EXPECT_EQ(axes[0].deviceFrom, (tv::Point{10, 950}));
  EXPECT_EQ(axes[0].deviceTo, (tv::Point{1180, 950}));
  // The background covers the whole target.
  const auto fills = surface.Of(OpKind::FillRect);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].deviceRect, (tv::Rect{0, 0, 1280, 960}));
  EXPECT_EQ(fills[0].brush.color, kBlack);
}

TEST_F(ChartFixture, WithoutVolumeThePriceAreaTakesTheWholeHeight) {
  Load(20);
  bars.SetShowVolume(0);
  Set(0, {100.0f, 0.0f, 50.0f, 1000.0f});
  Draw();
  const auto axes = surface.LinesWith(kWhite);
  ASSERT_EQ(axes.size(), 3u);
  EXPECT_EQ(axes[1].from.y, 4);
  EXPECT_EQ(BarLines()[0].to.y, 460 + 6);
  for (const auto& op : surface.LinesWith(kRed)) EXPECT_NE(op.from.y, 6);
  EXPECT_EQ(surface.FindText("  1K"), nullptr);
  EXPECT_EQ(surface.Of(OpKind::Text).size(), 6u);  // two dates, three prices, the symbol
}

TEST_F(ChartFixture, PriceLabelsGiveWayToALastCloseNearThem) {
  Load(20);
  Set(0, {100.0f, 0.0f, 50.0f, 1000.0f});
  const auto labels = [&](float lastClose) {
    Set(19, {75.0f, 0.0f, lastClose, 1000.0f});
    Draw();
    return std::pair{surface.FindText("100.00") != nullptr, surface.FindText("  0.00") != nullptr};
  };
  EXPECT_EQ(labels(95.0f), std::pair(false, true));
  EXPECT_EQ(labels(94.0f), std::pair(true, true));
  EXPECT_EQ(labels(6.0f), std::pair(true, true));
  EXPECT_EQ(labels(5.0f), std::pair(true, false));
}

TEST_F(ChartFixture, VolumeLabelInThousandsOrUnits) {
  Load(20);
  Set(3, {75.0f, 25.0f, 50.0f, 999.0f});
  for (int i = 0; i < 20; ++i) bars.m_series.volume[i] = i == 3 ? 999.0f : 10.0f;
  Draw();
  EXPECT_NE(surface.FindText("999"), nullptr);
  bars.m_series.volume[3] = 1500.0f;
  Draw();
  EXPECT_NE(surface.FindText("  1K"), nullptr);
  bars.m_series.volume[3] = 250000.0f;
  Draw();
  EXPECT_NE(surface.FindText("250K"), nullptr);
  // Thousands are whole 32-bit numbers: only what would overflow them is clamped.
  bars.m_series.volume[3] = 1.5e10f;
  Draw();
  EXPECT_NE(surface.FindText("15000000K"), nullptr);
  bars.m_series.volume[3] = 3.0e38f;
  Draw();
  EXPECT_NE(surface.FindText("2147483647K"), nullptr);
}

TEST_F(ChartFixture, TitleIsCentredUntilTheBarsPassX351) {
  // Spacing 5: the 69th bar sits at x = 350.
  Load(69);
  bars.SetBarSpace(5);
  Draw();
  auto texts = surface.Of(OpKind::Text);
  ASSERT_EQ(texts.back().text, "BHP");
  EXPECT_EQ(texts.back().from, (tv::Point{175, 477}));
  EXPECT_EQ(texts.back().align, tv::kAlignCenter | tv::kAlignTop);
  EXPECT_EQ(surface.FindText("BHP BILLITON    "), nullptr);

  // Spacing 2: the 173rd bar sits at x = 351.
  bars.ReleaseSeries();
  Load(173);
  bars.SetBarSpace(2);
  Draw();
  texts = surface.Of(OpKind::Text);
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[texts.size() - 2].text, "BHP");
  EXPECT_EQ(texts[texts.size() - 2].from, (tv::Point{170, 477}));
  EXPECT_EQ(texts.back().from, (tv::Point{175, 477}));
}

TEST_F(ChartFixture, AveragesStartOneBarAfterTheirLength) {
  Load(30);
  for (int i = 0; i < 30; ++i) Set(i, {100.0f, 0.0f, static_cast<float>(i * 3), 1000.0f});
  // Tell the lines apart: first average magenta, second yellow, volume blue.
  bars.SetWorkColor(kMovingAverage1, 5);
  bars.SetWorkColor(kMovingAverage2, 6);
  bars.SetWorkColor(kVolume, 1);
  bars.CommitColors();
  Averages();
  Draw();
  const auto ma1 = surface.LinesWith(kMagenta);
  ASSERT_EQ(ma1.size(), 30u - 11u);
  // From bar 11 back to bar 10: means of closes 2..11 (19.5) and 1..10 (16.5).
  EXPECT_EQ(ma1[0].from, (tv::Point{9 + 11 * 4, static_cast<int>(0.195f * 368.0f) + 97}));
  EXPECT_EQ(ma1[0].to, (tv::Point{9 + 10 * 4, static_cast<int>(0.165f * 368.0f) + 97}));
  const auto ma2 = surface.LinesWith(kYellow);
  ASSERT_EQ(ma2.size(), 30u - 21u);
  EXPECT_EQ(ma2[0].from.x, 9 + 21 * 4);

  bars.SetShowMA1(0);
  Draw();
  EXPECT_TRUE(surface.LinesWith(kMagenta).empty());
}

TEST_F(ChartFixture, MonthTicksMarkTheFirstBarOfEachMonthIncludingTheFirstDrawn) {
  Load(500);
  for (int i = 355; i < 400; ++i) bars.m_series.date[i] = DayNumber(100, 4, 1);
  for (int i = 400; i < 500; ++i) bars.m_series.date[i] = DayNumber(100, 5, 1);
  Draw();
  const auto ticks = surface.LinesWith(kWhite, 3);
  ASSERT_EQ(ticks.size(), 2u);
  EXPECT_EQ(ticks[0].from, (tv::Point{9, 0}));
  EXPECT_EQ(ticks[0].to, (tv::Point{9, 5}));
  EXPECT_EQ(ticks[1].from.x, 9 + 45 * 4);
  // Width 3 is logical: twice as wide on a target twice the size.
  Draw({0, 0, 1280, 960});
  EXPECT_EQ(surface.LinesWith(kWhite, 3)[0].devicePenWidth, 6);
}

TEST_F(ChartFixture, PrintsInThePrintColoursAndBoldArial) {
  Load(20);
  Draw({0, 0, 2400, 3200}, true);
  const auto fonts = surface.Of(OpKind::SelectFont);
  ASSERT_EQ(fonts.size(), 2u);
  EXPECT_EQ(fonts[0].font.faceName, "Arial");
  EXPECT_EQ(fonts[0].font.height, 12);
  EXPECT_EQ(fonts[0].font.weight, 700);
  EXPECT_EQ(fonts[1].font, tv::Font{});  // restored
  EXPECT_EQ(surface.Of(OpKind::FillRect)[0].brush.color, kWhite);
  // Frame, bars, volume and the first average from bar 11 on: all black.
  EXPECT_EQ(surface.LinesWith(kBlack).size(), 3u + 20u + 20u + 9u);
  EXPECT_EQ(surface.LinesWith(kBlue).size(), 20u);  // close ticks
  EXPECT_EQ(surface.FindText(" 50.00")->textColor, kBlue);
  EXPECT_EQ(surface.FindText("BHP")->textColor, kBlack);
  EXPECT_EQ(surface.FindText("000301")->textColor, kBlack);

  // On screen the surface keeps its own font.
  Draw();
  EXPECT_TRUE(surface.Of(OpKind::SelectFont).empty());
  EXPECT_EQ(surface.FindText("BHP")->textColor, kCyan);
}

TEST_F(ChartFixture, LeavesTheSurfaceAsItFoundIt) {
  Load(20);
  const tv::Pen pen{kMagenta, 2};
  surface.SelectPen(pen);
  surface.SelectBrush(tv::Brush{kYellow});
  surface.SetTextColor(kRed);
  surface.SetBkMode(tv::BkMode::Opaque);
  surface.SetTextAlign(tv::kAlignBaseline);
  Draw({0, 0, 800, 600}, true);
  EXPECT_EQ(surface.CurrentPen(), pen);
  EXPECT_EQ(surface.CurrentBrush().color, kYellow);
  EXPECT_EQ(surface.CurrentTextColor(), kRed);
  EXPECT_EQ(surface.CurrentBkMode(), tv::BkMode::Opaque);
  EXPECT_EQ(surface.CurrentAlign(), tv::kAlignBaseline);
  EXPECT_EQ(surface.GetMapping(), tv::Mapping{});
}

TEST_F(ChartFixture, UncommittedColourEditsAreForgottenAtTheNextDraw) {
  Load(20);
  bars.SetWorkColor(kHighLowBar, 6);
  Draw();
  EXPECT_EQ(BarLines().size(), 20u);
  EXPECT_EQ(bars.GetWorkColor(kHighLowBar), 2);
  bars.SetWorkColor(kHighLowBar, 6);
  bars.CommitColors();
  Draw();
  EXPECT_TRUE(BarLines().empty());
  EXPECT_EQ(surface.LinesWith(kYellow).size(), 20u);
}

TEST_F(ChartFixture, WithoutASeriesOnlyBackgroundAndFrame) {
  bars.SetLogicalSize({640, 480});
  Draw();
  EXPECT_EQ(surface.Of(OpKind::FillRect).size(), 1u);
  EXPECT_EQ(surface.Of(OpKind::Line).size(), 3u);
  EXPECT_TRUE(surface.Of(OpKind::Text).empty());
  Load(0);
  Draw();
  EXPECT_EQ(surface.Of(OpKind::Line).size(), 3u);
}

// Every line and text point lies inside the logical W x H space.
void ExpectInside(const RecordingSurface& surface, int W, int H) {
  for (const auto& op : surface.ops) {
    if (op.kind != OpKind::Line && op.kind != OpKind::Text) continue;
    for (const tv::Point p : {op.from, op.to}) {
      EXPECT_TRUE(p.x >= 0 && p.x <= W && p.y >= 0 && p.y <= H)
          << "(" << p.x << ", " << p.y << ") " << op.text;
    }
  }
}

TEST_F(ChartFixture, FlatPricesAndNoVolumeDrawAFlatLineInsideTheChart) {
  Load(50);
  for (int i = 0; i < 50; ++i) Set(i, {2.5f, 2.5f, 2.5f, 0.0f});
  Averages();
  Draw();
  ExpectInside(surface, 640, 480);
  const auto lines = BarLines();
  ASSERT_EQ(lines.size(), 50u);
  EXPECT_EQ(lines[0].from.y, 184 + 97);
  // Both labels name the one price; volume shows as zero with no lines of any length.
  EXPECT_NE(surface.FindText("  2.50"), nullptr);
  EXPECT_NE(surface.FindText("  0"), nullptr);
  for (const auto& op : surface.LinesWith(kRed)) {
    if (op.from.y == 6) {
      EXPECT_EQ(op.to.y, 6);
    }
  }
}

TEST_F(ChartFixture, GarbageQuotesStayInsideIntegerRange) {
  Load(10);
  Set(2, {3.0e38f, -3.0e38f, 1.0e38f, 3.0e38f});
  Set(4, {1.0f, 1.0f, -3.0e38f, -5.0f});
  Averages();
  Draw();
  EXPECT_EQ(BarLines().size(), 10u);
}

TEST_F(ChartFixture, TooNarrowForABarDrawsTheFrameOnly) {
  Load(30);
  Set(29, {75.0f, 25.0f, 61.0f, 1000.0f});
  bars.SetLogicalSize({58, 480});  // pw 3 < spacing 4: no bar fits
  Draw({0, 0, 58, 480});
  EXPECT_EQ(surface.Of(OpKind::Line).size(), 3u);
  EXPECT_TRUE(surface.Of(OpKind::Text).empty());

  bars.SetLogicalSize({62, 480});  // pw 7: one bar, the last
  Draw({0, 0, 62, 480});
  ASSERT_EQ(BarLines().size(), 1u);
  EXPECT_EQ(BarLines()[0].from.x, 9);
  EXPECT_NE(surface.FindText(" 61.00"), nullptr);

  bars.SetBarSpace(0);
  Draw();
  EXPECT_EQ(surface.Of(OpKind::Line).size(), 3u);
}

// The layout a caller asks for is the one Draw uses: every drawn bar stands at its x, and a
// pointer anywhere within half a spacing of a bar finds that bar, on a stretched target too.
TEST_F(ChartFixture, LayoutMapsPointerColumnsToTheDrawnBars) {
  Load(500);
  bars.SetBarSpace(5);
  const tv::Rect target{10, 20, 1290, 980};  // twice the 640 x 480 logical space
  Draw(target);
  const BarsLayout layout = bars.Layout(target);
  const auto lines = BarLines();
  ASSERT_EQ(static_cast<int>(lines.size()), layout.count);
  EXPECT_EQ(layout.Last(), 499);
  for (int k = 0; k < layout.count; ++k) {
    const int i = layout.first + k;
    ASSERT_EQ(lines[static_cast<std::size_t>(k)].from.x, layout.XOf(i));
    EXPECT_EQ(layout.BarAtX(layout.XOf(i) - 2), i);
    EXPECT_EQ(layout.BarAtX(layout.XOf(i) + 2), i);
    EXPECT_EQ(layout.BarAtDeviceX(lines[static_cast<std::size_t>(k)].deviceFrom.x), i);
  }
  EXPECT_EQ(layout.BarAtX(layout.XOf(layout.first) - 3), -1);
  EXPECT_EQ(layout.BarAtX(layout.XOf(499) + 3), -1);
  EXPECT_EQ(layout.BarAtDeviceX(target.right - 1), -1);  // over the scale column

  bars.SetBarSpace(0);
  EXPECT_EQ(bars.Layout(target).BarAtX(10), -1);
}

TEST_F(ChartFixture, DegenerateLogicalSizeDoesNotFail) {
  Load(30);
  bars.SetLogicalSize({0, 0});
  Draw();
  EXPECT_EQ(surface.Of(OpKind::FillRect).size(), 1u);
  bars.SetLogicalSize({-10, 5});
  Draw({0, 0, 0, 0});
  EXPECT_EQ(surface.Of(OpKind::FillRect).size(), 1u);
}

}  // namespace
