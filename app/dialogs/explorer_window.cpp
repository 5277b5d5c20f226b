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

// An item that sorts by a number (an undefined one first) while it shows it as a person reads
// it (Save as CSV writes the rows' own values, to ten digits).
class NumberItem : public QTableWidgetItem {
 public:
  explicit NumberItem(double value)
      : QTableWidgetItem(QString::fromStdString(ScanValueShown(value))), m_value(value) {
    setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  bool operator<(const QTableWidgetItem& other) const override {
    const auto* number = dynamic_cast<const NumberItem*>(&other);
    if (number == nullptr) return QTableWidgetItem::operator<(other);
    if (std::isnan(m_value) || std::isnan(number->m_value))
      return std::isnan(m_value) && !std::isnan(number->m_value);
    return m_value < number->m_value;
  }

 private:
  double m_value;
};

QString Escaped(const std::string& text) { return QString::fromStdString(text).toHtmlEscaped(); }

}  // namespace

ExplorerWindow::ExplorerWindow(Profile& profile, std::function<void(const ScanRow&)> chart,
                               QWidget* parent)
    : QWidget(parent, Qt::Window), m_profile(profile), m_chart(std::move(chart)) {
  setObjectName("explorerWindow");
  setWindowTitle("Explorer");
  m_expression = new QComboBox(this);
  m_expression->setObjectName("explorerExpression");
  m_expression->setEditable(true);
  m_expression->setInsertPolicy(QComboBox::NoInsert);
  m_expression->setMinimumContentsLength(40);
  for (int i = 1; i <= kRememberedExpressions; ++i) {
    const std::string text = m_profile.ReadText(kSection, "Expression" + std::to_string(i), "");
    if (!text.empty()) m_expression->addItem(QString::fromStdString(text));
  }
  if (m_expression->count() == 0) m_expression->setEditText("close > sma(close, 200)");
  m_error = new QLabel(this);
  m_error->setObjectName("explorerError");
  m_error->setTextFormat(Qt::RichText);
  m_error->hide();
  m_asOfOn = new QCheckBox("&As of", this);
  m_asOf = new QDateEdit(QDate::currentDate(), this);
  m_asOf->setDisplayFormat("yyyy-MM-dd");
  m_asOf->setCalendarPopup(true);
  m_asOf->setEnabled(false);
  connect(m_asOfOn, &QCheckBox::toggled, m_asOf, &QWidget::setEnabled);
  m_columns = new QLineEdit(this);
  m_columns->setObjectName("explorerColumns");
  m_columns->setPlaceholderText("NAME=EXPR; NAME=EXPR ...   e.g. rsi=rsi(14); avg=sma(close, 50)");
  m_run = new QPushButton("&Run", this);
  m_run->setObjectName("explorerRun");
  m_run->setDefault(true);
  m_cancel = new QPushButton("Cancel", this);
  m_cancel->setEnabled(false);
  m_clear = new QPushButton("C&lear", this);
  m_save = new QPushButton("&Save as CSV...", this);
  m_save->setEnabled(false);
  m_progress = new QProgressBar(this);
  m_progress->setObjectName("explorerProgress");
  m_progress->setRange(0, 1);
  m_progress->setValue(0);
  m_summary = new QLabel(this);
  m_table = new QTableWidget(0, kFixedColumns, this);
  m_table->setObjectName("explorerResults");
  m_table->setHorizontalHeaderLabels({"folder", "symbol", "name", "date", "close"});
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setSelectionMode(QAbstractItemView::SingleSelection);
  m_table->verticalHeader()->hide();
  m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  m_table->horizontalHeader()->setStretchLastSection(true);
  // Index order until a heading is clicked.
  m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  m_table->setSortingEnabled(true);

  auto* form = new QFormLayout;
  auto* question = new QVBoxLayout;
  question->addWidget(m_expression);
  question->addWidget(m_error);
  auto* expressionLabel = new QLabel("&Expression:", this);
  expressionLabel->setBuddy(m_expression);
  form->addRow(expressionLabel, question);
  auto* options = new QHBoxLayout;
  options->addWidget(m_asOfOn);
  options->addWidget(m_asOf);
  options->addSpacing(12);
  auto* columnsLabel = new QLabel("C&olumns:", this);
  columnsLabel->setBuddy(m_columns);
  options->addWidget(columnsLabel);
  options->addWidget(m_columns, 1);
  form->addRow(options);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {m_run, m_cancel, m_clear, m_save}) buttons->addWidget(b);
  buttons->addWidget(m_progress, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
  layout->addWidget(m_summary);
  layout->addWidget(m_table, 1);
  resize(760, 480);

  m_poll = new QTimer(this);
  m_poll->setInterval(50);
  connect(m_poll, &QTimer::timeout, this, &ExplorerWindow::TakeProgress);
  connect(m_run, &QPushButton::clicked, this, &ExplorerWindow::Run);
  connect(m_expression->lineEdit(), &QLineEdit::returnPressed, this, &ExplorerWindow::Run);
  connect(m_columns, &QLineEdit::returnPressed, this, &ExplorerWindow::Run);
  connect(m_cancel, &QPushButton::clicked, this, &ExplorerWindow::CancelScan);
  connect(m_clear, &QPushButton::clicked, this, &ExplorerWindow::ClearResults);
  connect(m_save, &QPushButton::clicked, this, &ExplorerWindow::SaveCsv);
  connect(m_table, &QTableWidget::cellDoubleClicked, this,
          [this](int row, int) { ChartTableRow(row); });
  // Sorting changes which result is next: the table's order is the order stepped through.
  connect(m_table->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this, [this] {
    const int current = m_table->currentRow();
    m_cursor.Set(m_cursor.Following() ? current : -1);
  });
}

