// Security data files: the F<n>.DOP layout, the F<n>.DAT records and the price series that
// receives them.
//
// Everything read here comes from files written by other programs, so every number that
// sizes a buffer or indexes a record (record length, field count, field positions, the
// header's record count, the caller's start and count) is checked before it is used.

#include "series.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "database_files.h"
#include "extended.h"
#include "quote_file.h"
#include "values.h"

namespace {

constexpr const char* kKnownNames[kFieldNameCount] = {"DATE", "TIME",  "OPEN", "HIGH",
                                                      "LOW",  "CLOSE", "VOL",  "OI"};

// Storage of a series up to this many bytes is one block of whole bar records.
constexpr long kSingleBlockLimit = 65000;
constexpr int kBarRecordBytes = 28;

constexpr int Index(SeriesField f) { return static_cast<int>(f); }

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const auto a = static_cast<unsigned char>(text[i]);
    const auto b = static_cast<unsigned char>(prefix[i]);
    if ((a >= 'a' && a <= 'z' ? a - 32 : a) != (b >= 'a' && b <= 'z' ? b - 32 : b)) return false;
  }
  return true;
}

// Leading blanks, an optional sign, then digits up to the first other character; anything
// else reads as 0. The magnitude saturates instead of overflowing, and the result keeps the
// low 16 bits, as storing it in a 16-bit field would.
std::int16_t ParseItem(std::string_view piece) {
  std::size_t i = 0;
  while (i < piece.size() && (piece[i] == ' ' || piece[i] == '\t')) ++i;
  bool negative = false;
  if (i < piece.size() && (piece[i] == '+' || piece[i] == '-')) negative = piece[i++] == '-';
  long value = 0;
  for (; i < piece.size() && piece[i] >= '0' && piece[i] <= '9'; ++i)
    value = std::min(value * 10 + (piece[i] - '0'), 1L << 30);
  if (negative) value = -value;
  return static_cast<std::int16_t>(value);
}

void PutLittle16(std::uint8_t* at, std::int16_t v) {
  const auto u = static_cast<std::uint16_t>(v);
  at[0] = static_cast<std::uint8_t>(u & 0xFF);
  at[1] = static_cast<std::uint8_t>(u >> 8);
}

void CopyCut(std::string_view text, char* field, std::size_t width) {
  const std::size_t n = std::min(text.size(), width - 1);
  std::copy_n(text.begin(), n, field);  // an empty view may have no data pointer at all
  std::memset(field + n, 0, width - n);
}

template <class T>
void SetColumn(SeriesColumn<T>& column, void* storage, std::int16_t n, std::int16_t stride,
               std::int16_t offset) {
  column.storage = static_cast<T*>(storage);
  column.count = n;
  column.stride = stride;
  column.offset = offset;
}

template <class Fn>
void ForEachRealColumn(PriceSeries& s, Fn fn) {
  fn(s.open);
  fn(s.high);
  fn(s.low);
  fn(s.close);
  fn(s.volume);
  fn(s.openInterest);
}

// A file of the security `files` describes, found through their listing when they have one.
std::string FilePath(const SecurityFiles& files, SecurityFileKind kind) {
  const std::string directory(files.directory);
  const std::string name = SecurityFileName(files.fileNumber, kind);
  if (files.listing == nullptr) return ResolveInDirectory(directory, name);
  const std::string_view listed = files.listing->find(name);
  return directory + (listed.empty() ? name : std::string(listed));
}

// Data records the file holds: whole records after the header record.
std::int32_t PresentRecords(const QuoteFile& data, int recordLength) {
  const std::int64_t size = data.size();
  if (size < 0 || recordLength <= 0) return 0;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      size / recordLength - 1, 0, std::numeric_limits<std::int32_t>::max()));
}

