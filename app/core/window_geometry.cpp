#include "window_geometry.h"

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

}  // namespace tv
