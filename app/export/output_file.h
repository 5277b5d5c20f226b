#pragma once
// Writing the export's files without harming what is already there: the files of the
// database being read are never replaced, nor any existing file that is not a PNG image, and
// a file appears under its name only once it has been written completely.

#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <utility>

namespace tv {

// The files of a quote database, by device and inode, so that no name, link or case spelling
// of them can be mistaken for an output file: every MASTER, EMASTER, XMASTER and F<n>.DAT,
// .DOP and .MWD (any case) in the MASTER file's directory and in the subdirectories its
// directory entries lead to, as deep as the security search goes.
class DatabaseFiles {
 public:
  explicit DatabaseFiles(const std::string& masterPath);
  // Whether path (symbolic links followed) is one of those files.
  bool contains(const std::string& path) const;

 private:
  void collect(const std::string& directory, int depth);

  std::set<std::pair<std::uint64_t, std::uint64_t>> files_;
  std::set<std::pair<std::uint64_t, std::uint64_t>> directories_;
};

// Why `path` may not be written; empty when it may: it is a file of `database`, or it exists
// and is not a PNG image.
std::string RefusalToReplace(const std::string& path, const DatabaseFiles& database);

// Writes bytes to a new file beside path and renames it to path once every byte is on disk;
// on failure nothing is left behind and whatever path held stays as it was. Empty on
// success, else the reason.
std::string WriteFileInPlace(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace tv
