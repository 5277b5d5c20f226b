// The running application on the offscreen platform: menus, tool bar, keys, the enable rules
// as the user meets them, the status panes, the window's place and printing.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QProcess>
#include <QScreen>
#include <QShortcut>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <tuple>

#include "Doc.h"
#include "MainFrm.h"
#include "View.h"
#include "command_entries.h"
#include "command_ids.h"
#include "commands.h"
#include "doc_template.h"
#include "help_window.h"
#include "memory_profile.h"
#include "position_pie.h"
#include "quote_writer.h"
#include "recording_surface.h"
#include "show_fixture.h"
#include "tickvane.h"
#include "window_geometry.h"

namespace {

namespace fs = std::filesystem;
using namespace tv;

void WriteDatabase(const fs::path& dir, int securities) {
  show_fixture::WriteDatabase(dir, securities, 120);
}

// One running program: application object, frame, view and document.
struct Program {
  fixture::MemoryProfile profile;
  fixture::RecordingMessages messages;
  ManualClock clock;
  CTickvaneApp app{profile, messages, clock};

  bool Start(const std::string& file = "") {
    const bool ok = app.InitInstance(file);
    if (ok) Idle();
    return ok;
  }
  void Idle() { app.OnIdle(0); }
  CMainFrame& frame() { return *app.GetMainWnd(); }
  CTickvaneView& view() { return *frame().GetActiveView(); }
  CBars& bars() { return app.GetDocument().GetBars(); }
  QAction* action(int id) { return app.GetCommands().Action(id); }
  bool enabled(int id) { return action(id)->isEnabled(); }
};

// (text, id) of every entry of a menu; separators read ("-", 0).
std::vector<std::pair<std::string, int>> Entries(const QMenu* menu) {
  std::vector<std::pair<std::string, int>> out;
  for (QAction* a : menu->actions()) {
    if (a->isSeparator())
      out.emplace_back("-", 0);
    else if (a->isVisible())
      out.emplace_back(a->text().toStdString(), CommandTable::IdOf(a));
  }
  return out;
}

TEST(MainWindow, MenusCarryEveryItemWithItsTextAndId) {
  Program p;
  ASSERT_TRUE(p.Start());
  QMenuBar* bar = p.frame().menuBar();
  std::vector<std::string> titles;
  for (QAction* a : bar->actions()) titles.push_back(a->text().toStdString());
  EXPECT_EQ(titles, (std::vector<std::string>{"&File", "&View", "&Select", "&Help"}));

  using E = std::vector<std::pair<std::string, int>>;
  auto menu = [&](int i) { return bar->actions()[i]->menu(); };
  EXPECT_EQ(Entries(menu(0)), (E{{"&Open...\tCtrl+O", cmd::kFileOpen},
                                 {"Close", cmd::kFileClose},
                                 {"-", 0},
                                 {"&Print...\tCtrl+P", cmd::kFilePrint},
                                 {"Print Pre&view", cmd::kFilePrintPreview},
                                 {"P&rint Setup...", cmd::kFilePrintSetup},
                                 {"-", 0},
                                 {"Recent File", cmd::kFileMru1},
                                 {"-", 0},
                                 {"E&xit", cmd::kAppExit}}));
  EXPECT_FALSE(p.enabled(cmd::kFileMru1));  // the placeholder is greyed
  EXPECT_EQ(Entries(menu(1)), (E{{"&Options...", cmd::kViewOptions},
                                 {"S&lide Show...", cmd::kSlideShow},
                                 {"-", 0},
                                 {"&Toolbar", cmd::kViewToolbar},
                                 {"&Status Bar", cmd::kViewStatusBar}}));
  EXPECT_EQ(
      Entries(menu(2)),
      (E{{"&Next\t->", cmd::kNext}, {"&Previous\t<-", cmd::kPrevious}, {"&Go To...", cmd::kGoTo}}));
  EXPECT_EQ(
      Entries(menu(3)),
      (E{{"&Help Topics", cmd::kHelpIndex}, {"-", 0}, {"&About Tickvane...", cmd::kAppAbout}}));

  EXPECT_EQ(p.action(cmd::kNext)->statusTip(), "Go to next chart");
  EXPECT_EQ(p.action(cmd::kAppAbout)->statusTip(), "Discloses my dark secret");
  EXPECT_EQ(p.action(cmd::kFilePrintPreview)->toolTip(), "Print Preview");
  EXPECT_EQ(p.action(cmd::kViewOptions)->statusTip(), "Change Viewing Options");
  EXPECT_EQ(p.frame().windowTitle(), "Tickvane");
}

TEST(MainWindow, ToolBarHasFiveButtonsWithImagesAndTips) {
  Program p;
  ASSERT_TRUE(p.Start());
  std::vector<int> ids;
  for (QAction* a : p.frame().m_wndToolBar->actions()) {
    ids.push_back(a->isSeparator() ? 0 : CommandTable::IdOf(a));
    if (!a->isSeparator()) {
      EXPECT_FALSE(a->icon().isNull());
      EXPECT_FALSE(a->toolTip().isEmpty());
    }
  }
  EXPECT_EQ(ids, (std::vector<int>{cmd::kFileOpen, 0, cmd::kPrevious, cmd::kNext, 0,
                                   cmd::kFilePrintPreview, cmd::kAppAbout}));
  EXPECT_EQ(p.frame().m_wndToolBar->iconSize(), QSize(16, 15));
  EXPECT_EQ(p.action(cmd::kFileOpen)->toolTip(), "Open an existing document");
  EXPECT_EQ(p.action(cmd::kPrevious)->toolTip(), "Go to previous chart");
}

TEST(MainWindow, CommandsNeedingAChartAreGreyedUntilADatabaseIsOpen) {
  fixture::TempDir dir;
  WriteDatabase(dir.path(), 3);
  Program p;
  ASSERT_TRUE(p.Start());
  for (int id : {cmd::kNext, cmd::kPrevious, cmd::kGoTo, cmd::kViewOptions, cmd::kSlideShow})
    EXPECT_FALSE(p.enabled(id)) << id;
  EXPECT_TRUE(p.enabled(cmd::kFileOpen));
  // Save has no command in this program: Ctrl+S is never enabled and never writes.
  EXPECT_FALSE(p.enabled(cmd::kFileSave));
  EXPECT_FALSE(p.app.GetCommands().Execute(cmd::kFileSave));

  ASSERT_TRUE(p.app.GetDocTemplate().OpenDocumentFile((dir.path() / "MASTER").string()));
  p.Idle();
  EXPECT_TRUE(p.enabled(cmd::kNext));
  EXPECT_FALSE(p.enabled(cmd::kPrevious));
  for (int id : {cmd::kGoTo, cmd::kViewOptions, cmd::kSlideShow}) EXPECT_TRUE(p.enabled(id)) << id;
  EXPECT_TRUE(p.enabled(cmd::kFileMru1));  // the recent file
  p.frame().UpdateRecentFileMenu();
  EXPECT_TRUE(p.action(cmd::kFileMru1)->text().startsWith("&1 "));

  p.view().OnNext();
  p.view().OnNext();
  p.Idle();
  EXPECT_FALSE(p.enabled(cmd::kNext));
  EXPECT_TRUE(p.enabled(cmd::kPrevious));
}

// The pointer on a menu item shows the item's prompt in the status bar, greyed or not.
TEST(MainWindow, GreyedMenuItemsShowTheirPrompt) {
  Program p;
  ASSERT_TRUE(p.Start());  // no database: Next is greyed, Open is not
  p.frame().show();
  QMenu* menu = p.frame().findChild<QMenu*>("menuSelect");
  QMenu* file = p.frame().findChild<QMenu*>("menuFile");
  ASSERT_TRUE(menu && file);
  const auto hover = [&](QMenu* m, int id) {
    QMenuBar* bar = p.frame().menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(m->menuAction()).center());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(m));
    // A menu follows the pointer only once it has moved some way since the menu opened.
    const QPoint target = m->actionGeometry(p.action(id)).center();
    for (int dx : {40, 20, 0}) QTest::mouseMove(m, target + QPoint(dx, 0));
    QCoreApplication::processEvents();
    const std::string message = p.frame().m_wndStatusBar->currentMessage().toStdString();
    m->hide();
    return message;
  };
  EXPECT_EQ(hover(file, cmd::kFileOpen), "Open an existing document");
  ASSERT_FALSE(p.enabled(cmd::kNext));
  EXPECT_EQ(hover(menu, cmd::kNext), "Go to next chart");
  ASSERT_FALSE(p.enabled(cmd::kFileMru1));
  EXPECT_EQ(hover(file, cmd::kFileMru1), "Open this document");
}

