#pragma once
// A scan of a whole database: every security of a directory and the folders below it, in the
// order of their index files, asked one question on its last bar (or its last bar on or
// before a date). Shared by `quotedump scan` and the Explorer window, so that the two give
// the same rows and the Explorer's CSV file is what the tool prints.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "expression.h"
#include "extended.h"
#include "quote_file.h"

namespace tv {

// An extra column of the results: its heading and the expression whose value it shows.
struct ScanColumn {
  std::string name;
  scan::Expression expression;
};

struct ScanQuestion {
  scan::Expression condition;
  std::vector<ScanColumn> columns;
  // The day number of the last bar to look at (DayNumberBound); the last bar when unset.
  std::optional<int> at;
};

// "NAME=EXPR" as a column; a malformed one says what is wrong ("column 3: ..." counts in
// EXPR).
std::variant<ScanColumn, std::string> ParseScanColumn(std::string_view text);

// One security to scan: where its files are and its index entry.
struct ScanTarget {
  std::string directory;  // with its trailing separator
  std::string folder;     // relative to the scanned directory, "." for the directory itself
  IndexedSecurity entry;
  int index = 0;  // its place in its folder's index, directory entries counted
  // The folder's names, read once for all its securities: a security without a layout file
  // would otherwise have the whole folder read to look for the name in another case.
  std::shared_ptr<const DirectoryListing> names;
};

// The securities of `directory` and of the folders its directory entries lead to, a folder's
// securities where its entry stands; each folder is entered once however it is reached, and
// no deeper than the search of the quote library goes. Classic reading lists MASTER's
// records; extended reading the whole index (MASTER, EMASTER, XMASTER). False, with `error`
// set, when the top directory's index cannot be read.
bool ListScanTargets(const std::string& directory, bool extended, std::vector<ScanTarget>& targets,
                     std::string& error);

// A security that matched, on the bar it was asked on.
struct ScanRow {
  std::string folder;
  std::string directory;  // with its trailing separator, for opening the security
  int index = 0;          // the security's place in its folder's index
  std::string symbol;
  std::string name;
  std::int16_t date = 0;       // day number
  double close = 0;            // NaN when undefined
  std::vector<double> values;  // one per column, NaN where undefined
};

// What became of one security: a row when it matched, a failure text when it could not be
// read, neither when it was read and did not match (or had no bar to ask).
struct ScanOutcome {
  std::optional<ScanRow> row;
  std::string failure;  // "FUTURES/GC: -2 file not found"
};

ScanOutcome ScanSecurity(const ScanTarget& target, const ScanQuestion& question, bool extended);

struct ScanCounts {
  int read = 0;
  int failed = 0;
  int matched = 0;
  bool cancelled = false;
};

// Scans every target on `threads` threads, one security's bars per thread at a time, and
// hands each outcome to `deliver` on the calling thread in the order of the targets. Once
// `cancel` is set the securities not yet read are skipped and not delivered.
ScanCounts ScanTargets(const std::vector<ScanTarget>& targets, const ScanQuestion& question,
                       bool extended, int threads,
                       const std::function<void(int, const ScanOutcome&)>& deliver,
                       const std::atomic<bool>* cancel = nullptr);

// The CSV of a scan: `folder,symbol,name,date,close` and the columns' names, then a line per
// row, values to 10 significant digits and empty where undefined; fields quoted where they
// hold a comma, a quote or a line end.
std::string ScanCsvHeader(const ScanQuestion& question);
std::string ScanCsvLine(const ScanRow& row);
// A value as the CSV writes it: 10 significant digits, "" when undefined.
std::string ScanValueText(double value);
// A value as the Explorer shows it to a person: the prices and volumes of a quote file are single
// precision, so 7 significant digits keep every digit they hold and none of the float's noise
// (0.2, not 0.2000000030); from ten million on, the whole number. "" when undefined.
std::string ScanValueShown(double value);

// "NAME=EXPR; NAME=EXPR ...", as the Explorer takes its columns; blank text is no column.
std::variant<std::vector<ScanColumn>, std::string> ParseScanColumns(std::string_view text);

// The Explorer's remembered expressions after a run of `newest`: it first, each text once,
// at most kRememberedExpressions.
inline constexpr int kRememberedExpressions = 10;
std::vector<std::string> RememberExpression(std::vector<std::string> remembered,
                                            const std::string& newest);

// Where Next and Previous stand among a scan's results once one has been charted.
class ResultCursor {
 public:
  void Reset(int count) {
    m_count = count;
    m_position = -1;
  }
  void Set(int position) { m_position = position >= 0 && position < m_count ? position : -1; }
  // Moves by `delta` and returns the new position, or -1 (staying put) past either end.
  int Step(int delta);
  bool Following() const { return m_position >= 0; }
  int Position() const { return m_position; }
  int Count() const { return m_count; }
  // "Result 3 of 36"; empty while no result is followed.
  std::string Text() const;

 private:
  int m_count = 0;
  int m_position = -1;
};

}  // namespace tv
