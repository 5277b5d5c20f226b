#include "navigation.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A series of 1000 bars in a plot 500 pixels wide where the bar spacing fits 100 bars
// (5 pixels a bar).
constexpr int kBars = 1000, kWidth = 500, kDefault = 100;

using Step = std::function<void(plot::Navigation&)>;

Step Pan(int dx) {
  return [dx](plot::Navigation& nav) { plot::Pan(nav, kBars, kWidth, kDefault, dx); };
}
Step Zoom(int x, int steps) {
  return
      [x, steps](plot::Navigation& nav) { plot::ZoomAt(nav, kBars, kWidth, kDefault, x, steps); };
}
Step Follow(int bar) {
  return [bar](plot::Navigation& nav) { plot::Follow(nav, kBars, kWidth, kDefault, bar); };
}
const Step kFit = [](plot::Navigation& nav) { plot::Fit(nav); };
const Step kEnd = [](plot::Navigation& nav) { plot::ShowNewest(nav, kBars, kWidth, kDefault); };
const Step kHome = [](plot::Navigation& nav) { plot::ShowOldest(nav, kBars, kWidth, kDefault); };

TEST(Navigation, DragZoomFitAndTheKeysMoveTheStretchShown) {
  const struct {
    const char* what;
    std::vector<Step> steps;
    int first, count;
  } cases[] = {
      {"at first the newest bars at the bar spacing", {}, 900, 100},
      {"dragging right by 50 pixels shows 10 older bars", {Pan(50)}, 890, 100},
      {"dragging stops at the oldest bar", {Pan(100000)}, 0, 100},
      {"and at the newest", {Pan(-100000)}, 900, 100},
      {"a notch up about the middle: 80 bars, bar 950 stays under the pointer",
       {Zoom(250, 1)},
       910,
       80},
      {"a notch up at the right edge keeps the newest bar there", {Zoom(500, 1)}, 920, 80},
      {"zooming out ends at the whole series", {Zoom(0, -100)}, 0, 1000},
      {"zooming in ends at ten bars", {Zoom(500, 100)}, 990, 10},
      {"Fit History shows every bar", {Pan(300), kFit}, 0, 1000},
      {"End after a drag and a zoom keeps the zoom", {Pan(50), Zoom(250, 1), kEnd}, 920, 80},
      {"End after a drag brings back the first picture", {Pan(50), kEnd}, 900, 100},
      {"End after zooming out keeps the zoom", {Zoom(500, -1), kEnd}, 875, 125},
      {"Home shows the oldest bars at the zoom", {Zoom(500, 1), kHome}, 0, 80},
      {"the cursor left of the stretch scrolls it by as little as it takes",
       {Follow(850)},
       850,
       100},
      {"the cursor right of it after Home", {kHome, Follow(150)}, 51, 100},
      {"a drag after Fit History starts from the whole series", {kFit, Pan(100)}, 0, 1000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    plot::Navigation nav;
    for (const Step& step : c.steps) step(nav);
    const plot::Stretch s = plot::Shown(nav, kBars, kWidth, kDefault);
    EXPECT_EQ(s.first, c.first);
    EXPECT_EQ(s.count, c.count);
  }
  // A series shorter than the spacing fits is shown whole.
  const plot::Stretch few = plot::Shown({}, 30, kWidth, kDefault);
  EXPECT_EQ(few.first, 0);
  EXPECT_EQ(few.count, 30);
}

}  // namespace
