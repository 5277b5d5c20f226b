// Extended reading: the security index of MASTER, EMASTER and XMASTER, layouts inferred from
// the records, and reads of one index entry.
//
// Index files come from other programs and broken copies like every quote file: every count
// is checked against the bytes the file holds before anything is sized by it, and text
// fields are read up to their NUL byte or the end of their field, never further.

#include "extended.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <set>
#include <unordered_map>

#include "ascii.h"
#include "database_files.h"
#include "quote_file.h"
#include "subdirectories.h"
#include "values.h"

namespace {

// EMASTER: header and records of 192 bytes; header bytes 0..1 the count. In a record byte 2
// is the file number, byte 7 the field set and bytes 139..191 a NUL-ended long name, filled
// where the name is longer than the 16 characters MASTER keeps.
constexpr std::size_t kEmasterFileNumber = 2;
constexpr std::size_t kEmasterFields = 7;
constexpr std::size_t kEmasterLongName = 139;

// XMASTER: header and records of 150 bytes; header bytes 10..11 the count. In a record bytes
// 1..15 the symbol, 16..61 the name (NUL-ended), 62 the period, 63..64 the intraday time
// base, 65..66 the file number of F<n>.MWD, byte 70 the field set, and the first and last
// dates as 32-bit integers YYYYMMDD at 108..111 and 116..119.
constexpr std::size_t kXmasterCount = 10;
constexpr std::size_t kXmasterSymbol = 1;
constexpr std::size_t kXmasterSymbolLength = 15;
constexpr std::size_t kXmasterName = 16;
constexpr std::size_t kXmasterNameLength = 46;
constexpr std::size_t kXmasterPeriod = 62;
constexpr std::size_t kXmasterInterval = 63;
constexpr std::size_t kXmasterFileNumber = 65;
constexpr std::size_t kXmasterFields = 70;
constexpr std::size_t kXmasterFirstDate = 108;
constexpr std::size_t kXmasterLastDate = 116;
// The usual record when the field set says nothing: DATE OPEN HIGH LOW CLOSE VOL OI.
constexpr int kXmasterDefaultFields = 7;

// MASTER: byte 33 the period, bytes 34..35 the intraday time base; bytes 25..32 the first
// and last dates.
constexpr std::size_t kMasterPeriod = 33;
constexpr std::size_t kMasterInterval = 34;
constexpr std::size_t kMasterFirstDate = 25;
constexpr std::size_t kMasterLastDate = 29;

std::uint16_t Little16(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

std::uint32_t Little32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

// A text field: up to its first NUL byte, trailing blanks removed.
std::string FieldText(const std::uint8_t* at, std::size_t width) {
  const auto* begin = reinterpret_cast<const char*>(at);
  std::string text(begin, std::find(begin, begin + width, '\0'));
  TrimTrailingBlanks(text);
  return text;
}

// A symbol as the security list shows it: up to its first blank, control or character
// outside 7-bit ASCII.
std::string ListSymbol(std::string_view field) {
  const auto end = std::find_if(field.begin(), field.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 32 || u >= 128;
  });
  return std::string(field.begin(), end);
}

void PutField(MasterRecord& record, std::size_t offset, std::string_view text) {
  for (std::size_t i = 0; i < 16; ++i)
    record.bytes[offset + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : ' ';
}

// An XMASTER date (YYYYMMDD) as MASTER keeps its dates: 1YYMMDD (years since 1900), stored
// as an IEEE single. What is no date of the years MASTER can hold gives 0.
void PutDate(MasterRecord& record, std::size_t offset, std::uint32_t yyyymmdd) {
  constexpr std::uint32_t kFirst = 19000101;
  constexpr std::uint32_t kLast = 28991231;
  const float value =
      yyyymmdd >= kFirst && yyyymmdd <= kLast ? static_cast<float>(yyyymmdd - 19000000) : 0.0f;
  const auto bits = std::bit_cast<std::uint32_t>(value);
  for (std::size_t i = 0; i < 4; ++i)
    record.bytes[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

// How an index file is taken. The list takes it whole or refuses it, so that a broken copy
// is told as broken; the search takes the whole records it holds, so that it never finds
// less than the classic search would.
enum class Reading { Whole, Present };

// `count` records of `size` bytes after a header of the same size: all of them or nothing,
// or as many as are present. The file's size is checked before anything is allocated.
bool ReadRecords(QuoteFile& file, std::size_t size, std::size_t& count,
                 std::vector<std::uint8_t>& out, Reading reading) {
  const std::int64_t bytes = file.size();
  if (bytes < 0) return false;
  const auto present = static_cast<std::uint64_t>(bytes) / size;
  if (present < count + 1) {
    if (reading == Reading::Whole) return false;
    count = present > 0 ? static_cast<std::size_t>(present - 1) : 0;
  }
  out.resize(count * size);
  return file.seek(static_cast<std::int64_t>(size)) && file.readExact(out.data(), out.size());
}

IndexedSecurity FromMasterRecord(const MasterRecord& record) {
  IndexedSecurity entry;
  entry.record = record;
  entry.symbol = ListSymbol(record.symbolField());
  entry.name = record.name();
  entry.fileNumber = record.fileNumber();
  entry.recordLength = record.recordLength();
  entry.fieldCount = record.fieldCount();
  entry.directory = record.isDirectory();
  entry.period = static_cast<char>(record.bytes[kMasterPeriod]);
  entry.interval = Little16(&record.bytes[kMasterInterval]);
  return entry;
}

std::string DirectoryOf(std::string_view path, std::string& fileName) {
  std::string normalised(path);
  std::replace(normalised.begin(), normalised.end(), '\\', '/');
  const std::size_t slash = normalised.rfind('/');
  std::string directory = slash == std::string::npos ? "" : normalised.substr(0, slash + 1);
  fileName = normalised.substr(directory.size());
  return directory;
}

// MASTER records, reals at bytes 25..32 converted as FindSecurity gives them. The list takes
// at most 255 of them; the search, like FindSecurity, every one.
ResultCode ReadMasterRecords(const std::string& path, std::vector<IndexedSecurity>& index,
                             Reading reading) {
  QuoteFile file;
  if (!file.open(path)) return kFileOpen;
  std::int16_t count = 0;
  if (!ReadMasterHeader(file, count) || count < 0)
    return reading == Reading::Whole ? kFileRead : kSuccess;
  auto listed = static_cast<std::size_t>(
      reading == Reading::Whole ? std::min<int>(count, kMaxIndexedMasterRecords) : count);
  std::vector<std::uint8_t> records;
  if (!ReadRecords(file, kMasterRecordSize, listed, records, reading)) return kFileRead;
  index.reserve(index.size() + listed);
  for (std::size_t i = 0; i < listed; ++i) {
    MasterRecord record;
    std::memcpy(record.bytes.data(), records.data() + i * kMasterRecordSize, kMasterRecordSize);
    MbfToIeee(&record.bytes[kMasterFirstDate], &record.bytes[kMasterFirstDate]);
    MbfToIeee(&record.bytes[kMasterLastDate], &record.bytes[kMasterLastDate]);
    index.push_back(FromMasterRecord(record));
  }
  return kSuccess;
}

// What EMASTER adds to the MASTER record of the same file number.
struct EmasterFacts {
  std::string longName;
  std::uint8_t fieldBits = 0;
};

// EMASTER's long names and field sets by file number; an absent EMASTER gives none.
ResultCode ReadEmaster(const std::string& directory, std::unordered_map<int, EmasterFacts>& facts,
                       Reading reading) {
  QuoteFile file;
  if (!file.open(ResolveInDirectory(directory, kEmasterFileName))) return kSuccess;
  std::array<std::uint8_t, kEmasterRecordSize> header{};
  if (!file.readExact(header.data(), header.size())) return kFileRead;
  const auto count = static_cast<std::int16_t>(Little16(header.data()));
  if (count < 0) return kFileRead;
  auto listed = static_cast<std::size_t>(count);
  std::vector<std::uint8_t> records;
  if (!ReadRecords(file, kEmasterRecordSize, listed, records, reading)) return kFileRead;
  for (std::size_t i = 0; i < listed; ++i) {
    const std::uint8_t* record = records.data() + i * kEmasterRecordSize;
    facts.emplace(
        record[kEmasterFileNumber],
        EmasterFacts{FieldText(record + kEmasterLongName, kEmasterRecordSize - kEmasterLongName),
                     record[kEmasterFields]});
  }
  return kSuccess;
}

IndexedSecurity FromXmasterRecord(const std::uint8_t* at) {
  IndexedSecurity entry;
  const std::string symbolText = FieldText(at + kXmasterSymbol, kXmasterSymbolLength);
  entry.symbol = ListSymbol(symbolText);
  entry.name = FieldText(at + kXmasterName, kXmasterNameLength);
  entry.fileNumber = Little16(at + kXmasterFileNumber);
  entry.fieldBits = at[kXmasterFields];
  const int bits = std::popcount(static_cast<unsigned>(entry.fieldBits));
  entry.fieldCount = bits > 0 ? bits : kXmasterDefaultFields;
  entry.recordLength = 4 * entry.fieldCount;
  entry.period = static_cast<char>(at[kXmasterPeriod]);
  entry.interval = Little16(at + kXmasterInterval);
  entry.xmaster = true;
  // The record a MASTER file would hold for it, so that matching, the series' info block
  // and the dates shown treat both kinds alike.
  MasterRecord& record = entry.record;
  record.bytes.fill(0);
  record.bytes[0] = static_cast<std::uint8_t>(entry.fileNumber & 0xFF);
  record.bytes[3] = static_cast<std::uint8_t>(entry.recordLength);
  record.bytes[4] = static_cast<std::uint8_t>(entry.fieldCount);
  PutField(record, 7, entry.name);
  PutDate(record, kMasterFirstDate, Little32(at + kXmasterFirstDate));
  PutDate(record, kMasterLastDate, Little32(at + kXmasterLastDate));
  record.bytes[kMasterPeriod] = static_cast<std::uint8_t>(entry.period);
  PutField(record, 36, symbolText);
  return entry;
}

// The securities of XMASTER; an absent XMASTER gives none.
ResultCode ReadXmaster(const std::string& directory, std::vector<IndexedSecurity>& index,
                       Reading reading) {
  QuoteFile file;
  if (!file.open(ResolveInDirectory(directory, kXmasterFileName))) return kSuccess;
  std::array<std::uint8_t, kXmasterRecordSize> header{};
  if (!file.readExact(header.data(), header.size())) return kFileRead;
  std::size_t count = Little16(header.data() + kXmasterCount);
  std::vector<std::uint8_t> records;
  if (!ReadRecords(file, kXmasterRecordSize, count, records, reading)) return kFileRead;
  index.reserve(index.size() + count);
  for (std::size_t i = 0; i < count; ++i)
    index.push_back(FromXmasterRecord(records.data() + i * kXmasterRecordSize));
  return kSuccess;
}

// MASTER's entries (already in `index`) with EMASTER's long names and field sets, then
// XMASTER's securities.
ResultCode CompleteIndex(const std::string& directory, std::vector<IndexedSecurity>& index,
                         Reading reading) {
  std::unordered_map<int, EmasterFacts> facts;
  if (const ResultCode rc = ReadEmaster(directory, facts, reading);
      rc != kSuccess && reading == Reading::Whole)
    return rc;
  for (auto& entry : index) {
    if (entry.directory) continue;
    const auto it = facts.find(entry.fileNumber);
    if (it == facts.end()) continue;
    if (!it->second.longName.empty()) entry.name = it->second.longName;
    entry.fieldBits = it->second.fieldBits;
  }
  return ReadXmaster(directory, index, reading);
}

// The index of one directory as the search takes it: every record each index file holds,
// MASTER optional, a broken EMASTER or XMASTER read as far as it goes.
void ReadSearchIndex(const std::string& directory, std::vector<IndexedSecurity>& index) {
  index.clear();
  ReadMasterRecords(ResolveInDirectory(directory, kMasterFileName), index, Reading::Present);
  CompleteIndex(directory, index, Reading::Present);
}

// One extended search of a tree: each directory's index, then its subdirectories depth
// first, every directory at most once.
class IndexSearch {
 public:
  IndexSearch(std::string_view key, IndexedSecurity& entry, std::string& foundDirectory)
      : key_(key), entry_(entry), foundDirectory_(foundDirectory) {}

  bool enter(const DirectoryId& id) { return entered_.insert(id).second; }

  bool visit(const std::string& path, int depth) {
    // Only the names of the level's directory entries are kept while deeper levels are
    // searched, not its whole index.
    std::vector<std::string> subdirectories;
    {
      std::vector<IndexedSecurity> index;
      ReadSearchIndex(path, index);
      for (auto& candidate : index) {
        if (candidate.directory) {
          subdirectories.push_back(candidate.record.directoryName());
        } else if (IndexedSecurityMatches(candidate, key_)) {
          entry_ = std::move(candidate);
          foundDirectory_ = path;
          return true;
        }
      }
    }
    if (depth >= kMaxSearchDepth) return false;
    std::unique_ptr<DirectoryListing> listing;
    for (const std::string& name : subdirectories) {
      std::string subdirectory;
      DirectoryId identity;
      if (!IsPlainDirectoryName(name) ||
          !FindSubdirectory(path, name, listing, subdirectory, identity) || !enter(identity))
        continue;
      if (visit(subdirectory + '/', depth + 1)) return true;
    }
    return false;
  }

 private:
  std::string_view key_;
  IndexedSecurity& entry_;
  std::string& foundDirectory_;
  std::set<DirectoryId> entered_;
};

using F = SeriesField;

constexpr int Index(F f) { return static_cast<int>(f); }

// Daily records without a layout file: seven fields have one documented layout; five and six
// have two readings in the wild, the more common one first (it wins a tie).
constexpr F kSeven[] = {F::Date, F::Open, F::High, F::Low, F::Close, F::Volume, F::OpenInterest};
constexpr F kFiveA[] = {F::Date, F::Open, F::High, F::Low, F::Close};
constexpr F kFiveB[] = {F::Date, F::High, F::Low, F::Close, F::Volume};
constexpr F kSixA[] = {F::Date, F::Open, F::High, F::Low, F::Close, F::Volume};
constexpr F kSixB[] = {F::Date, F::High, F::Low, F::Close, F::Volume, F::OpenInterest};

// The layouts records of this shape may have when nothing but their field count and period
// tells: TIME after DATE for intraday records and for eight fields (the one documented
// eight-field layout), followed by the fields of a daily record of one field fewer. Returns
// how many there are.
int CandidateLayouts(int recordLength, int fieldCount, bool intraday,
                     std::array<DataLayout, 2>& layouts) {
  if (fieldCount < 1 || recordLength < 4 * fieldCount || recordLength > kMaxRecordLength) return 0;
  const bool time = intraday || fieldCount == 8;
  const int daily = time ? fieldCount - 1 : fieldCount;
  std::array<const F*, 2> readings{};
  int count = 0;
  switch (daily) {
    case 5:
      readings = {kFiveA, kFiveB};
      count = 2;
      break;
    case 6:
      readings = {kSixA, kSixB};
      count = 2;
      break;
    case 7:
      readings = {kSeven, nullptr};
      count = 1;
      break;
    default:
      return 0;
  }
  for (int r = 0; r < count; ++r) {
    DataLayout& layout = layouts[static_cast<std::size_t>(r)];
    layout = DataLayout{};
    std::int16_t position = 1;
    for (int k = 0; k < daily; ++k) {
      layout.position[Index(readings[static_cast<std::size_t>(r)][k])] = position++;
      if (k == 0 && time) layout.position[Index(F::Time)] = position++;
    }
  }
  return count;
}

// Whether one bar makes sense under a layout: high at least low, open (where there is one)
// and close between them.
bool BarFits(const float* slot, const DataLayout& layout) {
  const auto at = [&](F f) { return layout.position[Index(f)]; };
  const float high = slot[at(F::High)];
  const float low = slot[at(F::Low)];
  const float close = slot[at(F::Close)];
  if (!std::isfinite(high) || !std::isfinite(low) || !std::isfinite(close)) return false;
  if (!(high >= low) || !(close >= low) || !(close <= high)) return false;
  if (const int open = at(F::Open); open != 0) {
    const float o = slot[open];
    if (!std::isfinite(o) || !(o >= low) || !(o <= high)) return false;
  }
  return true;
}

std::string DataFileName(const IndexedSecurity& entry, SecurityFileKind kind) {
  return SecurityFileName(entry.fileNumber, kind);
}

// Why no layout fits a security that has neither a layout file nor a usable field set.
std::string NothingFits(const IndexedSecurity& entry) {
  std::string why = "no layout fits " + std::to_string(entry.fieldCount) + " fields";
  if (entry.period == 'I') why += " of intraday data";
  why += " in records of " + std::to_string(entry.recordLength) +
         " bytes: " + DataFileName(entry, SecurityFileKind::Layout) +
         " is missing or names no field, ";
  why += entry.fieldBits == 0 ? "the index holds no field set"
                              : "the index's field set does not agree with the field count";
  return why + ", and without them only 5 to 8 fields of 4 bytes each are read";
}

}  // namespace

ResultCode ReadSecurityIndex(std::string_view masterPath, std::vector<IndexedSecurity>& index) {
  index.clear();
  std::string fileName;
  const std::string directory = DirectoryOf(masterPath, fileName);
  // Opening EMASTER or XMASTER opens the directory: its MASTER is then optional.
  const bool viaOtherIndex =
      EqualFoldedAscii(fileName, kEmasterFileName) || EqualFoldedAscii(fileName, kXmasterFileName);
  const std::string master =
      viaOtherIndex ? ResolveInDirectory(directory, kMasterFileName) : std::string(masterPath);

  ResultCode rc = ReadMasterRecords(master, index, Reading::Whole);
  if (rc == kFileOpen && viaOtherIndex) rc = kSuccess;
  if (rc == kSuccess) rc = CompleteIndex(directory, index, Reading::Whole);
  if (rc != kSuccess) index.clear();
  return rc;
}

bool IndexedSecurityMatches(const IndexedSecurity& entry, std::string_view key) {
  if (entry.directory) return false;
  return SecurityMatches(entry.record, key) ||
         (!entry.name.empty() && EqualFoldedAscii(entry.name, key));
}

ResultCode FindIndexedSecurity(std::string_view directory, std::string_view key,
                               IndexedSecurity& entry, std::string& foundDirectory) {
  const std::string top = NormaliseDirectory(directory);
  if (top.find('\0') != std::string::npos) return kFileNotFound;
  IndexSearch search(key, entry, foundDirectory);
  if (DirectoryId id; IdentifyDirectory(top, id)) search.enter(id);
  return search.visit(top, 0) ? kSuccess : kFileNotFound;
}

bool LayoutFromFieldBits(std::uint8_t bits, int fieldCount, DataLayout& layout) {
  if ((bits & kFieldBit[Index(F::Date)]) == 0 || std::popcount(bits) != fieldCount) return false;
  layout = DataLayout{};
  std::int16_t position = 1;
  // SeriesField lists the fields in the order records store them.
  for (int f = 0; f < kFieldNameCount; ++f)
    if ((bits & kFieldBit[static_cast<std::size_t>(f)]) != 0) layout.position[f] = position++;
  return true;
}

int InferableLayouts(int recordLength, int fieldCount, bool intraday) {
  std::array<DataLayout, 2> layouts;
  return CandidateLayouts(recordLength, fieldCount, intraday, layouts);
}

bool InferDataLayout(std::span<const std::uint8_t> records, int recordLength, int fieldCount,
                     DataLayout& layout, bool intraday) {
  std::array<DataLayout, 2> readings;
  const int count = CandidateLayouts(recordLength, fieldCount, intraday, readings);
  if (count == 0) return false;
  if (count == 1) {
    layout = readings[0];
    return true;
  }

  // Each bar votes for every reading under which it makes sense. A flat bar makes sense
  // under both and so cannot tip the balance; a few broken bars only cost a few votes.
  std::array<long, 2> votes{};
  const auto L = static_cast<std::size_t>(recordLength);
  float slot[kMaxRecordFields + 1];
  slot[0] = -1.0f;
  for (std::size_t at = 0; at + L <= records.size(); at += L) {
    for (int f = 1; f <= fieldCount; ++f) {
      std::uint8_t ieee[4];
      MbfToIeee(records.data() + at + 4 * static_cast<std::size_t>(f - 1), ieee);
      std::memcpy(&slot[f], ieee, 4);
    }
    for (std::size_t r = 0; r < readings.size(); ++r)
      if (BarFits(slot, readings[r])) ++votes[r];
  }
  layout = votes[1] > votes[0] ? readings[1] : readings[0];
  return true;
}

ResultCode ReadIndexedSecurity(PriceSeries& series, std::string_view directory,
                               const IndexedSecurity& entry, std::string_view key,
                               std::int32_t start, std::int16_t count, std::int16_t allocate,
                               const DirectoryListing* listing) {
  if (entry.directory) return kFileNotFound;
  const std::string found = NormaliseDirectory(directory);
  SecurityFiles files;
  files.directory = found;
  files.record = &entry.record;
  files.fileNumber = entry.fileNumber;
  files.recordLength = entry.recordLength;
  files.fieldCount = entry.fieldCount;
  files.mwd = entry.xmaster;
  files.extended = true;
  files.fieldBits = entry.fieldBits;
  files.intraday = entry.period == 'I';
  files.listing = listing;
  return ReadSecurityFiles(series, files, key, start, count, allocate);
}

UnopenableFile FindUnopenableIndexedFile(std::string_view directory, std::string_view key) {
  IndexedSecurity entry;
  std::string found;
  if (FindIndexedSecurity(directory, key, entry, found) != kSuccess) return {};
  std::string path = ResolveInDirectory(
      found,
      DataFileName(entry, entry.xmaster ? SecurityFileKind::XmasterData : SecurityFileKind::Data));
  QuoteFile file;
  errno = 0;
  if (file.open(path)) return {};
  return {std::move(path), errno};
}

std::string DescribeUnreadableShape(std::string_view directory, std::string_view key) {
  IndexedSecurity entry;
  std::string found;
  if (FindIndexedSecurity(directory, key, entry, found) != kSuccess) return {};
  // The layout the reader takes, and what gave it, in the order the reader looks.
  DataLayout layout;
  std::string source = DataFileName(entry, SecurityFileKind::Layout);
  if (ReadDataLayout(ResolveInDirectory(found, source), layout) != kSuccess ||
      LayoutNamesNoField(layout)) {
    const bool intraday = entry.period == 'I';
    if (LayoutFromFieldBits(entry.fieldBits, entry.fieldCount, layout))
      source = "the index's field set";
    else if (InferDataLayout({}, entry.recordLength, entry.fieldCount, layout, intraday))
      source = "the field count";
    else
      return NothingFits(entry);
  }
  const char* problem = RecordShapeProblem(entry.recordLength, entry.fieldCount, layout);
  if (problem == nullptr) return {};
  return std::to_string(entry.fieldCount) + " fields in records of " +
         std::to_string(entry.recordLength) + " bytes, laid out by " + source + ": " + problem;
}

std::string DescribeRecordCount(std::string_view directory, std::string_view key, bool extended) {
  IndexedSecurity entry;
  std::string found;
  if (extended) {
    if (FindIndexedSecurity(directory, key, entry, found) != kSuccess) return {};
  } else {
    MasterRecord record;
    if (FindSecurity(directory, key, record, found) != kSuccess) return {};
    entry = FromMasterRecord(record);
  }
  const std::string path = ResolveInDirectory(found, DataFileName(entry, SecurityFileKind::Data));
  QuoteFile data;
  std::uint8_t header[4];
  if (!data.open(path) || entry.recordLength <= 0) return {};
  const std::int64_t size = data.size();
  const std::int64_t held = size / entry.recordLength - 1;
  if (held <= 0) return path + " holds no records";
  if (!data.seek(0) || !data.readExact(header, sizeof header)) return {};
  const unsigned stored = header[2] | unsigned{header[3]} << 8;
  const std::string holds = "the file holds " + std::to_string(held);
  if (stored == 0 && !extended)
    return "the header of " + path + " counts 0 records where " + holds + "; --extended reads them";
  if (stored == 1) return "the header of " + path + " counts no records where " + holds;
  // The classic reading takes the count as a signed number: past 32767 it counts none.
  if (!extended && stored > 32767)
    return "the header of " + path + " counts " + std::to_string(stored) +
           " records, more than the classic reading takes, where " + holds +
           "; --extended reads them";
  return {};
}

bool OnlyLayoutFileMissing(std::string_view directory, std::string_view key) {
  MasterRecord record;
  std::string found;
  if (FindSecurity(directory, key, record, found) != kSuccess) return false;
  IndexedSecurity entry = FromMasterRecord(record);
  QuoteFile layoutFile;
  errno = 0;
  if (layoutFile.open(ResolveInDirectory(found, DataFileName(entry, SecurityFileKind::Layout))) ||
      errno != ENOENT)
    return false;
  // The field set EMASTER keeps for it.
  std::vector<IndexedSecurity> index;
  ReadSearchIndex(found, index);
  for (const auto& candidate : index) {
    if (!candidate.xmaster && !candidate.directory && candidate.fileNumber == entry.fileNumber &&
        candidate.record.symbolField() == record.symbolField()) {
      entry.fieldBits = candidate.fieldBits;
      break;
    }
  }
  PriceSeries series;
  const ResultCode rc = ReadIndexedSecurity(series, found, entry, key, 0, 0, 1);
  ReleasePriceSeries(series);
  return rc == kSuccess;
}

ResultCode ReadSecurityExtended(PriceSeries& series, std::string_view directory,
                                std::string_view key, std::int32_t start, std::int16_t count,
                                std::int16_t allocate) {
  IndexedSecurity entry;
  std::string found;
  if (const ResultCode rc = FindIndexedSecurity(directory, key, entry, found); rc != kSuccess)
    return rc;
  return ReadIndexedSecurity(series, found, entry, key, start, count, allocate);
}
