#pragma once
// Where the chart puts things: the logical space it is drawn in, the price and volume areas,
// and which bars of the series stand at which x. Draw lays the chart out with it, and the
// view can use the same numbers to find the bar under the pointer.

#include "mapping.h"

struct BarsLayout {
  // Logical space, y up, (0, 0) at the target's bottom-left corner.
  int width = 0;
  int height = 0;
  int plotWidth = 0;     // the bars and the frame run from x 5 to plotWidth + 5
  int priceHeight = 0;   // price area from y priceBase up
  int volumeHeight = 0;  // volume area from y 6 up; 0 without volume
  int priceBase = 0;     // volumeHeight + 5
  int separator = 0;     // the line between volume and prices (also drawn without volume)
  int spacing = 0;

  // The bars drawn: series indexes first .. first + count - 1. count is 0 when there is no
  // series or not one bar fits left of the axis.
  int first = 0;
  int count = 0;

  // Logical to device on the target rectangle.
  tv::Mapping mapping{};

  int Last() const { return first + count - 1; }
  // Logical x of a drawn bar's line.
  int XOf(int index) const { return spacing + 5 + (index - first) * spacing; }
  // The series index of the drawn bar nearest logical x (halfway between two: the earlier),
  // or -1 when x lies more than half a spacing left of the first bar or right of the last.
  int BarAtX(int x) const;
  // The same for an x in device pixels of the target, measured in device pixels.
  int BarAtDeviceX(int deviceX) const;
};

// The layout of a chart of `seriesBars` bars drawn at `barSpace` in a `logical` space that
// is stretched onto `target`.
BarsLayout LayoutBars(tv::Size logical, const tv::Rect& target, int seriesBars, int barSpace,
                      bool showVolume);
