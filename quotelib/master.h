#pragma once
// MASTER index files and the search of a database tree for one security.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "result_code.h"

inline constexpr std::size_t kMasterRecordSize = 53;

class QuoteFile;  // quote_file.h

// Deepest subdirectory level FindSecurity enters (the top directory is level 0). Deeper
// directory entries are skipped as if their MASTER file were missing.
inline constexpr int kMaxSearchDepth = 32;

// One 53-byte MASTER record, exactly as stored (bytes 25..32 hold IEEE singles in the
// record FindSecurity returns).
struct MasterRecord {
  std::array<std::uint8_t, kMasterRecordSize> bytes{};

  std::uint8_t fileNumber() const { return bytes[0]; }
  std::int8_t recordLength() const { return static_cast<std::int8_t>(bytes[3]); }
  std::int8_t fieldCount() const { return static_cast<std::int8_t>(bytes[4]); }
  // Bytes 7..22, blanks kept.
  std::string_view nameField() const {
    return {reinterpret_cast<const char*>(bytes.data()) + 7, 16};
  }
  // Bytes 36..51, blanks kept.
  std::string_view symbolField() const {
    return {reinterpret_cast<const char*>(bytes.data()) + 36, 16};
  }
  // A directory entry: IsDirectoryNameField of the name field.
  bool isDirectory() const;
  // Bytes 7..14 without trailing blanks (meaningful for directory entries).
  std::string directoryName() const;
  // The name as text: bytes 7..22 up to a NUL byte, trailing blanks removed.
  std::string name() const;
  // The symbol as text: bytes 36..51 up to the first blank or NUL byte.
  std::string symbol() const;
};

// The directory-entry test on a 16-byte name field as stored: a non-blank first byte and
// "<DIR>" in bytes 11..15 (bytes 18..22 of the record).
bool IsDirectoryNameField(std::string_view nameField);

// MASTER's first record is a header; its bytes 0..1 hold the number of records that follow,
// little-endian and signed (what a negative count means is the caller's to say).
std::int16_t MasterHeaderCount(const std::array<std::uint8_t, kMasterRecordSize>& header);
// Reads the header record of a MASTER file opened at its start; false when the file is
// shorter than one record.
bool ReadMasterHeader(QuoteFile& file, std::int16_t& count);
// Reads the next record as stored; false when less than a whole record is left.
bool ReadMasterRecord(QuoteFile& file, MasterRecord& record);

void TrimTrailingBlanks(std::string& text);
std::int16_t CountChar(std::string_view text, char ch);
// Length of text before its n-th occurrence of ch; the whole length when ch occurs fewer
// than n times, 0 for n < 1.
std::int16_t PrefixLength(std::string_view text, char ch, std::int16_t n);

// Whether a security entry's name or symbol equals key, compared as FindSecurity compares
// them.
bool SecurityMatches(const MasterRecord& entry, std::string_view key);

// Depth-first search of the tree below `directory` for the first security whose name or
// symbol equals `key` (case folded). On success fills `record` (with bytes 25..32
// converted to IEEE) and `foundDirectory` (with its trailing separator; empty for the empty
// top directory). Results: 0, -8 (not found), -4 (a record unreadable while looking for
// the next directory entry).
//
// A key with k blanks is compared with the symbol field up to its (k + 1)-th blank, or
// with the whole 16-byte field when it holds fewer blanks; a NUL byte ends a name or symbol.
// A directory entry is skipped, as if its MASTER file were missing, when its name is "."
// or "..", holds a separator or NUL, leads deeper than kMaxSearchDepth or past
// kMaxPathLength, or leads to a directory this search has already entered (symbolic-link
// loops, two spellings of one name). A negative header count counts as 0.
ResultCode FindSecurity(std::string_view directory, std::string_view key, MasterRecord& record,
                        std::string& foundDirectory);
