// The splash window's lifetime (ten seconds after start-up, or the first key or button press)
// and the About box.

#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "About.h"
#include "Splash.h"
#include "show_fixture.h"

namespace {

using namespace tv;
using show_fixture::Program;

TEST(Splash, StandsCentredDuringStartUpAndTenSecondsAfter) {
  Program p;
  p.clock.Set(5000);
  ASSERT_TRUE(p.Start());
  ASSERT_NE(p.app.m_pSplashWnd, nullptr);
  CSplashWnd& splash = *p.app.m_pSplashWnd;
  EXPECT_TRUE(splash.isVisible());
  EXPECT_EQ(p.app.m_dwSplashTime, 5000u);

  // 400 x 200 pixels, centred by integer halving, borderless and above the other windows.
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  EXPECT_EQ(splash.geometry(),
            QRect((screen.width() - 400) / 2, (screen.height() - 200) / 2, 400, 200));
  EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(splash.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

  // Idle moments keep asking for more idle time until the ten seconds are up.
  EXPECT_TRUE(p.Idle());
  p.clock.Set(5000 + 9999);
  EXPECT_TRUE(p.Idle());
  ASSERT_NE(p.app.m_pSplashWnd, nullptr);
  p.clock.Set(5000 + 10000);
  EXPECT_FALSE(p.Idle());
  EXPECT_EQ(p.app.m_pSplashWnd, nullptr);
  EXPECT_FALSE(p.Idle());
}

TEST(Splash, InExtendedModeGoesOnceTheFirstChartIsUp) {
  Program p;
  p.profile.Set("Reading", "Extended", "1");
  ASSERT_TRUE(p.Start());
  ASSERT_NE(p.app.m_pSplashWnd, nullptr);
  EXPECT_FALSE(p.Idle());
  EXPECT_EQ(p.app.m_pSplashWnd, nullptr);
}

TEST(Splash, ATickCountWrapAroundDoesNotKeepItUp) {
  Program p;
  p.clock.Set(0xFFFFFFFFu - 3000u);
  ASSERT_TRUE(p.Start());
  p.clock.Advance(9999);  // wrapped: the count now reads 6998
  EXPECT_TRUE(p.Idle());
  ASSERT_NE(p.app.m_pSplashWnd, nullptr);
  p.clock.Advance(1);
  p.Idle();
  EXPECT_EQ(p.app.m_pSplashWnd, nullptr);
}

TEST(Splash, AClickOnItselfClosesItAtTheNextIdleMoment) {
  Program p;
  ASSERT_TRUE(p.Start());
  p.clock.Set(1);
  QTest::mouseClick(p.app.m_pSplashWnd.get(), Qt::LeftButton);
  ASSERT_NE(p.app.m_pSplashWnd, nullptr);  // not within the click
  p.Idle();
  EXPECT_EQ(p.app.m_pSplashWnd, nullptr);
}

TEST(Splash, AKeyOnTheMainWindowClosesItAtOnceAndStillWorks) {
  fixture::TempDir dir;
  show_fixture::WriteDatabase(dir.path(), 3);
  Program p;
  ASSERT_TRUE(p.Start((dir.path() / "MASTER").string()));
  p.frame().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&p.frame()));
  p.view().setFocus();
  p.Idle();
  ASSERT_NE(p.app.m_pSplashWnd, nullptr);
  QTest::keyClick(&p.view(), Qt::Key_Right);
  EXPECT_EQ(p.app.m_pSplashWnd, nullptr);
  EXPECT_EQ(p.bars().m_current, 1);
}

TEST(Splash, AButtonPressOnTheMainWindowClosesItAtOnceAndStillWorks) {
  Program p;
  ASSERT_TRUE(p.Start());
  int menus = 0;
  p.view().m_showMenu = [&](QMenu&, const QPoint&) { ++menus; };
  // A button the splash ignores.
  QTest::mousePress(&p.view(), Qt::BackButton);
  ASSERT_NE(p.app.m_pSplashWnd, nullptr);
  QTest::mouseClick(&p.view(), Qt::RightButton);
  EXPECT_EQ(p.app.m_pSplashWnd, nullptr);
  EXPECT_EQ(menus, 1);
}

TEST(Splash, StepsAsideForAWindowThatNeedsAnAnswer) {
  CSplashWnd splash;
  ASSERT_TRUE(splash.Create());
  splash.ShowAndPaint();
  QWidget tool;
  tool.show();
  EXPECT_TRUE(splash.isVisible());  // an ordinary window stays under it
  QDialog question;
  question.setModal(true);
  question.show();
  EXPECT_FALSE(splash.isVisible());
}

TEST(Splash, PictureKeepsItsTealAndBlueInItsColourTable) {
  const QImage picture = SplashPicture();
  EXPECT_EQ(picture.size(), QSize(400, 200));
  EXPECT_EQ(picture.format(), QImage::Format_Indexed8);
  EXPECT_EQ(picture.colorCount(), 256);
  // The flat colours come through exactly, not moved to a fixed colour cube.
  EXPECT_EQ(QColor(picture.pixel(2, 2)), QColor(0, 128, 128));
  EXPECT_TRUE(picture.colorTable().contains(qRgb(0, 48, 224)));
}

TEST(AboutBox, TheAboutCommandShowsNameVersionAndPurposeCentredWithTheIcon) {
  Program p;
  ASSERT_TRUE(p.Start());
  QStringList texts;
  QRect frame;
  QSize icon;
  QTimer::singleShot(0, [&] {
    auto* dialog = dynamic_cast<CAboutDlg*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    texts << dialog->windowTitle();
    for (const QLabel* label : dialog->findChildren<QLabel*>()) texts << label->text();
    frame = dialog->frameGeometry();
    icon = dialog->iconLabel()->pixmap().size();
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
  });
  p.app.OnAppAbout();

  for (const char* text :
       {"About Tickvane", "Tickvane Version 2.1", "A 32 bit application",
        "Quickly view and print quotes stored in MetaStock or CompuTrac format by opening a "
        "file of the name \"master\"."})
    EXPECT_TRUE(texts.contains(text)) << text;
  EXPECT_TRUE(texts.join(' ').contains("trademarks of their respective owners"));
  EXPECT_EQ(icon, QSize(32, 32));
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  EXPECT_EQ(frame.topLeft(),
            QPoint((screen.width() - frame.width()) / 2, (screen.height() - frame.height()) / 2));
}

}  // namespace
