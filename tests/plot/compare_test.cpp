#include "compare.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "values.h"

namespace {

struct Bar {
  const char* date;  // YYYY-MM-DD, or YYYY-MM-DD HH:MM for an intraday bar
  float close;
};

plot::PlotSeries SeriesOf(const std::vector<Bar>& bars) {
  plot::PlotSeries s;
  for (const Bar& b : bars) {
    const std::string d = b.date;
    s.date.push_back(d.empty() ? std::int16_t{0}
                               : DayNumber(static_cast<std::int16_t>(std::stoi(d.substr(0, 4))),
                                           static_cast<std::int16_t>(std::stoi(d.substr(5, 2))),
                                           static_cast<std::int16_t>(std::stoi(d.substr(8, 2)))));
    s.time.push_back(d.size() < 16
                         ? 0
                         : TimeUnits(static_cast<std::int16_t>(std::stoi(d.substr(11, 2))),
                                     static_cast<std::int16_t>(std::stoi(d.substr(14, 2))), 0));
    for (auto* column : {&s.open, &s.high, &s.low, &s.volume, &s.openInterest})
      column->push_back(-1);
    s.close.push_back(b.close);
  }
  return s;
}

// Percents to one decimal, "-" for no value.
std::string Text(const std::vector<double>& values) {
  std::string out;
  for (const double v : values) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    out += (out.empty() ? "" : " ") + (std::isnan(v) ? std::string("-") : std::string(text));
  }
  return out;
}

TEST(Compare, TheOtherSecuritysClosesAreMatchedByDateAndRebasedToTheFirstBarShown) {
  const float nan = NAN;
  const struct {
    const char* what;
    plot::Period period;
    std::vector<Bar> base, other;
    int first;             // the first bar shown
    const char* expected;  // the other's percent change on each base bar
  } cases[] = {
      {"a day the other lacks carries its last close; a day only the other has is passed over",
       plot::Period::Daily,
       {{"2024-03-04", 1}, {"2024-03-05", 1}, {"2024-03-06", 1}, {"2024-03-08", 1}},
       {{"2024-03-04", 10}, {"2024-03-06", 12}, {"2024-03-07", 99}, {"2024-03-08", 11}},
       0,
       "0.0 0.0 20.0 10.0"},
      {"rebased to the first bar shown, not to the first bar held",
       plot::Period::Daily,
       {{"2024-03-04", 1}, {"2024-03-05", 1}, {"2024-03-06", 1}},
       {{"2024-03-04", 10}, {"2024-03-05", 20}, {"2024-03-06", 25}},
       1,
       "- 0.0 25.0"},
      {"an other starting later is drawn from its first bar, at 0 %",
       plot::Period::Daily,
       {{"2024-03-04", 1}, {"2024-03-05", 1}, {"2024-03-06", 1}},
       {{"2024-03-05", 50}, {"2024-03-06", 55}},
       0,
       "- 0.0 10.0"},
      {"a first close of 0 or none is no price: the first price after it is the base",
       plot::Period::Daily,
       {{"2024-03-04", 1}, {"2024-03-05", 1}, {"2024-03-06", 1}, {"2024-03-07", 1}},
       {{"2024-03-04", 0}, {"2024-03-05", nan}, {"2024-03-06", 8}, {"2024-03-07", 6}},
       0,
       "- - 0.0 -25.0"},
      {"a price lost mid-way carries the last close rather than falling to -100 %",
       plot::Period::Daily,
       {{"2024-03-04", 1}, {"2024-03-05", 1}},
       {{"2024-03-04", 4}, {"2024-03-05", 0}},
       0,
       "0.0 0.0"},
      {"bars as read: a day takes an intraday other's last close of the day",
       plot::Period::Bars,
       {{"2024-03-04", 1}, {"2024-03-05", 1}},
       {{"2024-03-04 10:00", 10}, {"2024-03-04 16:00", 12}, {"2024-03-05 10:00", 15}},
       0,
       "0.0 25.0"},
      {"bars as read: an intraday bar takes the day before's close, not its own day's",
       plot::Period::Bars,
       {{"2024-03-04 16:00", 1}, {"2024-03-05 10:00", 1}},
       {{"2024-03-04", 10}, {"2024-03-05", 20}},
       0,
       "- 0.0"},
      {"weeks match whatever day each security's week ended on",
       plot::Period::Weekly,
       {{"2024-03-07", 1}, {"2024-03-14", 1}},
       {{"2024-03-08", 10}, {"2024-03-15", 15}},
       0,
       "0.0 50.0"},
      {"months across the year's end; a month the other lacks carries",
       plot::Period::Monthly,
       {{"2023-11-30", 1}, {"2023-12-29", 1}, {"2024-01-31", 1}},
       {{"2023-11-29", 40}, {"2024-01-30", 30}},
       0,
       "0.0 0.0 -25.0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto matched = plot::MatchCloses(SeriesOf(c.base), SeriesOf(c.other), c.period);
    EXPECT_EQ(Text(plot::PercentChange(matched, c.first)), c.expected);
  }
}

}  // namespace
