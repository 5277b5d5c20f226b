#include "periods.h"

#include <cmath>
#include <cstdint>

#include "values.h"

namespace plot {

namespace {

// The period a bar's date falls in, as a number that changes where the period does; a bar
// without a date gets a number of its own below every date's.
std::int64_t PeriodKey(Period period, std::int16_t date, int index) {
  if (date == 0) return -1 - static_cast<std::int64_t>(index);
  const auto day = static_cast<std::uint16_t>(date);  // day numbers are unsigned past 2050
  switch (period) {
    case Period::Bars:
      return index;
    case Period::Daily:
      return day;
    case Period::Weekly:
      // Day 1 (1 January 1961) was a Sunday, day 2 a Monday: weeks start at days 2, 9, 16 ...
      return (day + 5) / 7;
    case Period::Monthly: {
      std::int16_t year = 0, month = 0, dayOfMonth = 0;
      SplitDayNumber(date, year, month, dayOfMonth);
      return static_cast<std::int64_t>(year) * 12 + month;
    }
  }
  return index;
}

void Higher(float& into, float v) {
  if (std::isnan(into) || v > into) into = v;
}

void Lower(float& into, float v) {
  if (std::isnan(into) || v < into) into = v;
}

}  // namespace

std::optional<Period> ParsePeriod(std::string_view name) {
  if (name == "bars") return Period::Bars;
  if (name == "daily") return Period::Daily;
  if (name == "weekly") return Period::Weekly;
  if (name == "monthly") return Period::Monthly;
  return std::nullopt;
}

const char* PeriodName(Period period) {
  switch (period) {
    case Period::Bars:
      return "bars";
    case Period::Daily:
      return "daily";
    case Period::Weekly:
      return "weekly";
    case Period::Monthly:
      return "monthly";
  }
  return "bars";
}

PlotSeries ToPeriod(const PlotSeries& series, Period period) {
  if (period == Period::Bars) return series;
  PlotSeries out;
  out.hasTime = series.hasTime;
  out.hasOpen = series.hasOpen;
  out.hasHigh = series.hasHigh;
  out.hasLow = series.hasLow;
  out.hasVolume = series.hasVolume;
  out.hasOpenInterest = series.hasOpenInterest;
  const int n = series.Count();
  std::int64_t key = 0;
  double volume = 0;  // summed in double: a month of large volumes would lose units in float
  for (int i = 0; i < n; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const std::int64_t next = PeriodKey(period, series.date[k], i);
    if (i == 0 || next != key) {
      out.date.push_back(series.date[k]);
      out.time.push_back(series.time[k]);
      out.open.push_back(series.open[k]);
      out.high.push_back(series.high[k]);
      out.low.push_back(series.low[k]);
      out.close.push_back(series.close[k]);
      out.volume.push_back(series.volume[k]);
      out.openInterest.push_back(series.openInterest[k]);
      key = next;
      volume = series.volume[k];
      continue;
    }
    out.date.back() = series.date[k];
    out.time.back() = series.time[k];
    // A field the security lacks keeps the reader's mark of absence, never a sum of marks.
    if (series.hasHigh) Higher(out.high.back(), series.high[k]);
    if (series.hasLow) Lower(out.low.back(), series.low[k]);
    out.close.back() = series.close[k];
    volume += series.volume[k];
    if (series.hasVolume) out.volume.back() = static_cast<float>(volume);
    out.openInterest.back() = series.openInterest[k];
  }
  return out;
}

}  // namespace plot
