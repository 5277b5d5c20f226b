#pragma once
// Value scales of the extended chart: where a value stands in a pane (linear or
// logarithmic), which round values carry ticks and grid lines, and how their labels read.
//
// Tick steps are 1, 2, 2.5 or 5 times a power of ten; every label prints with the decimals
// its step needs, so two neighbouring ticks never print the same text.

#include <string>
#include <vector>

namespace plot {

// The smallest step of the 1-2-2.5-5 series that is at least `rough` (rough > 0).
double NiceStep(double rough);

// Decimals that print a multiple of `step` exactly: 0.25 -> 2, 0.5 -> 1, 25 -> 0.
int StepDecimals(double step);

// Decimals of the shortest text that reads back as the same single-precision value, at most
// `most`: 0.043f -> 3, 12.5f -> 1, 7.0f -> 0.
int OwnDecimals(float value, int most = 6);

// `value` with `decimals` decimals; very large magnitudes in exponent form, so a garbage
// quote cannot widen the axis without bound.
std::string FormatValue(double value, int decimals);

// A count with a K, M or B suffix and the decimals `step` (the distance between labels)
// needs in that unit: 1500000 with step 500000 -> "1.5M".
std::string FormatCount(double value, double step);

struct Tick {
  double value = 0;
  int decimals = 0;
};

struct Ticks {
  std::vector<Tick> ticks;  // ascending
  double step = 0;          // the linear step; 0 for decade ticks of a logarithmic scale
};

// The mapping of one pane: values lo..hi onto device rows bottom..top (y down).
struct ValueScale {
  double lo = 0, hi = 1;
  int top = 0, bottom = 1;
  bool log = false;  // only with lo > 0

  double Fraction(double v) const;  // 0 at lo, 1 at hi
  int YOf(double v) const;
  double ValueAt(int y) const;
  int Height() const { return bottom - top; }
};

// Ticks of a linear scale at least `minGap` pixels apart: the finest 1-2-2.5-5 step that
// keeps them so, every multiple of it within lo..hi.
Ticks LinearTicks(const ValueScale& scale, int minGap);
// Ticks of a logarithmic scale at least `minGap` pixels apart: within one decade a linear
// step judged where the ticks crowd most (at the top); over several decades 1, 2 and 5 (or
// only 1) times each power of ten, or every n-th power when even those crowd.
Ticks LogTicks(const ValueScale& scale, int minGap);
Ticks ScaleTicks(const ValueScale& scale, int minGap);

// lo..hi widened so that values do not touch the pane's edges and a flat series still
// has a range; non-finite input gives 0..1.
void PadRange(double& lo, double& hi, bool log);

}  // namespace plot
