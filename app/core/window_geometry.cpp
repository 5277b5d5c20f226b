#include "window_geometry.h"

#include <cmath>
#include <cstdio>

namespace tv {

Rect MainWindowRect(int screenWidth, int screenHeight) {
  // The single-precision constant (0.949999988...) times the integer, the product kept
  // exact: 640 gives 607, not the 608 a float product would round to.
  constexpr double kShare = 0.95f;
  const int width = static_cast<int>(screenWidth * kShare);
  const int height = static_cast<int>(screenHeight * kShare);
  const int left = (screenWidth - width) / 2;
  const int top = (screenHeight - height) / 2;
  return {left, top, left + width, top + height};
}

void CenterRect(Rect& rect, int screenWidth, int screenHeight) {
  const int width = rect.width();
  const int height = rect.height();
  rect.left = (screenWidth - width) / 2;
  rect.top = (screenHeight - height) / 2;
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;
}

std::string CounterText(int count, int current) {
  if (count == 0) return "No Symbols Read";
  char text[48];
  std::snprintf(text, sizeof text, "Symbol %d of %d", current + 1, count);
  return text;
}

Point PointOnEllipse(const Rect& r, double degrees) {
  const double radians = degrees * 3.1415926535 / 180;
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  const int x = r.left + width / 2 + static_cast<int>(std::cos(radians) * width / 2.0);
  const int y = r.top + height / 2 + static_cast<int>(-(std::sin(radians) * height)) / 2;
  return {x, y};
}

void DrawPositionPie(Surface& surface, const Rect& r, int count, int current) {
  const Pen navyPen{kPieNavy, 0};
  const Brush navyBrush{kPieNavy};
  const Pen yellowPen{kPieYellow, 0};
  const Brush yellowBrush{kPieYellow};

  const Brush oldBrush = surface.SelectBrush(navyBrush);
  const Pen oldPen = surface.SelectPen(navyPen);
  surface.Ellipse(r);
  surface.SelectBrush(yellowBrush);
  // With one security the index never passes count / 50 = 0, so the angle (a division by
  // count - 1 = 0) is only worked out once a wedge is certain to be drawn.
  if (count > 1 && count / 50 < current) {
    const double angle = current * 360.0 / (count - 1);
    if (current < count / 2) surface.SelectPen(yellowPen);
    const Point start = PointOnEllipse(r, 90 - angle);
    const Point end = PointOnEllipse(r, 90);
    surface.Pie(r, start, end);
    surface.SelectPen(yellowPen);
    surface.Arc(r, start, end);
  }
  surface.SelectBrush(oldBrush);
  surface.SelectPen(oldPen);
}

}  // namespace tv
