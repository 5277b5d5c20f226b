// The extended chart drawn on a recording surface: its layout, labels and styles.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "chart.h"
#include "recording_surface.h"
#include "study_panes.h"
#include "text_boxes.h"
#include "time_axis.h"
#include "values.h"

namespace {

using fixture::OpKind;
using fixture::RecordingSurface;
using fixture::SurfaceOp;

constexpr tv::Rgb kRed{255, 0, 0}, kBlue{0, 0, 255}, kCyan{0, 255, 255};
using plottest::kPaper;
using plottest::kScreen;

// One security of n weekday bars from 2010-01-04 in extended reading, its prices a slow
// wave between `lo` and `hi`, under a long name.
class PlotFixture : public ::testing::Test {
 protected:
  void Load(int n, double lo = 0.035, double hi = 0.062,
            const char* name = "China Yunnan Copper Aust.") {
    in.symbol = "CYU";
    in.name = name;
    in.series = {};
    in.series.hasTime = in.series.hasOpen = in.series.hasHigh = in.series.hasLow = true;
    in.series.hasVolume = in.series.hasOpenInterest = true;
    in.series.Resize(n);
    std::int16_t date = DayNumber(2010, 1, 4);
    for (int i = 0; i < n; ++i, ++date) {
      while (date % 7 == 0 || date % 7 == 1) ++date;  // day 1 was a Sunday
      const double mid = lo + (hi - lo) * (0.5 + 0.45 * std::sin(i / 17.0));
      const double swing = (hi - lo) * 0.04;
      // Quoted to a tenth of a cent, as the penny stocks of a vendor's directory are.
      const auto quote = [](double v) { return static_cast<float>(std::round(v * 1000) / 1000); };
      auto& s = in.series;
      s.date[i] = date;
      s.open[i] = quote(mid - swing / 2 * std::cos(i));
      s.high[i] = quote(mid + swing);
      s.low[i] = quote(mid - swing);
      s.close[i] = quote(mid + swing / 2 * std::cos(i));
      s.volume[i] = static_cast<float>(1000 + 37 * (i % 50));
    }
  }
  plot::PlotFrame Draw(tv::Rect target, const plot::PlotOptions& o = {},
                       const plot::PlotCursor& cursor = {}, bool printing = false) {
    surface.ops.clear();
    in.colors = printing ? kPaper : kScreen;
    return plot::DrawPlot(in, surface, target, printing, o, cursor);
  }
  // Everything drawn, as one comparable text.
  std::string Picture() const {
    std::string out;
    for (const SurfaceOp& op : surface.ops) {
      if (op.kind != OpKind::Line && op.kind != OpKind::FillRect && op.kind != OpKind::Text)
        continue;
      out += std::to_string(static_cast<int>(op.kind)) + ":" + std::to_string(op.deviceFrom.x) +
             "," + std::to_string(op.deviceFrom.y) + "," + std::to_string(op.deviceTo.y) + "," +
             std::to_string(op.deviceRect.top) + op.text + ";";
    }
    return out;
  }

