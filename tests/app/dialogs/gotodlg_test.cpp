// The Go To dialog: what it shows on opening, re-sorting, the stored order and how it ends.

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include "Gotodlg.h"
#include "memory_profile.h"
#include "security_list_fixture.h"

namespace {

using fixture::Entry;

// Forty securities, so the list scrolls; master order is the reverse of symbol order and
// names run the other way again.
void FillForty(CBars& bars, int current) {
  std::vector<std::pair<std::string, std::string>> list;
  for (int i = 0; i < 40; ++i) {
    const int s = 39 - i;
    list.push_back({"S" + std::string(1, static_cast<char>('A' + s / 10)) +
                        std::string(1, static_cast<char>('0' + s % 10)),
                    "Name " + std::to_string(100 + i)});
  }
  fixture::SetList(bars, list, current);
}

std::string Text(const QListWidgetItem* item) { return item->text().toStdString(); }

std::string SelectedText(const QListWidget& list) {
  const auto selected = list.selectedItems();
  return selected.isEmpty() ? std::string() : Text(selected.front());
}

int TopVisibleRow(const QListWidget& list) { return list.indexAt(QPoint(3, 3)).row(); }

class GoToDialogTest : public ::testing::Test {
 protected:
  fixture::MemoryProfile profile;
  CBars bars;
};

TEST_F(GoToDialogTest, OpensInTheStoredOrderWithTheCurrentSecuritySelectedAtTheTop) {
  FillForty(bars, 30);  // symbol "SA9", name "Name 130"
  profile.Set("GoToDialog", "Sorting", "1");
  tv::CGoToDlg dialog(profile);
  dialog.m_pBars = &bars;
  dialog.show();
  QApplication::processEvents();

  QListWidget& list = *dialog.list();
  ASSERT_EQ(list.count(), 40);
  EXPECT_TRUE(dialog.sortButton(1)->isChecked());
  EXPECT_EQ(Text(list.item(0)), Entry("SA0", "Name 139"));
  EXPECT_EQ(Text(list.item(39)), Entry("SD9", "Name 100"));
  EXPECT_EQ(SelectedText(list), Entry("SA9", "Name 130"));
  EXPECT_EQ(list.currentRow(), 9);
  EXPECT_EQ(TopVisibleRow(list), 9);
  EXPECT_EQ(dialog.focusWidget(), &list);
  // Every fill stores the order at once.
  EXPECT_EQ(profile.writes, (std::vector<std::string>{"GoToDialog/Sorting=1"}));
}

TEST_F(GoToDialogTest, ReSortingKeepsTheSelectedEntryAndScrollsItToTheTop) {
  FillForty(bars, 0);
  tv::CGoToDlg dialog(profile);
  dialog.m_pBars = &bars;
  dialog.show();
  QApplication::processEvents();
  QListWidget& list = *dialog.list();
  EXPECT_TRUE(dialog.sortButton(0)->isChecked());
  EXPECT_EQ(SelectedText(list), Entry("SD9", "Name 100"));

  // The user picks another entry, then switches to Symbol, then to Name.
  list.setCurrentRow(21);
  const std::string picked = SelectedText(list);
  ASSERT_EQ(picked, Entry("SB8", "Name 121"));

  dialog.sortButton(1)->click();
  EXPECT_EQ(Text(list.item(0)), Entry("SA0", "Name 139"));
  EXPECT_EQ(SelectedText(list), picked);
  EXPECT_EQ(list.currentRow(), 18);
  EXPECT_EQ(TopVisibleRow(list), 18);

  dialog.sortButton(2)->click();
  EXPECT_EQ(Text(list.item(0)), Entry("SD9", "Name 100"));
  EXPECT_EQ(SelectedText(list), picked);
  EXPECT_EQ(list.currentRow(), 21);
  EXPECT_EQ(TopVisibleRow(list), 21);

  // Near the end the list scrolls only as far as it can: the last row stays at the bottom.
  list.setCurrentRow(39);
  dialog.sortButton(0)->click();
  EXPECT_EQ(list.currentRow(), 39);
  EXPECT_GT(TopVisibleRow(list), 0);
  EXPECT_LT(TopVisibleRow(list), 39);
  EXPECT_EQ(list.verticalScrollBar()->value(), list.verticalScrollBar()->maximum());

  EXPECT_EQ(profile.writes,
            (std::vector<std::string>{"GoToDialog/Sorting=0", "GoToDialog/Sorting=1",
                                      "GoToDialog/Sorting=2", "GoToDialog/Sorting=0"}));
}

TEST_F(GoToDialogTest, OrderChosenBeforeCancelIsStoredAndUsedNextTime) {
  FillForty(bars, 5);
  {
    tv::CGoToDlg dialog(profile);
    dialog.m_pBars = &bars;
    QTimer::singleShot(0, &dialog, [&dialog] {
      dialog.sortButton(2)->click();
      dialog.cancelButton()->click();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
  }
  EXPECT_EQ(*profile.Get("GoToDialog", "Sorting"), "2");

  tv::CGoToDlg again(profile);
  again.m_pBars = &bars;
  again.OnInitDialog();
  EXPECT_TRUE(again.sortButton(2)->isChecked());
  EXPECT_EQ(Text(again.list()->item(0)), Entry("SD9", "Name 100"));
  EXPECT_EQ(SelectedText(*again.list()), Entry("SD4", "Name 105"));
}

TEST_F(GoToDialogTest, StoredOrderOutsideTheRangeShowsMasterOrderAndIsRewritten) {
  FillForty(bars, 0);
  for (const char* stored : {"3", "-1", "x"}) {
    profile.Set("GoToDialog", "Sorting", stored);
    tv::CGoToDlg dialog(profile);
    dialog.m_pBars = &bars;
    dialog.OnInitDialog();
    EXPECT_TRUE(dialog.sortButton(0)->isChecked()) << stored;
    EXPECT_FALSE(dialog.sortButton(1)->isChecked()) << stored;
    EXPECT_EQ(Text(dialog.list()->item(0)), Entry("SD9", "Name 100")) << stored;
    EXPECT_EQ(*profile.Get("GoToDialog", "Sorting"), "0") << stored;
  }
}

TEST_F(GoToDialogTest, OkAndDoubleClickReturnTheSelectedEntry) {
  FillForty(bars, 0);

  // OK after picking an entry with the keyboard.
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* list = dialog->findChild<QListWidget*>("list111");
    list->setCurrentRow(3);
    static_cast<tv::CGoToDlg*>(dialog)->okButton()->click();
  });
  std::string selection;
  EXPECT_TRUE(tv::RunGoToDialog(profile, bars, selection));
  EXPECT_EQ(selection, Entry("SD6", "Name 103"));

  // A double-click on an entry selects it and ends as OK does.
  QTimer::singleShot(0, [] {
    auto* dialog = static_cast<tv::CGoToDlg*>(QApplication::activeModalWidget());
    QListWidget* list = dialog->list();
    QListWidgetItem* item = list->item(2);
    list->setCurrentItem(item);
    emit list->itemDoubleClicked(item);
  });
  EXPECT_TRUE(tv::RunGoToDialog(profile, bars, selection));
  EXPECT_EQ(selection, Entry("SD7", "Name 102"));

  // Cancel returns nothing and leaves the caller's text alone.
  QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
  selection = "unchanged";
  EXPECT_FALSE(tv::RunGoToDialog(profile, bars, selection));
  EXPECT_EQ(selection, "unchanged");
}

TEST_F(GoToDialogTest, IsCentredOnTheScreenAndSizedInDialogUnits) {
  FillForty(bars, 0);
  tv::CGoToDlg dialog(profile);
  dialog.m_pBars = &bars;
  dialog.show();
  QApplication::processEvents();
  const tv::DialogUnits& du = dialog.units();
  EXPECT_EQ(dialog.size(), QSize(du.X(247), du.Y(146)));
  const QRect screen = QApplication::primaryScreen()->geometry();
  const QRect frame = dialog.frameGeometry();
  EXPECT_EQ(frame.left(), (screen.width() - frame.width()) / 2);
  EXPECT_EQ(frame.top(), (screen.height() - frame.height()) / 2);
  // The list keeps to whole rows, which brings its bottom inside the dialog.
  const QListWidget& list = *dialog.list();
  EXPECT_EQ(list.viewport()->height() % du.baseY(), 0);
  EXPECT_EQ(list.visualItemRect(list.item(0)).height(), du.baseY());
  EXPECT_LE(list.geometry().bottom(), dialog.height() - 1);
  EXPECT_GT(list.geometry().bottom(), du.Y(140));
}

TEST_F(GoToDialogTest, NamesLineUpAtTheTabStopWhateverTheSymbolWidth) {
  fixture::SetList(bars, {{"I", "Same Name"}, {"WWWW", "Same Name"}, {"ZZ", "Other"}}, 2);
  tv::CGoToDlg dialog(profile);
  dialog.m_pBars = &bars;
  dialog.show();
  QApplication::processEvents();
  const QListWidget& list = *dialog.list();
  const QImage image = list.viewport()->grab().toImage();
  const QRect first = list.visualItemRect(list.item(0));
  const QRect second = list.visualItemRect(list.item(1));
  // Left of the first tab stop the rows differ (the symbols); from just before it on they are
  // the same picture.
  const int tab = dialog.units().X(32);
  const int width = first.width() - tab;
  EXPECT_NE(image.copy(0, first.top(), tab, first.height()),
            image.copy(0, second.top(), tab, second.height()));
  EXPECT_EQ(image.copy(tab - 4, first.top(), width, first.height()),
            image.copy(tab - 4, second.top(), width, second.height()));
  // The name starts right at that stop (within a character of it).
  const int reach = 4 + dialog.units().baseX() + 4;
  const QImage names = image.copy(tab - 4, first.top(), reach, first.height());
  bool inked = false;
  for (int y = 0; y < names.height() && !inked; ++y)
    for (int x = 0; x < names.width() && !inked; ++x)
      inked = names.pixelColor(x, y) != names.pixelColor(0, 0);
  EXPECT_TRUE(inked);
}

}  // namespace
