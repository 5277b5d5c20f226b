// CBars: the security list of a MASTER file, loading the current security, navigation.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ascii.h"
#include "bars.h"
#include "database_files.h"
#include "quote_file.h"

int CBars::OpenMaster(const char* path) {
  if (path == nullptr) return 0;
  const std::string_view p(path);
  // Extended reading takes any path the system can open.
  if ((!m_extended && p.size() > static_cast<std::size_t>(kMaxMasterPath)) ||
      !EndsWithFoldedAscii(p, kMasterFileName))
    return 0;
  m_masterPath = p;
  // The data directory is the path before its last separator; databases come from Windows,
  // so '\' separates as well as '/'.
  const auto cut = p.find_last_of("/\\");
  if (cut == std::string_view::npos) {
    m_dataDir.clear();
  } else if (cut == 0 && p[0] == '/') {
    // A MASTER at the root of the file system: its directory is the root, not the current
    // directory the empty text stands for.
    m_dataDir = "/";
  } else {
    m_dataDir = p.substr(0, cut);
  }
  m_pathValid = 1;
  return 1;
}

// The extended list: every MASTER record, then the XMASTER securities, with EMASTER's long
// names, and no cap or message for long lists.
int CBars::ReadExtendedSecurityList() {
  const ResultCode rc = ReadSecurityIndex(m_masterPath, m_index);
  if (rc == kFileOpen) return 1;
  m_listing = std::make_shared<const DirectoryListing>(NormaliseDirectory(m_dataDir));
  m_count = static_cast<int>(m_index.size());
  if (m_current < 0 || m_current >= std::max(m_count, 1)) m_current = 0;
  if (rc == kSuccess) return 0;
  Report("File read failed", tv::MessageIcon::Stop);
  m_count = 0;
  return 1;
}

int CBars::ReadSecurityList() {
  if (!m_pathValid) return 1;
  if (m_extended) return ReadExtendedSecurityList();
  QuoteFile file(m_masterPath);
  if (!file.isOpen()) return 1;

  bool failed = false;
  std::int16_t headerCount = 0;
  if (!ReadMasterHeader(file, headerCount)) {
    failed = true;
  } else {
    m_count = headerCount;
    if (m_count > kMaxSymbols) {
      m_count = kMaxSymbols;
      char text[96];
      std::snprintf(text, sizeof text,
                    "File has %d symbols.\nWill only display the first %d symbols",
                    static_cast<int>(headerCount), kMaxSymbols);
      Report(text, tv::MessageIcon::None);
    }
    int filled = 0;
    MasterRecord record;
    while (filled < m_count && ReadMasterRecord(file, record)) {
      m_fileNumbers[filled] = record.bytes[0];
      auto& name = m_names[filled];
      const std::string_view nameField = record.nameField();
      std::copy(nameField.begin(), nameField.end(), name.begin());
      name[nameField.size()] = '\0';
      auto& symbol = m_symbols[filled];
      const std::string_view symbolField = record.symbolField();
      std::copy(symbolField.begin(), symbolField.end(), symbol.begin());
      symbol[symbolField.size()] = '\0';
      for (int c = 0; c < 16; ++c) {
        const auto u = static_cast<unsigned char>(symbol[c]);
        if (u <= 32 || u >= 128) symbol[c] = '\0';
      }
      ++filled;
    }
    failed = filled != m_count;
  }
  file.close();
  if (failed) {
    Report("File read failed", tv::MessageIcon::Stop);
    m_count = 0;
  }
  if (m_current < 0 || m_current >= std::max(m_count, 1)) m_current = 0;
  return failed ? 1 : 0;
}

int CBars::LoadCurrentSecurity() {
  // Whatever stretch of history was on screen, a security is shown from its newest bars.
  return LoadBars(-1, kSeriesBars);
}

