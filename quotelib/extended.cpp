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
#include <unordered_map>

#include "quote_file.h"
#include "values.h"

namespace {

// EMASTER: header and records of 192 bytes; header bytes 0..1 the count. In a record byte 2
// is the file number and bytes 139..191 a NUL-ended long name, filled where the name is
// longer than the 16 characters MASTER keeps.
constexpr std::size_t kEmasterFileNumber = 2;
constexpr std::size_t kEmasterLongName = 139;

// XMASTER: header and records of 150 bytes; header bytes 10..11 the count. In a record bytes
// 1..15 the symbol, 16..61 the name (NUL-ended), 65..66 the file number of F<n>.MWD and byte
// 70 one bit for each field of the data records.
constexpr std::size_t kXmasterCount = 10;
constexpr std::size_t kXmasterSymbol = 1;
constexpr std::size_t kXmasterSymbolLength = 15;
constexpr std::size_t kXmasterName = 16;
constexpr std::size_t kXmasterNameLength = 46;
constexpr std::size_t kXmasterFileNumber = 65;
constexpr std::size_t kXmasterFields = 70;
// The usual record when the field bits say nothing: DATE OPEN HIGH LOW CLOSE VOL OI.
constexpr int kXmasterDefaultFields = 7;

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualFolded(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldCase(x) == FoldCase(y);
         });
}

