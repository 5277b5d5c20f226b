#include "study_dialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace tv {

namespace {

using studies::StudyKind;

// The names of a study's whole-number parameters, in the order of StudyConfig::lengths.
std::vector<const char*> LengthNames(StudyKind kind) {
  switch (kind) {
    case StudyKind::Macd:
      return {"&Fast length:", "&Slow length:", "Si&gnal length:"};
    case StudyKind::Stochastic:
      return {"%&K length:", "%&D length:"};
    default:
      return {"&Length:"};
  }
}

// A kind's defaults are what its bare name parses to; sma and ema have none of their own.
const char* DefaultText(StudyKind kind) {
  switch (kind) {
    case StudyKind::Sma:
      return "sma:20";
    case StudyKind::Ema:
      return "ema:20";
    case StudyKind::Rsi:
      return "rsi";
    case StudyKind::Macd:
      return "macd";
    case StudyKind::Bollinger:
      return "bollinger";
    case StudyKind::Stochastic:
      return "stochastic";
  }
  return "rsi";
}

// The longest window worth offering: a read holds at most 16,000 bars.
constexpr int kMaxLength = 16000;

}  // namespace

const char* StudyTitle(StudyKind kind) {
  switch (kind) {
    case StudyKind::Sma:
      return "Simple Moving Average";
    case StudyKind::Ema:
      return "Exponential Moving Average";
    case StudyKind::Rsi:
      return "RSI";
    case StudyKind::Macd:
      return "MACD";
    case StudyKind::Bollinger:
      return "Bollinger Bands";
    case StudyKind::Stochastic:
      return "Stochastic";
  }
  return "";
}

namespace {

// The parameters of one study in a form of its own; `shown`, where given, is the dialog's
// "Show" box. Returns the config as the form leaves it, or nothing when cancelled.
struct ParameterForm {
  std::array<QSpinBox*, 3> lengths{};
  QDoubleSpinBox* width = nullptr;
  std::size_t count = 0;

  ParameterForm(QDialog& dialog, QFormLayout& form, const studies::StudyConfig& config,
                int longest) {
    const std::vector<const char*> names = LengthNames(config.kind);
    count = names.size();
    for (std::size_t i = 0; i < count; ++i) {
      lengths[i] = new QSpinBox(&dialog);
      lengths[i]->setObjectName(QString("length%1").arg(i + 1));
      lengths[i]->setRange(1, std::max(longest, config.lengths[i]));
      lengths[i]->setValue(config.lengths[i]);
      form.addRow(names[i], lengths[i]);
    }
    if (config.kind == StudyKind::Bollinger) {
      width = new QDoubleSpinBox(&dialog);
      width->setObjectName("width");
      width->setRange(0.1, studies::kMaxBandWidth);
      width->setDecimals(2);
      width->setSingleStep(0.5);
      width->setValue(config.width);
      form.addRow("&Width (standard deviations):", width);
    }
  }
  void Read(studies::StudyConfig& config) const {
    for (std::size_t i = 0; i < count; ++i) config.lengths[i] = lengths[i]->value();
    if (width != nullptr) config.width = width->value();
  }
};

void AddButtons(QDialog& dialog, QFormLayout& form) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form.addRow(buttons);
}

// An average's length stops at what the chart offers for averages; a study's at a read's bars.
int Longest(const ChartItem& item) { return item.average ? plot::kMaxAverageLength : kMaxLength; }

// The parameters of one line of the list; nothing when cancelled.
std::optional<ChartItem> AskParameters(QWidget* parent, ChartItem item) {
  QDialog dialog(parent);
  dialog.setObjectName("parameterDialog");
  dialog.setWindowTitle(QString::fromLatin1(StudyTitle(item.config.kind)));
  auto* form = new QFormLayout(&dialog);
  const ParameterForm parameters(dialog, *form, item.config, Longest(item));
  AddButtons(dialog, *form);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  parameters.Read(item.config);
  return item;
}

}  // namespace

std::optional<StudyChoice> AskStudy(QWidget* parent, StudyKind kind,
                                    const std::optional<studies::StudyConfig>& current) {
  studies::StudyConfig config = current.value_or(*studies::ParseStudyConfig(DefaultText(kind)));

  QDialog dialog(parent);
  dialog.setObjectName("studyDialog");
  dialog.setWindowTitle(QString::fromLatin1(StudyTitle(kind)));
  auto* form = new QFormLayout(&dialog);
  auto* shown = new QCheckBox(QString("S&how ") + StudyTitle(kind), &dialog);
  shown->setObjectName("shown");
  shown->setChecked(true);  // opened to show it, or to change it: unticking takes it away
  form->addRow(shown);
  const ParameterForm parameters(dialog, *form, config, kMaxLength);
  AddButtons(dialog, *form);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;

  if (!shown->isChecked()) return StudyChoice{};
  parameters.Read(config);
  return StudyChoice{config};
}

std::string ChartItemText(const ChartItem& item) {
  return studies::StudyLabel(item.config) + (item.average ? "  average" : "");
}

