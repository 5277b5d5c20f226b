// Moving the window of bars through a long history, and reading one bar's values.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bars.h"
#include "quote_writer.h"
#include "recording_surface.h"
#include "values.h"

namespace {

using fixture::SecurityRecord;

// One security of 2000 daily bars, one calendar day apart from 3 January 2000.
class WindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    fixture::WriteMaster(dir.path() / "MASTER",
                         {SecurityRecord({.fileNumber = 1, .name = "LONG", .symbol = "LONG"}),
                          SecurityRecord({.fileNumber = 2, .name = "SHORT", .symbol = "SHORT"})});
    fixture::WriteSimpleSecurity(dir.path(), 1, {.bars = 2000});
    fixture::WriteSimpleSecurity(dir.path(), 2, {.bars = 50});
    ASSERT_EQ(bars.OpenMaster((dir.dir() + "MASTER").c_str()), 1);
    ASSERT_EQ(bars.ReadSecurityList(), 0);
    ASSERT_EQ(bars.LoadCurrentSecurity(), 0);
  }
  // The file's bars from `start`, read on their own.
  std::vector<float> Closes(std::int32_t start, std::int16_t count) {
    PriceSeries s;
    EXPECT_EQ(ReadSecurity(s, dir.dir(), "LONG", start, count, 1), kSuccess);
    std::vector<float> closes;
    for (int i = 0; i < s.count; ++i) closes.push_back(s.close[i]);
    ReleasePriceSeries(s);
    return closes;
  }
  std::vector<float> SeriesCloses() const {
    std::vector<float> closes;
    for (int i = 0; i < bars.m_series.count; ++i) closes.push_back(bars.m_series.close[i]);
    return closes;
  }
  static std::int16_t Day(int index) {
    return static_cast<std::int16_t>(DayNumber(100, 1, 3) + index);
  }

  fixture::TempDir dir;
  fixture::RecordingMessages messages;
  CBars bars{&messages};
  const int screen = bars.ScreenBars(640);  // 585 / 4 = 146 positions, 145 bars
};

