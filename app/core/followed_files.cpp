#include "followed_files.h"

#include <sys/stat.h>

#include <algorithm>

#include "bars.h"
#include "database_files.h"
#include "master.h"
#include "quote_file.h"

namespace tv {

namespace {

// A directory as a watcher names it: no trailing separator, "." for the current one.
std::string WatchName(std::string directory) {
  while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
  return directory.empty() ? "." : directory;
}

// The directory that holds a watched one, as a watcher names it: "/" for a top directory,
// ".." for the current one.
std::string ParentName(const std::string& directory) {
  if (directory == ".") return "..";
  const std::size_t slash = directory.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : directory.substr(0, slash);
}

// Each followed directory's parent once, none the same as a followed directory.
void AddParents(FollowedFiles& files) {
  files.parents.clear();
  for (const std::string& directory : files.directories) {
    std::string parent = ParentName(directory);
    if (std::find(files.directories.begin(), files.directories.end(), parent) ==
            files.directories.end() &&
        std::find(files.parents.begin(), files.parents.end(), parent) == files.parents.end())
      files.parents.push_back(std::move(parent));
  }
}

}  // namespace

FollowedFiles FilesToFollow(const CBars& bars) {
  FollowedFiles files;
  if (!bars.m_pathValid) return files;
  const std::string top = NormaliseDirectory(bars.m_dataDir);
  files.index.push_back(bars.m_masterPath);
  if (bars.IsExtended())
    for (const std::string_view name : {kEmasterFileName, kXmasterFileName})
      files.index.push_back(ResolveInDirectory(top, name));
  files.directories.push_back(WatchName(top));
  AddParents(files);

  // Where the current security's files are: the listed entry with extended reading, the
  // tree's first match of its symbol otherwise, as a load finds them.
  const int i = bars.m_current;
  std::string found;
  SecurityFileKind dataKind = SecurityFileKind::Data;
  unsigned number = 0;
  if (bars.IsExtended()) {
    if (i < 0 || i >= bars.m_count || bars.IsDirectoryEntry(i)) return files;
    const IndexedSecurity& entry = bars.m_index[static_cast<std::size_t>(i)];
    found = top;
    number = entry.fileNumber;
    if (entry.xmaster) dataKind = SecurityFileKind::XmasterData;
  } else {
    const std::string_view symbol = bars.CurrentSymbol();
    if (std::all_of(symbol.begin(), symbol.end(),
                    [](char c) { return static_cast<unsigned char>(c) <= 32; }))
      return files;
    MasterRecord record;
    if (FindSecurity(bars.m_dataDir, symbol, record, found) != kSuccess) return files;
    number = record.fileNumber();
    found = NormaliseDirectory(found);
  }
  const int fileNumber = static_cast<int>(number);
  files.data.push_back(
      ResolveInDirectory(found, SecurityFileName(fileNumber, SecurityFileKind::Layout)));
  files.data.push_back(ResolveInDirectory(found, SecurityFileName(fileNumber, dataKind)));
  if (WatchName(found) != files.directories.front()) files.directories.push_back(WatchName(found));
  AddParents(files);
  return files;
}

FileStamp StampFile(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return {};
  return {.exists = true,
          .device = static_cast<std::uint64_t>(status.st_dev),
          .inode = static_cast<std::uint64_t>(status.st_ino),
          .size = static_cast<std::uint64_t>(status.st_size),
          .modified = static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 +
                      status.st_mtim.tv_nsec};
}

std::vector<FileStamp> StampFollowedFiles(const FollowedFiles& files) {
  std::vector<FileStamp> stamps;
  for (const auto* list : {&files.index, &files.data, &files.directories})
    for (const std::string& path : *list) stamps.push_back(StampFile(path));
  return stamps;
}

bool DirectoriesReplaced(const FollowedFiles& files, const std::vector<FileStamp>& before) {
  const std::size_t first = files.index.size() + files.data.size();
  if (before.size() != first + files.directories.size()) return true;
  for (std::size_t i = 0; i < files.directories.size(); ++i)
    if (!StampFile(files.directories[i]).SameFile(before[first + i])) return true;
  return false;
}

}  // namespace tv
