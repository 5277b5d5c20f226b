// The splash window's lifetime (ten seconds after start-up, or the first key or button press)
// and the About box.

#include <gtest/gtest.h>

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

TEST(Splash, PictureIsTealWithBlueLettersInAColourTable) {
  const QImage picture = SplashPicture();
  EXPECT_EQ(picture.size(), QSize(400, 200));
  EXPECT_EQ(picture.format(), QImage::Format_Indexed8);
  EXPECT_EQ(picture.colorCount(), 256);
  EXPECT_EQ(QColor(picture.pixel(2, 2)), QColor(0, 128, 128));
  int blue = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) {
      const QColor c(picture.pixel(x, y));
      if (c.blue() > 180 && c.red() < 60 && c.green() < 100) ++blue;
    }
  EXPECT_GT(blue, 1000);  // large letters, not a few stray pixels

  // No picture, no window; the program goes on without one.
  CSplashWnd none;
  EXPECT_FALSE(none.Create(QImage()));
  EXPECT_FALSE(none.HasWindow());
}

TEST(AboutBox, ShowsNameVersionAndPurposeCentredWithTheIcon) {
  QPixmap icon(32, 32);
  icon.fill(Qt::red);
  CAboutDlg dialog(icon);
  EXPECT_EQ(dialog.windowTitle(), "About Tickvane");
  EXPECT_EQ(dialog.textLabel()->text(), "Text");  // until the dialog is set up
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  EXPECT_EQ(dialog.textLabel()->text(),
            "Quickly view and print quotes stored in MetaStock or CompuTrac format by opening a "
            "file of the name \"master\".");

  QStringList texts;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
  EXPECT_TRUE(texts.contains("Tickvane Version 2.1"));
  EXPECT_TRUE(texts.contains("A 32 bit application"));
  const QString all = texts.join(' ');
  EXPECT_TRUE(all.contains("MetaStock")) << all.toStdString();
  EXPECT_TRUE(all.contains("trademark"));
  EXPECT_TRUE(all.contains("MIT"));
  EXPECT_EQ(dialog.iconLabel()->pixmap().size(), QSize(32, 32));
  EXPECT_TRUE(dialog.okButton()->isDefault());

  // Centred on the screen whatever the default place.
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  const QRect frame = dialog.frameGeometry();
  EXPECT_EQ(frame.left(), (screen.width() - frame.width()) / 2);
  EXPECT_EQ(frame.top(), (screen.height() - frame.height()) / 2);

  QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
}

TEST(AboutBox, TheAboutCommandRunsIt) {
  Program p;
  ASSERT_TRUE(p.Start());
  QString title;
  QTimer::singleShot(0, [&] {
    auto* dialog = dynamic_cast<CAboutDlg*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    title = dialog->windowTitle();
    dialog->accept();
  });
  p.app.OnAppAbout();
  EXPECT_EQ(title, "About Tickvane");
}

}  // namespace
