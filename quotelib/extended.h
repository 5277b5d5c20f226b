#pragma once
// Extended reading: the directories data vendors write today. Taken only when the user asks
// for it; the classic reading (master.h, series.h) stays exactly as it is.
//
// - The index of a directory is MASTER (every record, up to 255), with each security's long
//   name from EMASTER where it has one, followed by the securities of XMASTER, whose data
//   files are F<n>.MWD in the record format of F<n>.DAT.
// - A security without a layout file gets its layout from its field count: 7 and 8 fields
//   have one documented layout each; 5 and 6 fields have two readings in the wild, and the
//   records decide between them.
// - A data file header that counts more records than the file holds is overruled by the
//   records that are present.

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
  // first 16 characters of its name and its record shape (file number byte: low 8 bits).
  MasterRecord record;
  std::string symbol;  // up to the first blank, control or non-ASCII character
  std::string name;    // the long name where EMASTER or XMASTER holds one, else MASTER's
  std::uint16_t fileNumber = 0;
  int recordLength = 0;
  int fieldCount = 0;
  bool xmaster = false;    // data in F<n>.MWD instead of F<n>.DAT
  bool directory = false;  // a MASTER directory entry, not a security
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

// FindSecurity over the extended index: the top directory's MASTER and XMASTER securities
// first, in index order, then the subdirectories as FindSecurity searches them (where a
// match takes its long name from its directory's EMASTER). Bytes 25..32 of a MASTER
// record come back converted to IEEE, as FindSecurity gives them.
ResultCode FindIndexedSecurity(std::string_view directory, std::string_view key,
                               IndexedSecurity& entry, std::string& foundDirectory);

// The layout of a security that has no layout file, from its field count and, for 5 and 6
// fields, from `records` (whole records of recordLength bytes, as the data file holds them).
// False for any other field count.
bool InferDataLayout(std::span<const std::uint8_t> records, int recordLength, int fieldCount,
                     DataLayout& layout);

// ReadSecurity for one index entry found in `directory`, read the extended way. start,
// count and allocate as for ReadSecurity; results as for ReadSecurity without -8. With a
// listing of the directory, its files are looked up there instead of on disk.
ResultCode ReadIndexedSecurity(PriceSeries& series, std::string_view directory,
                               const IndexedSecurity& entry, std::string_view key,
                               std::int32_t start, std::int16_t count, std::int16_t allocate,
                               const DirectoryListing* listing = nullptr);

// For messages after ReadSecurityExtended gave -2: the file it could not open (a missing
// layout file counts only where the field count cannot stand in for it), as
// FindUnopenableDataFile tells it for ReadSecurity.
UnopenableFile FindUnopenableIndexedFile(std::string_view directory, std::string_view key);

// FindIndexedSecurity, then ReadIndexedSecurity.
ResultCode ReadSecurityExtended(PriceSeries& series, std::string_view directory,
                                std::string_view key, std::int32_t start, std::int16_t count,
                                std::int16_t allocate);