// Evenly spread runs of records (the whole file when it is small), so that a decision taken
// from them is the same whichever bars are shown.
std::vector<std::uint8_t> SampleRecords(QuoteFile& data, int recordLength) {
  constexpr std::int32_t kRun = 32;
  constexpr std::int32_t kRuns = 32;
  const std::int32_t present = PresentRecords(data, recordLength);
  std::vector<std::uint8_t> sample;
  const auto L = static_cast<std::size_t>(recordLength);
  if (present <= kRun * kRuns) {
    sample.resize(static_cast<std::size_t>(present) * L);
    sample.resize(data.seek(recordLength) ? data.readSome(sample.data(), sample.size()) : 0);
    return sample;
  }
  sample.resize(static_cast<std::size_t>(kRun * kRuns) * L);
  std::size_t got = 0;
  for (std::int32_t r = 0; r < kRuns; ++r) {
    const std::int64_t first = static_cast<std::int64_t>(present - kRun) * r / (kRuns - 1);
    if (!data.seek(static_cast<std::int64_t>(recordLength) * (first + 1))) break;
    got += data.readSome(sample.data() + got, static_cast<std::size_t>(kRun) * L) / L * L;
  }
  sample.resize(got);
  return sample;
}

// The extended reading's layout for a security without a usable layout file: from the
// index's field set, else from the field count and period, where two readings are possible
// decided by a sample of the records (`data` is then opened at `path` and left open for the
// read). -1 when nothing fits, -2 when the records that must decide cannot be opened.
ResultCode LayoutWithoutFile(QuoteFile& data, const std::string& path, const SecurityFiles& files,
                             DataLayout& layout) {
  if (LayoutFromFieldBits(files.fieldBits, files.fieldCount, layout)) return kSuccess;
  const int readings = InferableLayouts(files.recordLength, files.fieldCount, files.intraday);
  if (readings == 0) return kInvalidParm;
  std::vector<std::uint8_t> sample;
  if (readings > 1) {
    if (!data.open(path)) return kFileOpen;
    sample = SampleRecords(data, files.recordLength);
  }
  return InferDataLayout(sample, files.recordLength, files.fieldCount, layout, files.intraday)
             ? kSuccess
             : kInvalidParm;
}

}  // namespace

bool LayoutNamesNoField(const DataLayout& layout) {
  return std::all_of(layout.position.begin(), layout.position.end(),
                     [](std::int16_t p) { return p == 0; });
}

const char* RecordShapeProblem(int recordLength, int fieldCount, const DataLayout& layout) {
  if (fieldCount < 1 || fieldCount > kMaxRecordFields) return "a field count outside 1 to 19";
  if (recordLength < 4 * fieldCount || recordLength > kMaxRecordLength)
    return "a record length that cannot hold its fields (4 bytes each) or exceeds 76 bytes";
  for (const auto p : layout.position)
    if (p < 0 || p > fieldCount) return "a layout that names a field beyond the record";
  return nullptr;
}

ResultCode ReadDataLayout(const std::string& path, DataLayout& layout) {
  QuoteFile file;
  if (!file.open(path)) return kFileOpen;

  layout = DataLayout{};
  // Positions count recognised lines; a file of many thousands of lines must not wrap the
  // counter round to small numbers, so it stops at a value the reader refuses anyway.
  std::int16_t nextPosition = 1;
  std::string line;
  while (file.tell() < kMaxLayoutBytes && file.readLine(line, kDopLineLength)) {
    std::string_view pieces[3];
    std::string_view rest = line;
    for (int k = 0; k < 3; ++k) {
      const auto comma = rest.find(',');
      pieces[k] = rest.substr(0, comma);
      if (comma == std::string_view::npos) break;
      rest.remove_prefix(comma + 1);
    }
    // The opening quote is dropped by position, not by looking for it: a name written
    // without its quote loses its first letter.
    const std::string_view name = pieces[0].empty() ? pieces[0] : pieces[0].substr(1);
    for (int f = 0; f < kFieldNameCount; ++f) {
      if (!StartsWithIgnoringCase(name, kKnownNames[f])) continue;
      layout.position[f] = nextPosition;
      if (nextPosition < INT16_MAX) ++nextPosition;
      layout.second[f] = ParseItem(pieces[1]);
      layout.third[f] = ParseItem(pieces[2]);
      break;
    }
  }
  return kSuccess;
}

