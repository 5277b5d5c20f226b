#include "database_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>
#include <vector>

#include "ascii.h"
#include "master.h"
#include "quote_file.h"

namespace {

namespace fs = std::filesystem;

bool Identify(const std::string& path, std::pair<std::uint64_t, std::uint64_t>& id) {
  struct stat st;
  if (::stat(path.empty() ? "." : path.c_str(), &st) != 0) return false;
  id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  return true;
}

constexpr std::array kKinds{SecurityFileKind::Layout, SecurityFileKind::Data,
                            SecurityFileKind::XmasterData};

std::string_view Extension(SecurityFileKind kind) {
  switch (kind) {
    case SecurityFileKind::Layout:
      return "DOP";
    case SecurityFileKind::Data:
      return "DAT";
    case SecurityFileKind::XmasterData:
      return "MWD";
  }
  return "DAT";
}

// A directory entry's name leads to a subdirectory only when it stays inside the directory.
bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

// The links a chain may take before it counts as a loop (the system's own bound is 40).
constexpr int kMaxLinks = 40;

}  // namespace

std::string SecurityFileName(int fileNumber, SecurityFileKind kind) {
  std::string name = "F" + std::to_string(fileNumber) + ".";
  name += Extension(kind);
  return name;
}

bool IsDatabaseFileName(std::string_view name) {
  for (const std::string_view index : {kMasterFileName, kEmasterFileName, kXmasterFileName})
    if (EqualFoldedAscii(name, index)) return true;
  const auto dot = name.find('.');
  if (dot == std::string_view::npos || dot < 2 || FoldAscii(name[0]) != 'f') return false;
  if (!std::all_of(name.begin() + 1, name.begin() + static_cast<std::ptrdiff_t>(dot),
                   [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  const std::string_view extension = name.substr(dot + 1);
  return std::any_of(kKinds.begin(), kKinds.end(), [&](SecurityFileKind kind) {
    return EqualFoldedAscii(extension, Extension(kind));
  });
}

bool LeadsToDatabaseFileName(const std::string& path) {
  fs::path at(path);
  for (int step = 0; step <= kMaxLinks; ++step) {
    if (IsDatabaseFileName(at.filename().string())) return true;
    std::error_code ec;
    if (!fs::is_symlink(at, ec)) return false;
    const fs::path target = fs::read_symlink(at, ec);
    if (ec) return false;
    at = target.is_absolute() ? target : at.parent_path() / target;
  }
  return false;
}

DatabaseFiles::DatabaseFiles(const std::string& masterPath) {
  FileId id;
  if (Identify(masterPath, id)) files_.insert(id);
  const fs::path parent = fs::path(masterPath).parent_path();
  collect(parent.empty() ? std::string() : NormaliseDirectory(parent.string()), 0);
}

void DatabaseFiles::collect(const std::string& directory, int depth) {
  FileId id;
  if (!Identify(directory, id) || !directories_.insert(id).second) return;
  // The one reading of this directory's names: its database files, and where the names its
  // MASTER gives are to be found.
  const DirectoryListing listing(directory);
  for (const std::string& name : listing.names())
    if (IsDatabaseFileName(name) && Identify(directory + name, id)) files_.insert(id);
  if (depth >= kMaxSearchDepth) return;
  // The subdirectories this directory's MASTER names hold databases of their own. The MASTER
  // taken is the one the search opens: "master" itself, else the smallest other spelling.
  const std::string_view masterName = listing.find(FoldedAscii(kMasterFileName));
  if (masterName.empty()) return;
  QuoteFile master(directory + std::string(masterName));
  std::int16_t count = 0;
  if (!ReadMasterHeader(master, count)) return;
  std::vector<std::string> subdirectories;
  MasterRecord record;
  for (int k = 0; k < count && ReadMasterRecord(master, record); ++k) {
    if (!record.isDirectory() || !IsPlainName(record.directoryName())) continue;
    const std::string_view onDisk = listing.find(record.directoryName());
    if (!onDisk.empty()) subdirectories.push_back(directory + std::string(onDisk) + "/");
  }
  master.close();
  for (const std::string& subdirectory : subdirectories) collect(subdirectory, depth + 1);
}

bool DatabaseFiles::contains(const std::string& path) const {
  FileId id;
  return Identify(path, id) && files_.count(id) != 0;
}
