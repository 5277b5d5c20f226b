#include "bars_layout.h"

#include <algorithm>
#include <cstdlib>

BarsLayout LayoutBars(tv::Size logical, const tv::Rect& target, int seriesBars, int barSpace,
                      bool showVolume) {
  BarsLayout l;
  l.width = logical.cx;
  l.height = logical.cy;
  l.mapping = tv::Mapping::Anisotropic({l.width, l.height}, {target.width(), -target.height()},
                                       {target.left, target.top + target.height()});
  l.plotWidth = l.width - 55;
  const int ph = l.height - 20;
  l.priceHeight = showVolume ? static_cast<int>(ph * 0.8) : ph;
  l.volumeHeight = showVolume ? ph - l.priceHeight : 0;
  l.priceBase = l.volumeHeight + 5;
  l.separator = l.volumeHeight + 4;
  l.spacing = barSpace;

  // Bars only when at least one fits left of the axis; a non-positive spacing would place
  // every bar on the same x.
  const int visible = barSpace > 0 ? l.plotWidth / barSpace : 0;
  if (seriesBars <= 0 || visible < 1) return l;
  // The last visible - 1 bars of a long series (or the last one when only one fits), all of
  // a short one.
  l.first = std::clamp(seriesBars - visible + 1, 0, seriesBars - 1);
  // The first bar always; every further bar k while its x, (k + 1) * spacing + 5, stays
  // left of the axis at plotWidth + 5.
  const int byWidth = std::max(1, (l.plotWidth - 1) / barSpace);
  l.count = std::min(seriesBars - l.first, byWidth);
  return l;
}

int BarsLayout::BarAtX(int x) const {
  if (count <= 0 || spacing <= 0) return -1;
  const long long offset = static_cast<long long>(x) - XOf(first);
  const long long half = spacing / 2;
  if (offset < -half || offset > static_cast<long long>(count - 1) * spacing + half) return -1;
  // Halfway between two bars counts as the earlier one.
  const long long k = (offset + (spacing - 1) / 2) / spacing;
  return first + static_cast<int>(std::clamp<long long>(k, 0, count - 1));
}

int BarsLayout::BarAtDeviceX(int deviceX) const {
  if (count <= 0 || spacing <= 0 || width <= 0 || mapping.viewportExt.cx <= 0) return -1;
  // The logical x under the pointer gives the bar to within one; the device distances to it
  // and its neighbours decide, so a stretched chart splits the gap between two bars evenly.
  const long long logicalX = static_cast<long long>(deviceX - mapping.viewportOrg.x) *
                             mapping.windowExt.cx / mapping.viewportExt.cx;
  const long long guess = (logicalX - 5) / spacing - 1;
  int best = -1;
  int bestDistance = 0;
  for (long long k = guess - 1; k <= guess + 1; ++k) {
    if (k < 0 || k >= count) continue;
    const int distance = std::abs(mapping.ToDeviceX(XOf(first + static_cast<int>(k))) - deviceX);
    if (best < 0 || distance < bestDistance) {
      best = static_cast<int>(k);
      bestDistance = distance;
    }
  }
  if (best < 0) return -1;
  const int halfSpacing = std::max(1, mapping.LengthX(spacing) / 2);
  return bestDistance <= halfSpacing ? first + best : -1;
}
