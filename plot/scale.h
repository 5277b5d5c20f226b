#pragma once
// Value scales of the extended chart: where a value stands in a pane (linear or
// logarithmic), which round values carry ticks and grid lines, and how their labels read.
//
// Tick steps are 1, 2, 2.5 or 5 times a power of ten; every label prints with the decimals
// its step needs, so two neighbouring ticks never print the same text.

#include <span>
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

// The decimals a security is quoted in, from its prices: the fewest (0 to kMostPriceDecimals)
// at which nearly all of them (99 %) equal their rounded value to within the rounding of a
// 4-byte real, so that a vendor's 0.29999998 reads as the 0.300 it stands for. Zeros and
// non-finite values do not vote; none at all gives 2. Prices on no grid get four significant
// digits of the largest (at least 2 decimals).
inline constexpr int kMostPriceDecimals = 8;
int PriceDecimals(std::span<const float> prices);

// The decimals one price of a security quoted in `decimals` prints with: the security's own,
// but a price below 0.01 keeps three significant digits (1.6047514e-05 -> 0.0000160).
int ValueDecimals(double value, int decimals);
inline std::string FormatPrice(double value, int decimals) {
  return FormatValue(value, ValueDecimals(value, decimals));
}

// A volume or open interest in the one form the chart prints them: up to three significant
// digits with K, M, B or T (17857 -> 17.9K, 250000 -> 250K, 5e6 -> 5M), never an exponent.
std::string FormatVolume(double value);

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
// step judged where the ticks crowd most (at the top); under two decades 1, 1.5, 2, 3, 5 and
// 7 times each power of ten; over more 1, 2 and 5 (or only 1) times each power of ten, or
// every n-th power when even those crowd. The finest set that keeps the gap wins.
Ticks LogTicks(const ValueScale& scale, int minGap);
Ticks ScaleTicks(const ValueScale& scale, int minGap);

// The ticks of one pane: its reference levels (30 and 70 of an RSI) always, and around them
// the scale's ticks at the comfortable gap, or at the tight one when that leaves fewer than
// `want`; only ticks whose row lies within top..bottom (where a label fits) count.
struct TickRoom {
  int top = 0, bottom = 0;  // rows a label's middle may take
  int comfortable = 26, tight = 15;
  std::size_t want = 3;
};
Ticks PaneTicks(const ValueScale& scale, const TickRoom& room, std::span<const double> references);

// lo..hi widened so that values do not touch the pane's edges and a flat series still
// has a range; non-finite input gives 0..1.
void PadRange(double& lo, double& hi, bool log);

}  // namespace plot
