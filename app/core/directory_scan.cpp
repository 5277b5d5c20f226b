// The scan of a database tree: the walk of its index files, the reading and asking of each
// security on a pool of threads, and the CSV of the rows.
#include "directory_scan.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <set>

#include "master.h"
#include "ordered_jobs.h"
#include "quote_file.h"
#include "subdirectories.h"
#include "values.h"

namespace tv {

namespace {

constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();
constexpr int kSignificantDigits = 10;

IndexedSecurity FromMasterRecord(const MasterRecord& record) {
  IndexedSecurity entry;
  entry.record = record;
  entry.symbol = record.symbol();
  entry.name = record.name();
  entry.fileNumber = record.fileNumber();
  entry.recordLength = record.recordLength();
  entry.fieldCount = record.fieldCount();
  entry.directory = record.isDirectory();
  return entry;
}

// MASTER's records as the classic reader takes them: the header's count (a negative one
// counts as 0), as many whole records as the file holds.
bool ReadClassicIndex(const std::string& directory, std::vector<IndexedSecurity>& index) {
  QuoteFile file;
  if (!file.open(ResolveInDirectory(directory, "MASTER"))) return false;
  std::int16_t count = 0;
  if (!ReadMasterHeader(file, count)) return false;
  MasterRecord record;
  for (int i = 0; i < count && ReadMasterRecord(file, record); ++i)
    index.push_back(FromMasterRecord(record));
  return true;
}

class TreeWalk {
 public:
  TreeWalk(bool extended, std::vector<ScanTarget>& targets)
      : m_extended(extended), m_targets(targets) {}

  ResultCode Visit(const std::string& directory, const std::string& folder, int depth) {
    std::vector<IndexedSecurity> index;
    if (m_extended) {
      if (const ResultCode rc = ReadSecurityIndex(directory + "MASTER", index); rc != kSuccess)
        return rc;
    } else if (!ReadClassicIndex(directory, index)) {
      return kFileNotFound;
    }
    std::unique_ptr<DirectoryListing> listing;
    std::shared_ptr<const DirectoryListing> names;
    for (std::size_t i = 0; i < index.size(); ++i) {
      IndexedSecurity& entry = index[i];
      if (!entry.directory) {
        if (!names) names = std::make_shared<const DirectoryListing>(directory);
        m_targets.push_back({directory, folder, std::move(entry), static_cast<int>(i), names});
        continue;
      }
      const std::string name = entry.record.directoryName();
      std::string path;
      DirectoryId identity;
      if (!IsPlainDirectoryName(name) || depth >= kMaxSearchDepth ||
          !FindSubdirectory(directory, name, listing, path, identity))
        continue;
      path += '/';
      // A folder reached a second way (a link back up the tree) has nothing new to give.
      if (path.size() > kMaxPathLength || !m_entered.insert(identity).second) continue;
      std::string below = folder == "." ? std::string() : folder + "/";
      below += name;
      // A subfolder without a readable index is left out, as the search leaves it out.
      Visit(path, below, depth + 1);
    }
    return kSuccess;
  }

  void Enter(const std::string& directory) {
    if (DirectoryId top; IdentifyDirectory(directory, top)) m_entered.insert(top);
  }

 private:
  bool m_extended;
  std::vector<ScanTarget>& m_targets;
  std::set<DirectoryId> m_entered;
};

// The security's bars in double precision, a field its layout lacks left empty.
struct WidenedBars {
  std::array<std::vector<double>, 6> columns;
  scan::Bars bars;

