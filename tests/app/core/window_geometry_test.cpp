// The main window's size and place and the centring of a window, as numbers. That the windows
// take them is tested with the main window.

#include <gtest/gtest.h>

#include "window_geometry.h"

namespace {

using tv::Rect;

TEST(WindowGeometry, NinetyFivePercentOfTheScreenCentred) {
  EXPECT_EQ(tv::MainWindowRect(640, 480), (Rect{16, 12, 16 + 607, 12 + 455}));
  EXPECT_EQ(tv::MainWindowRect(800, 600), (Rect{20, 15, 20 + 759, 15 + 569}));
  EXPECT_EQ(tv::MainWindowRect(1024, 768), (Rect{26, 19, 26 + 972, 19 + 729}));
}

TEST(WindowGeometry, DialogsAreCentredOnTheScreen) {
  Rect r{5, 5, 205, 105};
  tv::CenterRect(r, 800, 600);
  EXPECT_EQ(r, (Rect{300, 250, 500, 350}));
  Rect odd{0, 0, 201, 101};
  tv::CenterRect(odd, 640, 480);
  EXPECT_EQ(odd.left, 219);
  EXPECT_EQ(odd.top, 189);
}

}  // namespace
