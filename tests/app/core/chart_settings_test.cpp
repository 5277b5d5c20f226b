// The extended chart's settings in the settings file, and which chart draws.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "bars.h"
#include "chart_settings.h"
#include "memory_profile.h"
#include "quote_writer.h"
#include "recording_surface.h"

namespace {

using plot::AverageKind;
using plot::Style;

TEST(ChartSettings, StoredValuesReadBackAndStrayOnesReadAsDefaults) {
  const struct {
    const char *style, *log, *averages, *crosshair;
    tv::ChartSettings want;
  } cases[] = {
      {"candles",
       "1",
       "exponential",
       "0",
       {Style::Candles, true, AverageKind::Exponential, false, {}, false}},
      {"line", "0", "simple", "1", {Style::Line, false, AverageKind::Simple, true, {}, false}},
      {"ohlc", " 1 ", "", "", {Style::Ohlc, true, AverageKind::Simple, true, {}, false}},
      // What the menu never writes: wrong case, other numbers, words.
      {"Candles", "2", "EMA", "yes", {}},
      {"", "-1", "exponential ", "1.0", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.style);
    fixture::MemoryProfile profile;
    profile.Set("Chart", "Style", c.style);
    profile.Set("Chart", "Log", c.log);
    profile.Set("Chart", "Averages", c.averages);
    profile.Set("Chart", "Crosshair", c.crosshair);
    EXPECT_EQ(tv::LoadChartSettings(profile), c.want);
  }
  // Written and read again: the same settings, in the section of their own.
  fixture::MemoryProfile profile;
  tv::ChartSettings chosen{Style::Ohlc, true, AverageKind::Exponential, false, {}, true};
  chosen.period = plot::Period::Weekly;
  chosen.navigation.bars = 120;
  chosen.navigation.zoomed = true;
  tv::SaveChartSettings(profile, chosen);
  EXPECT_EQ(tv::LoadChartSettings(profile), chosen);
  ASSERT_NE(profile.Get("Chart", "Style"), nullptr);
  EXPECT_EQ(*profile.Get("Chart", "Style"), "ohlc");
  EXPECT_EQ(profile.Get("ViewOptions", "Style"), nullptr);
  // A zoom the wheel cannot reach, or a period the menu never writes, reads as the default.
  for (const char* stray : {"5", "16001", "-3", "x"}) {
    profile.Set("Chart", "Zoom", stray);
    profile.Set("Chart", "Period", "Weekly");
    const tv::ChartSettings s = tv::LoadChartSettings(profile);
    EXPECT_EQ(s.navigation.bars, 0) << stray;
    EXPECT_EQ(s.period, plot::Period::Bars) << stray;
  }
}

TEST(ChartSettings, StudiesAreKeptAsTextsAndChosenOnePerKind) {
  fixture::MemoryProfile profile;
  profile.Set("Chart", "Studies", "rsi:7 bogus bollinger:20,2 rsi");
  tv::ChartSettings s = tv::LoadChartSettings(profile);
  EXPECT_EQ(studies::StudyListText(s.studies), "rsi:7 bollinger:20,2 rsi:14");

  using studies::StudyKind;
  const struct {
    StudyKind kind;
    const char* chosen;  // nullptr: taken away
    const char* after;
  } steps[] = {
      // The first RSI changes; the second stays (a settings file may hold two).
      {StudyKind::Rsi, "rsi:21", "rsi:21 bollinger:20,2 rsi:14"},
      {StudyKind::Macd, "macd", "rsi:21 bollinger:20,2 rsi:14 macd:12,26,9"},
      {StudyKind::Rsi, nullptr, "bollinger:20,2 macd:12,26,9"},
      {StudyKind::Stochastic, nullptr, "bollinger:20,2 macd:12,26,9"},
  };
  for (const auto& step : steps) {
    std::optional<studies::StudyConfig> chosen;
    if (step.chosen) chosen = studies::ParseStudyConfig(step.chosen);
    tv::ChooseStudy(s, step.kind, chosen);
    EXPECT_EQ(studies::StudyListText(s.studies), step.after);
  }
  // A full list takes no more.
  s.studies = studies::ParseStudyList("sma:1 sma:2 sma:3 sma:4 sma:5 sma:6 sma:7 sma:8");
  tv::ChooseStudy(s, StudyKind::Rsi, studies::ParseStudyConfig("rsi"));
  EXPECT_EQ(s.studies.size(), studies::kMaxStudies);
  EXPECT_EQ(s.studies.back().kind, StudyKind::Sma);

  tv::SaveChartSettings(profile, s);
  EXPECT_EQ(*profile.Get("Chart", "Studies"), "sma:1 sma:2 sma:3 sma:4 sma:5 sma:6 sma:7 sma:8");
  EXPECT_EQ(tv::LoadChartSettings(profile), s);
}

TEST(ChartSettings, ComparedSecuritiesAreKeptAndFoundInTheFolderShownOrAbove) {
  fixture::MemoryProfile profile;
  profile.Set("Chart", "Compare", " AWC AWC  rio BHP X Y");
  tv::ChartSettings s = tv::LoadChartSettings(profile);
  EXPECT_EQ(s.compare, (std::vector<std::string>{"AWC", "rio", "BHP", "X"}));
  EXPECT_FALSE(tv::AddCompared(s.compare, "Z"));
  tv::SaveChartSettings(profile, s);
  EXPECT_EQ(*profile.Get("Chart", "Compare"), "AWC rio BHP X");

  // BHP at the top of the tree, RIO and WES in its folder SUB, which the chart shows.
  fixture::TempDir dir;
  fixture::WriteMaster(dir.path() / "MASTER",
                       {fixture::SecurityRecord({.fileNumber = 1, .name = "BHP", .symbol = "BHP"}),
                        fixture::DirectoryRecord("SUB")});
  fixture::WriteSimpleSecurity(dir.path(), 1, {.bars = 60, .startPrice = 40});
  const auto sub = dir.path() / "SUB";
  std::filesystem::create_directory(sub);
  fixture::WriteMaster(
      sub / "MASTER", {fixture::SecurityRecord({.fileNumber = 1, .name = "RIO", .symbol = "RIO"}),
                       fixture::SecurityRecord({.fileNumber = 2, .name = "WES", .symbol = "WES"})});
  fixture::WriteSimpleSecurity(sub, 1, {.bars = 60});
  fixture::WriteSimpleSecurity(sub, 2, {.bars = 30, .day = 20});
  CBars bars;
  bars.SetExtended(true);
  ASSERT_TRUE(bars.OpenMaster((sub / "MASTER").string().c_str()));
  bars.ReadSecurityList();
  ASSERT_EQ(bars.LoadCurrentSecurity(), 0);
  s.compare = {"BHP", "WES", "RIO", "NONE"};
  auto read =
      std::make_shared<std::vector<tv::ComparedSecurity>>(tv::ReadCompared(bars, s.compare));
  ASSERT_EQ(read->size(), 4u);
  EXPECT_EQ((*read)[0].bars.Count(), 60);
  EXPECT_EQ((*read)[1].bars.Count(), 30);
  EXPECT_EQ((*read)[3].problem, tv::kNotFound);
  // On the chart of RIO: RIO itself is left out; the others' closes fall on RIO's bars.
  s.compared = read;
  const plot::PlotInput in = tv::ChartInput(bars, s, false);
  ASSERT_EQ(in.compared.size(), 3u);
  EXPECT_EQ(in.compared[0].symbol, "BHP");
  EXPECT_EQ(in.compared[0].close[59], (*read)[0].bars.close[59]);
  EXPECT_TRUE(std::isnan(in.compared[1].close[0]));  // WES starts 17 days later
  EXPECT_EQ(in.compared[1].close[59], (*read)[1].bars.close[29]);
  EXPECT_EQ(in.compared[2].problem, tv::kNotFound);
}

TEST(ChartSettings, TheReadingModeChoosesTheChart) {
  for (const bool extended : {false, true}) {
    CBars bars;
    bars.SetExtended(extended);
    bars.SetWorkColor(kBackground, 5);  // an edit the draw forgets, as the classic one does
    fixture::RecordingSurface surface;
    tv::DrawChart(bars, surface, {0, 0, 640, 480}, false, {});
    // The classic chart's frame starts with its base line from (5, 5); the extended one
    // has no such line.
    const auto lines = surface.Of(fixture::OpKind::Line);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].from == (tv::Point{5, 5}), !extended);
    EXPECT_EQ(bars.GetWorkColor(kBackground), 0);
  }
}

}  // namespace

