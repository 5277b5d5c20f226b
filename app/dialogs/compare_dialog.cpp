#include "compare_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

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

// The dialog's controls and the securities chosen so far.
class CompareDialog final : public QDialog {
 public:
  CompareDialog(QWidget* parent, const CBars& bars, std::vector<std::string> chosen)
      : QDialog(parent), m_folders(bars), m_chosen(std::move(chosen)) {
    setObjectName("compareDialog");
    setWindowTitle("Compare With");
    auto* grid = new QGridLayout(this);
    m_available->setObjectName("available");
    m_picked->setObjectName("chosen");
    auto* availableLabel = new QLabel("&Securities:", this);
    availableLabel->setBuddy(m_available);
    auto* pickedLabel =
        new QLabel(QString("C&ompared with (up to %1):").arg(plot::kMostCompared), this);
    pickedLabel->setBuddy(m_picked);
    m_add->setObjectName("add");
    m_remove->setObjectName("remove");
    m_clear->setObjectName("clear");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    grid->addWidget(availableLabel, 0, 0);
    grid->addWidget(pickedLabel, 0, 2);
    grid->addWidget(m_available, 1, 0, 3, 1);
    grid->addWidget(m_add, 1, 1);
    grid->addWidget(m_picked, 1, 2, 3, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(m_remove);
    side->addWidget(m_clear);
    side->addStretch();
    grid->addLayout(side, 1, 3, 3, 1);
    grid->addWidget(buttons, 4, 0, 1, 4);
    // The lists take what room there is; the securities' list room for a symbol and a name.
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(2, 1);
    const int charWidth = fontMetrics().averageCharWidth();
    m_available->setMinimumWidth(charWidth * 44);
    m_picked->setMinimumWidth(charWidth * 14);
    resize(charWidth * 90, fontMetrics().height() * 24);

    connect(m_add, &QPushButton::clicked, this, &CompareDialog::Take);
    connect(m_available, &QListWidget::itemActivated, this, &CompareDialog::Take);
    connect(m_remove, &QPushButton::clicked, this, &CompareDialog::Remove);
    connect(m_clear, &QPushButton::clicked, this, &CompareDialog::Clear);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    FillAvailable();
    FillChosen();
    m_available->setFocus();
  }

  const std::vector<std::string>& Chosen() const { return m_chosen; }

 private:
  void FillAvailable() {
    m_available->clear();
    for (const std::string& entry : m_folders.Entries()) m_available->addItem(Latin1(entry));
    if (m_available->count() > 0) m_available->setCurrentRow(0);
  }
  void FillChosen() {
    m_picked->clear();
    for (const std::string& symbol : m_chosen) m_picked->addItem(Latin1(symbol));
    if (m_picked->count() > 0) m_picked->setCurrentRow(m_picked->count() - 1);
    m_add->setEnabled(m_chosen.size() < static_cast<std::size_t>(plot::kMostCompared));
    m_remove->setEnabled(!m_chosen.empty());
    m_clear->setEnabled(!m_chosen.empty());
  }
  // A folder opens in place; a security joins the chosen ones.
  void Take() {
    const QListWidgetItem* item = m_available->currentItem();
    if (item == nullptr) return;
    const std::string entry = FromLatin1(item->text());
    if (const std::string master = m_folders.FolderOf(entry); !master.empty()) {
      m_folders.Open(master);
      FillAvailable();
      return;
    }
    AddCompared(m_chosen, GoToSymbol(entry));
    FillChosen();
  }
  void Remove() {
    const int row = m_picked->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= m_chosen.size()) return;
    m_chosen.erase(m_chosen.begin() + row);
    FillChosen();
  }
  void Clear() {
    m_chosen.clear();
    FillChosen();
  }

  FolderList m_folders;
  std::vector<std::string> m_chosen;
  QListWidget* m_available = new QListWidget(this);
  QListWidget* m_picked = new QListWidget(this);
  QPushButton* m_add = new QPushButton("&Add", this);
  QPushButton* m_remove = new QPushButton("&Remove", this);
  QPushButton* m_clear = new QPushButton("C&lear All", this);
};

}  // namespace

std::optional<std::vector<std::string>> AskCompare(QWidget* parent, const CBars& bars,
                                                   const std::vector<std::string>& current) {
  CompareDialog dialog(parent, bars, current);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Chosen();
}

}  // namespace tv
