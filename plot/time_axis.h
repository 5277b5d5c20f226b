#pragma once
// The time axis of the extended chart: labels at the finest level that fits the width
// (hours for intraday bars, days, months, years), each at the first bar of its period.
// A label names the largest unit that changed there: "2024" where a year begins, "Mar"
// where a month does, "15" for a day, "14:00" for an hour.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace plot {

struct TimeBar {
  std::int16_t date = 0;   // day number; 0 for no date
  std::uint16_t time = 0;  // two-second units since midnight
  int x = 0;               // device x of the bar
};

enum class TimeUnit { Hour, Day, Month, Year };

struct TimeLabel {
  int x = 0;
  std::string text;
  TimeUnit unit{};  // the unit the label names
  int width = 0;
};

// Labels for `bars` (left to right); `before` is the bar just before the first shown, if the
// series has one, so a period that begins at the first bar shown is labelled too. Labels
// are centred on their bars, lie within left..right and keep `gap` pixels apart.
std::vector<TimeLabel> TimeLabels(std::span<const TimeBar> bars, const TimeBar* before,
                                  bool intraday, const std::function<int(std::string_view)>& width,
                                  int left, int right, int gap);

// The date (and, for intraday bars, the time) of a bar as ISO text: 2024-03-15, 2024-03-15 14:05.
std::string IsoDate(std::int16_t date);
std::string IsoDateTime(std::int16_t date, std::uint16_t time, bool intraday);

}  // namespace plot