// The averages: the view options' two until the dialog keeps a list of its own, which the
// settings file holds as study texts; the dialog's lines split back into averages and studies.
TEST(ChartSettings, AveragesComeFromTheViewOptionsUntilTheListIsKept) {
  using plot::PlotAverage;
  CBars bars;
  bars.SetShowMA1(0);  // a hidden first average keeps its place: the second keeps its colour
  bars.SetShowMA2(1);
  const struct {
    const char* stored;  // nullptr: no MovingAverages key
    const char* kind;
    std::vector<PlotAverage> want;
  } cases[] = {
      {nullptr,
       "exponential",
       {{AverageKind::Exponential, 0}, {AverageKind::Exponential, bars.GetMA2Length()}}},
      {"sma:50 sma:200", "exponential", {{AverageKind::Simple, 50}, {AverageKind::Simple, 200}}},
      // Only sma and ema of 1 to 500 bars are averages; an empty list draws none.
      {"ema:9 sma:501 rsi:14 sma:0 bogus", "simple", {{AverageKind::Exponential, 9}}},
      {"", "simple", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored ? c.stored : "no key");
    fixture::MemoryProfile profile;
    if (c.stored) profile.Set("Chart", "MovingAverages", c.stored);
    profile.Set("Chart", "Averages", c.kind);
    const tv::ChartSettings s = tv::LoadChartSettings(profile);
    EXPECT_EQ(tv::ChartAverages(bars, s), c.want);
    // Kept and read again, a list stays the same list, and no list stays none.
    fixture::MemoryProfile again;
    tv::SaveChartSettings(again, s);
    EXPECT_EQ(tv::LoadChartSettings(again), s);
  }

  // The dialog lists the averages drawn, then the studies; what it gives back, at most eight
  // lines, becomes the list and the studies. A study's long simple average stays a study.
  tv::ChartSettings s;
  s.studies = studies::ParseStudyList("rsi:14 sma:1000");
  std::vector<tv::ChartItem> items = tv::ChartItems(bars, s);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_TRUE(items[0].average);
  EXPECT_EQ(studies::StudyConfigText(items[0].config),
            "sma:" + std::to_string(bars.GetMA2Length()));
  items.erase(items.begin());
  for (const char* text : {"sma:50", "sma:200", "ema:20", "sma:5", "ema:7", "sma:9", "sma:11"})
    items.push_back({true, *studies::ParseStudyConfig(text)});
  tv::SetChartItems(s, items);
  ASSERT_TRUE(s.averageList);
  EXPECT_EQ(s.averageList->size(), 6u);  // the ninth line is left out
  EXPECT_EQ(s.averageList->front(), (PlotAverage{AverageKind::Simple, 50}));
  EXPECT_EQ(studies::StudyListText(s.studies), "rsi:14 sma:1000");
  EXPECT_EQ(tv::ChartItems(bars, s).size(), studies::kMaxStudies);
}
