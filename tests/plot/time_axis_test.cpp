// The time axis: the finest level of labels that fits.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "time_axis.h"
#include "values.h"

namespace {

// Bars on every weekday from a date on, `spacing` pixels apart.
std::vector<plot::TimeBar> Weekdays(int year, int month, int day, int n, int spacing) {
  std::vector<plot::TimeBar> bars;
  std::int16_t date = DayNumber(static_cast<std::int16_t>(year), static_cast<std::int16_t>(month),
                                static_cast<std::int16_t>(day));
  for (int x = 0; static_cast<int>(bars.size()) < n; ++date) {
    // 1 January 1961 (day 1) was a Sunday.
    const int weekday = date % 7;
    if (weekday == 1 || weekday == 0) continue;
    bars.push_back({date, 0, x});
    x += spacing;
  }
  return bars;
}

std::vector<std::string> Texts(const std::vector<plot::TimeLabel>& labels) {
  std::vector<std::string> texts;
  for (const auto& l : labels) texts.push_back(l.text);
  return texts;
}

int Width(std::string_view t) { return static_cast<int>(t.size()) * 7; }

TEST(TimeAxis, LabelsAreAtTheFinestLevelThatFits) {
  const struct {
    int bars, spacing;
    plot::TimeUnit finest;
    std::vector<std::string> first;
  } cases[] = {
      // Two weeks of wide bars: every day.
      {10, 40, plot::TimeUnit::Day, {"10", "11", "14"}},
      // A year at 4 pixels: months, the year where it turns.
      {260, 4, plot::TimeUnit::Month, {"Dec", "2012", "Feb"}},
      // Eight years at 1 pixel: every other month; years where they turn.
      {2000, 1, plot::TimeUnit::Month, {"2012", "Mar", "May"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bars);
    const auto bars = Weekdays(2011, 11, 10, c.bars, c.spacing);
    const plot::TimeBar before{static_cast<std::int16_t>(bars[0].date - 1), 0, -c.spacing};
    const auto labels =
        plot::TimeLabels(bars, &before, false, Width, -20, c.bars * c.spacing + 20, 8);
    ASSERT_GE(labels.size(), c.first.size());
    const auto texts = Texts(labels);
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + c.first.size()), c.first);
    // No two labels meet, and none is finer than the level the table names.
    for (std::size_t i = 1; i < labels.size(); ++i)
      EXPECT_GE(labels[i].x - labels[i].width / 2,
                labels[i - 1].x - labels[i - 1].width / 2 + labels[i - 1].width + 8);
    for (const auto& l : labels) EXPECT_GE(static_cast<int>(l.unit), static_cast<int>(c.finest));
  }
}

TEST(TimeAxis, IntradayBarsAreLabelledByTheHourAndTheDay) {
  std::vector<plot::TimeBar> bars;
  const std::int16_t day = DayNumber(2012, 3, 15);
  for (int i = 0; i < 24; ++i)  // two days of half-hour bars from 10:00
    bars.push_back({static_cast<std::int16_t>(day + i / 12),
                    TimeUnits(10 + i % 12 / 2, i % 2 * 30, 0), i * 30});
  const auto labels = plot::TimeLabels(bars, &bars[0], true, Width, 0, 24 * 30, 8);
  const std::vector<std::string> want{"11:00", "12:00", "13:00", "14:00", "15:00", "16", "11:00"};
  const auto texts = Texts(labels);
  ASSERT_GE(texts.size(), want.size());
  EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + want.size()), want);
}

TEST(TimeAxis, DatesAreSpelledOutTheIsoWay) {
  EXPECT_EQ(plot::IsoDate(DayNumber(2012, 3, 15)), "2012-03-15");
  EXPECT_EQ(plot::IsoDateTime(DayNumber(2012, 3, 15), TimeUnits(14, 5, 0), true),
            "2012-03-15 14:05");
  EXPECT_EQ(plot::IsoDateTime(DayNumber(1999, 12, 31), 0, false), "1999-12-31");
  EXPECT_EQ(plot::IsoDate(0), "-");
}

}  // namespace