TEST(MainWindow, AGreyedCommandIsNeverCarriedOutHoweverItIsInvoked) {
  fixture::TempDir dir;
  WriteDatabase(dir.path(), 2);
  Program p;
  ASSERT_TRUE(p.Start((dir.path() / "MASTER").string()));
  CommandTable& commands = p.app.GetCommands();
  p.view().OnNext();
  ASSERT_EQ(p.bars().m_current, 1);
  // Stepping at an end would look the same as not stepping: count the handler's runs.
  int nextRuns = 0, previousRuns = 0;
  commands.SetHandler(cmd::kNext, [&] { ++nextRuns; });
  commands.SetHandler(cmd::kPrevious, [&] {
    ++previousRuns;
    p.view().OnPrevious();
  });

  // The action still looks enabled from before the step: its rule is asked again first.
  ASSERT_TRUE(p.action(cmd::kNext)->isEnabled());
  p.action(cmd::kNext)->trigger();
  EXPECT_EQ(nextRuns, 0);
  EXPECT_FALSE(p.action(cmd::kNext)->isEnabled());
  EXPECT_FALSE(commands.Execute(cmd::kNext));
  EXPECT_EQ(nextRuns, 0);

  // The arrow keys reach the same commands, under the same rules.
  p.frame().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&p.frame()));
  p.view().setFocus();
  p.Idle();
  QTest::keyClick(&p.view(), Qt::Key_Right);
  EXPECT_EQ(nextRuns, 0);
  QTest::keyClick(&p.view(), Qt::Key_Left);
  EXPECT_EQ(previousRuns, 1);
  EXPECT_EQ(p.bars().m_current, 0);
  p.Idle();
  QTest::keyClick(&p.view(), Qt::Key_Left);  // greyed at the first security
  EXPECT_EQ(previousRuns, 1);
  QTest::keyClick(&p.view(), Qt::Key_Right);
  EXPECT_EQ(nextRuns, 1);
}