namespace {

// Change, Remove, Move Up and Move Down for the row chosen of `count` (-1: none).
void EnableRowButtons(const std::array<QPushButton*, 4>& buttons, int row, int count) {
  const auto& [change, remove, up, down] = buttons;
  change->setEnabled(row >= 0);
  remove->setEnabled(row >= 0);
  up->setEnabled(row > 0);
  down->setEnabled(row >= 0 && row + 1 < count);
}

// The Add button's menu of kinds; `chosen` gets the new line with its defaults.
QMenu* KindsMenu(QPushButton* add, const std::function<void(const ChartItem&)>& chosen) {
  auto* kinds = new QMenu(add);
  const std::pair<StudyKind, bool> offered[] = {
      {StudyKind::Sma, true},  {StudyKind::Ema, true},   {StudyKind::Bollinger, false},
      {StudyKind::Rsi, false}, {StudyKind::Macd, false}, {StudyKind::Stochastic, false},
  };
  for (const auto& [kind, average] : offered) {
    // A new simple average starts as the long one of a 50/200 pair.
    const char* text = kind == StudyKind::Sma   ? "sma:200"
                       : kind == StudyKind::Ema ? "ema:50"
                                                : DefaultText(kind);
    const ChartItem item{average, *studies::ParseStudyConfig(text)};
    QObject::connect(kinds->addAction(StudyTitle(kind)), &QAction::triggered, add,
                     [chosen, item] { chosen(item); });
  }
  return kinds;
}

}  // namespace

std::optional<std::vector<ChartItem>> AskChartItems(QWidget* parent, std::vector<ChartItem> items) {
  QDialog dialog(parent);
  dialog.setObjectName("chartItemsDialog");
  dialog.setWindowTitle("Averages and Studies");
  auto* rows = new QVBoxLayout(&dialog);
  auto* columns = new QHBoxLayout;
  rows->addLayout(columns);
  auto* list = new QListWidget(&dialog);
  list->setObjectName("items");
  list->setMinimumWidth(list->fontMetrics().horizontalAdvance("Bollinger(200,2.5)  average") * 3 /
                        2);
  columns->addWidget(list);
  auto* side = new QVBoxLayout;
  columns->addLayout(side);
  const auto button = [&](const char* text, const char* name) {
    auto* b = new QPushButton(text, &dialog);
    b->setObjectName(name);
    side->addWidget(b);
    return b;
  };
  QPushButton* add = button("&Add", "add");
  QPushButton* change = button("&Change...", "change");
  QPushButton* remove = button("&Remove", "remove");
  QPushButton* up = button("Move &Up", "up");
  QPushButton* down = button("Move &Down", "down");
  side->addStretch();
  auto* room = new QLabel(&dialog);
  room->setObjectName("room");
  rows->addWidget(room);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  rows->addWidget(buttons);

  // The lines live as long as the connections that edit them, whatever clazy can prove of
  // a modal dialog.
  auto lines = std::make_shared<std::vector<ChartItem>>(std::move(items));
  QDialog* self = &dialog;
  const auto enable = [=](int row) {
    EnableRowButtons({change, remove, up, down}, row, static_cast<int>(lines->size()));
  };
  // The list and the buttons as the lines stand, with row `current` chosen.
  const auto refresh = [=](int current) {
    list->clear();
    for (const ChartItem& item : *lines) list->addItem(QString::fromStdString(ChartItemText(item)));
    list->setCurrentRow(std::clamp(current, -1, static_cast<int>(lines->size()) - 1));
    add->setEnabled(lines->size() < studies::kMaxStudies);
    enable(list->currentRow());
    room->setText(QString("%1 of at most %2 averages and studies")
                      .arg(lines->size())
                      .arg(studies::kMaxStudies));
  };
  QObject::connect(list, &QListWidget::currentRowChanged, self, enable);
  add->setMenu(KindsMenu(add, [=](const ChartItem& item) {
    if (const auto chosen = AskParameters(self, item)) {
      lines->push_back(*chosen);
      refresh(static_cast<int>(lines->size()) - 1);
    }
  }));
  const auto changeRow = [=] {
    const int row = list->currentRow();
    if (row < 0) return;
    auto& line = (*lines)[static_cast<std::size_t>(row)];
    if (const auto chosen = AskParameters(self, line)) {
      line = *chosen;
      refresh(row);
    }
  };
  QObject::connect(change, &QPushButton::clicked, self, changeRow);
  QObject::connect(list, &QListWidget::itemDoubleClicked, self, changeRow);
  QObject::connect(remove, &QPushButton::clicked, self, [=] {
    const int row = list->currentRow();
    if (row < 0) return;
    lines->erase(lines->begin() + row);
    refresh(row);
  });
  const auto move = [=](int step) {
    const int row = list->currentRow();
    const int to = row + step;
    if (row < 0 || to < 0 || to >= static_cast<int>(lines->size())) return;
    std::swap((*lines)[static_cast<std::size_t>(row)], (*lines)[static_cast<std::size_t>(to)]);
    refresh(to);
  };
  QObject::connect(up, &QPushButton::clicked, self, [=] { move(-1); });
  QObject::connect(down, &QPushButton::clicked, self, [=] { move(+1); });
  refresh(0);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return std::move(*lines);
}

}  // namespace tv
