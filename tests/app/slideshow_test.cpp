// The slide show: its dialog, and the full-screen window stepping through the securities on
// its timer, with pause, Escape, the closing beep and load failures.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "Sshowdlg.h"
#include "qt_surface.h"
#include "show_fixture.h"

namespace {

using namespace tv;
using show_fixture::Program;
using show_fixture::WriteDatabase;

// A show on the program's main window whose beeps are counted.
struct Show {
  int beeps = 0;
  QPointer<CSlideShowWnd> wnd;
  explicit Show(Program& p) : wnd(new CSlideShowWnd(p.frame(), [this] { ++beeps; })) {}
  ~Show() {
    if (!wnd.isNull()) delete wnd.data();
  }
  void Tick() { wnd->OnTimer(CSlideShowWnd::kTimerId); }
  void Key(int key, bool autoRepeat = false) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), autoRepeat);
    QCoreApplication::sendEvent(wnd.data(), &press);
  }
  // Whether the window has gone (closed and deleted).
  bool Gone() {
    show_fixture::DeleteClosedWindows();
    return wnd.isNull();
  }
};

struct Opened {
  fixture::TempDir dir;
  Program p;
  explicit Opened(int securities) {
    WriteDatabase(dir.path(), securities);
    EXPECT_TRUE(p.Start((dir.path() / "MASTER").string()));
  }
};

TEST(SlideShow, StepsThroughEverySecurityAndBeepsOnceAfterTheLast) {
  Opened o(3);
  Show show(o.p);
  ASSERT_TRUE(show.wnd->Start(2));
  EXPECT_TRUE(o.p.view().IsSlideShowRunning());
  EXPECT_EQ(show.wnd->timer()->interval(), 2000);
  EXPECT_EQ(show.wnd->geometry(), QGuiApplication::primaryScreen()->geometry());

  show.Tick();
  show.Tick();
  EXPECT_EQ(o.p.bars().m_current, 2);
  EXPECT_EQ(show.beeps, 0);
  EXPECT_FALSE(show.Gone());
  // The tick after the last chart ends the show; the last security stays current.
  show.Tick();
  EXPECT_EQ(show.beeps, 1);
  EXPECT_EQ(o.p.bars().m_current, 2);
  EXPECT_FALSE(o.p.view().IsSlideShowRunning());
  EXPECT_TRUE(show.Gone());
}

TEST(SlideShow, OneSecurityEndsAtTheFirstTickWithABeep) {
  Opened o(1);
  Show show(o.p);
  ASSERT_TRUE(show.wnd->Start(1));
  show.Tick();
  EXPECT_EQ(show.beeps, 1);
  EXPECT_FALSE(o.p.view().IsSlideShowRunning());
  EXPECT_TRUE(show.Gone());
}

TEST(SlideShow, AnEmptyListEndsAtTheFirstTick) {
  Program p;
  ASSERT_TRUE(p.Start());
  Show show(p);
  ASSERT_TRUE(show.wnd->Start(1));
  show.Tick();
  EXPECT_EQ(show.beeps, 1);
  EXPECT_EQ(p.bars().m_current, 0);
  EXPECT_TRUE(show.Gone());
  EXPECT_TRUE(p.messages.texts.empty());
}

TEST(SlideShow, BeginsAtTheFirstSecurityAndEscapeLeavesTheLastShownCurrent) {
  Opened o(6);
  for (int i = 0; i < 4; ++i) o.p.bars().Step(+1);
  ASSERT_EQ(o.p.bars().m_current, 4);
  Show show(o.p);
  ASSERT_TRUE(show.wnd->Start(1));
  EXPECT_EQ(o.p.bars().m_current, 0);
  // The first security's series is loaded again (its prices start near 10, the fifth's near 50).
  ASSERT_GT(o.p.bars().m_series.count, 0);
  EXPECT_LT(o.p.bars().m_series.open[0], 11.0f);
  show.Tick();
  show.Tick();
  show.Key(Qt::Key_Escape);
  EXPECT_EQ(o.p.bars().m_current, 2);
  EXPECT_EQ(show.beeps, 0);
  EXPECT_FALSE(o.p.view().IsSlideShowRunning());
  EXPECT_TRUE(show.Gone());
}

TEST(SlideShow, SpaceTogglesOnEveryKeyDownAndEscapeWhilePausedEndsWithoutABeep) {
  Opened o(4);
  Show show(o.p);
  ASSERT_TRUE(show.wnd->Start(1));

  // Paused: ticks are dropped, not saved up; after the resume the next tick advances by one.
  show.Key(Qt::Key_Space);
  show.Tick();
  show.Tick();
  EXPECT_EQ(o.p.bars().m_current, 0);
  show.Key(Qt::Key_Space);
  show.Tick();
  EXPECT_EQ(o.p.bars().m_current, 1);

  // Two presses within one interval: the show goes on as before.
  show.Key(Qt::Key_Space);
  show.Key(Qt::Key_Space);
  show.Tick();
  EXPECT_EQ(o.p.bars().m_current, 2);

  // A held space bar repeats, and every repeat toggles; other keys do nothing.
  show.Key(Qt::Key_Space);
  show.Key(Qt::Key_Space, true);
  show.Key(Qt::Key_Space, true);
  show.Key(Qt::Key_Right);
  EXPECT_EQ(show.wnd->m_bPaused, 1);

  show.Key(Qt::Key_Escape);
  EXPECT_EQ(show.beeps, 0);
  EXPECT_EQ(o.p.bars().m_current, 2);
  EXPECT_FALSE(o.p.view().IsSlideShowRunning());
  EXPECT_TRUE(show.Gone());
}

