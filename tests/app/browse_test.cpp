// Browsing a long history in the main window: paging, the wheel, zoom and the bar tool tip.

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QWheelEvent>

#include "show_fixture.h"

namespace {

using show_fixture::Program;

struct Browsing {
  fixture::TempDir dir;
  Program p;
  Browsing() {
    show_fixture::WriteDatabase(dir.path(), 2, 2000);
    EXPECT_TRUE(p.Start((dir.path() / "MASTER").string()));
    p.frame().resize(1000, 700);
  }
  QImage Chart() { return p.view().grab().toImage(); }
  void Wheel(int turn, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPointF at(100, 100);
    QWheelEvent event(at, p.view().mapToGlobal(at), QPoint(), QPoint(0, turn), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&p.view(), &event);
  }
  void Hover(QPoint at) {
    QMouseEvent event(QEvent::MouseMove, at, p.view().mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&p.view(), &event);
  }
};

TEST(Browsing, PagesBackAndEndGivesTheFirstViewAgain) {
  Browsing b;
  const QImage first = b.Chart();
  const int screen = b.p.view().ScreenBars();
  ASSERT_GT(screen, 100);

  EXPECT_TRUE(b.p.view().PageBack());
  EXPECT_EQ(b.p.bars().WindowEnd(), 1999 - screen);
  EXPECT_NE(b.Chart(), first);
  // A wheel notch away from the user is a tenth of a page further back; half a notch is
  // kept until the other half comes.
  b.Wheel(60);
  EXPECT_EQ(b.p.bars().WindowEnd(), 1999 - screen);
  b.Wheel(60);
  EXPECT_EQ(b.p.bars().WindowEnd(), 1999 - screen - screen / 10);

  EXPECT_TRUE(b.p.view().ShowNewest());
  EXPECT_EQ(b.Chart(), first);
  EXPECT_FALSE(b.p.view().PageForward());

  // Next returns to the newest bars of the next security.
  b.p.view().ShowOldest();
  b.p.view().OnNext();
  EXPECT_TRUE(b.p.bars().AtNewestBars());
}

TEST(Browsing, CtrlWheelZoomsForThisRunOnlyAndTheProfileIsUntouched) {
  Browsing b;
  const auto writes = b.p.profile.writes;
  b.Wheel(120, Qt::ControlModifier);
  EXPECT_EQ(b.p.bars().GetBarSpace(), 5);
  b.Wheel(-120 * 9, Qt::ControlModifier);
  EXPECT_EQ(b.p.bars().GetBarSpace(), 2);
  EXPECT_FALSE(b.p.view().Zoom(-1));
  EXPECT_TRUE(b.p.bars().AtNewestBars());  // the wheel with Ctrl did not scroll
  EXPECT_EQ(b.p.profile.writes, writes);

  // Opening a database again keeps the spacing of this run.
  ASSERT_TRUE(b.p.app.GetDocument().OnOpenDocument((b.dir.path() / "MASTER").string()));
  EXPECT_EQ(b.p.bars().GetBarSpace(), 2);
  EXPECT_EQ(b.p.profile.writes, writes);
}

TEST(Browsing, ToolTipShowsTheBarUnderThePointerAndLeavesTheChartAlone) {
  Browsing b;
  QLabel* tip = b.p.view().barTip();
  const QImage chart = b.Chart();
  const QSize size = b.p.view().size();
  const tv::Rect target{0, 0, size.width(), size.height()};

  // The newest bar, wherever its x falls on this view.
  CBars& bars = b.p.bars();
  QPoint over;
  for (int x = size.width() - 1; x >= 0 && over.isNull(); --x)
    if (bars.BarAt({x, size.height() / 2}, target) == bars.m_series.count - 1)
      over = QPoint(x, size.height() / 2);
  ASSERT_FALSE(over.isNull());
  b.Hover(over);
  ASSERT_TRUE(tip->isVisible());
  const auto values = bars.BarValues(bars.m_series.count - 1);
  for (const auto& [label, value] : values)
    EXPECT_TRUE(tip->text().contains(QString::fromStdString(value))) << label << " " << value;
  // Beside the pointer, not over it.
  EXPECT_FALSE(tip->geometry().contains(b.p.view().mapToGlobal(over)));
  EXPECT_LT((tip->geometry().center() - b.p.view().mapToGlobal(over)).manhattanLength(), 300);
  EXPECT_EQ(b.Chart(), chart);

  // Over the scale column there is no bar.
  b.Hover(QPoint(size.width() - 10, size.height() / 2));
  EXPECT_FALSE(tip->isVisible());
}

}  // namespace