  plot::PlotInput in = plottest::ScreenInput();
  RecordingSurface surface;
};

TEST_F(PlotFixture, NoLabelCoversAnotherAndNoneLeavesTheChart) {
  Load(600);
  const struct {
    tv::Rect target;
    double scale;
  } sizes[] = {{{0, 0, 640, 480}, 1},  {{0, 0, 800, 600}, 1},   {{0, 0, 1024, 768}, 1},
               {{0, 0, 1280, 720}, 1}, {{0, 0, 1920, 1080}, 1}, {{0, 0, 2048, 1536}, 2},
               {{0, 0, 1280, 1440}, 2}};
  for (const auto& size : sizes) {
    for (const bool log : {false, true}) {
      SCOPED_TRACE(std::to_string(size.target.right) + "x" + std::to_string(size.target.bottom) +
                   (log ? " log" : ""));
      plot::PlotOptions o;
      o.log = log;
      o.scale = size.scale;
      const plot::PlotFrame f = Draw(size.target, o);
      Draw(size.target, o, {f.first + f.count / 2, f.plot.top + f.plot.height() / 3});
      EXPECT_EQ(plottest::Collisions(plottest::TextBoxes(surface), size.target),
                std::vector<std::string>{});
    }
  }
}

TEST_F(PlotFixture, PriceLabelsAreDistinctRoundStepsAndTheLastCloseHasItsOwnDigits) {
  Load(300);
  in.series.close[299] = 0.043f;
  const plot::PlotFrame f = Draw({0, 0, 1280, 720});
  std::vector<double> prices;
  std::set<std::string> seen;
  for (const auto& [box, text] : plottest::TextBoxes(surface)) {
    // The value axis: texts right of the bars, inside the price pane.
    if (box.left <= f.plot.right || box.top < f.panes[0].rect.top ||
        box.bottom > f.panes[0].rect.bottom)
      continue;
    EXPECT_TRUE(seen.insert(text).second) << text;
    if (text != "0.043") prices.push_back(std::stod(text));
  }
  EXPECT_TRUE(seen.count("0.043"));
  ASSERT_GE(prices.size(), 4u);
  std::sort(prices.begin(), prices.end());
  const double step = prices[1] - prices[0];
  EXPECT_NEAR(step, 0.002, 1e-12);
  for (std::size_t i = 1; i < prices.size(); ++i)
    EXPECT_NEAR(prices[i] - prices[i - 1], step, 1e-12);
  // The mark behind the last close is filled in the close colour.
  const auto fills = surface.Of(OpKind::FillRect);
  EXPECT_TRUE(std::any_of(fills.begin(), fills.end(),
                          [](const SurfaceOp& op) { return op.brush.color == kCyan; }));
}

TEST_F(PlotFixture, TheTimeAxisShowsMonthsAndYears) {
  Load(600);
  Draw({0, 0, 800, 600});
  const auto texts = surface.Texts();
  for (const char* want : {"2012", "Feb", "Mar"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), want), texts.end()) << want;
}

TEST_F(PlotFixture, TheFourStylesAndTheLogScaleGiveFiveDifferentPictures) {
  Load(300, 1, 40);
  std::set<std::string> pictures;
  for (const plot::Style style :
       {plot::Style::Hlc, plot::Style::Ohlc, plot::Style::Candles, plot::Style::Line}) {
    plot::PlotOptions o;
    o.style = style;
    Draw({0, 0, 1280, 720}, o);
    pictures.insert(Picture());
  }
  plot::PlotOptions log;
  log.log = true;
  Draw({0, 0, 1280, 720}, log);
  pictures.insert(Picture());
  EXPECT_EQ(pictures.size(), 5u);
}

TEST_F(PlotFixture, AveragesStartWhereAWholeWindowLiesBehindThem) {
  const struct {
    int bars, length;
    int firstBar;  // the first bar an average line may start from
  } cases[] = {
      {40, 10, 9},   // all bars shown: the line begins at the tenth
      {600, 10, 0},  // a long series: warmed by the bars before the screen, from the first
  };
  for (const auto& c : cases) {
    Load(c.bars);
    in.averages = {{plot::AverageKind::Simple, c.length}};
    const plot::PlotFrame f = Draw({0, 0, 1280, 720});
    const auto lines = surface.LinesWith(kRed);
    ASSERT_FALSE(lines.empty());
    int leftmost = INT32_MAX;
    for (const SurfaceOp& op : lines) {
      leftmost = std::min({leftmost, op.deviceFrom.x, op.deviceTo.x});
      // Never out of zero: every point lies inside the price pane's values.
      EXPECT_GE(op.deviceTo.y, f.panes[0].scale.top);
      EXPECT_LE(op.deviceTo.y, f.panes[0].scale.bottom);
    }
    EXPECT_EQ(leftmost, f.XOf(std::max(f.first, c.firstBar)));
  }
}