std::uint16_t Little16(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

// A text field: up to its first NUL byte, trailing blanks removed.
std::string FieldText(const std::uint8_t* at, std::size_t width) {
  const auto* begin = reinterpret_cast<const char*>(at);
  std::string text(begin, std::find(begin, begin + width, '\0'));
  TrimTrailingBlanks(text);
  return text;
}

// A symbol as the security list shows it: up to its first blank, control character or
// character outside 7-bit ASCII.
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

// `count` records of `size` bytes after a header of the same size, all of them or nothing:
// the file's size is checked before anything is allocated for them.
bool ReadRecords(QuoteFile& file, std::size_t size, std::size_t count,
                 std::vector<std::uint8_t>& out) {
  const std::int64_t bytes = file.size();
  if (bytes < 0 || static_cast<std::uint64_t>(bytes) / size < count + 1) return false;
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

// MASTER records (at most 255), reals at bytes 25..32 converted as FindSecurity gives them.
ResultCode ReadMasterRecords(const std::string& path, std::vector<IndexedSecurity>& index) {
  QuoteFile file;
  if (!file.open(path)) return kFileOpen;
  std::array<std::uint8_t, kMasterRecordSize> header{};
  if (!file.readExact(header.data(), header.size())) return kFileRead;
  const auto count = static_cast<std::int16_t>(Little16(header.data()));
  if (count < 0) return kFileRead;
  const auto listed = static_cast<std::size_t>(std::min<int>(count, kMaxIndexedMasterRecords));
  std::vector<std::uint8_t> records;
  if (!ReadRecords(file, kMasterRecordSize, listed, records)) return kFileRead;
  for (std::size_t i = 0; i < listed; ++i) {
    MasterRecord record;
    std::memcpy(record.bytes.data(), records.data() + i * kMasterRecordSize, kMasterRecordSize);
    MbfToIeee(&record.bytes[25], &record.bytes[25]);
    MbfToIeee(&record.bytes[29], &record.bytes[29]);
    index.push_back(FromMasterRecord(record));
  }
  return kSuccess;
}

// Long names of EMASTER by file number; an absent EMASTER gives none.
ResultCode ReadLongNames(const std::string& directory,
                         std::unordered_map<int, std::string>& longNames) {
  QuoteFile file;
  if (!file.open(ResolveInDirectory(directory, "EMASTER"))) return kSuccess;
  std::array<std::uint8_t, kEmasterRecordSize> header{};
  if (!file.readExact(header.data(), header.size())) return kFileRead;
  const auto count = static_cast<std::int16_t>(Little16(header.data()));
  if (count < 0) return kFileRead;
  std::vector<std::uint8_t> records;
  if (!ReadRecords(file, kEmasterRecordSize, static_cast<std::size_t>(count), records))
    return kFileRead;
  for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
    const std::uint8_t* record = records.data() + i * kEmasterRecordSize;
    std::string name = FieldText(record + kEmasterLongName, kEmasterRecordSize - kEmasterLongName);
    if (!name.empty()) longNames.emplace(record[kEmasterFileNumber], std::move(name));
  }
  return kSuccess;
}

// The securities of XMASTER; an absent XMASTER gives none.
ResultCode ReadXmaster(const std::string& directory, std::vector<IndexedSecurity>& index) {
  QuoteFile file;
  if (!file.open(ResolveInDirectory(directory, "XMASTER"))) return kSuccess;
  std::array<std::uint8_t, kXmasterRecordSize> header{};
  if (!file.readExact(header.data(), header.size())) return kFileRead;
  const std::size_t count = Little16(header.data() + kXmasterCount);
  std::vector<std::uint8_t> records;
  if (!ReadRecords(file, kXmasterRecordSize, count, records)) return kFileRead;
  index.reserve(index.size() + count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* at = records.data() + i * kXmasterRecordSize;
    IndexedSecurity entry;
    const std::string symbolText = FieldText(at + kXmasterSymbol, kXmasterSymbolLength);
    entry.symbol = ListSymbol(symbolText);
    entry.name = FieldText(at + kXmasterName, kXmasterNameLength);
    entry.fileNumber = Little16(at + kXmasterFileNumber);
    const int bits = std::popcount(static_cast<unsigned>(at[kXmasterFields]));
    entry.fieldCount = bits > 0 ? bits : kXmasterDefaultFields;
    entry.recordLength = 4 * entry.fieldCount;
    entry.xmaster = true;
    // The record a MASTER file would hold for it, so that matching and the series' info
    // block treat both kinds alike.
    MasterRecord& record = entry.record;
    record.bytes.fill(0);
    record.bytes[0] = static_cast<std::uint8_t>(entry.fileNumber & 0xFF);
    record.bytes[3] = static_cast<std::uint8_t>(entry.recordLength);
    record.bytes[4] = static_cast<std::uint8_t>(entry.fieldCount);
    PutField(record, 7, entry.name);
    PutField(record, 36, symbolText);
    index.push_back(std::move(entry));
  }
  return kSuccess;
}

using Reading = std::array<SeriesField, 8>;

void SetLayout(DataLayout& layout, const SeriesField* fields, int count) {
  layout = DataLayout{};
  for (int p = 0; p < count; ++p)
    layout.position[static_cast<int>(fields[p])] = static_cast<std::int16_t>(p + 1);
}

// Whether one bar makes sense under a layout: high at least low, open (where there is one)
// and close between them.
bool BarFits(const float* slot, const DataLayout& layout) {
  const auto at = [&](SeriesField f) { return layout.position[static_cast<int>(f)]; };
  const float high = slot[at(SeriesField::High)];
  const float low = slot[at(SeriesField::Low)];
  const float close = slot[at(SeriesField::Close)];
  if (!std::isfinite(high) || !std::isfinite(low) || !std::isfinite(close)) return false;
  if (!(high >= low) || !(close >= low) || !(close <= high)) return false;
  if (const int open = at(SeriesField::Open); open != 0) {
    const float o = slot[open];
    if (!std::isfinite(o) || !(o >= low) || !(o <= high)) return false;
  }
  return true;
}

}  // namespace

ResultCode ReadSecurityIndex(std::string_view masterPath, std::vector<IndexedSecurity>& index) {
  index.clear();
  std::string fileName;
  const std::string directory = DirectoryOf(masterPath, fileName);
  // Opening EMASTER or XMASTER opens the directory: its MASTER is then optional.
  const bool viaOtherIndex = EqualFolded(fileName, "emaster") || EqualFolded(fileName, "xmaster");
  const std::string master =
      viaOtherIndex ? ResolveInDirectory(directory, "MASTER") : std::string(masterPath);

  ResultCode rc = ReadMasterRecords(master, index);
  if (rc == kFileOpen && viaOtherIndex) rc = kSuccess;
  if (rc != kSuccess) {
    index.clear();
    return rc;
  }
  std::unordered_map<int, std::string> longNames;
  rc = ReadLongNames(directory, longNames);
  if (rc == kSuccess) {
    for (auto& entry : index) {
      if (entry.directory) continue;
      if (const auto it = longNames.find(entry.fileNumber); it != longNames.end())
        entry.name = it->second;
    }
    rc = ReadXmaster(directory, index);
  }
  if (rc != kSuccess) index.clear();
  return rc;
}