// Every key of the command table, pressed in the window, runs its own command and no other,
// menu item or not; no key of the window is bound twice (Qt would then run neither binding).
TEST(MainWindow, EveryKeyReachesItsOwnCommandAndNoKeyIsBoundTwice) {
  Program p;
  ASSERT_TRUE(p.Start());
  CommandTable& commands = p.app.GetCommands();
  std::vector<int> ran;
  for (const CommandEntry& entry : kCommandEntries) {
    commands.SetRule(entry.id, [] { return true; });
    commands.SetHandler(entry.id, [&ran, id = entry.id] { ran.push_back(id); });
  }
  p.frame().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&p.frame()));
  p.view().setFocus();
  p.Idle();
  for (const CommandEntry& entry : kCommandEntries) {
    if (entry.key == nullptr) continue;
    const QKeyCombination key = QKeySequence(entry.key, QKeySequence::PortableText)[0];
    ran.clear();
    QTest::keyClick(&p.view(), key.key(), key.keyboardModifiers());
    EXPECT_EQ(ran, std::vector<int>{entry.id}) << entry.key;
  }

  std::vector<QString> keys;
  for (const QAction* a : p.frame().actions())
    if (!a->shortcut().isEmpty()) keys.push_back(a->shortcut().toString());
  for (const QShortcut* s : p.frame().findChildren<QShortcut*>())
    keys.push_back(s->key().toString());
  std::sort(keys.begin(), keys.end());
  const auto twice = std::adjacent_find(keys.begin(), keys.end());
  EXPECT_TRUE(twice == keys.end()) << "bound twice: " << twice->toStdString();
}

