// The extended chart of real securities as their vendor wrote them (no layout files): round
// ticks, distinct labels, months and years, nothing over anything, at three window sizes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "chart.h"
#include "extended.h"
#include "recording_surface.h"
#include "text_boxes.h"

namespace {

namespace fs = std::filesystem;

bool IsYear(const std::string& t) {
  return t.size() == 4 &&
         std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
}

TEST(RealData, DddBhpAndCyuAtThreeSizes) {
  const fs::path master = fs::path(TICKVANE_SHARED_DIR) / "realdata" / "asx-mining" / "MASTER";
  if (!fs::exists(master)) GTEST_SKIP() << "no real data at " << master;
  const std::set<std::string> months{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (const char* symbol : {"DDD", "BHP", "CYU"}) {
    // The last 800 bars, as the chart's window holds them.
    PriceSeries series;
    ASSERT_EQ(ReadSecurityExtended(series, master.parent_path().string(), symbol, -1, 800, 1),
              kSuccess);
    plot::PlotInput in = plottest::ScreenInput();
    in.series = plot::SeriesOf(series);
    in.symbol = symbol;
    ReleasePriceSeries(series);
    for (const tv::Rect target :
         {tv::Rect{0, 0, 800, 600}, tv::Rect{0, 0, 1280, 720}, tv::Rect{0, 0, 1920, 1080}}) {
      for (const bool log : {false, true}) {
        SCOPED_TRACE(std::string(symbol) + " " + std::to_string(target.right) +
                     (log ? " log" : ""));
        fixture::RecordingSurface surface;
        plot::PlotOptions options;
        options.log = log;
        const plot::PlotFrame f = plot::DrawPlot(in, surface, target, false, options);
        const auto boxes = plottest::TextBoxes(surface);
        EXPECT_EQ(plottest::Collisions(boxes, target), std::vector<std::string>{});
        std::vector<double> prices;
        std::set<std::string> texts;
        bool month = false, year = false;
        const plot::PaneFrame& pane = f.panes[0];
        for (const auto& [box, text] : boxes) {
          if (box.top >= f.plot.bottom) {
            month = month || months.count(text) > 0;
            year = year || IsYear(text);
          }
          if (box.left > f.plot.right && box.top >= pane.rect.top &&
              box.bottom <= pane.rect.bottom) {
            EXPECT_TRUE(texts.insert(text).second) << text;
            prices.push_back(std::stod(text));
          }
        }
        EXPECT_TRUE(month);
        EXPECT_TRUE(year);
        ASSERT_GE(prices.size(), 3u);
        if (log) continue;
        // Evenly spaced at one step of the 1-2-2.5-5 series (the last close may lie between).
        // The step is the commonest distance: the last close's mark falls between two ticks
        // and may hide one.
        std::sort(prices.begin(), prices.end());
        std::map<long long, int> counts;
        for (std::size_t i = 1; i < prices.size(); ++i)
          ++counts[std::llround((prices[i] - prices[i - 1]) * 1e6)];
        const auto commonest =
            std::max_element(counts.begin(), counts.end(),
                             [](const auto& a, const auto& b) { return a.second < b.second; });
        const double step = commonest->first / 1e6;
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
        EXPECT_TRUE(std::abs(mantissa - 1) < 1e-6 || std::abs(mantissa - 2) < 1e-6 ||
                    std::abs(mantissa - 2.5) < 1e-6 || std::abs(mantissa - 5) < 1e-6)
            << step;
      }
    }
  }
}

}  // namespace