TEST_F(PlotFixture, TheCrosshairShowsTheValuesOfItsBar) {
  Load(300);
  const plot::PlotFrame shown = Draw({0, 0, 1280, 720});
  const int bar = shown.first + 10;
  const int y = shown.panes[0].scale.YOf(0.05);
  Draw({0, 0, 1280, 720}, {}, {bar, y});
  const std::string date = plot::IsoDate(in.series.date[bar]);
  const auto texts = surface.Texts();
  // The date on the time axis and the bar's values along the top, both from the bar.
  EXPECT_NE(std::find(texts.begin(), texts.end(), date), texts.end());
  for (const char* field : {"O ", "H ", "L ", "C "}) {
    const float v = field[0] == 'O'   ? in.series.open[bar]
                    : field[0] == 'H' ? in.series.high[bar]
                    : field[0] == 'L' ? in.series.low[bar]
                                      : in.series.close[bar];
    EXPECT_NE(std::find(texts.begin(), texts.end(), field + plot::FormatValue(v, 3)), texts.end())
        << field;
  }
  // The value at the pointer's row, in the security's digits.
  EXPECT_NE(std::find(texts.begin(), texts.end(), "0.050"), texts.end());
  // The legends give the averages' and the studies' values at the crosshair's bar.
  plot::PlotOptions o;
  const studies::StudyConfig rsi = *studies::ParseStudyConfig("rsi:14");
  plot::AddStudies(in.series, {&rsi, 1}, o);
  const int later = shown.first + 40;  // where all three are defined
  Draw({0, 0, 1280, 720}, o, {later, y});
  const auto legends = surface.Texts();
  std::vector<double> closes(in.series.close.begin(), in.series.close.end());
  for (const std::string& value :
       {plot::FormatPrice(plot::MovingAverage(closes, 10, plot::AverageKind::Simple)[later], 3),
        plot::FormatPrice(plot::MovingAverage(closes, 20, plot::AverageKind::Simple)[later], 3),
        plot::FormatValue(o.panes[0].lines[0].values[static_cast<std::size_t>(later)], 2)})
    EXPECT_TRUE(std::find(legends.begin(), legends.end(), value) != legends.end()) << value;
  // Without a cursor the values are the last bar's.
  Draw({0, 0, 1280, 720});
  const std::string last = plot::IsoDate(in.series.date[299]);
  const auto plain = surface.Texts();
  EXPECT_TRUE(std::any_of(plain.begin(), plain.end(),
                          [&](const std::string& t) { return t.rfind(last, 0) == 0; }));
}

TEST_F(PlotFixture, TheNameGivesWayToTheValuesAndIsShortened) {
  Load(300);
  Draw({0, 0, 640, 480});
  const auto texts = surface.Texts();
  EXPECT_EQ(texts[0], "CYU");
  EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const std::string& t) {
    return t.size() > 3 && t.rfind("Chi", 0) == 0 && t.substr(t.size() - 3) == "...";
  }));
  Draw({0, 0, 1920, 1080});
  const auto wide = surface.Texts();
  EXPECT_NE(std::find(wide.begin(), wide.end(), "China Yunnan Copper Aust."), wide.end());
}

TEST_F(PlotFixture, BadInputDrawsInsideTheTargetAndLeavesTheSurfaceAsItCame) {
  const float inf = INFINITY, nan = NAN;
  const struct {
    int bars;
    float value;
    tv::Rect target;
  } cases[] = {
      {0, 0, {0, 0, 800, 600}},       {300, nan, {0, 0, 800, 600}}, {300, inf, {0, 0, 800, 600}},
      {300, 1e30f, {0, 0, 800, 600}}, {300, -5, {0, 0, 800, 600}},  {300, 0, {0, 0, 12, 9}},
      {1, 0.5f, {0, 0, 800, 600}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bars);
    if (c.bars > 0) {
      Load(c.bars);
      for (int i = 0; i < c.bars; i += 7) {
        in.series.high[i] = c.value;
        in.series.close[i] = c.value;
        in.series.volume[i] = c.value;
      }
    } else {
      in.series = {};
    }
    const tv::Pen pen{kBlue, 3};
    surface.SelectPen(pen);
    plot::PlotOptions o;
    o.log = true;
    o.style = plot::Style::Candles;
    Draw(c.target, o);
    EXPECT_EQ(surface.CurrentPen(), pen);
    EXPECT_EQ(surface.GetMapping(), tv::Mapping{});
    for (const SurfaceOp& op : surface.Of(OpKind::Line)) {
      for (const tv::Point p : {op.deviceFrom, op.deviceTo}) {
        EXPECT_TRUE(p.x >= 0 && p.x <= c.target.right && p.y >= 0 && p.y <= c.target.bottom)
            << p.x << "," << p.y;
      }
    }
  }
}

