// The Compare With dialog: browsing the folders of the tree, choosing up to four, Remove and
// Clear All.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "bars.h"
#include "compare_dialog.h"
#include "quote_writer.h"

namespace {

QListWidget* List(QWidget* dialog, const char* name) {
  return dialog->findChild<QListWidget*>(name);
}

// Chooses the entry of the securities' list that starts with `text` and adds it (or opens it).
void Take(QWidget* dialog, const QString& text) {
  QListWidget* list = List(dialog, "available");
  const auto found = list->findItems(text, Qt::MatchStartsWith);
  ASSERT_FALSE(found.isEmpty()) << text.toStdString();
  list->setCurrentItem(found.front());
  dialog->findChild<QPushButton*>("add")->click();
}

QStringList Texts(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

TEST(CompareDialog, FoldersOpenInPlaceAndFourAreChosenAtMost) {
  fixture::TempDir dir;
  std::vector<fixture::Record53> records;
  for (std::uint8_t n = 1; n <= 4; ++n) {
    const std::string symbol(3, static_cast<char>('A' + n - 1));
    records.push_back(fixture::SecurityRecord({.fileNumber = n, .name = symbol, .symbol = symbol}));
    fixture::WriteSimpleSecurity(dir.path(), n);
  }
  records.push_back(fixture::DirectoryRecord("SUB"));
  fixture::WriteMaster(dir.path() / "MASTER", records);
  std::filesystem::create_directory(dir.path() / "SUB");
  fixture::WriteMaster(
      dir.path() / "SUB" / "MASTER",
      {fixture::SecurityRecord({.fileNumber = 1, .name = "FFF", .symbol = "FFF"})});
  fixture::WriteSimpleSecurity(dir.path() / "SUB", 1);
  CBars bars;
  bars.SetExtended(true);
  ASSERT_TRUE(bars.OpenMaster((dir.path() / "MASTER").string().c_str()));
  bars.ReadSecurityList();

  QStringList seen;
  bool addedAtFour = true;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    Take(dialog, "SUB/");  // the folder opens: the way up and its one security
    seen = Texts(List(dialog, "available"));
    Take(dialog, "FFF");
    Take(dialog, "../");
    Take(dialog, "BBB");
    Take(dialog, "BBB");  // there already
    Take(dialog, "CCC");
    addedAtFour = dialog->findChild<QPushButton*>("add")->isEnabled();
    Take(dialog, "DDD");  // the list is full
    seen << Texts(List(dialog, "chosen"));
    List(dialog, "chosen")->setCurrentRow(1);
    dialog->findChild<QPushButton*>("remove")->click();
    seen << Texts(List(dialog, "chosen"));
    dialog->findChild<QPushButton*>("clear")->click();
    Take(dialog, "DDD");
    qobject_cast<QDialog*>(dialog)->accept();
  });
  const auto chosen = tv::AskCompare(nullptr, bars, {"AAA"});
  EXPECT_EQ(seen, (QStringList{"../ \t(up)", "FFF\tFFF", "AAA", "FFF", "BBB", "CCC", "AAA", "BBB",
                               "CCC"}));
  EXPECT_FALSE(addedAtFour);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, std::vector<std::string>{"DDD"});
}

}  // namespace
