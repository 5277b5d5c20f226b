#include "database_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>
#include <vector>

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

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// A directory entry's name leads to a subdirectory only when it stays inside the directory.
bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

// The links a chain may take before it counts as a loop (the system's own bound is 40).
constexpr int kMaxLinks = 40;

}  // namespace

bool IsDatabaseFileName(std::string_view text) {
  std::string name(text);
  for (char& c : name) c = Upper(c);
  if (name == "MASTER" || name == "EMASTER" || name == "XMASTER") return true;
  const auto dot = name.find('.');
  if (name.size() < 6 || name[0] != 'F' || dot == std::string::npos || dot < 2) return false;
  for (std::size_t i = 1; i < dot; ++i)
    if (name[i] < '0' || name[i] > '9') return false;
  const std::string extension = name.substr(dot + 1);
  return extension == "DAT" || extension == "DOP" || extension == "MWD";
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
  const std::string_view masterName = listing.find("master");
  if (masterName.empty()) return;
  QuoteFile master(directory + std::string(masterName));
  std::uint8_t header[kMasterRecordSize];
  if (!master.readExact(header, sizeof header)) return;
  const int count = static_cast<std::int16_t>(header[0] | (header[1] << 8));
  std::vector<std::string> subdirectories;
  MasterRecord record;
  for (int k = 0; k < count && master.readExact(record.bytes.data(), record.bytes.size()); ++k) {
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
