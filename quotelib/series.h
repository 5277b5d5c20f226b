#pragma once
// Security data files (F<n>.DOP layout and F<n>.DAT records) and the in-memory price series.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "master.h"
#include "result_code.h"

// One column of a series: element i is storage[i * stride + offset].
template <class T>
struct SeriesColumn {
  T* storage = nullptr;
  std::int16_t count = 0;
  std::int16_t stride = 0;
  std::int16_t offset = 0;

  T& operator[](int i) const { return storage[i * stride + offset]; }
};

// The eight known field names, in the order they are tried.
enum class SeriesField : int { Date, Time, Open, High, Low, Close, Volume, OpenInterest };
inline constexpr int kFieldNameCount = 8;
inline constexpr int kMaxRecordFields = 19;                    // 76-byte records
inline constexpr int kMaxRecordLength = 4 * kMaxRecordFields;  // bytes
inline constexpr int kMaxReadCount = 16000;                    // cap for "all bars"
inline constexpr int kDopLineLength = 79;
// A layout names at most 19 fields, a line each of at most 79 characters: about 1.5 KB.
// Reading stops at the first line end past this many bytes, so a huge (or sparse) file
// costs no more than a small one; what lies beyond is not read.
inline constexpr std::int64_t kMaxLayoutBytes = std::int64_t{64} * 1024;

struct DataLayout {
  std::array<std::int16_t, kFieldNameCount> position{};  // 0 = absent, else 1-based field
  std::array<std::int16_t, kFieldNameCount> second{};    // second item of the line
  std::array<std::int16_t, kFieldNameCount> third{};     // third item of the line
};

inline constexpr std::size_t kSeriesInfoSize = 101;
// The 101-byte block every read fills: the master record, then positions, third items and
// second items (16 bits each, little-endian).
struct SeriesInfo {
  std::array<std::uint8_t, kSeriesInfoSize> bytes{};
};
// Where the block keeps the layout: eight values each, in the order of SeriesField.
inline constexpr std::size_t kInfoPositionsOffset = kMasterRecordSize;
inline constexpr std::size_t kInfoLayoutBytes = std::size_t{2} * kFieldNameCount;
inline constexpr std::size_t kInfoThirdItemsOffset = kInfoPositionsOffset + kInfoLayoutBytes;
inline constexpr std::size_t kInfoSecondItemsOffset = kInfoThirdItemsOffset + kInfoLayoutBytes;
static_assert(kInfoSecondItemsOffset + kInfoLayoutBytes == kSeriesInfoSize);

struct PriceSeries {
  SeriesColumn<std::int16_t> date;   // day numbers
  SeriesColumn<std::uint16_t> time;  // two-second units
  SeriesColumn<float> open, high, low, close, volume, openInterest;
  std::array<char, 71> directory{};  // found directory of the last read (cut to 70)
  std::array<char, 21> key{};        // key of the last read (cut to 20)
  std::int16_t count = 0;
  std::int16_t capacity = 0;
  std::int32_t fileRecords = 0;
  std::int16_t sourceKind = 0;
  std::uint16_t infoLength = 0;
  SeriesInfo* info = nullptr;  // owned; freed by ReleasePriceSeries
};

// 0, or -2 when the file cannot be opened (layout unchanged). Missing items read as 0;
// items keep their low 16 bits; positions stop growing at INT16_MAX; lines that start
// kMaxLayoutBytes or more into the file are not read.
ResultCode ReadDataLayout(const std::string& path, DataLayout& layout);
// Gives back any storage the series already holds first. n < 0: -1, series left empty.
// n = 0: a valid series with no room for bars.
ResultCode AllocatePriceSeries(PriceSeries& series, std::int16_t n);
ResultCode ReleasePriceSeries(PriceSeries& series);
ResultCode SetPriceSeriesCount(PriceSeries& series, std::int16_t n);
ResultCode AllocateRealColumn(SeriesColumn<float>& column, std::int16_t n);
// Frees a column made by AllocateRealColumn and zeroes it.
void ReleaseRealColumn(SeriesColumn<float>& column);
// start: first data record (from 0), or negative for the last `count` records; count:
// bars wanted, negative for all of them (at most 16000, less `start`); allocate non-zero
// sizes the series for them first, 0 fills its present storage.
// Results: 0; -8 / -4 from FindSecurity; -2 layout or data file missing; -1 a record shape
// the reader cannot honour (field count outside 1..19, record length above 76 or below
// 4 bytes per field, a named field beyond the record), refused before anything changes;
// -3 allocation failed; -9 the first bar wanted lies beyond the file. A header count below
// 1 (or a file too short for a header) means no data records; a file shorter than its
// header says gives the bars it holds. Bars without a DATE field get day number 0.
ResultCode ReadSecurity(PriceSeries& series, std::string_view directory, std::string_view key,
                        std::int32_t start, std::int16_t count, std::int16_t allocate);

// For messages after ReadSecurity gave -2: the security's layout or data file (looked at in
// that order, named as the reader resolves it) that cannot be opened, with the errno of the
// failed open; an empty path when the security is not found or both files open.
struct UnopenableFile {
  std::string path;
  int error = 0;
};
UnopenableFile FindUnopenableDataFile(std::string_view directory, std::string_view key);

class DirectoryListing;  // quote_file.h

// A security already found: where its files are and what its index record says of them.
struct SecurityFiles {
  std::string_view directory;            // with its trailing separator
  const MasterRecord* record = nullptr;  // copied into the info block
  std::uint16_t fileNumber = 0;
  int recordLength = 0;
  int fieldCount = 0;
  // The extended reading (extended.h): data in F<n>.MWD instead of F<n>.DAT; a missing
  // layout file inferred from the field count; the header's record count read unsigned and
  // overruled by the records the file holds.
  bool mwd = false;
  bool extended = false;
  // For the extended reading without a usable layout file: the index's field set (0: none)
  // and whether the security is intraday.
  std::uint8_t fieldBits = 0;
  bool intraday = false;
  // Names looked up in this listing of `directory` instead of on disk: a caller that reads
  // many securities of one large directory reads its listing once.
  const DirectoryListing* listing = nullptr;
};

// The first `count` values of a column in double precision, as the studies take them.
std::vector<double> Widened(const SeriesColumn<float>& column, int count);

// Whether the security's layout names `field`, as the info block of its last read says; a
// series without an info block is taken to have every field.
bool SeriesHasField(const PriceSeries& series, SeriesField field);

// Whether a layout names none of the known fields (read from an empty or garbled file).
bool LayoutNamesNoField(const DataLayout& layout);

// Why the reader cannot honour a record shape (a field count outside 1..19, a record
// length below 4 bytes a field or above 76 bytes, a named field beyond the record), in
// words; null when it can.
const char* RecordShapeProblem(int recordLength, int fieldCount, const DataLayout& layout);

// ReadSecurity after its search: reads the layout and data files of `files`.
ResultCode ReadSecurityFiles(PriceSeries& series, const SecurityFiles& files, std::string_view key,
                             std::int32_t start, std::int16_t count, std::int16_t allocate);