ResultCode AllocatePriceSeries(PriceSeries& series, std::int16_t n) {
  // A series that already holds storage gives it back first, so that reading with
  // allocation again and again does not leak.
  if (series.date.storage != nullptr || series.info != nullptr) ReleasePriceSeries(series);
  if (n < 0) return kInvalidParm;

  series.count = n;
  series.capacity = n;
  series.directory.fill('\0');
  series.key.fill('\0');
  series.fileRecords = 0;
  series.sourceKind = 0;
  series.infoLength = 0;
  series.info = nullptr;

  // Storage is never of size zero, so that an allocated series always has storage to
  // release and a failed allocation is told apart from an empty one.
  const std::size_t elements = n > 0 ? static_cast<std::size_t>(n) : 1;
  if (static_cast<long>(n) * kBarRecordBytes < kSingleBlockLimit) {
    if (void* block = std::calloc(elements, kBarRecordBytes)) {
      SetColumn(series.date, block, n, 14, 0);
      SetColumn(series.time, block, n, 14, 1);
      std::int16_t offset = 1;
      ForEachRealColumn(series, [&](auto& c) { SetColumn(c, block, n, 7, offset++); });
      return kSuccess;
    }
  }

  void* arrays[7] = {};
  for (int k = 0; k < 7; ++k) {
    arrays[k] = std::calloc(elements, 4);
    if (arrays[k] == nullptr) {
      while (k > 0) std::free(arrays[--k]);
      series.capacity = 0;
      return kMalloc;
    }
  }
  SetColumn(series.date, arrays[0], n, 2, 0);
  SetColumn(series.time, arrays[0], n, 2, 1);
  int k = 1;
  ForEachRealColumn(series, [&](auto& c) { SetColumn(c, arrays[k++], n, 1, 0); });
  return kSuccess;
}

ResultCode ReleasePriceSeries(PriceSeries& series) {
  std::free(series.date.storage);
  if (series.open.stride != 7) ForEachRealColumn(series, [](auto& c) { std::free(c.storage); });
  std::free(series.info);
  series = PriceSeries{};
  return kSuccess;
}

ResultCode SetPriceSeriesCount(PriceSeries& series, std::int16_t n) {
  if (n < 0) return kInvalidParm;
  if (series.capacity < n) return kMalloc;
  series.count = n;
  series.date.count = n;
  series.time.count = n;
  ForEachRealColumn(series, [n](auto& c) { c.count = n; });
  return kSuccess;
}

ResultCode AllocateRealColumn(SeriesColumn<float>& column, std::int16_t n) {
  if (n < 0) return kInvalidParm;
  auto* storage = static_cast<float*>(std::calloc(n > 0 ? static_cast<std::size_t>(n) : 1, 4));
  if (storage == nullptr) return kMalloc;
  SetColumn(column, storage, n, 1, 0);
  return kSuccess;
}

void ReleaseRealColumn(SeriesColumn<float>& column) {
  std::free(column.storage);
  column = SeriesColumn<float>{};
}