TEST(MainWindow, ContextMenuFollowsTheRulesAndHidesDuringASlideShow) {
  fixture::TempDir dir;
  WriteDatabase(dir.path(), 3);
  Program p;
  ASSERT_TRUE(p.Start());
  auto states = [&] {
    auto menu = p.view().BuildContextMenu();
    std::vector<std::pair<std::string, bool>> out;
    for (QAction* a : menu->actions()) out.emplace_back(a->text().toStdString(), a->isEnabled());
    return out;
  };
  using S = std::vector<std::pair<std::string, bool>>;
  EXPECT_EQ(states(), (S{{"Next", false}, {"Previous", false}}));
  ASSERT_TRUE(p.app.GetDocTemplate().OpenDocumentFile((dir.path() / "MASTER").string()));
  EXPECT_EQ(states(), (S{{"Next", true}, {"Previous", false}}));

  // Choosing an item runs the ordinary command.
  auto menu = p.view().BuildContextMenu();
  menu->actions()[0]->trigger();
  EXPECT_EQ(p.bars().m_current, 1);
  EXPECT_EQ(states(), (S{{"Next", true}, {"Previous", true}}));

  // A right click shows the menu, except while a slide show runs.
  int shown = 0;
  p.view().m_showMenu = [&](QMenu&, const QPoint&) { ++shown; };
  QTest::mouseClick(&p.view(), Qt::RightButton);
  EXPECT_EQ(shown, 1);
  p.view().SetSlideShowRunning(true);
  EXPECT_EQ(p.view().BuildContextMenu(), nullptr);
  QTest::mouseClick(&p.view(), Qt::RightButton);
  EXPECT_EQ(shown, 1);
  p.view().SetSlideShowRunning(false);
  QTest::mouseClick(&p.view(), Qt::RightButton);
  EXPECT_EQ(shown, 2);
}

TEST(MainWindow, OneSecurityGreysBothSteps) {
  fixture::TempDir dir;
  WriteDatabase(dir.path(), 1);
  Program p;
  ASSERT_TRUE(p.Start((dir.path() / "MASTER").string()));
  EXPECT_FALSE(p.enabled(cmd::kNext));
  EXPECT_FALSE(p.enabled(cmd::kPrevious));
  EXPECT_TRUE(p.enabled(cmd::kSlideShow));
  EXPECT_EQ(p.frame().counterPane()->text(), "Symbol 1 of 1");
}

TEST(StartUp, AFileThatCannotBeOpenedEndsStartUpWithTheMessage) {
  Program p;
  EXPECT_FALSE(p.Start("/nonexistent/dir/MASTER"));
  ASSERT_EQ(p.messages.messages.size(), 1u);
  EXPECT_EQ(p.messages.messages[0].icon, MessageIcon::Stop);
  EXPECT_NE(p.messages.messages[0].text.find("/nonexistent/dir/MASTER"), std::string::npos);
}

