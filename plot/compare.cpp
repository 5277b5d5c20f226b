#include "compare.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "values.h"

namespace plot {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool IsPrice(double v) { return std::isfinite(v) && v > 0; }

// Where a dated bar falls, as a number that grows with time: its day and time for bars as
// read, else its day, week or month.
std::int64_t MatchKey(Period period, std::int16_t date, std::uint16_t time) {
  const auto day = static_cast<std::uint16_t>(date);  // day numbers are unsigned past 2050
  switch (period) {
    case Period::Bars:
      // A bar without a time of day is the whole day's: it follows every intraday bar of its
      // day, so a daily bar takes an intraday security's last close of the day, and an
      // intraday bar never takes a daily close from later that day.
      return static_cast<std::int64_t>(day) * 65536 + (time == 0 ? 65535 : time);
    case Period::Daily:
      return day;
    case Period::Weekly:
      return (day + 5) / 7;  // weeks start on Mondays, as ToPeriod counts them
    case Period::Monthly: {
      std::int16_t year = 0, month = 0, dayOfMonth = 0;
      SplitDayNumber(date, year, month, dayOfMonth);
      return static_cast<std::int64_t>(year) * 12 + month;
    }
  }
  return day;
}

}  // namespace

std::vector<double> MatchCloses(const PlotSeries& base, const PlotSeries& other, Period period) {
  const int n = base.Count(), m = other.Count();
  std::vector<double> out(static_cast<std::size_t>(std::max(0, n)), kNaN);
  int j = 0;
  double last = kNaN;
  for (int i = 0; i < n; ++i) {
    const auto k = static_cast<std::size_t>(i);
    if (base.date[k] == 0) continue;
    const std::int64_t key = MatchKey(period, base.date[k], base.time[k]);
    // Both series run oldest first: the other's bars up to this one's key are taken once.
    for (; j < m; ++j) {
      const auto o = static_cast<std::size_t>(j);
      if (other.date[o] == 0) continue;
      if (MatchKey(period, other.date[o], other.time[o]) > key) break;
      if (IsPrice(other.close[o])) last = other.close[o];
    }
    out[k] = last;
  }
  return out;
}

std::vector<double> PercentChange(const std::vector<double>& values, int first) {
  std::vector<double> out(values.size(), kNaN);
  double scale = kNaN;  // 100 over the first price: a product per bar, not a quotient
  for (std::size_t k = static_cast<std::size_t>(std::max(0, first)); k < values.size(); ++k) {
    if (!IsPrice(values[k])) continue;
    if (std::isnan(scale)) scale = 100 / values[k];
    out[k] = values[k] * scale - 100;
  }
  return out;
}

}  // namespace plot