namespace {

// The number of data records the header announces (record 0 is the header itself). The
// extended reading takes the count as unsigned, since files of more than 32766 records
// exist, lets the records present overrule a header that counts more, and reads them all
// when the header counts 0.
std::int32_t DataRecordCount(QuoteFile& data, bool extended, int recordLength) {
  std::uint8_t header[4];
  // A data file too short to hold its header has no records.
  std::int32_t headerR = 1;
  if (data.seek(0) && data.readExact(header, 4)) {
    const auto stored = static_cast<std::uint16_t>(header[2] | header[3] << 8);
    // A count of 0 does not even count the header: written by something that never kept
    // the count, it says nothing of the records.
    if (extended && stored == 0) return PresentRecords(data, recordLength);
    headerR = extended ? std::int32_t{stored} : std::int32_t{static_cast<std::int16_t>(stored)};
  }
  // A header count below 1 is read as a file without data records.
  const std::int32_t fileRecords = std::max(headerR, 1) - 1;
  return extended ? std::min(fileRecords, PresentRecords(data, recordLength)) : fileRecords;
}

// The series' info block: the security's MASTER record and its layout, as callers read them
// back at the named offsets.
ResultCode FillSeriesInfo(PriceSeries& series, const SecurityFiles& files, std::string_view key,
                          const DataLayout& layout, bool allocated) {
  if (allocated || series.infoLength < kSeriesInfoSize) {
    series.infoLength = kSeriesInfoSize;
    if (!allocated) {
      std::free(series.info);
      series.info = nullptr;
    }
    series.info = static_cast<SeriesInfo*>(std::calloc(1, sizeof(SeriesInfo)));
    if (series.info == nullptr) {
      ReleasePriceSeries(series);
      return kMalloc;
    }
  }

  series.sourceKind = 3;
  CopyCut(files.directory, series.directory.data(), series.directory.size());
  CopyCut(key, series.key.data(), series.key.size());
  std::uint8_t* info = series.info->bytes.data();
  if (files.record != nullptr) std::memcpy(info, files.record->bytes.data(), kMasterRecordSize);
  for (int f = 0; f < kFieldNameCount; ++f) {
    const std::size_t at = 2 * static_cast<std::size_t>(f);
    PutLittle16(info + kInfoPositionsOffset + at, layout.position[f]);
    PutLittle16(info + kInfoThirdItemsOffset + at, layout.third[f]);
    PutLittle16(info + kInfoSecondItemsOffset + at, layout.second[f]);
  }

  return kSuccess;
}

// Reads `bars` records from the data file's current position into the series. The whole
// window is read at once, straight into memory of its own, when that memory can be had;
// otherwise in chunks from a buffer on the stack. A read that comes back short ends the bars
// after its whole records, so a file shorter than its header says gives the bars it has.
// Returns the number of bars read.
std::int32_t ReadBars(PriceSeries& series, QuoteFile& data, const DataLayout& layout,
                      int recordLength, int fieldCount, std::int32_t bars) {
  const auto& pos = layout.position;
  const int datePos = pos[Index(SeriesField::Date)];
  const int timePos = pos[Index(SeriesField::Time)];
  const int openPos = pos[Index(SeriesField::Open)];
  const int highPos = pos[Index(SeriesField::High)];
  const int lowPos = pos[Index(SeriesField::Low)];
  const int closePos = pos[Index(SeriesField::Close)];
  const int volumePos = pos[Index(SeriesField::Volume)];
  const int oiPos = pos[Index(SeriesField::OpenInterest)];

  constexpr int kChunkRecords = 64;
  std::uint8_t stackChunk[kChunkRecords * kMaxRecordLength];
  const std::unique_ptr<std::uint8_t, decltype(&std::free)> window(
      bars > kChunkRecords
          ? static_cast<std::uint8_t*>(std::malloc(static_cast<std::size_t>(bars) * recordLength))
          : nullptr,
      &std::free);
  std::uint8_t* const chunk = window ? window.get() : stackChunk;
  const std::int32_t chunkRecords = window ? bars : kChunkRecords;
  float slot[kMaxRecordFields + 1];
  slot[0] = -1.0f;  // every absent field reads as -1.0

  std::int32_t i = 0;
  while (i < bars) {
    const std::int32_t want = std::min(bars - i, chunkRecords);
    const std::size_t got = data.readSome(chunk, static_cast<std::size_t>(want) * recordLength);
    const auto whole = static_cast<std::int32_t>(got / static_cast<std::size_t>(recordLength));
    for (std::int32_t r = 0; r < whole; ++r, ++i) {
      const std::uint8_t* rec = chunk + static_cast<std::size_t>(r) * recordLength;
      for (int f = 1; f <= fieldCount; ++f) {
        std::uint8_t ieee[4];
        MbfToIeee(rec + 4 * static_cast<std::size_t>(f - 1), ieee);
        std::memcpy(&slot[f], ieee, 4);
      }
      // An absent DATE field would give the date of month 0, which has no day number;
      // such bars carry day number 0, "no date".
      series.date[i] = datePos != 0 ? DateFromReal(slot[datePos]) : std::int16_t{0};
      series.time[i] = timePos != 0 ? TimeFromReal(slot[timePos]) : std::uint16_t{0};
      series.open[i] = slot[openPos];
      series.high[i] = slot[highPos];
      series.low[i] = slot[lowPos];
      series.close[i] = slot[closePos];
      series.volume[i] = slot[volumePos];
      series.openInterest[i] = slot[oiPos];
    }
    if (whole < want) break;
  }

  return i;
}

}  // namespace

ResultCode ReadSecurity(PriceSeries& series, std::string_view directory, std::string_view key,
                        std::int32_t start, std::int16_t count, std::int16_t allocate) {
  MasterRecord record;
  std::string found;
  if (const ResultCode rc = FindSecurity(directory, key, record, found); rc != kSuccess) return rc;
  SecurityFiles files;
  files.directory = found;
  files.record = &record;
  files.fileNumber = record.fileNumber();
  files.recordLength = record.recordLength();
  files.fieldCount = record.fieldCount();
  return ReadSecurityFiles(series, files, key, start, count, allocate);
}

