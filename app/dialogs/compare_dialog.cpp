#include "compare_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "Doc.h"
#include "bars.h"
#include "chart_settings.h"
#include "compare.h"
#include "goto_list.h"

namespace tv {

namespace {

QString Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromLatin1(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

// The dialog's own reading of a folder's list, so that browsing the folders of the tree
// leaves the chart's list where it is.
class FolderList {
 public:
  explicit FolderList(const CBars& shown) {
    m_bars.SetExtended(shown.IsExtended());
    Open(shown.m_masterPath);
  }
  void Open(const std::string& master) {
    if (!m_bars.OpenMaster(master.c_str())) return;
    m_bars.ReadSecurityList();
  }
  std::vector<std::string> Entries() const { return BuildGoToList(m_bars, kSortSymbol).entries; }
  // The MASTER an entry leads to when it is a folder or the way up, else empty.
  std::string FolderOf(const std::string& entry) const {
    if (entry == kGoToUpEntry) return ParentMaster(m_bars);
    for (int i = 0; i < m_bars.m_count; ++i)
      if (m_bars.IsDirectoryEntry(i) && GoToFolderEntry(m_bars.DirectoryEntryName(i)) == entry)
        return m_bars.DirectoryEntryMaster(i);
    return {};
  }

 private:
  // Messages of the dialog's list (a folder that cannot be read) are not the chart's to show.
  class Silent final : public MessageService {
   public:
    void ShowMessage(std::string_view, MessageIcon) override {}
  } m_silent;
  CBars m_bars{&m_silent};
};

}  // namespace

std::optional<std::vector<std::string>> AskCompare(QWidget* parent, const CBars& bars,
                                                   const std::vector<std::string>& current) {
  FolderList folders(bars);
  std::vector<std::string> chosen = current;

  QDialog dialog(parent);
  dialog.setObjectName("compareDialog");
  dialog.setWindowTitle("Compare With");
  auto* grid = new QGridLayout(&dialog);
  auto* available = new QListWidget(&dialog);
  available->setObjectName("available");
  auto* picked = new QListWidget(&dialog);
  picked->setObjectName("chosen");
  auto* availableLabel = new QLabel("&Securities:", &dialog);
  availableLabel->setBuddy(available);
  auto* pickedLabel =
      new QLabel(QString("C&ompared with (up to %1):").arg(plot::kMostCompared), &dialog);
  pickedLabel->setBuddy(picked);
  auto* add = new QPushButton("&Add", &dialog);
  add->setObjectName("add");
  auto* remove = new QPushButton("&Remove", &dialog);
  remove->setObjectName("remove");
  auto* clear = new QPushButton("C&lear All", &dialog);
  clear->setObjectName("clear");
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  grid->addWidget(availableLabel, 0, 0);
  grid->addWidget(pickedLabel, 0, 2);
  grid->addWidget(available, 1, 0, 3, 1);
  grid->addWidget(add, 1, 1);
  grid->addWidget(picked, 1, 2, 3, 1);
  auto* side = new QVBoxLayout;
  side->addWidget(remove);
  side->addWidget(clear);
  side->addStretch();
  grid->addLayout(side, 1, 3, 3, 1);
  grid->addWidget(buttons, 4, 0, 1, 4);
  // The lists take what room there is; the securities' list room for a symbol and a name.
  grid->setRowStretch(3, 1);
  grid->setColumnStretch(0, 3);
  grid->setColumnStretch(2, 1);
  const int charWidth = dialog.fontMetrics().averageCharWidth();
  available->setMinimumWidth(charWidth * 44);
  picked->setMinimumWidth(charWidth * 14);

  const auto fillAvailable = [&] {
    available->clear();
    for (const std::string& entry : folders.Entries()) available->addItem(Latin1(entry));
    if (available->count() > 0) available->setCurrentRow(0);
  };
  const auto fillChosen = [&] {
    picked->clear();
    for (const std::string& symbol : chosen) picked->addItem(Latin1(symbol));
    if (picked->count() > 0) picked->setCurrentRow(picked->count() - 1);
    add->setEnabled(chosen.size() < static_cast<std::size_t>(plot::kMostCompared));
    remove->setEnabled(!chosen.empty());
    clear->setEnabled(!chosen.empty());
  };
  // A folder opens in place; a security joins the chosen ones.
  const auto take = [&] {
    const QListWidgetItem* item = available->currentItem();
    if (item == nullptr) return;
    const std::string entry = FromLatin1(item->text());
    if (const std::string master = folders.FolderOf(entry); !master.empty()) {
      folders.Open(master);
      fillAvailable();
      return;
    }
    AddCompared(chosen, GoToSymbol(entry));
    fillChosen();
  };
  QObject::connect(add, &QPushButton::clicked, &dialog, take);
  QObject::connect(available, &QListWidget::itemActivated, &dialog, take);
  QObject::connect(remove, &QPushButton::clicked, &dialog, [&] {
    const int row = picked->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= chosen.size()) return;
    chosen.erase(chosen.begin() + row);
    fillChosen();
  });
  QObject::connect(clear, &QPushButton::clicked, &dialog, [&] {
    chosen.clear();
    fillChosen();
  });
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  fillAvailable();
  fillChosen();
  available->setFocus();
  dialog.resize(dialog.fontMetrics().averageCharWidth() * 80, dialog.fontMetrics().height() * 22);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return chosen;
}

}  // namespace tv