// Extended reading is off unless [Reading] Extended=1 says so; the command line wins.
TEST(StartUp, ExtendedReadingFromTheSettingsUnlessTheCommandLineSays) {
  for (const auto& [stored, fromCommandLine, expected] :
       std::vector<std::tuple<std::string, std::optional<bool>, bool>>{{"", std::nullopt, false},
                                                                       {"1", std::nullopt, true},
                                                                       {"yes", std::nullopt, false},
                                                                       {"1", false, false},
                                                                       {"", true, true}}) {
    Program p;
    if (!stored.empty()) p.profile.Set("Reading", "Extended", stored);
    p.app.SetExtendedReading(fromCommandLine);
    ASSERT_TRUE(p.Start());
    EXPECT_EQ(p.bars().IsExtended(), expected) << stored;
  }
}

TEST(StartUp, HelpSaysPlainlyWhenTheGuideIsNotInstalled) {
  Program p;
  ASSERT_TRUE(p.Start());
  p.app.SetUserGuidePath({});
  p.app.GetCommands().Execute(cmd::kHelp);
  ASSERT_EQ(p.messages.messages.size(), 1u);
  EXPECT_NE(p.messages.messages[0].text.find("Help is not installed"), std::string::npos);
}

TEST(StartUp, ContextHelpTakesTheNextClickForHelp) {
  Program p;
  ASSERT_TRUE(p.Start());
  p.app.SetUserGuidePath({});
  int menus = 0;
  p.view().m_showMenu = [&](QMenu&, const QPoint&) { ++menus; };
  p.app.GetCommands().Execute(cmd::kContextHelp);
  EXPECT_TRUE(p.app.InContextHelpMode());
  EXPECT_EQ(p.frame().m_wndStatusBar->currentMessage(), "Select an object on which to get Help");
  QTest::mouseClick(&p.view(), Qt::RightButton);
  EXPECT_EQ(menus, 0);  // the click only asked for help
  EXPECT_FALSE(p.app.InContextHelpMode());
  ASSERT_EQ(p.messages.messages.size(), 1u);
  EXPECT_EQ(p.frame().m_wndStatusBar->currentMessage(), "");
  QTest::mouseClick(&p.view(), Qt::RightButton);
  EXPECT_EQ(menus, 1);

  p.app.GetCommands().Execute(cmd::kContextHelp);
  QTest::keyClick(&p.view(), Qt::Key_Escape);
  EXPECT_FALSE(p.app.InContextHelpMode());
  EXPECT_EQ(p.messages.messages.size(), 1u);
}

TEST(Help, TheGuideIsFoundBesideABuiltOrAnInstalledProgram) {
  const fs::path root = fs::path(testing::TempDir()) / "guide-layout";
  fs::remove_all(root);
  fs::create_directories(root / "usr/libexec/tickvane");
  fs::create_directories(root / "usr/share/doc/tickvane");
  std::ofstream(root / "usr/share/doc/tickvane/user-guide.html") << "<p>guide</p>";
  const QString bin = QString::fromStdString((root / "usr/libexec/tickvane").string());
  EXPECT_EQ(
      QFileInfo(CTickvaneApp::FindUserGuide(bin)).canonicalFilePath(),
      QFileInfo(QString::fromStdString((root / "usr/share/doc/tickvane/user-guide.html").string()))
          .canonicalFilePath());
  // In the build tree the copy beside the program wins.
  fs::create_directories(root / "usr/libexec/tickvane/help");
  std::ofstream(root / "usr/libexec/tickvane/help/user-guide.html") << "<p>built</p>";
  EXPECT_TRUE(CTickvaneApp::FindUserGuide(bin).endsWith("tickvane/help/user-guide.html"));
  EXPECT_TRUE(CTickvaneApp::FindUserGuide(QString::fromStdString(root.string())).isEmpty());
}

