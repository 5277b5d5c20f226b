// The Explorer: Ctrl+E opens it, a scan lists the securities of the tree in the background, a
// double click charts one (opening its folder), Next and Previous step through the results,
// and a malformed expression is shown in the window.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

#include "command_ids.h"
#include "commands.h"
#include "explorer_window.h"
#include "show_fixture.h"

namespace {

using show_fixture::Program;

// AAA closes high, a folder SUB whose SUB1 does too, BBB low.
struct ExplorerDatabase {
  fixture::TempDir dir;
  Program p;
  ExplorerDatabase() {
    const auto security = [](int n, const std::string& symbol) {
      fixture::Security s;
      s.fileNumber = static_cast<std::uint8_t>(n);
      s.symbol = symbol;
      s.name = "NAME " + symbol;
      return fixture::SecurityRecord(s);
    };
    fixture::WriteMaster(dir.path() / "MASTER",
                         {security(1, "AAA"), fixture::DirectoryRecord("SUB"), security(2, "BBB")});
    fixture::WriteSimpleSecurity(dir.path(), 1, {.bars = 60, .startPrice = 50});
    fixture::WriteSimpleSecurity(dir.path(), 2, {.bars = 60, .startPrice = 1});
    std::filesystem::create_directory(dir.path() / "SUB");
    fixture::WriteMaster(dir.path() / "SUB" / "MASTER", {security(1, "SUB1")});
    fixture::WriteSimpleSecurity(dir.path() / "SUB", 1, {.bars = 60, .startPrice = 40});
    p.app.SetExtendedReading(true);
    EXPECT_TRUE(p.Start((dir.path() / "MASTER").string()));
  }

  tv::ExplorerWindow* Open() {
    p.app.GetCommands().Action(tv::cmd::kExplorer)->trigger();
    return p.app.GetExplorer();
  }
  void Scan(tv::ExplorerWindow& explorer, const QString& expression) {
    explorer.findChild<QComboBox*>("explorerExpression")->setEditText(expression);
    explorer.Run();
    QElapsedTimer waited;
    waited.start();
    while (explorer.Running() && waited.elapsed() < 10000) QCoreApplication::processEvents();
    QCoreApplication::processEvents();
  }
  QString Status() {
    p.Idle();
    return p.frame().messagePane()->text();
  }
};

TEST(Explorer, ListsChartsAndStepsThroughTheResultsOfTheWholeTree) {
  ExplorerDatabase d;
  tv::ExplorerWindow* explorer = d.Open();
  ASSERT_NE(explorer, nullptr);
  EXPECT_TRUE(explorer->isVisible());
  d.Scan(*explorer, "close > 20");
  auto* table = explorer->findChild<QTableWidget*>("explorerResults");
  ASSERT_EQ(explorer->ResultCount(), 2);
  EXPECT_EQ(table->item(0, 1)->text(), "AAA");
  EXPECT_EQ(table->item(1, 0)->text(), "SUB");
  EXPECT_EQ(d.p.profile.ReadText("Explorer", "Expression1", ""), "close > 20");

  emit table->cellDoubleClicked(0, 0);
  EXPECT_STREQ(d.p.bars().CurrentSymbol(), "AAA");
  EXPECT_EQ(d.Status(), "Result 1 of 2");
  struct Step {
    int command;
    const char* symbol;
    const char* status;
  };
  for (const Step& s : {Step{tv::cmd::kNext, "SUB1", "Result 2 of 2"},
                        Step{tv::cmd::kNext, "SUB1", "Result 2 of 2"},  // the last stays
                        Step{tv::cmd::kPrevious, "AAA", "Result 1 of 2"}}) {
    d.p.app.GetCommands().Action(s.command)->trigger();
    EXPECT_STREQ(d.p.bars().CurrentSymbol(), s.symbol);
    EXPECT_EQ(d.Status(), s.status);
  }
  // Cleared, Next is the list's own again.
  explorer->ClearResults();
  EXPECT_NE(d.Status(), "Result 1 of 2");
  d.p.app.GetCommands().Action(tv::cmd::kNext)->trigger();
  EXPECT_STREQ(d.p.bars().CurrentSymbol(), "BBB");
}

TEST(Explorer, ShowsAMalformedExpressionInTheWindowWithItsColumn) {
  ExplorerDatabase d;
  tv::ExplorerWindow* explorer = d.Open();
  ASSERT_NE(explorer, nullptr);
  d.Scan(*explorer, "close > sma(close)");
  auto* error = explorer->findChild<QLabel*>("explorerError");
  EXPECT_FALSE(error->isHidden());
  EXPECT_TRUE(error->text().contains("column 9: sma takes 2 arguments"))
      << error->text().toStdString();
  EXPECT_EQ(explorer->findChild<QComboBox*>("explorerExpression")->lineEdit()->cursorPosition(), 8);
  EXPECT_EQ(explorer->ResultCount(), 0);
  EXPECT_TRUE(d.p.messages.texts.empty());
}

}  // namespace
