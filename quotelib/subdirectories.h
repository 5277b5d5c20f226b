#pragma once
// Following a MASTER file's directory entries to the directories they name: shared by the
// classic search (master.cpp) and the extended one (extended.cpp).

#include <compare>
#include <cstdint>
#include <memory>
#include <string>

class DirectoryListing;

// What identifies a directory however it was reached (symbolic links, case variants, '.'
// and '..' entries, bind mounts): its device and inode. One stat call, where resolving the
// whole path would look at every component of it.
struct DirectoryId {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::string resolved;  // only where the file system has no inode numbers
  auto operator<=>(const DirectoryId&) const = default;
};

// False when nothing is there or it is not a directory (symbolic links followed).
bool IdentifyDirectory(const std::string& path, DirectoryId& id);

// A directory name from a MASTER file must stay inside the directory that holds the file.
bool IsPlainDirectoryName(const std::string& name);

// The path of subdirectory `name` of `directory`, its trailing separator not yet added, and
// its identity; false when there is no such directory. The name as stored is nearly always
// the name on disk: one stat call settles it, and only a miss needs the directory's names,
// which are then read once (into `listing`) for all the level's other entries.
bool FindSubdirectory(const std::string& directory, const std::string& name,
                      std::unique_ptr<DirectoryListing>& listing, std::string& path,
                      DirectoryId& identity);
