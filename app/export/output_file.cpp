#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "master.h"
#include "quote_file.h"

namespace tv {

namespace {

namespace fs = std::filesystem;

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool Identify(const std::string& path, std::pair<std::uint64_t, std::uint64_t>& id) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  return true;
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// MASTER, EMASTER, XMASTER, or F<digits>.DAT / .DOP / .MWD, without regard to case.
bool IsDatabaseFileName(std::string name) {
  for (char& c : name) c = Upper(c);
  if (name == "MASTER" || name == "EMASTER" || name == "XMASTER") return true;
  const auto dot = name.find('.');
  if (name.size() < 6 || name[0] != 'F' || dot == std::string::npos || dot < 2) return false;
  for (std::size_t i = 1; i < dot; ++i)
    if (name[i] < '0' || name[i] > '9') return false;
  const std::string extension = name.substr(dot + 1);
  return extension == "DAT" || extension == "DOP" || extension == "MWD";
}

std::string Reason(int error) { return std::strerror(error); }

}  // namespace

DatabaseFiles::DatabaseFiles(const std::string& masterPath) {
  std::pair<std::uint64_t, std::uint64_t> id;
  if (Identify(masterPath, id)) files_.insert(id);
  const fs::path parent = fs::path(masterPath).parent_path();
  collect(parent.empty() ? std::string() : NormaliseDirectory(parent.string()), 0);
}

void DatabaseFiles::collect(const std::string& directory, int depth) {
  std::pair<std::uint64_t, std::uint64_t> id;
  if (!Identify(directory.empty() ? "." : directory, id) || !directories_.insert(id).second) return;
  std::error_code ec;
  fs::directory_iterator it(directory.empty() ? fs::path(".") : fs::path(directory), ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (IsDatabaseFileName(name) && Identify(directory + name, id)) files_.insert(id);
  }
  if (depth >= kMaxSearchDepth) return;
  // The subdirectories this directory's MASTER names hold databases of their own.
  QuoteFile master(ResolveInDirectory(directory, "MASTER"));
  std::uint8_t header[kMasterRecordSize];
  if (!master.readExact(header, sizeof header)) return;
  const int count = static_cast<std::int16_t>(header[0] | (header[1] << 8));
  MasterRecord record;
  for (int k = 0; k < count && master.readExact(record.bytes.data(), record.bytes.size()); ++k) {
    const std::string name = record.directoryName();
    if (!record.isDirectory() || name.empty() || name == "." || name == ".." ||
        name.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos)
      continue;
    collect(ResolveInDirectory(directory, name) + "/", depth + 1);
  }
}

bool DatabaseFiles::contains(const std::string& path) const {
  std::pair<std::uint64_t, std::uint64_t> id;
  return Identify(path, id) && files_.count(id) != 0;
}

std::string RefusalToReplace(const std::string& path, const DatabaseFiles& database) {
  if (database.contains(path)) return "it is a file of the database being read";
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return {};  // nothing there yet
  if (!S_ISREG(st.st_mode)) return "it exists and is not a regular file";
  std::uint8_t start[sizeof kPngSignature] = {};
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  const bool png = fd >= 0 && ::read(fd, start, sizeof start) == sizeof start &&
                   std::memcmp(start, kPngSignature, sizeof start) == 0;
  if (fd >= 0) ::close(fd);
  return png ? std::string() : "it exists and is not a PNG image";
}

std::string WriteFileInPlace(const std::string& path, std::span<const std::uint8_t> bytes) {
  const fs::path target(path);
  // A hidden name in the same folder, so that the rename stays on one file system.
  static std::atomic<unsigned> serial{0};
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = (target.parent_path() /
                 ("." + target.filename().string() + "." + std::to_string(::getpid()) + "-" +
                  std::to_string(serial++) + ".tmp"))
                    .string();
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return Reason(errno);
  }
  if (fd < 0) return Reason(EEXIST);
  std::size_t done = 0;
  int error = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      error = wrote < 0 ? errno : EIO;
      break;
    }
    done += static_cast<std::size_t>(wrote);
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    return Reason(error);
  }
  return {};
}

}  // namespace tv
