// Browsing with extended reading: Next, Previous, Go To and the slide show pass over folders
// and unreadable securities without ever stopping at a message box.

#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>
#include <QPointer>

#include "Sshowdlg.h"
#include "command_ids.h"
#include "commands.h"
#include "goto_list.h"
#include "recent_files.h"
#include "show_fixture.h"

namespace {

using show_fixture::Program;

// SYM1, folder SUBA (holding SYM9), SYM2 without a readable data file, SYM3, folder SUBB.
struct FolderDatabase {
  fixture::TempDir dir;
  Program p;
  FolderDatabase() {
    std::vector<fixture::Record53> records;
    for (int n : {1, 2, 3}) {
      fixture::Security s;
      s.fileNumber = static_cast<std::uint8_t>(n);
      s.symbol = "SYM" + std::to_string(n);
      s.name = "NAME " + std::to_string(n);
      records.push_back(fixture::SecurityRecord(s));
      fixture::WriteSimpleSecurity(dir.path(), s.fileNumber, {.bars = 60});
    }
    records.insert(records.begin() + 1, fixture::DirectoryRecord("SUBA"));
    records.push_back(fixture::DirectoryRecord("SUBB"));
    fixture::WriteMaster(dir.path() / "MASTER", records);
    fixture::WriteText(dir.path() / "F2.DAT", "0123456789");  // ten bytes: no bars

    std::filesystem::create_directory(dir.path() / "SUBA");
    show_fixture::WriteDatabase(dir.path() / "SUBA", 1);
    fixture::Security deep;
    deep.fileNumber = 1;
    deep.symbol = "SYM9";
    deep.name = "DEEP";
    fixture::WriteMaster(dir.path() / "SUBA" / "MASTER", {fixture::SecurityRecord(deep)});

    p.app.SetExtendedReading(true);
    EXPECT_TRUE(p.Start((dir.path() / "MASTER").string()));
  }
  std::string Symbol() { return p.bars().CurrentSymbol(); }
};

TEST(ExtendedBrowsing, NextAndPreviousPassOverFoldersAndReportFailuresInTheStatusBar) {
  FolderDatabase d;
  tv::CTickvaneView& view = d.p.view();
  struct Step {
    bool next;
    const char* symbol;
    bool loaded;
    bool canNext, canPrevious;
  };
  const Step steps[] = {
      {true, "SYM2", false, true, true},  // over SUBA; its file holds no bars
      {true, "SYM3", true, false, true},  // SUBB after it is no security
      {false, "SYM2", false, true, true},
      {false, "SYM1", true, true, false},  // over SUBA again
  };
  EXPECT_EQ(d.Symbol(), "SYM1");
  for (const Step& s : steps) {
    s.next ? view.OnNext() : view.OnPrevious();
    d.p.Idle();
    EXPECT_EQ(d.Symbol(), s.symbol);
    EXPECT_EQ(d.p.bars().m_seriesAllocated != 0, s.loaded) << s.symbol;
    EXPECT_EQ(d.p.app.GetDocument().CanNext(), s.canNext) << s.symbol;
    EXPECT_EQ(d.p.app.GetDocument().CanPrevious(), s.canPrevious) << s.symbol;
    // An unreadable security is no dead end: Go To and the slide show stay open.
    EXPECT_TRUE(d.p.app.GetDocument().CanGoTo()) << s.symbol;
    EXPECT_TRUE(d.p.app.GetDocument().CanSlideShow()) << s.symbol;
    const QString status = d.p.frame().messagePane()->text();
    EXPECT_EQ(status.contains("SYM2"), !s.loaded) << status.toStdString();
  }
  EXPECT_TRUE(d.p.messages.texts.empty());
}

TEST(ExtendedBrowsing, GoToListsFoldersAndChoosingOneOpensItsMaster) {
  FolderDatabase d;
  const tv::GoToList list = tv::BuildGoToList(d.p.bars(), tv::kSortMaster);
  ASSERT_EQ(list.entries.size(), 5U);
  EXPECT_EQ(list.entries[1], "SUBA/ \t(folder)");
  EXPECT_EQ(list.entries[4], "SUBB/ \t(folder)");

  std::string choice = "SUBA/ \t(folder)";
  d.p.app.GetDocument().SetGoToDialog([&choice](CBars&, std::string& selection) {
    selection = choice;
    return true;
  });
  d.p.app.GetDocument().OnGoTo();
  EXPECT_EQ(d.Symbol(), "SYM9");
  // The folder's list leads back up, and only there.
  EXPECT_EQ(tv::BuildGoToList(d.p.bars(), tv::kSortName).entries.front(), tv::kGoToUpEntry);
  choice = std::string(tv::kGoToUpEntry);
  d.p.app.GetDocument().OnGoTo();
  EXPECT_EQ(d.Symbol(), "SYM1");
  EXPECT_NE(tv::BuildGoToList(d.p.bars(), tv::kSortMaster).entries.front(), tv::kGoToUpEntry);
  d.p.app.GetDocument().OnGoTo();
  EXPECT_EQ(d.Symbol(), "SYM1");
  choice = "SUBA/ \t(folder)";
  d.p.app.GetDocument().OnGoTo();
  EXPECT_NE(d.p.bars().m_seriesAllocated, 0);
  const std::string opened = (d.dir.path() / "SUBA" / "MASTER").string();
  EXPECT_EQ(d.p.app.GetDocument().GetPathName(), opened);
  EXPECT_EQ(d.p.app.GetRecentFiles().entries().front(), opened);
  EXPECT_TRUE(d.p.messages.texts.empty());
}

TEST(ExtendedBrowsing, SlideShowGoesOnPastAnUnreadableSecurityAndSkipsFolders) {
  FolderDatabase d;
  QPointer<tv::CSlideShowWnd> show(new tv::CSlideShowWnd(d.p.frame(), [] {}));
  ASSERT_TRUE(show->Start(1));
  std::vector<std::string> shown{d.Symbol()};
  for (int tick = 0; tick < 10 && !show.isNull(); ++tick) {
    show->OnTimer(tv::CSlideShowWnd::kTimerId);
    show_fixture::DeleteClosedWindows();
    if (!show.isNull()) shown.push_back(d.Symbol());
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"SYM1", "SYM2", "SYM3"}));
  EXPECT_TRUE(d.p.messages.texts.empty());
}

}  // namespace