TEST(SlideShow, PaintsTheCurrentChartInScreenColoursAndMarksThePie) {
  Opened o(3);
  Show show(o.p);
  ASSERT_TRUE(show.wnd->Start(1));
  show.Tick();
  o.p.frame().m_bPieDirty = 0;
  const QImage shown = show.wnd->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(o.p.frame().m_bPieDirty, 1);

  // The same chart drawn straight onto an image of the window's size.
  QImage expected(shown.size(), QImage::Format_RGB32);
  expected.fill(Qt::magenta);
  {
    QPainter painter(&expected);
    QtSurface surface(painter);
    o.p.bars().Draw(surface, Rect{0, 0, shown.width(), shown.height()}, false);
  }
  EXPECT_TRUE(shown == expected);
  // Screen colours: black background (the print colours have white).
  EXPECT_EQ(QColor(shown.pixel(1, 1)), QColor(0, 0, 0));
}

TEST(SlideShow, ALoadFailureReportsOnceAndDropsTheTicksThatArriveMeanwhile) {
  Opened o(3);
  std::filesystem::remove(o.dir.path() / "F2.DAT");
  Show show(o.p);
  ASSERT_TRUE(show.wnd->Start(1));
  int ticksWhileShown = 0;
  o.p.messages.whileShown = [&] {
    ++ticksWhileShown;
    show.Tick();
  };
  show.Tick();
  EXPECT_EQ(ticksWhileShown, 1);
  EXPECT_EQ(o.p.messages.texts.size(), 1u);
  EXPECT_EQ(o.p.bars().m_current, 1);

  // The report does not stop the show: the next tick goes on to the third security.
  o.p.messages.whileShown = nullptr;
  EXPECT_TRUE(show.wnd->timer()->isActive());
  show.Tick();
  EXPECT_EQ(o.p.bars().m_current, 2);
  EXPECT_EQ(o.p.messages.texts.size(), 1u);
  EXPECT_EQ(show.beeps, 0);
}

// A window system that will not put the window up.
class UnshownWnd final : public CSlideShowWnd {
 public:
  using CSlideShowWnd::CSlideShowWnd;

 protected:
  bool CreateShowWindow() override { return false; }
};

TEST(SlideShow, AWindowThatCannotBeShownLeavesNoShowRunning) {
  Opened o(3);
  o.p.bars().Step(+1);
  o.p.view().SetSlideShowRunning(true);  // as a view that does not look at the result would
  QPointer<CSlideShowWnd> wnd(new UnshownWnd(o.p.frame()));
  EXPECT_FALSE(wnd->Start(1));
  EXPECT_FALSE(o.p.view().IsSlideShowRunning());
  EXPECT_EQ(wnd->timer(), nullptr);
  EXPECT_EQ(o.p.bars().m_current, 1);
  show_fixture::DeleteClosedWindows();
  EXPECT_TRUE(wnd.isNull());
}

// --- the dialog

TEST(SlideShowDialog, OpensCentredAndTakesOnlyOneToFive) {
  show_fixture::HookedMessages messages;
  CSlideShowDlg dialog(messages);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  const QRect frame = dialog.frameGeometry();
  EXPECT_EQ(frame.topLeft(),
            QPoint((screen.width() - frame.width()) / 2, (screen.height() - frame.height()) / 2));

  // A refused value keeps the dialog open with the field selected, ready to be typed over.
  for (const char* bad : {"0", "6", "x"}) {
    dialog.secondsEdit()->setText(bad);
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible()) << bad;
    EXPECT_EQ(dialog.secondsEdit()->selectedText(), bad);
  }
  const std::string range = "Please enter an integer between 1 and 5.";
  EXPECT_EQ(messages.texts, (std::vector<std::string>{range, range, "Please enter an integer."}));
  EXPECT_EQ(dialog.m_nSeconds, 1);

  dialog.secondsEdit()->setText(" 5 ");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.m_nSeconds, 5);
  EXPECT_EQ(messages.texts.size(), 3u);
}

CSlideShowWnd* FindShow(CMainFrame& frame) {
  return dynamic_cast<CSlideShowWnd*>(frame.findChild<QWidget*>("slideShow"));
}

TEST(SlideShowDialog, TheCommandRunsTheDialogAndStartsAShowOnlyOnOk) {
  Opened o(3);
  o.p.app.OnIdle(0);
  CTickvaneView& view = o.p.view();

  // Each run gets a new dialog that opens at 1, whatever was chosen before.
  std::vector<QString> opened;
  auto answer = [&](const char* seconds) {
    QTimer::singleShot(0, [&opened, seconds] {
      auto* dialog = dynamic_cast<CSlideShowDlg*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      opened.push_back(dialog->secondsEdit()->text());
      if (seconds == nullptr) return dialog->reject();
      dialog->secondsEdit()->setText(seconds);
      dialog->accept();
    });
  };

  // OK with 3 seconds: the show runs until its window is closed (as the window system would).
  answer("3");
  view.OnSlideShow();
  EXPECT_TRUE(view.IsSlideShowRunning());
  QPointer<CSlideShowWnd> wnd = FindShow(o.p.frame());
  ASSERT_FALSE(wnd.isNull());
  EXPECT_EQ(wnd->timer()->interval(), 3000);
  wnd->close();
  show_fixture::DeleteClosedWindows();
  EXPECT_TRUE(wnd.isNull());
  EXPECT_FALSE(view.IsSlideShowRunning());

  // Cancel: nothing happens.
  answer(nullptr);
  view.OnSlideShow();
  EXPECT_FALSE(view.IsSlideShowRunning());
  EXPECT_EQ(FindShow(o.p.frame()), nullptr);
  EXPECT_EQ(opened, (std::vector<QString>{"1", "1"}));
}

}  // namespace