  explicit WidenedBars(const PriceSeries& series) {
    const std::array<std::pair<SeriesField, const SeriesColumn<float>*>, 6> fields = {{
        {SeriesField::Open, &series.open},
        {SeriesField::High, &series.high},
        {SeriesField::Low, &series.low},
        {SeriesField::Close, &series.close},
        {SeriesField::Volume, &series.volume},
        {SeriesField::OpenInterest, &series.openInterest},
    }};
    for (std::size_t i = 0; i < fields.size(); ++i)
      if (SeriesHasField(series, fields[i].first))
        columns[i] = Widened(*fields[i].second, series.count);
    bars.count = static_cast<std::size_t>(std::max<int>(series.count, 0));
    bars.open = columns[0];
    bars.high = columns[1];
    bars.low = columns[2];
    bars.close = columns[3];
    bars.volume = columns[4];
    bars.oi = columns[5];
  }
};

std::string Quoted(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}

}  // namespace

std::variant<ScanColumn, std::string> ParseScanColumn(std::string_view text) {
  const auto equals = text.find('=');
  if (equals == std::string_view::npos || equals == 0)
    return "not NAME=EXPR: '" + std::string(text) + "'";
  const std::string name(text.substr(0, equals));
  auto parsed = scan::Parse(text.substr(equals + 1));
  if (const auto* error = std::get_if<scan::ParseError>(&parsed))
    return name + ": " + error->Text();
  return ScanColumn{name, std::move(std::get<scan::Expression>(parsed))};
}

bool ListScanTargets(const std::string& directory, bool extended, std::vector<ScanTarget>& targets,
                     std::string& error) {
  const std::string top = NormaliseDirectory(directory);
  TreeWalk walk(extended, targets);
  walk.Enter(top);
  if (const ResultCode rc = walk.Visit(top, ".", 0); rc != kSuccess) {
    error = top + "MASTER: " + std::to_string(rc) + " " + ResultText(rc);
    return false;
  }
  return true;
}

ScanOutcome ScanSecurity(const ScanTarget& target, const ScanQuestion& question, bool extended) {
  ScanOutcome outcome;
  // The newest bars: a file may hold more than one read takes, and its last bar is the one
  // asked.
  PriceSeries series;
  ResultCode rc = kSuccess;
  if (extended) {
    rc = ReadIndexedSecurity(series, target.directory, target.entry, target.entry.symbol, -1, -1, 1,
                             target.names.get());
  } else {
    SecurityFiles files;
    files.directory = target.directory;
    files.record = &target.entry.record;
    files.fileNumber = target.entry.fileNumber;
    files.recordLength = target.entry.recordLength;
    files.fieldCount = target.entry.fieldCount;
    files.listing = target.names.get();
    rc = ReadSecurityFiles(series, files, target.entry.symbol, -1, -1, 1);
  }
  if (rc != kSuccess) {
    ReleasePriceSeries(series);
    const std::string where = target.folder == "." ? "" : target.folder + "/";
    outcome.failure =
        where + target.entry.symbol + ": " + std::to_string(rc) + " " + ResultText(rc);
    return outcome;
  }
  // The bar asked on: the last, or the last on or before the date asked for.
  int bar = series.count - 1;
  if (question.at)
    while (bar >= 0 && series.date[bar] > *question.at) --bar;
  if (bar < 0) {
    ReleasePriceSeries(series);
    return outcome;
  }
  const std::int16_t date = series.date[bar];
  {
    const WidenedBars widened(series);
    ReleasePriceSeries(series);
    const auto i = static_cast<std::size_t>(bar);
    if (!scan::Matches(scan::Evaluate(question.condition, widened.bars)[i])) return outcome;
    ScanRow row;
    row.folder = target.folder;
    row.directory = target.directory;
    row.index = target.index;
    row.symbol = target.entry.symbol;
    row.name = target.entry.name;
    row.date = date;
    row.close = widened.bars.close.empty() || !std::isfinite(widened.bars.close[i])
                    ? kUndefined
                    : widened.bars.close[i];
    for (const ScanColumn& column : question.columns)
      row.values.push_back(scan::Evaluate(column.expression, widened.bars)[i]);
    outcome.row = std::move(row);
  }
  return outcome;
}

ScanCounts ScanTargets(const std::vector<ScanTarget>& targets, const ScanQuestion& question,
                       bool extended, int threads,
                       const std::function<void(int, const ScanOutcome&)>& deliver,
                       const std::atomic<bool>* cancel) {
  ScanCounts counts;
  const auto cancelled = [cancel] { return cancel != nullptr && cancel->load(); };
  RunInOrder(
      static_cast<int>(targets.size()), threads, [] { return 0; },
      [&](int /*worker*/, int i) -> std::optional<ScanOutcome> {
        if (cancelled()) return std::nullopt;
        return ScanSecurity(targets[static_cast<std::size_t>(i)], question, extended);
      },
      [&](int i, std::optional<ScanOutcome> outcome) {
        if (!outcome) {
          counts.cancelled = true;
          return;
        }
        if (outcome->failure.empty())
          ++counts.read;
        else
          ++counts.failed;
        if (outcome->row) ++counts.matched;
        deliver(i, *outcome);
      });
  return counts;
}

namespace {

std::string ValueText(double value, std::chars_format format, int precision) {
  if (!std::isfinite(value)) return {};
  std::array<char, 64> text{};
  // Adding 0 turns a negative zero into "0".
  const auto end =
      std::to_chars(text.data(), text.data() + text.size(), value + 0.0, format, precision).ptr;
  return {text.data(), end};
}

}  // namespace

std::string ScanValueText(double value) {
  return ValueText(value, std::chars_format::general, kSignificantDigits);
}

std::string ScanValueShown(double value) {
  constexpr double kWhole = 1e7;  // from here on 7 digits would need an exponent
  constexpr int kSingleDigits = 7;
  return std::abs(value) >= kWhole && std::abs(value) < 1e30
             ? ValueText(std::round(value), std::chars_format::fixed, 0)
             : ValueText(value, std::chars_format::general, kSingleDigits);
}

std::string ScanCsvHeader(const ScanQuestion& question) {
  std::string line = "folder,symbol,name,date,close";
  for (const ScanColumn& column : question.columns) line += "," + Quoted(column.name);
  return line + "\n";
}

std::string ScanCsvLine(const ScanRow& row) {
  std::array<char, kIsoDateLength + 1> date{};
  char* dateEnd = PutIsoDate(date.data(), row.date);
  std::string line = Quoted(row.folder) + "," + Quoted(row.symbol) + "," + Quoted(row.name) + "," +
                     std::string(date.data(), static_cast<std::size_t>(dateEnd - date.data())) +
                     "," + ScanValueText(row.close);
  for (const double value : row.values) line += "," + ScanValueText(value);
  return line + "\n";
}

std::variant<std::vector<ScanColumn>, std::string> ParseScanColumns(std::string_view text) {
  std::vector<ScanColumn> columns;
  while (!text.empty()) {
    const auto end = text.find(';');
    std::string_view part = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const auto first = part.find_first_not_of(' ');
    if (first == std::string_view::npos) continue;
    part = part.substr(first, part.find_last_not_of(' ') - first + 1);
    auto column = ParseScanColumn(part);
    if (auto* error = std::get_if<std::string>(&column)) return std::move(*error);
    auto& parsed = std::get<ScanColumn>(column);
    while (!parsed.name.empty() && parsed.name.back() == ' ') parsed.name.pop_back();
    columns.push_back(std::move(parsed));
  }
  return columns;
}

std::vector<std::string> RememberExpression(std::vector<std::string> remembered,
                                            const std::string& newest) {
  std::erase(remembered, newest);
  remembered.insert(remembered.begin(), newest);
  if (remembered.size() > static_cast<std::size_t>(kRememberedExpressions))
    remembered.resize(kRememberedExpressions);
  return remembered;
}

int ResultCursor::Step(int delta) {
  const int next = m_position + delta;
  if (m_position < 0 || next < 0 || next >= m_count) return -1;
  m_position = next;
  return m_position;
}

std::string ResultCursor::Text() const {
  if (m_position < 0) return {};
  return "Result " + std::to_string(m_position + 1) + " of " + std::to_string(m_count);
}

}  // namespace tv
