// A long daily history as plain chart data: n bars on the weekdays from 1961 on, prices
// swinging slowly with a little noise, every field but the open interest traded. `offset`
// shifts the prices, so that several securities differ.
#pragma once

#include <cmath>
#include <cstdint>

#include "plot_input.h"
#include "values.h"

inline plot::PlotSeries WeekdaySeries(int n, int offset = 0) {
  plot::PlotSeries s;
  s.hasTime = s.hasOpen = s.hasHigh = s.hasLow = s.hasVolume = s.hasOpenInterest = true;
  std::int16_t date = DayNumber(1961, 1, 2);
  for (int i = 0; i < n; ++i, ++date) {
    while (date % 7 == 0 || date % 7 == 1) ++date;  // day 1 was a Sunday
    const int k = i + offset;
    const auto price = static_cast<float>(50 + 20 * std::sin(k / 300.0) + (k % 13) * 0.1);
    s.date.push_back(date);
    s.time.push_back(0);
    s.open.push_back(price);
    s.high.push_back(price + 1);
    s.low.push_back(price - 1);
    s.close.push_back(price + 0.5f);
    s.volume.push_back(static_cast<float>(1000 + i % 500));
    s.openInterest.push_back(0);
  }
  return s;
}
