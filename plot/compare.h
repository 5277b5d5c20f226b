#pragma once
// Other securities drawn against the one shown: each one's closes matched to the shown
// security's bars by date, and every line rebased to the percent change since the first bar
// shown, so that a security of $2 and an index of 7000 points read on one axis.

#include <string>
#include <vector>

#include "periods.h"
#include "plot_input.h"

namespace plot {

inline constexpr int kMostCompared = 4;  // securities drawn beside the one shown

// The closes of `other` on the bars of `base`, both in `period`'s bars: each base bar takes
// the close of the other's bar of the same day (week, month; day and time for bars as read,
// a bar without a time standing for the whole day)
// or, where the other has none, the last close it had before; before the other's first bar,
// or on a base bar without a date, not a number. A close that is not a price (not a number,
// 0 or below) is passed over as a bar the other lacks.
std::vector<double> MatchCloses(const PlotSeries& base, const PlotSeries& other, Period period);

// The percent change of each value from the first price (a number above 0) at or after bar
// `first`; not a number before that price, where a value is no price, and everywhere when
// there is no such price. A line that starts later than the first bar shown is drawn from its
// first bar, at 0 %.
std::vector<double> PercentChange(const std::vector<double>& values, int first);

}  // namespace plot
