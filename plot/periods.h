#pragma once
// A security's bars gathered into the bars of longer periods: one bar a day, a week (Monday
// to Sunday) or a calendar month. A period's bar has the date and time of its last bar, the
// open of its first, the highest high, the lowest low, the close of its last, the sum of the
// volumes and the open interest of its last bar; a field the security lacks stays absent.

#include <optional>
#include <string_view>

#include "plot_input.h"

namespace plot {

// Bars: as the file holds them (an intraday security's bars stay intraday).
enum class Period { Bars, Daily, Weekly, Monthly };

std::optional<Period> ParsePeriod(std::string_view name);  // bars, daily, weekly, monthly
const char* PeriodName(Period period);

// The bars of `series` by `period`, oldest first. Bars follow one another into a period while
// their dates fall in it; a bar without a date is a period of its own, and a date out of
// order starts a new period rather than joining an earlier one. High and low pass over values
// that are not numbers where the period holds a number.
PlotSeries ToPeriod(const PlotSeries& series, Period period);

}  // namespace plot