TEST_F(WindowFixture, PagesBackAndForthReadingTheWindowWithTheBarsBeforeIt) {
  ASSERT_EQ(screen, 145);
  EXPECT_TRUE(bars.AtNewestBars());
  EXPECT_EQ(bars.WindowStart(), 1200);
  EXPECT_EQ(bars.WindowEnd(), 1999);
  const std::vector<float> newest = SeriesCloses();

  EXPECT_EQ(bars.ScrollWindow(-screen, screen), 1);
  EXPECT_FALSE(bars.AtNewestBars());
  EXPECT_EQ(bars.WindowEnd(), 1999 - 145);
  EXPECT_EQ(bars.WindowStart(), 1999 - 145 - 799);
  EXPECT_EQ(SeriesCloses(), Closes(1999 - 145 - 799, 800));
  // The averages of the bars on screen are warmed up by the 655 bars before them.
  const std::vector<float> last10 = Closes(1999 - 145 - 9, 10);
  float sum = 0;
  for (float c : last10) sum += c;
  EXPECT_NEAR(bars.m_ma1[799], sum / 10, 1e-4);

  // The oldest screen starts with the file's first bar; further back goes nowhere.
  EXPECT_EQ(bars.ShowOldestBars(screen), 1);
  EXPECT_EQ(bars.WindowStart(), 0);
  EXPECT_EQ(bars.WindowEnd(), 144);
  EXPECT_EQ(bars.ScrollWindow(-1, screen), 0);
  EXPECT_EQ(bars.ScrollWindow(14, screen), 1);
  EXPECT_EQ(bars.WindowEnd(), 158);

  // Forward stops at the newest bar, read as the first load read them.
  EXPECT_EQ(bars.ScrollWindow(5000, screen), 1);
  EXPECT_TRUE(bars.AtNewestBars());
  EXPECT_EQ(SeriesCloses(), newest);
  EXPECT_EQ(bars.ScrollWindow(1, screen), 0);
  EXPECT_EQ(bars.ShowNewestBars(), 0);
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(WindowFixture, EveryChangeOfSecurityReturnsToTheNewestBars) {
  bars.ScrollWindow(-500, screen);
  bars.Step(0);
  EXPECT_TRUE(bars.AtNewestBars());
  EXPECT_EQ(bars.WindowEnd(), 1999);

  bars.ScrollWindow(-500, screen);
  bars.SearchSetSymbolIndex("SHORT");
  EXPECT_EQ(bars.WindowEnd(), 49);
  // A security shorter than a screen has nowhere to go.
  EXPECT_EQ(bars.ScrollWindow(-screen, screen), 0);
  EXPECT_EQ(bars.ShowOldestBars(screen), 0);
}

TEST_F(WindowFixture, UntilADateEndsAtTheLastBarOnOrBeforeIt) {
  // Reading back through three series of 800.
  EXPECT_EQ(bars.ShowBarsUntil(Day(100)), 0);
  EXPECT_EQ(bars.WindowEnd(), 100);
  EXPECT_EQ(bars.WindowStart(), 0);
  EXPECT_EQ(bars.m_series.date[bars.m_series.count - 1], Day(100));

  EXPECT_EQ(bars.ShowBarsUntil(Day(1500)), 0);
  EXPECT_EQ(bars.WindowEnd(), 1500);
  EXPECT_EQ(SeriesCloses(), Closes(701, 800));

  EXPECT_EQ(bars.ShowBarsUntil(Day(1999) + 400), 0);
  EXPECT_TRUE(bars.AtNewestBars());

  // Nothing that early: back at the newest bars, and the caller is told.
  bars.ShowBarsUntil(Day(1000));
  EXPECT_EQ(bars.ShowBarsUntil(Day(-1)), 1);
  EXPECT_TRUE(bars.AtNewestBars());
  EXPECT_EQ(bars.m_seriesAllocated, 1);
}

TEST_F(WindowFixture, BarUnderThePointerOnlyBetweenBaseLineAndPriceTop) {
  // The screen's 145 bars are series bars 655..799; on a 640 x 480 target the bars reach
  // from y 15 (top of the price area) down to 475 (base line).
  bars.SetLogicalSize({640, 480});
  const tv::Rect target{0, 0, 640, 480};
  EXPECT_EQ(bars.BarAt({9, 15}, target), 655);
  EXPECT_EQ(bars.BarAt({585, 475}, target), 799);
  EXPECT_EQ(bars.BarAt({300, 14}, target), -1);
  EXPECT_EQ(bars.BarAt({300, 476}, target), -1);
}

TEST(BarValues, GapsInTheDatesAndFieldsTheLayoutLacks) {
  fixture::TempDir dir;
  fixture::WriteMaster(dir.path() / "MASTER", {SecurityRecord({.fileNumber = 1,
                                                               .recordLength = 20,
                                                               .fieldCount = 5,
                                                               .name = "FIVE",
                                                               .symbol = "FIVE"}),
                                               SecurityRecord({.fileNumber = 2,
                                                               .recordLength = 32,
                                                               .fieldCount = 8,
                                                               .name = "DAY",
                                                               .symbol = "DAY"})});
  fixture::WriteDop(dir.path() / "F1.DOP", {"DATE", "HIGH", "LOW", "CLOSE", "VOL"});
  fixture::WriteDat(dir.path() / "F1.DAT", 20,
                    {{fixture::DateReal(2007, 3, 1), 1.5f, 0.1f, 1.25f, 0.0f},
                     {fixture::DateReal(2007, 3, 5), 2.0f, 1e-7f, 16777216.0f, 12.0f}});
  fixture::WriteDop(dir.path() / "F2.DOP",
                    {"DATE", "TIME", "OPEN", "HIGH", "LOW", "CLOSE", "VOL", "OI"});
  fixture::WriteDat(dir.path() / "F2.DAT", 32,
                    {{fixture::DateReal(2007, 3, 1), 93000.0f, 1, 2, 0.5f, 1.5f, 300, 7}});

  fixture::RecordingMessages messages;
  CBars bars(&messages);
  ASSERT_EQ(bars.OpenMaster((dir.dir() + "MASTER").c_str()), 1);
  bars.ReadSecurityList();
  ASSERT_EQ(bars.LoadCurrentSecurity(), 0);

  using Lines = std::vector<std::pair<std::string, std::string>>;
  const std::string dash = "\xE2\x80\x94";
  EXPECT_EQ(bars.BarValues(1), (Lines{{"Date", "2007-03-05"},
                                      {"Open", dash},
                                      {"High", "2"},
                                      {"Low", "1e-07"},
                                      {"Close", "16777216"},
                                      {"Volume", "12"},
                                      {"Open interest", dash}}));
  EXPECT_TRUE(bars.BarValues(2).empty());
  EXPECT_TRUE(bars.BarValues(-1).empty());

  // A date between two bars ends the window at the earlier one.
  EXPECT_EQ(bars.ShowBarsUntil(DayNumber(107, 3, 4)), 0);
  EXPECT_EQ(bars.WindowEnd(), 0);

  bars.Step(1);
  EXPECT_EQ(bars.BarValues(0), (Lines{{"Date", "2007-03-01 09:30:00"},
                                      {"Open", "1"},
                                      {"High", "2"},
                                      {"Low", "0.5"},
                                      {"Close", "1.5"},
                                      {"Volume", "300"},
                                      {"Open interest", "7"}}));
}

// A file cut short while paged back leaves nothing to page through; End, Home and PageUp each
// bring the file back once it reads again. End at the newest bars shows bars added since.
TEST_F(WindowFixture, EndHomeAndPageUpBringBackAFileCutShortWhilePagedBack) {
  constexpr int kScreen = 100;
  struct Key {
    const char* name;
    int (*press)(CBars&);
    std::int32_t end;
  };
  const Key keys[] = {
      {"End", [](CBars& b) { return b.ShowNewestBars(); }, 1999},
      {"Home", [](CBars& b) { return b.ShowOldestBars(kScreen); }, kScreen - 1},
      {"PageUp", [](CBars& b) { return b.ScrollWindow(-kScreen, kScreen); }, 1999},
  };
  for (const Key& k : keys) {
    ASSERT_EQ(bars.LoadCurrentSecurity(), 0);
    bars.ScrollWindow(-500, kScreen);
    std::filesystem::resize_file(dir.path() / "F1.DAT", 10);
    bars.ScrollWindow(-kScreen, kScreen);  // the window's bars are gone
    EXPECT_TRUE(bars.m_seriesAllocated == 0 || bars.m_series.count == 0) << k.name;
    EXPECT_EQ(k.press(bars), 0) << k.name;  // still cut short: nothing to show
    fixture::WriteSimpleSecurity(dir.path(), 1, {.bars = 2000});
    EXPECT_EQ(k.press(bars), 1) << k.name;
    EXPECT_EQ(bars.WindowEnd(), k.end) << k.name;
  }
}

TEST_F(WindowFixture, EndAtTheNewestBarsShowsBarsAddedSince) {
  EXPECT_EQ(bars.ShowNewestBars(), 0);
  fixture::WriteSimpleSecurity(dir.path(), 1, {.bars = 2040});
  EXPECT_EQ(bars.ShowNewestBars(), 1);
  EXPECT_EQ(bars.WindowEnd(), 2039);
  EXPECT_EQ(bars.ShowNewestBars(), 0);
}

}  // namespace