TEST(Help, EveryHelpCommandShowsTheGuideInOneNonModalWindowWithBackAndForward) {
  const fs::path dir = fs::path(testing::TempDir()) / "help-guide";
  fs::create_directories(dir);
  std::ofstream(dir / "guide.html")
      << "<html><body><h1>Guide start</h1><a href=\"keys.html\">Keys</a></body></html>";
  std::ofstream(dir / "keys.html") << "<html><body><h1>Key list</h1></body></html>";
  const QUrl start = QUrl::fromLocalFile(QString::fromStdString((dir / "guide.html").string()));
  const QUrl keys = QUrl::fromLocalFile(QString::fromStdString((dir / "keys.html").string()));

  Program p;
  ASSERT_TRUE(p.Start());
  p.app.SetUserGuidePath(start.toLocalFile());
  p.app.GetCommands().Execute(cmd::kHelp);
  HelpWindow* help = p.app.GetHelpWindow();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  EXPECT_TRUE(help->isWindow());
  EXPECT_FALSE(help->isModal());
  EXPECT_EQ(help->windowTitle(), "Tickvane Help");
  EXPECT_TRUE(help->browser()->toPlainText().contains("Guide start"));
  EXPECT_TRUE(p.messages.messages.empty());

  // A link is followed inside the window; Back and Forward retrace it.
  EXPECT_FALSE(help->backAction()->isEnabled());
  help->browser()->setSource(keys);
  EXPECT_TRUE(help->browser()->toPlainText().contains("Key list"));
  help->backAction()->trigger();
  EXPECT_EQ(help->browser()->source(), start);
  help->forwardAction()->trigger();
  EXPECT_EQ(help->browser()->source(), keys);

  // Closed and asked for again from the menu or by a Shift+F1 click: the same window, at the
  // guide's start, and the main window still takes input meanwhile.
  help->close();
  p.app.GetCommands().Execute(cmd::kHelpIndex);
  EXPECT_EQ(p.app.GetHelpWindow(), help);
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(help->browser()->source(), start);
  help->close();
  p.app.GetCommands().Execute(cmd::kContextHelp);
  QTest::mouseClick(&p.view(), Qt::LeftButton);
  EXPECT_EQ(p.app.GetHelpWindow(), help);
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Print Setup is placed once it has its size: centred, and all of it on the screen.
TEST(MainWindow, PrintSetupOpensCentredAndFullyOnTheScreen) {
  Program p;
  ASSERT_TRUE(p.Start());
  QRect placed;
  QTimer::singleShot(0, [&] {
    if (QWidget* dialog = QApplication::activeModalWidget()) {
      placed = dialog->frameGeometry();
      dialog->close();
    }
  });
  p.app.GetCommands().Execute(cmd::kFilePrintSetup);
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  ASSERT_GT(placed.height(), 100);  // the laid-out dialog, not an unshown widget's size
  EXPECT_TRUE(screen.contains(placed))
      << placed.x() << "," << placed.y() << " " << placed.width() << "x" << placed.height();
  if (placed.width() <= screen.width() && placed.height() <= screen.height()) {
    EXPECT_LE(std::abs(placed.center().x() - screen.center().x()), 1)
        << placed.x() << " " << placed.width() << " " << screen.width();
    EXPECT_LE(std::abs(placed.center().y() - screen.center().y()), 1);
  }
}

TEST(StatusBar, CounterFollowsTheCurrentSecurity) {
  EXPECT_EQ(CounterText(0, 0), "No Symbols Read");
  EXPECT_EQ(CounterText(12, 0), "Symbol 1 of 12");
  EXPECT_EQ(CounterText(127, 126), "Symbol 127 of 127");

  fixture::TempDir dir;
  WriteDatabase(dir.path(), 12);
  Program p;
  ASSERT_TRUE(p.Start());
  EXPECT_EQ(p.frame().counterPane()->text(), "No Symbols Read");
  ASSERT_TRUE(p.app.GetDocTemplate().OpenDocumentFile((dir.path() / "MASTER").string()));
  p.Idle();
  EXPECT_EQ(p.frame().counterPane()->text(), "Symbol 1 of 12");
  p.view().OnNext();
  p.Idle();
  EXPECT_EQ(p.frame().counterPane()->text(), "Symbol 2 of 12");
  // Wide enough for the longest text it can show.
  QLabel& pane = *p.frame().counterPane();
  EXPECT_GE(pane.minimumWidth(), pane.fontMetrics().horizontalAdvance("Symbol 1000 of 1000"));
}

// --- the position pie

constexpr QRgb kNavy = qRgb(0, 0, 128);
constexpr QRgb kYellow = qRgb(255, 255, 0);

// The pie for one position, drawn into a 41 x 41 pane.
QImage Pie(int count, int current) {
  CPiePane pane;
  pane.resize(41, 41);
  pane.Redraw(count, current);
  return pane.picture();
}

int CountColour(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      n += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff);
  return n;
}

QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xff000000; }

TEST(PiePane, NoSecuritiesOrOneShowTheNavyDiscAlone) {
  for (const auto& [count, current] : {std::pair{0, 0}, std::pair{1, 0}}) {
    const QImage pie = Pie(count, current);
    EXPECT_EQ(At(pie, 20, 20), kNavy);
    EXPECT_EQ(At(pie, 20, 3), kNavy);
    EXPECT_EQ(CountColour(pie, kYellow), 0) << count;
  }
}

TEST(PiePane, FiveSecuritiesFillClockwiseFromTwelve) {
  const QImage start = Pie(5, 0);
  EXPECT_EQ(CountColour(start, kYellow), 0);

  const QImage quarter = Pie(5, 1);  // twelve to three o'clock
  EXPECT_EQ(At(quarter, 28, 12), kYellow);
  EXPECT_EQ(At(quarter, 12, 12), kNavy);
  EXPECT_EQ(At(quarter, 28, 28), kNavy);
  EXPECT_EQ(At(quarter, 12, 28), kNavy);

  const QImage half = Pie(5, 2);  // the right half, navy radii
  EXPECT_EQ(At(half, 28, 12), kYellow);
  EXPECT_EQ(At(half, 28, 28), kYellow);
  EXPECT_EQ(At(half, 12, 20), kNavy);

  const QImage full = Pie(5, 4);
  EXPECT_EQ(At(full, 12, 12), kYellow);
  EXPECT_EQ(At(full, 12, 28), kYellow);
  EXPECT_EQ(At(full, 28, 28), kYellow);
}

// The wedge and its arc lie on the disc's own pixels: no navy rim is left round them, and
// nothing is painted outside the disc.
TEST(PiePane, WedgeAndArcCoverTheDiscToItsRim) {
  const int disc = CountColour(Pie(5, 0), kNavy);
  EXPECT_EQ(CountColour(Pie(5, 4), kYellow), disc);  // the last security
  const QImage quarter = Pie(5, 1);
  for (int y = 16; y < 20; ++y) EXPECT_EQ(At(quarter, 40, y), kYellow) << y;
  EXPECT_EQ(CountColour(quarter, kNavy) + CountColour(quarter, kYellow), disc);
}

TEST(PiePane, ALongListShowsNoWedgeNearTheStart) {
  EXPECT_EQ(CountColour(Pie(127, 2), kYellow), 0);  // 127 / 50 = 2
  EXPECT_GT(CountColour(Pie(127, 3), kYellow), 0);
  const QImage middle = Pie(127, 63);  // 180 degrees, navy radii
  EXPECT_EQ(At(middle, 28, 28), kYellow);
  EXPECT_EQ(At(middle, 12, 20), kNavy);
}