ExplorerWindow::~ExplorerWindow() { CancelScan(); }

int ExplorerWindow::ResultCount() const { return m_table->rowCount(); }

void ExplorerWindow::ShowError(const std::string& field, const std::string& text, int column) {
  // The text with the character where it went wrong marked, the message below it.
  QString marked;
  if (column >= 1) {
    const auto at = static_cast<std::size_t>(column - 1);
    marked = "<tt>" + Escaped(text.substr(0, at)) + "<span style='background:#ff8080'>" +
             (at < text.size() ? Escaped(text.substr(at, 1)) : QString("&nbsp;")) + "</span>" +
             (at < text.size() ? Escaped(text.substr(at + 1)) : QString()) + "</tt><br>";
  }
  m_error->setText(marked + "<span style='color:#c00000'>" + Escaped(field) + "</span>");
  m_error->show();
  if (column >= 1 && text == m_expression->currentText().toStdString()) {
    m_expression->setFocus();
    m_expression->lineEdit()->setCursorPosition(column - 1);
  }
}

void ExplorerWindow::Run() {
  const std::string text = m_expression->currentText().toStdString();
  auto parsed = scan::Parse(text);
  if (const auto* error = std::get_if<scan::ParseError>(&parsed)) {
    ShowError(error->Text(), text, error->column);
    return;
  }
  auto columns = ParseScanColumns(m_columns->text().toStdString());
  if (const auto* error = std::get_if<std::string>(&columns)) {
    ShowError("Columns: " + *error, {}, 0);
    return;
  }
  m_error->hide();
  CancelScan();
  auto question = std::make_shared<ScanQuestion>();
  question->condition = std::move(std::get<scan::Expression>(parsed));
  question->columns = std::move(std::get<std::vector<ScanColumn>>(columns));
  if (m_asOfOn->isChecked())
    question->at = DayNumberBound(m_asOf->date().toString("yyyy-MM-dd").toStdString());

  // Remembered, newest first.
  std::vector<std::string> remembered;
  remembered.reserve(static_cast<std::size_t>(m_expression->count()) + 1);
  for (int i = 0; i < m_expression->count(); ++i)
    remembered.push_back(m_expression->itemText(i).toStdString());
  remembered = RememberExpression(std::move(remembered), text);
  m_expression->clear();
  for (std::size_t i = 0; i < remembered.size(); ++i) {
    m_expression->addItem(QString::fromStdString(remembered[i]));
    m_profile.WriteText(kSection, "Expression" + std::to_string(i + 1), remembered[i]);
  }
  m_expression->setCurrentIndex(0);

  ClearResults();
  QStringList headings = {"folder", "symbol", "name", "date", "close"};
  for (const ScanColumn& column : question->columns)
    headings << QString::fromStdString(column.name);
  m_table->setColumnCount(static_cast<int>(headings.size()));
  m_table->setHorizontalHeaderLabels(headings);
  m_table->setSortingEnabled(false);
  m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  m_question = question;
  m_run->setEnabled(false);
  m_cancel->setEnabled(true);
  m_save->setEnabled(false);
  m_progress->setRange(0, 0);  // busy until the securities are counted
  m_summary->setText("Scanning...");

  // The worker shares only this with the window, which takes what it found on a timer: no
  // call crosses from the worker into the window's objects.
  auto progress = std::make_shared<ScanProgress>();
  progress_state_ = progress;
  m_worker = std::thread([progress, question, directory = m_directory] {
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
  m_poll->start();
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
  if (total >= 0 && m_progress->maximum() != total) m_progress->setRange(0, std::max(total, 1));
  if (total >= 0) m_progress->setValue(delivered);
  for (ScanRow& row : rows) AddRow(std::move(row));
  if (done) Finished(counts, error);
}

void ExplorerWindow::AddRow(ScanRow row) {
  const int r = m_table->rowCount();
  m_table->insertRow(r);
  auto* folder = new QTableWidgetItem(QString::fromStdString(row.folder));
  folder->setData(Qt::UserRole, static_cast<int>(m_rows.size()));
  m_table->setItem(r, 0, folder);
  m_table->setItem(r, 1, new QTableWidgetItem(QString::fromStdString(row.symbol)));
  m_table->setItem(r, 2, new QTableWidgetItem(QString::fromStdString(row.name)));
  std::array<char, kIsoDateLength + 1> date{};
  const char* end = PutIsoDate(date.data(), row.date);
  m_table->setItem(r, 3, new QTableWidgetItem(QString::fromLatin1(date.data(), end - date.data())));
  m_table->setItem(r, 4, new NumberItem(row.close));
  for (std::size_t c = 0; c < row.values.size(); ++c)
    m_table->setItem(r, kFixedColumns + static_cast<int>(c), new NumberItem(row.values[c]));
  m_rows.push_back(std::move(row));
}

void ExplorerWindow::Finished(const ScanCounts& counts, const std::string& error) {
  m_poll->stop();
  if (m_worker.joinable()) m_worker.join();
  progress_state_.reset();
  m_run->setEnabled(true);
  m_cancel->setEnabled(false);
  m_save->setEnabled(!m_rows.empty() || counts.read > 0);
  m_table->setSortingEnabled(true);
  m_table->resizeColumnsToContents();
  if (m_progress->maximum() == 0) m_progress->setRange(0, 1);
  m_cursor.Reset(m_table->rowCount());
  std::string text = !error.empty() ? error
                                    : std::to_string(counts.matched) + " of " +
                                          std::to_string(counts.read) + " securities match";
  if (counts.failed > 0) text += "; " + std::to_string(counts.failed) + " could not be read";
  if (counts.cancelled) text += " (cancelled)";
  m_summary->setText(QString::fromStdString(text));
}

void ExplorerWindow::CancelScan() {
  if (!progress_state_) return;
  progress_state_->cancel = true;
  if (m_worker.joinable()) m_worker.join();
  TakeProgress();  // the rows found so far, and the end of the scan
}

void ExplorerWindow::ClearResults() {
  m_table->setRowCount(0);
  m_rows.clear();
  m_cursor.Reset(0);
  m_save->setEnabled(false);
  m_summary->clear();
}

void ExplorerWindow::ChartTableRow(int tableRow) {
  if (tableRow < 0 || tableRow >= m_table->rowCount() || !m_chart) return;
  const QTableWidgetItem* item = m_table->item(tableRow, 0);
  if (item == nullptr) return;
  const int at = item->data(Qt::UserRole).toInt();
  if (at < 0 || at >= static_cast<int>(m_rows.size())) return;
  if (m_cursor.Count() != m_table->rowCount()) m_cursor.Reset(m_table->rowCount());
  m_cursor.Set(tableRow);
  m_table->setCurrentCell(tableRow, m_table->currentColumn() < 0 ? 0 : m_table->currentColumn());
  m_chart(m_rows[static_cast<std::size_t>(at)]);
}

bool ExplorerWindow::StepResult(int delta) {
  const int next = m_cursor.Step(delta);
  if (next < 0) return false;
  ChartTableRow(next);
  return true;
}

void ExplorerWindow::SaveCsv() {
  if (!m_question) return;
  const QString path =
      QFileDialog::getSaveFileName(this, "Save as CSV", "scan.csv", "CSV files (*.csv)");
  if (path.isEmpty()) return;
  // In the order of the scan, as quotedump prints it, whatever the table's sort.
  std::string text = ScanCsvHeader(*m_question);
  for (const ScanRow& row : m_rows) text += ScanCsvLine(row);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(text.data(), static_cast<qint64>(text.size())) !=
          static_cast<qint64>(text.size()) ||
      !file.flush()) {
    m_summary->setText("Cannot write " + path + ": " + file.errorString());
  }
}

void ExplorerWindow::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_table->hasFocus()) {
    ChartTableRow(m_table->currentRow());
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