// The Chart menu is made of the command table's actions: a choice changes the settings and the
// marks follow them; for the classic chart, whose window has no such menu, they are greyed.
TEST(ChartCommands, TheMenuIsMadeOfCommandsThatFollowTheSettings) {
  FolderDatabase d;
  tv::CommandTable& commands = d.p.app.GetCommands();
  QMenu* chart = d.p.frame().findChild<QMenu*>("menuChart");
  ASSERT_NE(chart, nullptr);
  std::vector<int> ids;
  for (const QAction* a : chart->actions()) ids.push_back(tv::CommandTable::IdOf(a));
  using namespace tv::cmd;
  // Separators and the Period submenu carry no command.
  EXPECT_EQ(ids, (std::vector<int>{kChartHlc,
                                   kChartOhlc,
                                   kChartCandles,
                                   kChartLine,
                                   0,
                                   0,
                                   0,
                                   kChartLog,
                                   0,
                                   kChartSimple,
                                   kChartExponential,
                                   kChartAveragesStudies,
                                   0,
                                   kChartOpenInterest,
                                   kChartCrosshair,
                                   0,
                                   kChartBollinger,
                                   kChartRsi,
                                   kChartMacd,
                                   kChartStochastic,
                                   0,
                                   kCompareWith,
                                   0,
                                   kFitHistory}));
  ASSERT_TRUE(commands.Execute(kChartPeriodWeekly));
  EXPECT_EQ(d.p.app.GetDocument().GetChartSettings().period, plot::Period::Weekly);
  EXPECT_TRUE(commands.Execute(kChartCandles));
  EXPECT_TRUE(commands.Execute(kChartLog));
  d.p.Idle();
  EXPECT_EQ(d.p.app.GetDocument().GetChartSettings().style, plot::Style::Candles);
  EXPECT_TRUE(d.p.app.GetDocument().GetChartSettings().log);
  for (const int id : {kChartHlc, kChartOhlc, kChartCandles, kChartLine, kChartLog})
    EXPECT_EQ(commands.Action(id)->isChecked(), id == kChartCandles || id == kChartLog) << id;

  show_fixture::Program classic;
  ASSERT_TRUE(classic.Start((d.dir.path() / "MASTER").string()));
  EXPECT_EQ(classic.frame().findChild<QMenu*>("menuChart"), nullptr);
  EXPECT_FALSE(classic.app.GetCommands().Execute(kChartLog));
  classic.Idle();
  EXPECT_FALSE(classic.app.GetCommands().Action(kChartRsi)->isEnabled());
}
