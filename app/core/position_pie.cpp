#include "position_pie.h"

#include <cmath>
#include <cstdio>

namespace tv {

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
