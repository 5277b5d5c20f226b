// The drawing surface on QPainter, pixel by pixel on small images.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <functional>

#include "qt_surface.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;

QImage Paint(int w, int h, const std::function<void(tv::Surface&)>& draw) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(kWhite);
  QPainter painter(&image);
  tv::QtSurface surface(painter);
  draw(surface);
  return image;
}

bool Black(const QImage& image, int x, int y) { return image.pixel(x, y) == kBlack; }

TEST(QtSurface, LinesStopShortOfTheirEndPointInEitherDirection) {
  const QImage image = Paint(12, 12, [](tv::Surface& s) {
    s.SelectPen({{0, 0, 0}, 0});
    s.MoveTo({2, 2});
    s.LineTo({8, 2});
    s.MoveTo({8, 4});
    s.LineTo({2, 4});
    s.MoveTo({10, 9});
    s.LineTo({10, 3});
    s.MoveTo({1, 6});
    s.LineTo({5, 10});
    s.MoveTo({0, 11});
    s.LineTo({0, 11});  // nothing at all
  });
  for (int x = 2; x < 8; ++x) EXPECT_TRUE(Black(image, x, 2)) << x;
  EXPECT_FALSE(Black(image, 8, 2));
  for (int x = 3; x <= 8; ++x) EXPECT_TRUE(Black(image, x, 4)) << x;
  EXPECT_FALSE(Black(image, 2, 4));
  for (int y = 4; y <= 9; ++y) EXPECT_TRUE(Black(image, 10, y)) << y;
  EXPECT_FALSE(Black(image, 10, 3));
  EXPECT_TRUE(Black(image, 1, 6));
  EXPECT_TRUE(Black(image, 4, 9));
  EXPECT_FALSE(Black(image, 5, 10));
  EXPECT_FALSE(Black(image, 0, 11));
}

TEST(QtSurface, YUpMappingAndPenWidths) {
  // 100 x 100 logical units on 200 x 200 pixels, y up.
  const QImage image = Paint(200, 200, [](tv::Surface& s) {
    s.SetAnisotropic({100, 100}, {200, -200}, {0, 200});
    s.SelectPen({{0, 0, 0}, 0});
    s.MoveTo({10, 10});
    s.LineTo({10, 20});  // device x 20, rows 180 up to 161
    s.SelectPen({{0, 0, 0}, 3});
    s.MoveTo({50, 50});
    s.LineTo({50, 80});  // six pixels wide around device x 100
  });
  EXPECT_TRUE(Black(image, 20, 180));
  EXPECT_TRUE(Black(image, 20, 161));
  EXPECT_FALSE(Black(image, 20, 160));
  EXPECT_FALSE(Black(image, 21, 170));  // width 0 stays one pixel at twice the scale
  int wide = 0;
  for (int x = 90; x < 110; ++x) wide += Black(image, x, 80);
  EXPECT_EQ(wide, 6);
}

TEST(QtSurface, FillRectLeavesOutItsFarEdges) {
  const QImage image = Paint(10, 10, [](tv::Surface& s) {
    s.FillRect({2, 2, 6, 5}, tv::Brush{{0, 0, 0}});
  });
  EXPECT_TRUE(Black(image, 2, 2));
  EXPECT_TRUE(Black(image, 5, 4));
  EXPECT_FALSE(Black(image, 6, 4));
  EXPECT_FALSE(Black(image, 5, 5));
}

TEST(QtSurface, TextIsNotMirroredByAYUpMapping) {
  const auto text = [](bool yUp) {
    return Paint(120, 40, [yUp](tv::Surface& s) {
      s.SetBkMode(tv::BkMode::Transparent);
      s.SetTextAlign(tv::kAlignLeft | tv::kAlignTop);
      if (yUp) {
        s.SetAnisotropic({120, 40}, {120, -40}, {0, 40});
        s.TextOut({5, 35}, "Tick 7");
      } else {
        s.TextOut({5, 5}, "Tick 7");
      }
    });
  };
  const QImage down = text(false);
  EXPECT_EQ(down, text(true));
  EXPECT_NE(down, Paint(120, 40, [](tv::Surface&) {}));
}

TEST(QtSurface, TextAlignmentsPlaceTheTextAroundItsPoint) {
  const auto extent = [](unsigned align) {
    const QImage image = Paint(200, 60, [align](tv::Surface& s) {
      s.SetBkMode(tv::BkMode::Transparent);
      s.SetTextAlign(align);
      s.TextOut({100, 30}, "WWW");
    });
    int left = 200, right = -1, top = 60, bottom = -1;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 200; ++x)
        if (image.pixel(x, y) != kWhite) {
          left = std::min(left, x);
          right = std::max(right, x);
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
    return QRect(QPoint(left, top), QPoint(right, bottom));
  };
  const QRect leftTop = extent(tv::kAlignLeft | tv::kAlignTop);
  EXPECT_GE(leftTop.left(), 100);
  EXPECT_GE(leftTop.top(), 30);
  const QRect rightTop = extent(tv::kAlignRight | tv::kAlignTop);
  EXPECT_LE(rightTop.right(), 100);
  const QRect centre = extent(tv::kAlignCenter | tv::kAlignTop);
  EXPECT_LT(centre.left(), 100);
  EXPECT_GT(centre.right(), 100);
  const QRect baseline = extent(tv::kAlignLeft | tv::kAlignBaseline);
  EXPECT_LE(baseline.bottom(), 30);
}

TEST(QtSurface, FocusRectangleDrawnTwiceLeavesNoTrace) {
  QImage image(30, 20, QImage::Format_RGB32);
  image.fill(0xFF336699);
  const QImage before = image;
  {
    QPainter painter(&image);
    tv::QtSurface s(painter);
    s.DrawFocusRect({2, 2, 25, 15});
  }
  EXPECT_NE(image, before);
  EXPECT_EQ(image.pixel(10, 10), before.pixel(10, 10));
  {
    QPainter painter(&image);
    tv::QtSurface s(painter);
    s.DrawFocusRect({2, 2, 25, 15});
  }
  EXPECT_EQ(image, before);
}

TEST(QtSurface, PieWithCoincidingEndsIsTheWholeEllipse) {
  const auto shape = [](bool pie) {
    return Paint(40, 40, [pie](tv::Surface& s) {
      s.SelectPen({{0, 0, 128}, 0});
      s.SelectBrush(tv::Brush{{255, 255, 0}});
      if (pie)
        s.Pie({5, 5, 35, 35}, {20, 5}, {20, 5});
      else
        s.Ellipse({5, 5, 35, 35});
    });
  };
  const QImage full = shape(true);
  EXPECT_EQ(full, shape(false));
  EXPECT_EQ(full.pixel(20, 20), 0xFFFFFF00);

  // A quarter from three o'clock counterclockwise to twelve: the upper right only.
  const QImage quarter = Paint(40, 40, [](tv::Surface& s) {
    s.SelectPen({{0, 0, 0}, 0});
    s.SelectBrush(tv::Brush{{255, 255, 0}});
    s.Pie({5, 5, 35, 35}, {35, 20}, {20, 5});
  });
  EXPECT_EQ(quarter.pixel(26, 14), 0xFFFFFF00);
  EXPECT_EQ(quarter.pixel(14, 14), kWhite);
  EXPECT_EQ(quarter.pixel(26, 26), kWhite);
}

}  // namespace

int main(int argc, char** argv) {
  // Fonts, not a screen: also when the test list is gathered at build time.
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
