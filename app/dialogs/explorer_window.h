#pragma once
// The Explorer: a scan of the whole open database in a window of its own. An expression (the
// last ones remembered in the settings file), an "as of" date and optional columns; Run scans
// on a background thread with a progress bar and Cancel while the window stays usable; the
// results sort by any column, a double click or Enter charts one in the main window, and Save
// as CSV writes what `quotedump scan` prints.

#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "directory_scan.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;

namespace tv {

class Profile;

class ExplorerWindow : public QWidget {
  Q_OBJECT

 public:
  // `chart` shows a result's security in the main window.
  ExplorerWindow(Profile& profile, std::function<void(const ScanRow&)> chart,
                 QWidget* parent = nullptr);
  ~ExplorerWindow() override;
  ExplorerWindow(const ExplorerWindow&) = delete;
  ExplorerWindow& operator=(const ExplorerWindow&) = delete;

  // The database the next Run scans (a folder with its trailing separator or not).
  void SetDirectory(const std::string& directory) { m_directory = directory; }

  // Whether Next and Previous step through the results: from the first result charted until
  // the results are cleared.
  bool Following() const { return m_cursor.Following(); }
  // Charts the result `delta` places on in the table's order; false past either end.
  bool StepResult(int delta);
  // "Result 3 of 36" while following, else empty.
  std::string StatusText() const { return m_cursor.Text(); }
  void ClearResults();

  // Starts a scan of the text in the expression box, as Run does.
  void Run();
  bool Running() const { return progress_state_ != nullptr; }
  int ResultCount() const;

 private:
  void ShowError(const std::string& field, const std::string& text, int column);
  void CancelScan();
  void TakeProgress();
  void Finished(const ScanCounts& counts, const std::string& error);
  void AddRow(ScanRow row);
  void ChartTableRow(int tableRow);
  void SaveCsv();
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

  Profile& m_profile;
  std::function<void(const ScanRow&)> m_chart;
  std::string m_directory;

  QComboBox* m_expression = nullptr;
  QLabel* m_error = nullptr;
  QCheckBox* m_asOfOn = nullptr;
  QDateEdit* m_asOf = nullptr;
  QLineEdit* m_columns = nullptr;
  QPushButton* m_run = nullptr;
  QPushButton* m_cancel = nullptr;
  QPushButton* m_save = nullptr;
  QPushButton* m_clear = nullptr;
  QProgressBar* m_progress = nullptr;
  QLabel* m_summary = nullptr;
  QTableWidget* m_table = nullptr;

  std::shared_ptr<const ScanQuestion> m_question;  // of the results shown
  std::vector<ScanRow> m_rows;
  ResultCursor m_cursor;
  std::thread m_worker;
  // What the scan running on m_worker has found and not yet handed over.
  struct ScanProgress {
    std::mutex mutex;
    int total = -1;  // securities to read, once counted
    int delivered = 0;
    std::vector<ScanRow> rows;
    ScanCounts counts;
    std::string error;
    bool done = false;
    std::atomic<bool> cancel{false};
  };
  std::shared_ptr<ScanProgress> progress_state_;  // null while no scan runs
  QTimer* m_poll = nullptr;
};

}  // namespace tv
