#include "periods.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "time_axis.h"
#include "values.h"

namespace {

struct Bar {
  const char* when;  // "2024-03-15" or "2024-03-15 14:00"; "" for no date
  float open, high, low, close, volume, openInterest;
};

std::int16_t DateOf(const std::string& when) {
  if (when.empty()) return 0;
  return DayNumber(static_cast<std::int16_t>(std::stoi(when.substr(0, 4))),
                   static_cast<std::int16_t>(std::stoi(when.substr(5, 2))),
                   static_cast<std::int16_t>(std::stoi(when.substr(8, 2))));
}

std::uint16_t TimeOf(const std::string& when) {
  if (when.size() < 16) return 0;
  return TimeUnits(static_cast<std::int16_t>(std::stoi(when.substr(11, 2))),
                   static_cast<std::int16_t>(std::stoi(when.substr(14, 2))), 0);
}

// Fields absent from the layout hold the reader's mark, -1, on every bar.
plot::PlotSeries SeriesOf(const std::vector<Bar>& bars, bool opens, bool volumes) {
  plot::PlotSeries s;
  s.hasTime = true, s.hasOpen = opens, s.hasHigh = true, s.hasLow = true;
  s.hasVolume = volumes, s.hasOpenInterest = true;
  for (const Bar& b : bars) {
    s.date.push_back(DateOf(b.when));
    s.time.push_back(TimeOf(b.when));
    s.open.push_back(opens ? b.open : -1);
    s.high.push_back(b.high);
    s.low.push_back(b.low);
    s.close.push_back(b.close);
    s.volume.push_back(volumes ? b.volume : -1);
    s.openInterest.push_back(b.openInterest);
  }
  return s;
}

std::string Text(const plot::PlotSeries& s) {
  std::string out;
  const auto value = [](float v) {
    if (std::isnan(v)) return std::string("nan");
    std::string t = std::to_string(v);
    t.erase(t.find_last_not_of('0') + 1);
    if (t.back() == '.') t.pop_back();
    return t;
  };
  for (int i = 0; i < s.Count(); ++i) {
    const auto k = static_cast<std::size_t>(i);
    out += plot::IsoDateTime(s.date[k], s.time[k], s.time[k] != 0);
    for (const float v :
         {s.open[k], s.high[k], s.low[k], s.close[k], s.volume[k], s.openInterest[k]})
      out += " " + value(v);
    out += "\n";
  }
  return out;
}

TEST(Periods, ABarOfAPeriodGathersTheBarsOfItsDaysWeeksOrMonths) {
  const float nan = NAN;
  const struct {
    const char* what;
    plot::Period period;
    bool opens, volumes;
    std::vector<Bar> bars;
    const char* expected;  // date time open high low close volume open interest, a line a bar
  } cases[] = {
      {"a week across the year's end: Monday 28 December to Sunday 3 January",
       plot::Period::Weekly,
       true,
       true,
       {{"2020-12-29", 10, 12, 9, 11, 100, 5},
        {"2020-12-31", 11, 15, 10, 14, 200, 6},
        {"2021-01-01", 14, 14, 8, 9, 300, 7},
        {"2021-01-04", 9, 10, 7, 8, 50, 8},
        {"2021-01-08", 8, 11, 8, 10, 60, 9}},
       "2021-01-01 10 15 8 9 600 7\n2021-01-08 9 11 7 10 110 9\n"},
      {"Sunday closes its week, Monday begins the next",
       plot::Period::Weekly,
       true,
       true,
       {{"2024-03-04", 1, 2, 1, 2, 1, 1},
        {"2024-03-10", 2, 3, 2, 3, 1, 1},
        {"2024-03-11", 3, 4, 3, 4, 1, 1}},
       "2024-03-10 1 3 1 3 2 1\n2024-03-11 3 4 3 4 1 1\n"},
      {"months across the year's end, and January of two years apart",
       plot::Period::Monthly,
       true,
       true,
       {{"2019-01-31", 1, 1, 1, 1, 1, 0},
        {"2019-12-30", 5, 6, 4, 5, 10, 0},
        {"2019-12-31", 5, 7, 5, 6, 10, 0},
        {"2020-01-02", 6, 6, 6, 6, 10, 0}},
       "2019-01-31 1 1 1 1 1 0\n2019-12-31 5 7 4 6 20 0\n2020-01-02 6 6 6 6 10 0\n"},
      {"an index without opens and volumes keeps them absent",
       plot::Period::Weekly,
       false,
       false,
       {{"2024-01-02", 0, 101, 99, 100, 0, 0}, {"2024-01-03", 0, 103, 100, 102, 0, 0}},
       "2024-01-03 -1 103 99 102 -1 0\n"},
      {"intraday bars as days take the time of the day's last bar",
       plot::Period::Daily,
       true,
       true,
       {{"2024-03-15 10:00", 5, 6, 4, 5, 10, 0},
        {"2024-03-15 11:00", 5, 8, 5, 7, 20, 0},
        {"2024-03-15 16:00", 7, 7, 3, 4, 30, 0},
        {"2024-03-18 10:00", 4, 4, 4, 4, 1, 0}},
       "2024-03-15 16:00 5 8 3 4 60 0\n2024-03-18 10:00 4 4 4 4 1 0\n"},
      {"a high or low that is not a number is passed over",
       plot::Period::Weekly,
       true,
       true,
       {{"2024-01-02", 1, nan, nan, 1, 1, 0}, {"2024-01-03", 1, 5, 2, 3, 1, 0}},
       "2024-01-03 1 5 2 3 2 0\n"},
      {"bars without a date stay bars of their own; a date out of order starts anew",
       plot::Period::Monthly,
       true,
       true,
       {{"", 1, 1, 1, 1, 1, 0},
        {"", 2, 2, 2, 2, 1, 0},
        {"2024-05-20", 3, 3, 3, 3, 1, 0},
        {"2024-04-30", 4, 4, 4, 4, 1, 0},
        {"2024-05-21", 5, 5, 5, 5, 1, 0}},
       "- 1 1 1 1 1 0\n- 2 2 2 2 1 0\n2024-05-20 3 3 3 3 1 0\n"
       "2024-04-30 4 4 4 4 1 0\n2024-05-21 5 5 5 5 1 0\n"},
      {"bars as read are left as they are",
       plot::Period::Bars,
       true,
       true,
       {{"2024-03-15 10:00", 5, 6, 4, 5, 10, 0}, {"2024-03-15 11:00", 5, 8, 5, 7, 20, 0}},
       "2024-03-15 10:00 5 6 4 5 10 0\n2024-03-15 11:00 5 8 5 7 20 0\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Text(plot::ToPeriod(SeriesOf(c.bars, c.opens, c.volumes), c.period)), c.expected);
  }
}

}  // namespace