TEST_F(PlotFixture, StudiesDrawBandsOverThePricesAndPanesWithTheirLevelsAndLabels) {
  Load(400, 10, 20);
  std::vector<studies::StudyConfig> configs;
  for (const char* text : {"bollinger", "rsi", "macd:5,10,3", "stochastic"})
    configs.push_back(*studies::ParseStudyConfig(text));
  plot::PlotOptions o;
  plot::AddStudies(in.series, configs, o);

  ASSERT_EQ(o.overlays.size(), 3u);  // middle, upper and lower band
  EXPECT_EQ(o.overlays[0].name, "Bollinger(20,2)");
  const struct {
    const char* label;
    std::vector<double> references;
    bool fixedRange;
    std::size_t lines;
    std::size_t firstDefined;  // the series' first bar with a value
  } panes[] = {{"RSI(14)", {30, 70}, true, 1, 14},
               {"MACD(5,10,3)", {0}, false, 3, 11},
               {"Stochastic(14,3)", {20, 80}, true, 2, 15}};
  ASSERT_EQ(o.panes.size(), 3u);
  for (std::size_t k = 0; k < 3; ++k) {
    SCOPED_TRACE(panes[k].label);
    const plot::StudyPane& pane = o.panes[k];
    EXPECT_EQ(pane.label, panes[k].label);
    EXPECT_EQ(pane.references, panes[k].references);
    EXPECT_EQ(pane.lo.has_value() && pane.hi.has_value(), panes[k].fixedRange);
    ASSERT_EQ(pane.lines.size(), panes[k].lines);
    // Computed over the whole series, so the bars before the screen warm them up.
    const std::vector<double>& values = pane.lines.back().values;
    ASSERT_EQ(values.size(), 400u);
    EXPECT_TRUE(std::isnan(values[panes[k].firstDefined - 1]));
    EXPECT_FALSE(std::isnan(values[panes[k].firstDefined]));
  }

  for (const tv::Rect target : {tv::Rect{0, 0, 640, 480}, tv::Rect{0, 0, 1280, 720}}) {
    const plot::PlotFrame f = Draw(target, o);
    ASSERT_EQ(f.panes.size(), 5u);  // prices, volume and the three studies
    // Each oscillator's reference levels are lines across its pane.
    for (std::size_t k = 0; k < 3; ++k) {
      const plot::PaneFrame& pf = f.panes[k + 2];
      for (const double level : panes[k].references) {
        const int y = pf.scale.YOf(level);
        const auto across = surface.Of(OpKind::Line);
        EXPECT_TRUE(std::any_of(across.begin(), across.end(),
                                [&](const SurfaceOp& op) {
                                  return op.deviceFrom.y == y && op.deviceTo.y == y &&
                                         op.deviceFrom.x == pf.rect.left;
                                }))
            << panes[k].label << " at " << level;
      }
    }
    std::set<std::string> texts;
    const auto boxes = plottest::TextBoxes(surface);
    for (const auto& [box, text] : boxes) texts.insert(text);
    EXPECT_EQ(plottest::Collisions(boxes, target), std::vector<std::string>{});
    for (const char* label : {"Bollinger(20,2)", "RSI(14)", "MACD(5,10,3)", "Stochastic(14,3)"})
      EXPECT_EQ(texts.count(label), 1u) << label;
  }
}

