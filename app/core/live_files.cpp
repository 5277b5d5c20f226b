#include "live_files.h"

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
  return files;
}

}  // namespace tv