ResultCode ReadSecurityFiles(PriceSeries& series, const SecurityFiles& files, std::string_view key,
                             std::int32_t start, std::int16_t count, std::int16_t allocate) {
  const SecurityFileKind dataKind =
      files.mwd ? SecurityFileKind::XmasterData : SecurityFileKind::Data;
  const int recordLength = files.recordLength;
  const int fieldCount = files.fieldCount;

  DataLayout layout;
  QuoteFile data;
  ResultCode layoutRead = ReadDataLayout(FilePath(files, SecurityFileKind::Layout), layout);
  // Without a layout file, or with one that names no known field (empty or garbled), the
  // extended reading takes the layout from the index and the records; the classic one
  // fails, or reads what the file names.
  if (files.extended && (layoutRead != kSuccess || LayoutNamesNoField(layout)))
    layoutRead = LayoutWithoutFile(data, FilePath(files, dataKind), files, layout);
  if (layoutRead != kSuccess) return layoutRead;

  if (RecordShapeProblem(recordLength, fieldCount, layout) != nullptr) return kInvalidParm;

  if (!data.isOpen() && !data.open(FilePath(files, dataKind))) return kFileOpen;
  const std::int32_t fileRecords = DataRecordCount(data, files.extended, recordLength);

  std::int32_t wanted = count;
  if (wanted < 0) {
    wanted = std::min<std::int32_t>(fileRecords, kMaxReadCount);
    if (start > 0) wanted -= start;
  }
  // The count may now be negative (a start past the end of the file or past the cap of
  // "all bars"): nothing is allocated or read for it, and a start beyond the file is
  // still reported below.

  if (allocate != 0) {
    if (const ResultCode rc =
            AllocatePriceSeries(series, static_cast<std::int16_t>(std::max(wanted, 0)));
        rc != kSuccess)
      return rc;
  }

  if (const ResultCode rc = FillSeriesInfo(series, files, key, layout, allocate != 0);
      rc != kSuccess)
    return rc;
  series.fileRecords = fileRecords;

  if (wanted == 0) return kSuccess;

  wanted = std::clamp<std::int32_t>(wanted, 0, std::max<std::int16_t>(series.capacity, 0));
  std::int64_t first = start;
  if (first < 0) first = std::max<std::int64_t>(fileRecords - wanted, 0);
  if (first > fileRecords - 1) return kRecordNotFound;

  const auto available = static_cast<std::int32_t>(fileRecords - first);
  // A file that cannot be positioned there is shorter than its header says: no bars.
  const std::int32_t bars = data.seek(static_cast<std::int64_t>(recordLength) * (first + 1))
                                ? std::min(wanted, available)
                                : 0;

  const std::int32_t read = ReadBars(series, data, layout, recordLength, fieldCount, bars);
  SetPriceSeriesCount(series, static_cast<std::int16_t>(read));
  return kSuccess;
}

UnopenableFile FindUnopenableDataFile(std::string_view directory, std::string_view key) {
  MasterRecord record;
  std::string found;
  if (FindSecurity(directory, key, record, found) != kSuccess) return {};
  for (const SecurityFileKind kind : {SecurityFileKind::Layout, SecurityFileKind::Data}) {
    std::string path = ResolveInDirectory(found, SecurityFileName(record.fileNumber(), kind));
    QuoteFile file;
    errno = 0;
    if (!file.open(path)) return {std::move(path), errno};
  }
  return {};
}

bool SeriesHasField(const PriceSeries& series, SeriesField field) {
  if (series.info == nullptr) return true;
  const std::uint8_t* at =
      series.info->bytes.data() + kInfoPositionsOffset + 2 * static_cast<std::size_t>(field);
  return (at[0] | at[1]) != 0;
}

std::vector<double> Widened(const SeriesColumn<float>& column, int count) {
  std::vector<double> values(static_cast<std::size_t>(std::max(count, 0)));
  for (int i = 0; i < count; ++i) values[static_cast<std::size_t>(i)] = column[i];
  return values;
}