// Repeated dates in a daily file are no intraday bars: no time of day anywhere on the chart.
TEST_F(PlotFixture, ATimeOfDayIsShownOnlyForASecurityThatHasOne) {
  for (const bool hasTime : {false, true}) {
    Load(300);
    in.series.date[299] = in.series.date[298];
    in.series.hasTime = hasTime;
    Draw({0, 0, 1280, 720});
    const auto texts = surface.Texts();
    EXPECT_EQ(
        std::any_of(texts.begin(), texts.end(),
                    [](const std::string& t) { return t.find("00:00") != std::string::npos; }),
        hasTime);
  }
}

TEST_F(PlotFixture, FieldsTheSecurityLacksAreNeitherDrawnNorInvented) {
  const struct {
    bool opens, volumes, openInterest;
    const char* note;  // in the legend, or empty
  } cases[] = {
      {true, true, false, ""},
      {false, true, false, "no opens: drawn as high-low-close"},
      {true, false, false, ""},
      {true, true, true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.opens ? "opens " : "") + (c.volumes ? "volumes " : "") +
                 (c.openInterest ? "oi" : ""));
    Load(300);
    for (int i = 0; i < 300; ++i) {
      if (!c.opens) in.series.open[i] = 0;
      if (!c.volumes) in.series.volume[i] = 0;
      in.series.openInterest[i] = c.openInterest ? static_cast<float>(20000 + i) : 0.0f;
    }
    std::vector<std::string> pictures;
    for (const plot::Style style : {plot::Style::Hlc, plot::Style::Ohlc, plot::Style::Candles}) {
      plot::PlotOptions o;
      o.style = style;
      o.openInterest = true;
      Draw({0, 0, 1280, 720}, o);
      pictures.push_back(Picture());
      const auto texts = surface.Texts();
      const auto has = [&](const std::string& t) {
        return std::find(texts.begin(), texts.end(), t) != texts.end();
      };
      const auto starts = [&](const std::string& t) {
        return std::any_of(texts.begin(), texts.end(),
                           [&](const std::string& x) { return x.rfind(t, 0) == 0; });
      };
      EXPECT_EQ(has("Volume"), c.volumes);
      EXPECT_EQ(starts("O "), c.opens);
      EXPECT_EQ(starts("OI "), c.openInterest);
      EXPECT_EQ(has("Open interest"), c.openInterest);
      if (*c.note != 0) {
        EXPECT_EQ(has(c.note), style != plot::Style::Hlc);
      }
    }
    // Without opens the three styles draw the same bars.
    EXPECT_EQ(pictures[1] == pictures[2], !c.opens);
  }
}

TEST_F(PlotFixture, EveryTextReadsOnItsBackgroundOnScreenAndOnPaper) {
  Load(300, 10, 20);
  std::vector<studies::StudyConfig> configs;
  for (const char* text : {"bollinger", "ema:50", "rsi", "macd", "stochastic"})
    configs.push_back(*studies::ParseStudyConfig(text));
  for (const bool printing : {false, true}) {
    SCOPED_TRACE(printing ? "print" : "screen");
    plot::PlotOptions o;
    plot::AddStudies(in.series, configs, o);
    Draw({0, 0, 1280, 720}, o, {}, printing);
    const tv::Rgb background = surface.Of(OpKind::FillRect).front().brush.color;
    const std::string lastClose = plot::FormatValue(in.series.close[299], 3);
    std::set<std::string> legend;
    for (const SurfaceOp& op : surface.Of(OpKind::Text)) {
      if (op.text == lastClose) continue;  // drawn on its own marker
      EXPECT_GE(plot::Contrast(op.textColor, background), 4.5) << op.text;
      if (op.text.rfind("SMA(", 0) == 0) legend.insert(op.text + std::to_string(op.textColor.r));
    }
    // The two averages tell apart on paper too.
    EXPECT_EQ(legend.size(), 2u);
  }
}

