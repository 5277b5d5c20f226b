#include "explorer_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "profile.h"
#include "values.h"

namespace tv {

namespace {

constexpr std::string_view kSection = "Explorer";
constexpr int kFixedColumns = 5;  // folder, symbol, name, date, close

// An item that sorts by a number (an undefined one first) while it shows the CSV's text.
class NumberItem : public QTableWidgetItem {
 public:
  explicit NumberItem(double value)
      : QTableWidgetItem(QString::fromStdString(ScanValueText(value))), value_(value) {
    setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  bool operator<(const QTableWidgetItem& other) const override {
    const auto* number = dynamic_cast<const NumberItem*>(&other);
    if (number == nullptr) return QTableWidgetItem::operator<(other);
    if (std::isnan(value_) || std::isnan(number->value_))
      return std::isnan(value_) && !std::isnan(number->value_);
    return value_ < number->value_;
  }

 private:
  double value_;
};

QString Escaped(const std::string& text) { return QString::fromStdString(text).toHtmlEscaped(); }

}  // namespace

ExplorerWindow::ExplorerWindow(Profile& profile, std::function<void(const ScanRow&)> chart,
                               QWidget* parent)
    : QWidget(parent, Qt::Window), profile_(profile), chart_(std::move(chart)) {
  setObjectName("explorerWindow");
  setWindowTitle("Explorer");
  expression_ = new QComboBox(this);
  expression_->setObjectName("explorerExpression");
  expression_->setEditable(true);
  expression_->setInsertPolicy(QComboBox::NoInsert);
  expression_->setMinimumContentsLength(40);
  for (int i = 1; i <= kRememberedExpressions; ++i) {
    const std::string text = profile_.ReadText(kSection, "Expression" + std::to_string(i), "");
    if (!text.empty()) expression_->addItem(QString::fromStdString(text));
  }
  if (expression_->count() == 0) expression_->setEditText("close > sma(close, 200)");
  error_ = new QLabel(this);
  error_->setObjectName("explorerError");
  error_->setTextFormat(Qt::RichText);
  error_->hide();
  asOfOn_ = new QCheckBox("&As of", this);
  asOf_ = new QDateEdit(QDate::currentDate(), this);
  asOf_->setDisplayFormat("yyyy-MM-dd");
  asOf_->setCalendarPopup(true);
  asOf_->setEnabled(false);
  connect(asOfOn_, &QCheckBox::toggled, asOf_, &QWidget::setEnabled);
  columns_ = new QLineEdit(this);
  columns_->setObjectName("explorerColumns");
  columns_->setPlaceholderText("NAME=EXPR; NAME=EXPR ...   e.g. rsi=rsi(14); avg=sma(close, 50)");
  run_ = new QPushButton("&Run", this);
  run_->setObjectName("explorerRun");
  run_->setDefault(true);
  cancel_ = new QPushButton("Cancel", this);
  cancel_->setEnabled(false);
  clear_ = new QPushButton("C&lear", this);
  save_ = new QPushButton("&Save as CSV...", this);
  save_->setEnabled(false);
  progress_ = new QProgressBar(this);
  progress_->setObjectName("explorerProgress");
  progress_->setRange(0, 1);
  progress_->setValue(0);
  summary_ = new QLabel(this);
  table_ = new QTableWidget(0, kFixedColumns, this);
  table_->setObjectName("explorerResults");
  table_->setHorizontalHeaderLabels({"folder", "symbol", "name", "date", "close"});
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  table_->horizontalHeader()->setStretchLastSection(true);
  // Index order until a heading is clicked.
  table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  table_->setSortingEnabled(true);

  auto* form = new QFormLayout;
  auto* question = new QVBoxLayout;
  question->addWidget(expression_);
  question->addWidget(error_);
  auto* expressionLabel = new QLabel("&Expression:", this);
  expressionLabel->setBuddy(expression_);
  form->addRow(expressionLabel, question);
  auto* options = new QHBoxLayout;
  options->addWidget(asOfOn_);
  options->addWidget(asOf_);
  options->addSpacing(12);
  auto* columnsLabel = new QLabel("C&olumns:", this);
  columnsLabel->setBuddy(columns_);
  options->addWidget(columnsLabel);
  options->addWidget(columns_, 1);
  form->addRow(options);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {run_, cancel_, clear_, save_}) buttons->addWidget(b);
  buttons->addWidget(progress_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
  layout->addWidget(summary_);
  layout->addWidget(table_, 1);
  resize(760, 480);

  poll_ = new QTimer(this);
  poll_->setInterval(50);
  connect(poll_, &QTimer::timeout, this, &ExplorerWindow::TakeProgress);
  connect(run_, &QPushButton::clicked, this, &ExplorerWindow::Run);
  connect(expression_->lineEdit(), &QLineEdit::returnPressed, this, &ExplorerWindow::Run);
  connect(columns_, &QLineEdit::returnPressed, this, &ExplorerWindow::Run);
  connect(cancel_, &QPushButton::clicked, this, &ExplorerWindow::CancelScan);
  connect(clear_, &QPushButton::clicked, this, &ExplorerWindow::ClearResults);
  connect(save_, &QPushButton::clicked, this, &ExplorerWindow::SaveCsv);
  connect(table_, &QTableWidget::cellDoubleClicked, this,
          [this](int row, int) { ChartTableRow(row); });
  // Sorting changes which result is next: the table's order is the order stepped through.
  connect(table_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this, [this] {
    const int current = table_->currentRow();
    cursor_.Set(cursor_.Following() ? current : -1);
  });
}

ExplorerWindow::~ExplorerWindow() { CancelScan(); }

int ExplorerWindow::ResultCount() const { return table_->rowCount(); }

void ExplorerWindow::ShowError(const std::string& field, const std::string& text, int column) {
  // The text with the character where it went wrong marked, the message below it.
  QString marked;
  if (column >= 1) {
    const auto at = static_cast<std::size_t>(column - 1);
    marked = "<tt>" + Escaped(text.substr(0, at)) + "<span style='background:#ff8080'>" +
             (at < text.size() ? Escaped(text.substr(at, 1)) : QString("&nbsp;")) + "</span>" +
             (at < text.size() ? Escaped(text.substr(at + 1)) : QString()) + "</tt><br>";
  }
  error_->setText(marked + "<span style='color:#c00000'>" + Escaped(field) + "</span>");
  error_->show();
  if (column >= 1 && text == expression_->currentText().toStdString()) {
    expression_->setFocus();
    expression_->lineEdit()->setCursorPosition(column - 1);
  }
}

void ExplorerWindow::Run() {
  const std::string text = expression_->currentText().toStdString();
  auto parsed = scan::Parse(text);
  if (const auto* error = std::get_if<scan::ParseError>(&parsed)) {
    ShowError(error->Text(), text, error->column);
    return;
  }
  auto columns = ParseScanColumns(columns_->text().toStdString());
  if (const auto* error = std::get_if<std::string>(&columns)) {
    ShowError("Columns: " + *error, {}, 0);
    return;
  }
  error_->hide();
  CancelScan();
  auto question = std::make_shared<ScanQuestion>();
  question->condition = std::move(std::get<scan::Expression>(parsed));
  question->columns = std::move(std::get<std::vector<ScanColumn>>(columns));
  if (asOfOn_->isChecked())
    question->at = DayNumberBound(asOf_->date().toString("yyyy-MM-dd").toStdString());

  // Remembered, newest first.
  std::vector<std::string> remembered;
  remembered.reserve(static_cast<std::size_t>(expression_->count()) + 1);
  for (int i = 0; i < expression_->count(); ++i)
    remembered.push_back(expression_->itemText(i).toStdString());
  remembered = RememberExpression(std::move(remembered), text);
  expression_->clear();
  for (std::size_t i = 0; i < remembered.size(); ++i) {
    expression_->addItem(QString::fromStdString(remembered[i]));
    profile_.WriteText(kSection, "Expression" + std::to_string(i + 1), remembered[i]);
  }
  expression_->setCurrentIndex(0);

  ClearResults();
  QStringList headings = {"folder", "symbol", "name", "date", "close"};
  for (const ScanColumn& column : question->columns)
    headings << QString::fromStdString(column.name);
  table_->setColumnCount(static_cast<int>(headings.size()));
  table_->setHorizontalHeaderLabels(headings);
  table_->setSortingEnabled(false);
  table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  question_ = question;
  run_->setEnabled(false);
  cancel_->setEnabled(true);
  save_->setEnabled(false);
  progress_->setRange(0, 0);  // busy until the securities are counted
  summary_->setText("Scanning...");

  // The worker shares only this with the window, which takes what it found on a timer: no
  // call crosses from the worker into the window's objects.
  auto progress = std::make_shared<ScanProgress>();
  progress_state_ = progress;
  worker_ = std::thread([progress, question, directory = directory_] {
    std::vector<ScanTarget> targets;
    std::string error;
    ScanCounts counts;
    if (ListScanTargets(directory, true, targets, error)) {
      {
        const std::lock_guard lock(progress->mutex);
        progress->total = static_cast<int>(targets.size());
      }
      const int threads = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
      counts = ScanTargets(
          targets, *question, true, threads,
          [&](int i, const ScanOutcome& outcome) {
            const std::lock_guard lock(progress->mutex);
            progress->delivered = i + 1;
            if (outcome.row) progress->rows.push_back(*outcome.row);
          },
          &progress->cancel);
    }
    const std::lock_guard lock(progress->mutex);
    progress->counts = counts;
    progress->error = error;
    progress->done = true;
  });
  poll_->start();
}

void ExplorerWindow::TakeProgress() {
  if (!progress_state_) return;
  std::vector<ScanRow> rows;
  int total = -1;
  int delivered = 0;
  bool done = false;
  ScanCounts counts;
  std::string error;
  {
    const std::lock_guard lock(progress_state_->mutex);
    rows.swap(progress_state_->rows);
    total = progress_state_->total;
    delivered = progress_state_->delivered;
    done = progress_state_->done;
    counts = progress_state_->counts;
    error = progress_state_->error;
  }
  if (total >= 0 && progress_->maximum() != total) progress_->setRange(0, std::max(total, 1));
  if (total >= 0) progress_->setValue(delivered);
  for (ScanRow& row : rows) AddRow(std::move(row));
  if (done) Finished(counts, error);
}

void ExplorerWindow::AddRow(ScanRow row) {
  const int r = table_->rowCount();
  table_->insertRow(r);
  auto* folder = new QTableWidgetItem(QString::fromStdString(row.folder));
  folder->setData(Qt::UserRole, static_cast<int>(rows_.size()));
  table_->setItem(r, 0, folder);
  table_->setItem(r, 1, new QTableWidgetItem(QString::fromStdString(row.symbol)));
  table_->setItem(r, 2, new QTableWidgetItem(QString::fromStdString(row.name)));
  std::array<char, kIsoDateLength + 1> date{};
  const char* end = PutIsoDate(date.data(), row.date);
  table_->setItem(r, 3, new QTableWidgetItem(QString::fromLatin1(date.data(), end - date.data())));
  table_->setItem(r, 4, new NumberItem(row.close));
  for (std::size_t c = 0; c < row.values.size(); ++c)
    table_->setItem(r, kFixedColumns + static_cast<int>(c), new NumberItem(row.values[c]));
  rows_.push_back(std::move(row));
}

void ExplorerWindow::Finished(const ScanCounts& counts, const std::string& error) {
  poll_->stop();
  if (worker_.joinable()) worker_.join();
  progress_state_.reset();
  run_->setEnabled(true);
  cancel_->setEnabled(false);
  save_->setEnabled(!rows_.empty() || counts.read > 0);
  table_->setSortingEnabled(true);
  table_->resizeColumnsToContents();
  if (progress_->maximum() == 0) progress_->setRange(0, 1);
  cursor_.Reset(table_->rowCount());
  std::string text = !error.empty() ? error
                                    : std::to_string(counts.matched) + " of " +
                                          std::to_string(counts.read) + " securities match";
  if (counts.failed > 0) text += "; " + std::to_string(counts.failed) + " could not be read";
  if (counts.cancelled) text += " (cancelled)";
  summary_->setText(QString::fromStdString(text));
}

void ExplorerWindow::CancelScan() {
  if (!progress_state_) return;
  progress_state_->cancel = true;
  if (worker_.joinable()) worker_.join();
  TakeProgress();  // the rows found so far, and the end of the scan
}

void ExplorerWindow::ClearResults() {
  table_->setRowCount(0);
  rows_.clear();
  cursor_.Reset(0);
  save_->setEnabled(false);
  summary_->clear();
}

void ExplorerWindow::ChartTableRow(int tableRow) {
  if (tableRow < 0 || tableRow >= table_->rowCount() || !chart_) return;
  const QTableWidgetItem* item = table_->item(tableRow, 0);
  if (item == nullptr) return;
  const int at = item->data(Qt::UserRole).toInt();
  if (at < 0 || at >= static_cast<int>(rows_.size())) return;
  if (cursor_.Count() != table_->rowCount()) cursor_.Reset(table_->rowCount());
  cursor_.Set(tableRow);
  table_->setCurrentCell(tableRow, table_->currentColumn() < 0 ? 0 : table_->currentColumn());
  chart_(rows_[static_cast<std::size_t>(at)]);
}

bool ExplorerWindow::StepResult(int delta) {
  const int next = cursor_.Step(delta);
  if (next < 0) return false;
  ChartTableRow(next);
  return true;
}

void ExplorerWindow::SaveCsv() {
  if (!question_) return;
  const QString path =
      QFileDialog::getSaveFileName(this, "Save as CSV", "scan.csv", "CSV files (*.csv)");
  if (path.isEmpty()) return;
  // In the order of the scan, as quotedump prints it, whatever the table's sort.
  std::string text = ScanCsvHeader(*question_);
  for (const ScanRow& row : rows_) text += ScanCsvLine(row);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(text.data(), static_cast<qint64>(text.size())) !=
          static_cast<qint64>(text.size()) ||
      !file.flush()) {
    summary_->setText("Cannot write " + path + ": " + file.errorString());
  }
}

void ExplorerWindow::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && table_->hasFocus()) {
    ChartTableRow(table_->currentRow());
    return;
  }
  if (event->key() == Qt::Key_Escape && Running()) {
    CancelScan();
    return;
  }
  QWidget::keyPressEvent(event);
}

void ExplorerWindow::closeEvent(QCloseEvent* event) {
  CancelScan();
  ClearResults();
  QWidget::closeEvent(event);
}

}  // namespace tv
