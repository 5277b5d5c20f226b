#pragma once
// Opening the files of a quote database on this platform.
//
// Databases come from Windows: paths may use '\' or '/', and the names the library builds
// ("master", "F12.DAT") may be stored in another case. Paths are joined with '/', and a
// name is matched without regard to case when the exact name does not exist.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

// Longest directory path (in bytes, trailing separator included) the library works with:
// FindSecurity refuses a longer top directory (-8) and skips a subdirectory whose path
// would be longer.
inline constexpr std::size_t kMaxPathLength = 1024;

// Directory text with '\' turned into '/' and, unless empty or already ending in '/', a
// '/' appended. The empty text stands for the current directory.
std::string NormaliseDirectory(std::string_view directory);

// Path of `name` inside the normalised directory `directory`: the exact name when it
// exists, else the first entry of the directory whose name equals it without regard to
// case, else the exact name (which will then fail to open).
std::string ResolveInDirectory(const std::string& directory, std::string_view name);

// The names in one directory, read once, for many case-insensitive look-ups: a search that
// meets thousands of names must not read the directory again for each of them.
class DirectoryListing {
 public:
  explicit DirectoryListing(const std::string& directory);
  // The entry name ResolveInDirectory would choose for `name` (the exact name when listed,
  // else the smallest spelling that equals it without regard to case); empty when none does.
  std::string_view find(std::string_view name) const;
  // Every name, as the directory holds it.
  const std::unordered_set<std::string>& names() const { return exact_; }

 private:
  std::unordered_set<std::string> exact_;
  std::unordered_map<std::string, std::string> folded_;  // folded name -> smallest spelling
};

// A quote file opened read-only in binary mode; closed by the destructor on every path.
// Directories and other non-regular files are refused at open. Reads are served from a
// buffer of the file's bytes, so reading records one at a time costs no system call per
// record, and a seek inside what is buffered costs none at all.
class QuoteFile {
 public:
  QuoteFile() = default;
  explicit QuoteFile(const std::string& path) { open(path); }
  ~QuoteFile() { close(); }
  QuoteFile(const QuoteFile&) = delete;
  QuoteFile& operator=(const QuoteFile&) = delete;

  // On failure errno is ENOENT exactly when nothing exists at path.
  bool open(const std::string& path);
  void close();
  bool isOpen() const { return fd_ >= 0; }
  // Reads exactly n bytes; false (and nothing guaranteed about buf) when fewer are there.
  bool readExact(void* buf, std::size_t n);
  // Reads up to n bytes, returns how many were read.
  std::size_t readSome(void* buf, std::size_t n);
  bool seek(std::int64_t offset);
  // Offset of the next byte a read hands out.
  std::int64_t tell() const { return position_; }
  // Size of the open file in bytes; -1 when it cannot be told.
  std::int64_t size() const;
  // Reads one text line of at most maxChars characters (without the '\n', and without a
  // '\r' just before it) into line; the rest of a longer line, its line end included, is
  // returned by the next call (as fgets does: a line of exactly maxChars characters is
  // followed by an empty one). False at end of file when nothing was read.
  bool readLine(std::string& line, std::size_t maxChars);

 private:
  // Reads the buffer full from the current position; false at end of file or on an error.
  bool fill();

  int fd_ = -1;
  std::int64_t position_ = 0;               // offset of the next byte to hand out
  std::int64_t bufferStart_ = 0;            // offset of buffer_[0]
  std::size_t buffered_ = 0;                // bytes of buffer_ that hold file data
  std::unique_ptr<std::uint8_t[]> buffer_;  // kept for the next file once allocated
};