TEST_F(PlotFixture, AGivenStretchOfBarsFillsTheWidthAndAShortHistorySitsAtTheRight) {
  const struct {
    int bars, barCount, lastBar;
    int first, count;
  } cases[] = {
      {300, 0, -1, -1, -1},                           // as many as fit, the newest last
      {300, 100, 250, 151, 100},                      // the screen's bars on a page
      {300, 100, -1, 200, 100},  {20, 0, -1, 0, 20},  // a short history, all of it
      {6, 0, -1, 0, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.bars) + " " + std::to_string(c.barCount));
    Load(c.bars);
    plot::PlotOptions o;
    o.barCount = c.barCount;
    o.lastBar = c.lastBar;
    const plot::PlotFrame f = Draw({0, 0, 1280, 720}, o);
    if (c.first >= 0) {
      EXPECT_EQ(f.first, c.first);
      EXPECT_EQ(f.count, c.count);
    } else {
      EXPECT_EQ(f.first + f.count, c.bars);
    }
    // The newest bar shown next to the axis, the oldest no further left than the plot.
    EXPECT_GE(f.XOf(f.first + f.count - 1), f.plot.right - f.spacing);
    EXPECT_GE(f.XOf(f.first), f.plot.left);
    int timeLabels = 0;
    for (const auto& [box, text] : plottest::TextBoxes(surface))
      if (box.top >= f.plot.bottom && box.right <= f.plot.right) ++timeLabels;
    EXPECT_GE(timeLabels, 3);
  }
}

TEST_F(PlotFixture, TheLogScaleFollowsThePricesAndClipsABandBelowThem) {
  Load(300, 0.45, 4.0);
  plot::PlotOptions o;
  o.log = true;
  o.overlays.push_back({"band", kRed, std::vector<double>(300, -1.5)});
  const plot::PlotFrame f = Draw({0, 0, 1280, 720}, o);
  EXPECT_TRUE(f.panes[0].scale.log);
  EXPECT_GT(f.panes[0].scale.lo, 0.3);
  const auto texts = surface.Texts();
  EXPECT_EQ(std::find(texts.begin(), texts.end(), "linear scale: prices at or below 0"),
            texts.end());
}

TEST_F(PlotFixture, ComparedSecuritiesShareAPercentAxisFromTheFirstBarShown) {
  Load(600);
  plot::PlotOptions o;
  o.barCount = 200;  // bars 400 to 599
  // An other that starts ten bars into the stretch at 10 and ends at 11, and one not found.
  plot::ComparedLine other{"OTH", std::vector<double>(600, NAN), ""};
  for (std::size_t i = 410; i < 600; ++i) other.close[i] = 10;
  other.close[599] = 11;
  in.compared = {other, {"GONE", {}, "not found"}};
  const plot::PlotFrame f = Draw({0, 0, 1280, 720}, o);
  ASSERT_EQ(f.first, 400);
  const auto texts = surface.Texts();
  const auto has = [&](const std::string& t) {
    return std::find(texts.begin(), texts.end(), t) != texts.end();
  };
  const double first = in.series.close[static_cast<std::size_t>(f.first)];
  const double last = in.series.close[599];
  for (const std::string& want :
       {std::string("CYU"), std::string("OTH"), std::string("+10.00%"),
        std::string("GONE: not found"), plot::FormatValue(100 * (last / first - 1), 2) + "%"})
    EXPECT_TRUE(has(want) || has("+" + want)) << want;
  // The price pane's axis is in percents; the averages are not drawn against them.
  for (const auto& [box, text] : plottest::TextBoxes(surface)) {
    if (box.left > f.plot.right && box.top >= f.panes[0].rect.top &&
        box.bottom <= f.panes[0].rect.bottom) {
      EXPECT_EQ(text.back(), '%') << text;
    }
  }
  EXPECT_FALSE(has("SMA(10)"));
  // Rows of closes follow the percents: the first bar shown sits on 0 %.
  EXPECT_EQ(f.CloseY(in.series, f.first), f.panes[0].scale.YOf(0));
  // A stretch further back rebases every line to its own first bar.
  plot::PlotOptions back;
  back.barCount = f.count;
  back.lastBar = 400;
  const plot::PlotFrame earlier = Draw({0, 0, 1280, 720}, back, {420, f.panes[0].rect.top + 40});
  EXPECT_EQ(earlier.CloseY(in.series, earlier.first), earlier.panes[0].scale.YOf(0));
  EXPECT_EQ(plottest::Collisions(plottest::TextBoxes(surface), {0, 0, 1280, 720}),
            std::vector<std::string>{});
}

