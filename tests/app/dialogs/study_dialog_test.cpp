// The Averages and Studies dialog: its list as the user edits it, and Cancel keeping nothing.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "study_dialog.h"

namespace {

tv::ChartItem Item(const char* text, bool average) {
  return {average, *studies::ParseStudyConfig(text)};
}

// Runs `edit` on the dialog once it is open.
std::optional<std::vector<tv::ChartItem>> Edit(std::vector<tv::ChartItem> items,
                                               const std::function<void(QDialog&)>& edit) {
  QTimer::singleShot(0, [edit] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    edit(*dialog);
  });
  return tv::AskChartItems(nullptr, std::move(items));
}

TEST(ChartItemsDialog, LinesAreRemovedAndReorderedAndCancelKeepsNothing) {
  const auto button = [](QDialog& d, const char* name) { return d.findChild<QPushButton*>(name); };
  const auto result =
      Edit({Item("sma:50", true), Item("sma:200", true), Item("rsi:14", false)}, [&](QDialog& d) {
        auto* list = d.findChild<QListWidget*>("items");
        EXPECT_EQ(list->count(), 3);
        EXPECT_EQ(list->item(0)->text().toStdString(), "SMA(50)  average");
        list->setCurrentRow(0);
        button(d, "remove")->click();
        list->setCurrentRow(1);
        EXPECT_FALSE(button(d, "down")->isEnabled());
        button(d, "up")->click();
        EXPECT_EQ(list->currentRow(), 0);
        d.accept();
      });
  ASSERT_TRUE(result);
  EXPECT_EQ(*result, (std::vector<tv::ChartItem>{Item("rsi:14", false), Item("sma:200", true)}));

  // Eight lines leave no room to add; Cancel gives nothing back.
  std::vector<tv::ChartItem> full(studies::kMaxStudies, Item("ema:20", true));
  EXPECT_FALSE(Edit(full, [&](QDialog& d) {
                 EXPECT_FALSE(button(d, "add")->isEnabled());
                 d.reject();
               }).has_value());
}

}  // namespace
