// The position pie's drawing calls: the pens of its wedge and the points on its disc. The
// pixels it makes on Qt are tested with the main window (PiePane).

#include <gtest/gtest.h>

#include <utility>

#include "position_pie.h"
#include "recording_surface.h"

namespace {

using namespace tv;

// The wedge's outline: yellow radii in the first half of the list, navy from the middle on;
// the arc is yellow either way.
TEST(PositionPie, RadiiTurnNavyFromTheMiddleOfTheList) {
  auto pens = [](int count, int current) {
    fixture::RecordingSurface surface;
    DrawPositionPie(surface, Rect{0, 0, 41, 41}, count, current);
    const auto pies = surface.Of(fixture::OpKind::Pie);
    const auto arcs = surface.Of(fixture::OpKind::Arc);
    EXPECT_EQ(pies.size(), 1u);
    EXPECT_EQ(arcs.size(), 1u);
    if (pies.empty() || arcs.empty()) return std::pair<Rgb, Rgb>{};
    EXPECT_EQ(pies[0].brush.color, (Rgb{255, 255, 0}));
    return std::pair{pies[0].pen.color, arcs[0].pen.color};
  };
  const Rgb navy{0, 0, 128}, yellow{255, 255, 0};
  EXPECT_EQ(pens(5, 1), std::pair(yellow, yellow));
  EXPECT_EQ(pens(5, 2), std::pair(navy, yellow));
  EXPECT_EQ(pens(127, 62), std::pair(yellow, yellow));
  EXPECT_EQ(pens(127, 63), std::pair(navy, yellow));

  // The radials: from three o'clock (index 1 of 5, 90 degrees) to twelve.
  fixture::RecordingSurface surface;
  DrawPositionPie(surface, Rect{0, 0, 41, 41}, 5, 1);
  const auto pie = surface.Of(fixture::OpKind::Pie).at(0);
  EXPECT_EQ(pie.from, (Point{40, 20}));
  EXPECT_EQ(pie.to, (Point{20, 0}));
  EXPECT_EQ(surface.Of(fixture::OpKind::Ellipse).at(0).rect, (Rect{0, 0, 41, 41}));
}

TEST(PositionPie, PointsOnTheEllipseUseTruncatedHalves) {
  const Rect r{10, 20, 31, 41};  // 21 x 21
  EXPECT_EQ(PointOnEllipse(r, 90), (Point{20, 20}));
  EXPECT_EQ(PointOnEllipse(r, 0), (Point{30, 30}));
  EXPECT_EQ(PointOnEllipse(r, -90), (Point{20, 40}));
  EXPECT_EQ(PointOnEllipse(r, 180), (Point{10, 30}));
}

}  // namespace