// Any number of averages: each in a colour of its own (the palette's two first), named with
// its value at the crosshair's bar in the legend.
TEST_F(PlotFixture, EveryAverageHasItsColourAndItsValueInTheLegend) {
  using plot::AverageKind;
  Load(300);
  in.averages = {{AverageKind::Simple, 10},
                 {AverageKind::Exponential, 20},
                 {AverageKind::Simple, 50},
                 {AverageKind::Exponential, 200},
                 {AverageKind::Simple, 0}};  // not drawn
  const int bar = 250;
  Draw({0, 0, 1280, 720}, {}, {bar, 300});
  std::vector<double> closes(in.series.close.begin(), in.series.close.end());
  std::set<std::tuple<int, int, int>> colours;
  for (const plot::PlotAverage& a : in.averages) {
    const std::string name =
        (a.kind == AverageKind::Simple ? "SMA(" : "EMA(") + std::to_string(a.length) + ")";
    const SurfaceOp* label = surface.FindText(name);
    if (a.length == 0) {
      EXPECT_EQ(label, nullptr);
      continue;
    }
    ASSERT_NE(label, nullptr) << name;
    const tv::Rgb c = label->textColor;
    colours.insert({c.r, c.g, c.b});
    EXPECT_FALSE(surface.LinesWith(c).empty()) << name;
    const double value = plot::MovingAverage(closes, a.length, a.kind)[bar];
    EXPECT_NE(surface.FindText(plot::FormatPrice(value, 3)), nullptr) << name;
  }
  EXPECT_EQ(colours.size(), 4u);
  EXPECT_TRUE(colours.count({kRed.r, kRed.g, kRed.b}));
}

// A whole history in fewer pixel columns than bars: each column is one upright line from the
// highest high to the lowest low of the bars that fall into it.
TEST_F(PlotFixture, AFittedHistoryDrawsEachColumnFromTheHighAndLowOfItsBars) {
  for (const int n : {3000, 9000}) {
    SCOPED_TRACE(n);
    Load(n);
    plot::PlotOptions o;
    o.barCount = n;
    const plot::PlotFrame f = Draw({0, 0, 1280, 720}, o);
    ASSERT_EQ(f.count, n);
    ASSERT_LT(f.plot.width(), n);
    std::map<int, std::pair<int, int>> want;  // column: the rows of its high and low
    const plot::ValueScale& sc = f.panes[0].scale;
    for (int i = 0; i < n; ++i) {
      auto [it, fresh] =
          want.try_emplace(f.XOf(i), sc.YOf(in.series.high[i]), sc.YOf(in.series.low[i]));
      it->second.first = std::min(it->second.first, sc.YOf(in.series.high[i]));
      it->second.second = std::max(it->second.second, sc.YOf(in.series.low[i]));
    }
    std::map<int, std::pair<int, int>> drawn;
    for (const SurfaceOp& op : surface.LinesWith(plottest::kGreenColor)) {
      ASSERT_EQ(op.deviceFrom.x, op.deviceTo.x);
      EXPECT_TRUE(drawn.try_emplace(op.deviceFrom.x, op.deviceFrom.y, op.deviceTo.y - 1).second)
          << "column " << op.deviceFrom.x << " drawn twice";
    }
    EXPECT_EQ(drawn, want);
  }
}

}  // namespace