TEST(PiePane, ARepaintOfTheStatusBarKeepsThePie) {
  fixture::TempDir dir;
  WriteDatabase(dir.path(), 5);
  Program p;
  ASSERT_TRUE(p.Start((dir.path() / "MASTER").string()));
  p.bars().Step(+4);
  p.frame().m_bPieDirty = 1;  // as after a chart paint
  p.Idle();
  EXPECT_EQ(p.frame().m_bPieDirty, 0);
  CPiePane& pane = *p.frame().piePane();
  ASSERT_GT(pane.width(), 4);
  const QImage shown = pane.grab().toImage();
  EXPECT_EQ(At(shown, pane.width() / 2, pane.height() / 2), kYellow);
  p.frame().m_wndStatusBar->repaint();
  EXPECT_EQ(At(pane.grab().toImage(), pane.width() / 2, pane.height() / 2), kYellow);
}

TEST(PiePane, AChartPaintAsksForANewPie) {
  fixture::TempDir dir;
  WriteDatabase(dir.path(), 2);
  Program p;
  ASSERT_TRUE(p.Start((dir.path() / "MASTER").string()));
  p.frame().m_bPieDirty = 0;
  p.view().grab();
  EXPECT_EQ(p.frame().m_bPieDirty, 1);
}

// --- the window's place

TEST(WindowGeometry, TheMainWindowTakesItsRect) {
  Program p;
  ASSERT_TRUE(p.Start());
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  const Rect want = MainWindowRect(screen.width(), screen.height());
  EXPECT_EQ(p.frame().frameGeometry(), QRect(want.left, want.top, want.width(), want.height()));
}

TEST(WindowGeometry, DialogsAreCentredOnTheQtScreen) {
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  QRect q(0, 0, 200, 100);
  CMainFrame::CenterRectOnScreen(q);
  EXPECT_EQ(q, QRect((screen.width() - 200) / 2, (screen.height() - 100) / 2, 200, 100));
}

// --- printing

TEST(Printing, OnePageOfThePrintColouredChartFillingThePage) {
  const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
  const QString pdfinfo = QStandardPaths::findExecutable("pdfinfo");
  if (pdftoppm.isEmpty() || pdfinfo.isEmpty()) GTEST_SKIP() << "poppler-utils not installed";

  fixture::TempDir dir;
  WriteDatabase(dir.path(), 2);
  Program p;
  ASSERT_TRUE(p.Start((dir.path() / "MASTER").string()));
  const QString pdf = QString::fromStdString((dir.path() / "chart.pdf").string());
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  ASSERT_TRUE(p.view().PrintOnePage(printer));

  QProcess info;
  info.start(pdfinfo, {pdf});
  ASSERT_TRUE(info.waitForFinished(20000));
  EXPECT_TRUE(info.readAllStandardOutput().contains("Pages:           1"));

  const QString prefix = QString::fromStdString((dir.path() / "page").string());
  QProcess render;
  render.start(pdftoppm, {"-r", "40", "-png", "-singlefile", pdf, prefix});
  ASSERT_TRUE(render.waitForFinished(20000));
  QImage page(prefix + ".png");
  ASSERT_FALSE(page.isNull());
  // Print colours: a white page with black bars and frame, blue close ticks.
  int dark = 0, blue = 0, white = 0;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      const QColor c = page.pixelColor(x, y);
      if (c.red() > 240 && c.green() > 240 && c.blue() > 240) ++white;
      if (c.red() < 90 && c.green() < 90 && c.blue() < 90) ++dark;
      if (c.blue() > 150 && c.red() < 100 && c.green() < 100) ++blue;
    }
  }
  const int total = page.width() * page.height();
  EXPECT_GT(white, total / 2);
  EXPECT_GT(dark, 100);
  EXPECT_GT(blue, 5);
  // The base line runs across almost the whole printable width near the bottom.
  const int rowsWithLongDarkRuns = [&] {
    int rows = 0;
    for (int y = page.height() * 3 / 4; y < page.height(); ++y) {
      int run = 0;
      for (int x = 0; x < page.width(); ++x) run += page.pixelColor(x, y).value() < 128;
      rows += run > page.width() * 3 / 4;
    }
    return rows;
  }();
  EXPECT_GE(rowsWithLongDarkRuns, 1);
}

}  // namespace
