#pragma once
// The files the open chart stands on: a change to any of them changes what it should show.

#include <cstdint>
#include <string>
#include <vector>

class CBars;

namespace tv {

struct FollowedFiles {
  std::vector<std::string> index;  // MASTER, and EMASTER and XMASTER with extended reading
  std::vector<std::string> data;   // the current security's layout and data files
  // The directories that hold them: a file replaced by renaming another into its place, or
  // one that appears, shows there.
  std::vector<std::string> directories;
  // The directories that hold those: a sync tool that deletes the database directory and
  // copies it back, or renames a new copy into its place, shows only there.
  std::vector<std::string> parents;
};

// Paths as the reader resolves them (any case); a file that does not exist is named all the
// same, so that its directory says when it comes. Empty before a MASTER file is accepted.
FollowedFiles FilesToFollow(const CBars& bars);

// What a look at a path sees: whether it is there, which file it is, its size and its time.
struct FileStamp {
  bool exists = false;
  std::uint64_t device = 0, inode = 0, size = 0;
  std::int64_t modified = 0;  // nanoseconds
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
  // The same file or directory at that path, whatever was written in it.
  bool SameFile(const FileStamp& other) const {
    return exists == other.exists && device == other.device && inode == other.inode;
  }
};
FileStamp StampFile(const std::string& path);

// Every followed path (index, data files and their directories) looked at now, in that order:
// where watches cannot be set, two looks that differ are a change.
std::vector<FileStamp> StampFollowedFiles(const FollowedFiles& files);
// Whether the followed directories are no longer the ones stamped: gone, back, or another
// directory renamed into their place.
bool DirectoriesReplaced(const FollowedFiles& files, const std::vector<FileStamp>& before);

}  // namespace tv
