#include "time_axis.h"

#include <array>
#include <cstdio>

#include "values.h"

namespace plot {

namespace {

struct Parts {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

Parts PartsOf(const TimeBar& b) {
  Parts p;
  if (b.date != 0) {
    std::int16_t y = 0, m = 0, d = 0;
    SplitDayNumber(b.date, y, m, d);
    p.year = y + 1900, p.month = m, p.day = d;
  }
  p.hour = b.time / 1800, p.minute = b.time % 1800 / 30;
  return p;
}

struct Level {
  TimeUnit unit;
  int step;
};

// The period a bar falls in at a level: bars of one period share the key.
long long KeyOf(const Parts& p, Level level) {
  const long long months = p.year * 12LL + p.month - 1;
  const long long days = months * 32 + p.day;
  switch (level.unit) {
    case TimeUnit::Year:
      return p.year / level.step;
    case TimeUnit::Month:
      return p.year * 12LL + (p.month - 1) / level.step;
    case TimeUnit::Day:
      // Day-of-month buckets; the last one takes the month's tail (26-31 for steps of 5).
      return months * 32 + std::min((p.day - 1) / level.step, 31 / level.step - 1);
    case TimeUnit::Hour:
      return days * 24 + p.hour / level.step;
  }
  return 0;
}

constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The label of a bar that begins a period: the largest unit that changed since the bar
// before it.
TimeLabel LabelOf(const Parts& p, const Parts& prev, int x) {
  TimeLabel l;
  l.x = x;
  std::array<char, 32> text{};
  if (p.year != prev.year) {
    l.unit = TimeUnit::Year;
    std::snprintf(text.data(), text.size(), "%d", p.year);
  } else if (p.month != prev.month) {
    l.unit = TimeUnit::Month;
    std::snprintf(text.data(), text.size(), "%s", kMonths[(p.month + 11) % 12]);
  } else if (p.day != prev.day) {
    l.unit = TimeUnit::Day;
    std::snprintf(text.data(), text.size(), "%d", p.day);
  } else {
    l.unit = TimeUnit::Hour;
    std::snprintf(text.data(), text.size(), "%02d:%02d", p.hour, p.minute);
  }
  l.text = text.data();
  return l;
}

struct Candidate {
  std::vector<TimeLabel> labels;
  bool fits = true;
};

Candidate LabelsAt(std::span<const TimeBar> bars, const TimeBar* before, Level level,
                   const std::function<int(std::string_view)>& width, int left, int right,
                   int gap) {
  Candidate c;
  bool havePrev = before != nullptr && before->date != 0;
  Parts prev = havePrev ? PartsOf(*before) : Parts{};
  for (const TimeBar& b : bars) {
    if (b.date == 0) continue;
    const Parts p = PartsOf(b);
    if (havePrev && KeyOf(p, level) != KeyOf(prev, level)) {
      TimeLabel l = LabelOf(p, prev, b.x);
      l.width = width(l.text);
      const int from = l.x - l.width / 2;
      // A label that would stick out past the axis is left out; it crowds nothing.
      if (from >= left && from + l.width <= right) {
        if (!c.labels.empty()) {
          const TimeLabel& last = c.labels.back();
          if (last.x - last.width / 2 + last.width + gap > from) c.fits = false;
        }
        c.labels.push_back(std::move(l));
        // A crowded level is given up at once: a finer one never fits where it does not.
        if (!c.fits) return c;
      }
    }
    prev = p;
    havePrev = true;
  }
  return c;
}

}  // namespace

std::vector<TimeLabel> TimeLabels(std::span<const TimeBar> bars, const TimeBar* before,
                                  bool intraday, const std::function<int(std::string_view)>& width,
                                  int left, int right, int gap) {
  static constexpr std::array<Level, 22> kLevels = {{
      {TimeUnit::Hour, 1},   {TimeUnit::Hour, 2},   {TimeUnit::Hour, 3},  {TimeUnit::Hour, 6},
      {TimeUnit::Hour, 12},  {TimeUnit::Day, 1},    {TimeUnit::Day, 2},   {TimeUnit::Day, 5},
      {TimeUnit::Day, 10},   {TimeUnit::Month, 1},  {TimeUnit::Month, 2}, {TimeUnit::Month, 3},
      {TimeUnit::Month, 6},  {TimeUnit::Year, 1},   {TimeUnit::Year, 2},  {TimeUnit::Year, 5},
      {TimeUnit::Year, 10},  {TimeUnit::Year, 20},  {TimeUnit::Year, 50}, {TimeUnit::Year, 100},
      {TimeUnit::Year, 200}, {TimeUnit::Year, 500},
  }};
  for (const Level level : kLevels) {
    if (!intraday && level.unit == TimeUnit::Hour) continue;
    Candidate c = LabelsAt(bars, before, level, width, left, right, gap);
    if (c.fits) return std::move(c.labels);
  }
  return {};
}

std::string IsoDate(std::int16_t date) {
  if (date == 0) return "-";
  std::int16_t y = 0, m = 0, d = 0;
  SplitDayNumber(date, y, m, d);
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%04d-%02d-%02d", y + 1900, m, d);
  return text.data();
}

std::string IsoDateTime(std::int16_t date, std::uint16_t time, bool intraday) {
  std::string s = IsoDate(date);
  if (!intraday) return s;
  std::array<char, 16> text{};
  std::snprintf(text.data(), text.size(), " %02u:%02u", time / 1800u, time % 1800u / 30u);
  return s + text.data();
}

}  // namespace plot
