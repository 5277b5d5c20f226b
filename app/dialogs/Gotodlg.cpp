#include "Gotodlg.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QRadioButton>
#include <QShowEvent>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QTextOption>
#include <algorithm>

#include "bars.h"
#include "goto_list.h"
#include "profile.h"

namespace tv {

namespace {

// Draws an entry with its tab expanded to the list's tab stops, so that the names line up
// in a column whatever the width of the symbols before them.
class TabStopDelegate final : public QStyledItemDelegate {
 public:
  TabStopDelegate(int tabStop, int rowHeight, QObject* parent)
      : QStyledItemDelegate(parent), tabStop_(tabStop), rowHeight_(rowHeight) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), rowHeight_);
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const bool selected = (opt.state & QStyle::State_Selected) != 0;
    const QPalette::ColorGroup group =
        (opt.state & QStyle::State_Enabled) == 0 ? QPalette::Disabled : QPalette::Normal;
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(
        opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    QTextOption textOption(Qt::AlignLeft | Qt::AlignVCenter);
    textOption.setWrapMode(QTextOption::NoWrap);
    textOption.setTabStopDistance(tabStop_);
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
    painter->drawText(QRectF(textRect), text, textOption);
    painter->restore();
  }

 private:
  int tabStop_;
  int rowHeight_;
};

QString Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromLatin1(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

CGoToDlg::CGoToDlg(Profile& profile, QWidget* parent)
    : DialogFrame("Go To Chart", 247, 146, parent), m_profile(profile) {
  const DialogUnits& du = units();

  // Created in the dialog's tab order.
  auto* prompt = new QLabel("Choose Item to Chart", this);
  PlaceInUnits(*prompt, du, 6, 10, 92, 12);
  prompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  m_list = new QListWidget(this);
  m_list->setObjectName("list111");
  PlaceInUnits(*m_list, du, 5, 23, 115, 127);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_list->setTextElideMode(Qt::ElideNone);
  m_list->setUniformItemSizes(true);
  // A row is as high as the font's characters, and tab stops lie every 32 horizontal dialog
  // units, as in the list boxes the layout was drawn for.
  m_list->setItemDelegate(new TabStopDelegate(du.X(32), du.baseY(), m_list));
  // The list shows whole rows only: it gives up the part of its height that would show a cut
  // row, which keeps its bottom edge inside the dialog.
  const int frame = m_list->frameWidth();
  const int rows = std::max(1, (m_list->height() - 2 * frame) / du.baseY());
  m_list->setFixedHeight(rows * du.baseY() + 2 * frame);
  connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { accept(); });

  AddGroupBox("Sort By", 130, 10, 105, 75);

  m_sortGroup = new QButtonGroup(this);
  const char* sortTexts[] = {"Master File Order", "Symbol", "Name"};
  const int sortWidths[] = {80, 35, 30};
  for (int order = 0; order < 3; ++order) {
    auto* button = new QRadioButton(sortTexts[order], this);
    button->setObjectName(QString("radio%1").arg(kIdMasterOrder + order));
    PlaceInUnits(*button, du, 135, 25 + 20 * order, sortWidths[order], 15);
    m_sortGroup->addButton(button, order);
    m_sortButtons[static_cast<std::size_t>(order)] = button;
    connect(button, &QRadioButton::clicked, this, [this] { FillList(); });
  }

  AddOkButton(130, 120, 50, 14);
  AddCancelButton(190, 120, 50, 14);
}

CGoToDlg::~CGoToDlg() = default;

void CGoToDlg::showEvent(QShowEvent* event) {
  DialogFrame::showEvent(event);
  // The list knows how many rows it shows only once it is on the screen.
  ScrollSelectionToTop();
}

void CGoToDlg::OnInitDialog() {
  DialogFrame::OnInitDialog();
  CenterOnScreen();

  m_sortOrder = GoToSortFromProfile(m_profile.ReadInt(kGoToSection, kGoToSortKey, kSortMaster));
  UpdateData(false);
  FillList();
  UpdateData(false);
  UpdateData(false);
  m_list->setFocus(Qt::OtherFocusReason);
}

void CGoToDlg::UpdateData(bool save) {
  if (save) {
    const int checked = m_sortGroup->checkedId();
    m_sortOrder = checked >= 0 ? checked : kSortMaster;
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    m_selection = selected.isEmpty() ? std::string() : FromLatin1(selected.front()->text());
    return;
  }
  if (QAbstractButton* button = m_sortGroup->button(m_sortOrder)) button->setChecked(true);
  if (!m_selection.empty()) {
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(m_list->count()));
    for (int i = 0; i < m_list->count(); ++i)
      entries.push_back(FromLatin1(m_list->item(i)->text()));
    const int row = FindGoToEntry(entries, m_selection);
    if (row >= 0) m_list->setCurrentRow(row);
  }
}

void CGoToDlg::FillList() {
  UpdateData(true);
  m_profile.WriteInt(kGoToSection, kGoToSortKey, m_sortOrder);
  m_list->clear();
  if (m_pBars == nullptr) return;

  const GoToList built = BuildGoToList(*m_pBars, m_sortOrder);
  QStringList items;
  items.reserve(static_cast<qsizetype>(built.entries.size()));
  for (const std::string& entry : built.entries) items.push_back(Latin1(entry));
  m_list->addItems(items);
  const int current = FindGoToEntry(built.entries, built.currentEntry);
  if (current >= 0) m_list->setCurrentRow(current);
  UpdateData(false);
  ScrollSelectionToTop();
}

void CGoToDlg::ScrollSelectionToTop() {
  if (QListWidgetItem* item = m_list->currentItem(); item && item->isSelected())
    m_list->scrollToItem(item, QAbstractItemView::PositionAtTop);
}

void CGoToDlg::accept() {
  UpdateData(true);
  DialogFrame::accept();
}

bool RunGoToDialog(Profile& profile, CBars& bars, std::string& selection) {
  CGoToDlg dialog(profile);
  dialog.m_pBars = &bars;
  if (!dialog.DoModal()) return false;
  selection = dialog.m_selection;
  return true;
}

}  // namespace tv
