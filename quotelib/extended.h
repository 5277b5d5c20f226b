#pragma once
// Extended reading: the directories data vendors write today. Taken only when the user asks
// for it; the classic reading (master.h, series.h) stays exactly as it is.
//
// - The index of a directory is MASTER (every record, up to 255), with each security's long
//   name and field set from EMASTER where it has them, followed by the securities of
//   XMASTER, whose data files are F<n>.MWD in the record format of F<n>.DAT.
// - A security without a layout file (or with one that names no known field) gets its
//   layout from the index: from its field set where the index has a usable one, else from
//   its field count and period: 7 and 8 fields have one documented layout each; 5 and 6
//   fields have two readings in the wild, and the records decide between them; an intraday
//   security holds TIME after DATE and then the fields of a daily one of one field fewer.
// - A data file header that counts more records than the file holds is overruled by the
//   records that are present.
// - Paths may be as long as the system takes, and the search reads the whole index (MASTER,
//   EMASTER, XMASTER) of every directory it visits.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "master.h"
#include "result_code.h"
#include "series.h"

inline constexpr int kMaxIndexedMasterRecords = 255;
inline constexpr std::size_t kEmasterRecordSize = 192;
inline constexpr std::size_t kXmasterRecordSize = 150;

// One entry of a directory's index.
struct IndexedSecurity {
  // The MASTER record as stored; for an XMASTER security one made up from its symbol, the
  // first 16 characters of its name, its record shape (file number byte: low 8 bits), its
  // period and its first and last dates (bytes 25..32, as MASTER keeps them in 1YYMMDD
  // form, already IEEE as FindSecurity gives them).
  MasterRecord record;
  std::string symbol;  // up to the first blank, control or non-ASCII character
  std::string name;    // the long name where EMASTER or XMASTER holds one, else MASTER's
  std::uint16_t fileNumber = 0;
  int recordLength = 0;
  int fieldCount = 0;
  // One bit per field the records hold (kFieldBit), from XMASTER byte 70 or EMASTER byte 7;
  // 0 when the index says nothing.
  std::uint8_t fieldBits = 0;
  char period = 0;             // 'D' daily, 'I' intraday, 'W', 'M' ...; 0 when not given
  std::uint16_t interval = 0;  // the intraday time base as the index stores it
  bool xmaster = false;        // data in F<n>.MWD instead of F<n>.DAT
  bool directory = false;      // a MASTER directory entry, not a security
};

// The index of the directory that holds `masterPath` (a MASTER file; when its name is
// EMASTER or XMASTER, the directory's MASTER is read in its place). Results: 0; -2 when
// the MASTER file cannot be opened; -4 when MASTER, a present EMASTER or a present XMASTER
// has an unreadable header, a negative count or fewer records than its count says. A
// MASTER count above 255 lists the first 255 records.
ResultCode ReadSecurityIndex(std::string_view masterPath, std::vector<IndexedSecurity>& index);

// Whether an index entry answers to key: its symbol or its name (MASTER's or the long one),
// compared as FindSecurity compares them.
bool IndexedSecurityMatches(const IndexedSecurity& entry, std::string_view key);

// FindSecurity over the extended index: each directory's whole index (MASTER's securities,
// then XMASTER's, long names and field sets from EMASTER) in index order, then, depth first,
// the subdirectories its directory entries lead to, under the rules FindSecurity follows
// except that paths may be as long as the system takes. An index file is taken for the
// whole records it holds, and a directory without MASTER is searched in its EMASTER and
// XMASTER. Bytes 25..32 of a MASTER record come back converted to IEEE, as FindSecurity
// gives them. Results: 0, -8 (not found).
ResultCode FindIndexedSecurity(std::string_view directory, std::string_view key,
                               IndexedSecurity& entry, std::string& foundDirectory);

// The bits of a field set (XMASTER byte 70, EMASTER byte 7), by SeriesField.
inline constexpr std::array<std::uint8_t, kFieldNameCount> kFieldBit = {0x01, 0x80, 0x20, 0x02,
                                                                        0x04, 0x08, 0x10, 0x40};

// The layout a field set gives: the fields whose bits are set, in the order records store
// them (DATE TIME OPEN HIGH LOW CLOSE VOL OI). False, layout unchanged, when the set is
// unusable: empty, without DATE, or of another number of fields than fieldCount.
bool LayoutFromFieldBits(std::uint8_t bits, int fieldCount, DataLayout& layout);

// How many layouts the records of a security without a layout file and without a usable
// field set are read under: 1 for 7 and 8 fields, 2 (decided by InferDataLayout) for 5 and
// 6; intraday, TIME after DATE and then those of a daily security of one field fewer. 0 when
// nothing fits: other field counts, or records too short for their fields or longer than
// the reader takes.
int InferableLayouts(int recordLength, int fieldCount, bool intraday);

// The layout of a security that has no layout file, from its field count and, where two
// readings are possible, from `records` (whole records of recordLength bytes, as the data
// file holds them). False where InferableLayouts gives 0.
bool InferDataLayout(std::span<const std::uint8_t> records, int recordLength, int fieldCount,
                     DataLayout& layout, bool intraday = false);

// ReadSecurity for one index entry found in `directory`, read the extended way. start,
// count and allocate as for ReadSecurity; results as for ReadSecurity without -8, and -1
// also when no layout fits a security without a layout file. With a listing of the
// directory, its files are looked up there instead of on disk.
ResultCode ReadIndexedSecurity(PriceSeries& series, std::string_view directory,
                               const IndexedSecurity& entry, std::string_view key,
                               std::int32_t start, std::int16_t count, std::int16_t allocate,
                               const DirectoryListing* listing = nullptr);

// For messages after ReadSecurityExtended gave -2: its data file, which it could not open
// (the layout file it can do without), as FindUnopenableDataFile tells it for ReadSecurity.
UnopenableFile FindUnopenableIndexedFile(std::string_view directory, std::string_view key);

// For messages after ReadSecurityExtended gave -1: why the security's records cannot be
// read, in words that name the file or index field that decides it; empty when the
// security is not found or can be read.
std::string DescribeUnreadableShape(std::string_view directory, std::string_view key);

// For messages after a read that gave no bars: what is wrong with the record count of the
// security's data file, naming the file: it holds no records, its header counts none, or
// (for the classic reading) its header's count is past what that reading takes. Empty when the
// security is not found, its data file cannot be opened, or the count is sound.
std::string DescribeRecordCount(std::string_view directory, std::string_view key, bool extended);

// For messages after ReadSecurity gave -2: whether a missing layout file is all that stops
// the security ReadSecurity finds, so that the extended reading reads it.
bool OnlyLayoutFileMissing(std::string_view directory, std::string_view key);

// FindIndexedSecurity, then ReadIndexedSecurity.
ResultCode ReadSecurityExtended(PriceSeries& series, std::string_view directory,
                                std::string_view key, std::int32_t start, std::int16_t count,
                                std::int16_t allocate);