int CBars::LoadBars(std::int32_t start, std::int32_t count) {
  if (!m_seriesAllocated && AllocateSeries(kSeriesBars) != 0) return 1;
  // The document loads entry 0 even of an empty list (its table may still hold what a short
  // MASTER file gave), but never an index outside the table.
  if (m_current < 0 || m_current >= (m_extended ? std::max(m_count, 1) : kMaxSymbols))
    m_current = 0;
  const char* symbol = CurrentSymbol();
  const auto bars = static_cast<std::int16_t>(std::clamp<std::int32_t>(count, 0, kSeriesBars));
  const ResultCode r = ReadCurrentInto(m_series, start, bars);
  ++reads_;

  ComputeMovingAverage(m_series.close, m_ma1, static_cast<std::int16_t>(m_ma1Length), 0);
  ComputeMovingAverage(m_series.close, m_ma2, static_cast<std::int16_t>(m_ma2Length), 0);
  newest_ = start < 0;
  windowStart_ = start < 0 ? std::max<std::int32_t>(m_series.fileRecords - bars, 0) : start;
  if (r != kSuccess) {
    if (m_extended) {
      // Browsing goes on past a security that cannot be read: the reason goes to the status
      // bar, where it waits for no one.
      m_loadProblem = LoadFailureText(symbol, r);
    } else {
      std::string text = "Read failed for symbol ";
      text += symbol;
      Report(text, tv::MessageIcon::Stop);
    }
    ReleaseSeries();
    newest_ = true;
    windowStart_ = 0;
    return 1;
  }
  m_loadProblem.clear();
  return 0;
}

ResultCode CBars::ReadCurrentInto(PriceSeries& series, std::int32_t start,
                                  std::int16_t count) const {
  const char* symbol = CurrentSymbol();
  // A blank symbol field gives an empty key (and an entry never read holds a lone blank);
  // either would match whatever record of the tree happens to have a blank name or symbol.
  // It names no security, so the load fails.
  const bool blank = std::all_of(symbol, symbol + std::strlen(symbol),
                                 [](char c) { return static_cast<unsigned char>(c) <= 32; });
  if (blank) return kFileNotFound;
  // Extended reading loads the listed entry itself: no search of the tree, and an XMASTER
  // security or a second entry with the same symbol loads as listed.
  if (m_extended) {
    if (m_current < 0 || m_current >= m_count) return kFileNotFound;
    return ReadIndexedSecurity(series, m_dataDir, m_index[static_cast<std::size_t>(m_current)],
                               symbol, start, count, 0, m_listing.get());
  }
  return ReadSecurity(series, m_dataDir, symbol, start, count, 0);
}

ResultCode CBars::ReadHistory(PriceSeries& series, std::int32_t count) const {
  if (!m_seriesAllocated || m_series.count <= 0) return kRecordNotFound;
  const auto most = static_cast<std::int16_t>(std::clamp<std::int32_t>(count, 1, kMaxReadCount));
  std::int32_t start = -1;
  auto bars = most;
  if (!newest_) {
    const std::int32_t end = WindowEnd() + 1;
    start = std::max<std::int32_t>(end - most, 0);
    bars = static_cast<std::int16_t>(end - start);
  }
  if (AllocatePriceSeries(series, most) != kSuccess) return kMalloc;
  SetPriceSeriesCount(series, 0);
  return ReadCurrentInto(series, start, bars);
}

std::string CBars::LoadFailureText(const char* symbol, ResultCode result) const {
  if (IsDirectoryEntry(m_current))
    return DirectoryEntryName(m_current) + " is a folder: Go To opens it";
  if (*symbol == '\0' || std::all_of(symbol, symbol + std::strlen(symbol),
                                     [](char c) { return static_cast<unsigned char>(c) <= 32; }))
    return "Entry " + std::to_string(m_current + 1) + " cannot be read: its symbol is blank";
  std::string text = "Read failed for symbol ";
  text += symbol;
  text += ": ";
  switch (result) {
    case kFileOpen: {
      const UnopenableFile file = FindUnopenableIndexedFile(m_dataDir, symbol);
      if (file.path.empty()) return text + "a file of the security cannot be opened";
      return text + "cannot open " + file.path + ": " + std::strerror(file.error);
    }
    case kInvalidParm:
      return text + "its record layout cannot be read";
    case kFileRead:
      return text + "its files cannot be read";
    case kRecordNotFound: {
      const std::string why = DescribeRecordCount(m_dataDir, symbol, true);
      return text + (why.empty() ? "its data file holds no bars" : why);
    }
    case kMalloc:
      return text + "out of memory";
    default:
      return text + ResultText(result);
  }
}

void CBars::SearchSetSymbolIndex(std::string_view symbol) {
  for (int i = 0; i < m_count; ++i) {
    if (symbol == std::string_view(GetSymbol(i))) {
      m_current = i;
      LoadCurrentSecurity();
      return;
    }
  }
  Report("Failure in SearchSetSymbolIndex", tv::MessageIcon::Stop);
}