bool IndexedSecurityMatches(const IndexedSecurity& entry, std::string_view key) {
  if (entry.directory) return false;
  return SecurityMatches(entry.record, key) ||
         (!entry.name.empty() && EqualFolded(entry.name, key));
}

ResultCode FindIndexedSecurity(std::string_view directory, std::string_view key,
                               IndexedSecurity& entry, std::string& foundDirectory) {
  const std::string top = NormaliseDirectory(directory);
  if (top.size() > kMaxPathLength || top.find('\0') != std::string::npos) return kFileNotFound;
  std::vector<IndexedSecurity> index;
  if (ReadSecurityIndex(ResolveInDirectory(top, "master"), index) == kSuccess) {
    for (auto& candidate : index) {
      if (!IndexedSecurityMatches(candidate, key)) continue;
      entry = std::move(candidate);
      foundDirectory = top;
      return kSuccess;
    }
  }

  // Deeper in the tree the classic search finds it; its directory's EMASTER names it.
  MasterRecord record;
  std::string found;
  if (const ResultCode rc = FindSecurity(directory, key, record, found); rc != kSuccess) return rc;
  entry = FromMasterRecord(record);
  if (found != top && ReadSecurityIndex(ResolveInDirectory(found, "master"), index) == kSuccess) {
    for (const auto& candidate : index) {
      if (!candidate.xmaster && !candidate.directory && candidate.fileNumber == entry.fileNumber &&
          candidate.record.symbolField() == record.symbolField()) {
        entry.name = candidate.name;
        break;
      }
    }
  }
  foundDirectory = std::move(found);
  return kSuccess;
}

bool InferDataLayout(std::span<const std::uint8_t> records, int recordLength, int fieldCount,
                     DataLayout& layout) {
  using F = SeriesField;
  static constexpr F kSeven[] = {F::Date,  F::Open,   F::High,        F::Low,
                                 F::Close, F::Volume, F::OpenInterest};
  static constexpr F kEight[] = {F::Date, F::Time,  F::Open,   F::High,
                                 F::Low,  F::Close, F::Volume, F::OpenInterest};
  // The two readings found in the wild, the more common one first: it wins a tie.
  static constexpr F kFiveA[] = {F::Date, F::Open, F::High, F::Low, F::Close};
  static constexpr F kFiveB[] = {F::Date, F::High, F::Low, F::Close, F::Volume};
  static constexpr F kSixA[] = {F::Date, F::Open, F::High, F::Low, F::Close, F::Volume};
  static constexpr F kSixB[] = {F::Date, F::High, F::Low, F::Close, F::Volume, F::OpenInterest};

  if (recordLength < 4 * fieldCount || recordLength > kMaxRecordLength) return false;
  switch (fieldCount) {
    case 7:
      SetLayout(layout, kSeven, 7);
      return true;
    case 8:
      SetLayout(layout, kEight, 8);
      return true;
    case 5:
    case 6:
      break;
    default:
      return false;
  }
  std::array<DataLayout, 2> readings;
  SetLayout(readings[0], fieldCount == 5 ? kFiveA : kSixA, fieldCount);
  SetLayout(readings[1], fieldCount == 5 ? kFiveB : kSixB, fieldCount);

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
  files.listing = listing;
  return ReadSecurityFiles(series, files, key, start, count, allocate);
}

UnopenableFile FindUnopenableIndexedFile(std::string_view directory, std::string_view key) {
  IndexedSecurity entry;
  std::string found;
  if (FindIndexedSecurity(directory, key, entry, found) != kSuccess || entry.directory) return {};
  const std::string number = "F" + std::to_string(entry.fileNumber);
  const bool inferable = entry.fieldCount >= 5 && entry.fieldCount <= 8;
  for (const char* extension : {".DOP", entry.xmaster ? ".MWD" : ".DAT"}) {
    std::string path = ResolveInDirectory(found, number + extension);
    QuoteFile file;
    errno = 0;
    if (file.open(path)) continue;
    if (std::string_view(extension) == ".DOP" && inferable) continue;
    return {std::move(path), errno};
  }
  return {};
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
