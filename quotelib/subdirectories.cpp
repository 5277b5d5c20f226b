#include "subdirectories.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "quote_file.h"

namespace fs = std::filesystem;

bool IdentifyDirectory(const std::string& path, DirectoryId& id) {
#ifdef _WIN32
  // No inode numbers here: the resolved path stands in for them.
  std::error_code ec;
  const fs::path canonical = fs::canonical(path.empty() ? fs::path(".") : fs::path(path), ec);
  if (ec || !fs::is_directory(canonical, ec)) return false;
  id = {0, 0, canonical.string()};
  return true;
#else
  struct stat st;
  if (::stat(path.empty() ? "." : path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), {}};
  return true;
#endif
}

bool IsPlainDirectoryName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

bool FindSubdirectory(const std::string& directory, const std::string& name,
                      std::unique_ptr<DirectoryListing>& listing, std::string& path,
                      DirectoryId& identity) {
  if (!listing) {
    path = directory + name;
    if (IdentifyDirectory(path, identity)) return true;
    listing = std::make_unique<DirectoryListing>(directory);
  }
  const std::string_view onDisk = listing->find(name);
  if (onDisk.empty()) return false;
  path = directory + std::string(onDisk);
  return IdentifyDirectory(path, identity);
}