int CBars::Step(int delta) {
  if (m_count <= 0) {
    // Nothing to step to: stay on index 0 and load nothing. The result still says
    // "clamped", which is what ends a slide show.
    m_current = 0;
    return 1;
  }
  if (m_extended) return StepOverDirectories(delta);
  long long next = static_cast<long long>(m_current) + delta;
  int clamped = 0;
  if (next < 0) {
    next = 0;
    clamped = 1;
  }
  if (next + 1 > m_count) {
    next = m_count - 1;
    clamped = 1;
  }
  m_current = static_cast<int>(next);
  LoadCurrentSecurity();
  return clamped;
}

int CBars::StepOverDirectories(int delta) {
  // Each step moves to the next security in its direction; running out of them clamps. A
  // step never lands on a directory entry, so Next, Previous and the slide show never meet
  // one.
  const int direction = delta < 0 ? -1 : 1;
  int at = m_current;
  int clamped = 0;
  for (long long left = std::llabs(static_cast<long long>(delta)); left > 0; --left) {
    const int next = NextSecurityIndex(at, direction);
    if (next < 0) {
      clamped = 1;
      break;
    }
    at = next;
  }
  m_current = at;
  LoadCurrentSecurity();
  return clamped;
}

int CBars::NextSecurityIndex(int from, int direction) const {
  for (int i = from + direction; i >= 0 && i < m_count; i += direction)
    if (!IsDirectoryEntry(i)) return i;
  return -1;
}

int CBars::FirstSecurityIndex() const {
  return m_extended ? std::max(NextSecurityIndex(-1, +1), 0) : 0;
}

int CBars::CanStepNext() const {
  if (m_extended) return m_count > 0 && NextSecurityIndex(m_current, +1) >= 0 ? 1 : 0;
  return m_current < m_count - 1 && m_count > 0 ? 1 : 0;
}

int CBars::CanStepPrevious() const {
  if (m_extended) return m_count > 0 && NextSecurityIndex(m_current, -1) >= 0 ? 1 : 0;
  return m_current > 0 && m_count > 0 ? 1 : 0;
}

const char* CBars::GetSymbol(int i) const {
  if (i < 0 || i >= m_count) return nullptr;
  return m_extended ? m_index[static_cast<std::size_t>(i)].symbol.c_str() : m_symbols[i].data();
}

const char* CBars::GetName(int i) const {
  if (i < 0 || i >= m_count) return nullptr;
  return m_extended ? m_index[static_cast<std::size_t>(i)].name.c_str() : m_names[i].data();
}

bool CBars::IsDirectoryEntry(int i) const {
  if (i < 0 || i >= m_count) return false;
  if (m_extended) return m_index[static_cast<std::size_t>(i)].directory;
  // The classic list keeps the 16-character name field as stored.
  const auto& name = m_names[static_cast<std::size_t>(i)];
  return IsDirectoryNameField(std::string_view(name.data(), name.size() - 1));
}

std::string CBars::DirectoryEntryName(int i) const {
  if (!IsDirectoryEntry(i)) return {};
  if (m_extended) return m_index[static_cast<std::size_t>(i)].record.directoryName();
  // A directory entry's name is the first 8 characters of its name field.
  std::string name(m_names[static_cast<std::size_t>(i)].data(), 8);
  TrimTrailingBlanks(name);
  return name;
}

std::string CBars::DirectoryEntryMaster(int i) const {
  const std::string name = DirectoryEntryName(i);
  if (name.empty()) return {};
  // Names on disk may differ in case from the index, as everywhere in these directories.
  const std::string folder = ResolveInDirectory(NormaliseDirectory(m_dataDir), name);
  return ResolveInDirectory(NormaliseDirectory(folder), kMasterFileName);
}

const char* CBars::CurrentSymbol() const {
  if (m_extended) return m_current >= 0 && m_current < m_count ? GetSymbol(m_current) : "";
  return m_symbols[m_current >= 0 && m_current < kMaxSymbols ? m_current : 0].data();
}

const char* CBars::CurrentName() const {
  if (m_extended) return m_current >= 0 && m_current < m_count ? GetName(m_current) : "";
  return m_names[m_current >= 0 && m_current < kMaxSymbols ? m_current : 0].data();
}
