#pragma once
// The six view options: which chart parts are shown, the bar spacing and the two moving-average
// lengths. Their defaults and the ranges a value must lie in live here alone; the chart, the
// profile, the View Options dialog and the zoom all take them from this struct.

namespace tv {

// A closed range of integers.
struct IntRange {
  int low;
  int high;
  constexpr bool Contains(int value) const { return value >= low && value <= high; }
  constexpr int Clamp(int value) const { return value < low ? low : (value > high ? high : value); }
};

struct ViewOptions {
  static constexpr IntRange kFlagRange{0, 1};
  static constexpr IntRange kBarSpaceRange{2, 10};
  static constexpr IntRange kMALengthRange{2, 50};

  int barSpace = 4;
  int showVolume = 1;
  int showMA1 = 1;
  int showMA2 = 1;
  int ma1Length = 10;
  int ma2Length = 20;
};

}  // namespace tv
