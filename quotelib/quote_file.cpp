#include "quote_file.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "ascii.h"

namespace fs = std::filesystem;

namespace {

// Whether something exists at path, symbolic links followed.
bool PathExists(const std::string& path) {
#ifdef _WIN32
  std::error_code ec;
  return fs::exists(fs::path(path), ec);
#else
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
#endif
}

}  // namespace

std::string NormaliseDirectory(std::string_view directory) {
  std::string out(directory);
  std::replace(out.begin(), out.end(), '\\', '/');
  if (out.empty() || out.back() == '/') return out;
#ifdef _WIN32
  if (out.back() == ':') return out;  // "C:" is the current directory of drive C
#endif
  out.push_back('/');
  return out;
}

std::string ResolveInDirectory(const std::string& directory, std::string_view name) {
  std::string exact = directory + std::string(name);
  if (PathExists(exact)) return exact;
  // Only a plain name can be looked up among the directory's entries (a NUL would end the
  // name early for the file system, and no entry holds one).
  if (name.empty() || name.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos)
    return exact;

  // Several spellings may be present (Master and MASTER); the smallest in byte order is
  // taken, so that the choice does not depend on the order the file system lists them in.
  // Upper case sorts before lower case, so the all-capitals spelling, the usual one in
  // these databases, is that smallest whenever it exists, and one look-up settles it
  // without reading the directory.
  std::string upper = directory;
  upper.reserve(directory.size() + name.size());
  for (const char c : name)
    upper.push_back((c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c);
  if (PathExists(upper)) return upper;

  std::string best;
  std::error_code ec;
  const fs::path where = directory.empty() ? fs::path(".") : fs::path(directory);
  fs::directory_iterator it(where, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (EqualFoldedAscii(entry, name) && (best.empty() || entry < best)) best = entry;
  }
  return best.empty() ? exact : directory + best;
}

DirectoryListing::DirectoryListing(const std::string& directory) {
  std::error_code ec;
  const fs::path where = directory.empty() ? fs::path(".") : fs::path(directory);
  fs::directory_iterator it(where, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::string entry = it->path().filename().string();
    auto [slot, added] = folded_.try_emplace(FoldedAscii(entry), entry);
    if (!added && entry < slot->second) slot->second = entry;
    exact_.insert(std::move(entry));
  }
}

std::string_view DirectoryListing::find(std::string_view name) const {
  if (const auto it = exact_.find(std::string(name)); it != exact_.end()) return *it;
  const auto it = folded_.find(FoldedAscii(name));
  return it == folded_.end() ? std::string_view() : std::string_view(it->second);
}

namespace {

// Big enough for a whole MASTER file of a few hundred records in one read.
constexpr std::size_t kBufferSize = 16384;

// Up to n bytes from offset; the count read (0 at end of file), or -1 on an error.
std::int64_t ReadAt(int fd, void* buf, std::size_t n, std::int64_t offset) {
#ifdef _WIN32
  if (_lseeki64(fd, offset, SEEK_SET) < 0) return -1;
  return _read(fd, buf, static_cast<unsigned>(std::min<std::size_t>(n, INT_MAX)));
#else
  for (;;) {
    const ssize_t got = ::pread(fd, buf, n, static_cast<off_t>(offset));
    if (got >= 0 || errno != EINTR) return got;
  }
#endif
}

}  // namespace

bool QuoteFile::open(const std::string& path) {
  close();
  // An embedded NUL would silently open a different, shorter path.
  if (path.empty() || path.find('\0') != std::string::npos) {
    errno = path.empty() ? ENOENT : EINVAL;
    return false;
  }
  // Only regular files are taken: opening a FIFO would block, and a directory "opens" on
  // some systems and then fails every read.
#ifdef _WIN32
  std::error_code ec;
  if (!fs::is_regular_file(fs::path(path), ec)) {
    errno = fs::exists(fs::path(path), ec) ? EINVAL : ENOENT;
    return false;
  }
  fd_ = _open(path.c_str(), _O_RDONLY | _O_BINARY);
#else
  // Opened without waiting, which keeps a FIFO from blocking (and means nothing for a
  // regular file), then asked what it is: one look-up of the path, and no gap between the
  // check and the open.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    errno = EINVAL;
    return false;
  }
  fd_ = fd;
#endif
  return fd_ >= 0;
}

void QuoteFile::close() {
  if (fd_ >= 0) {
#ifdef _WIN32
    _close(fd_);
#else
    ::close(fd_);
#endif
    fd_ = -1;
  }
  position_ = 0;
  bufferStart_ = 0;
  buffered_ = 0;
}

bool QuoteFile::fill() {
  if (!buffer_) buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(kBufferSize);
  buffered_ = 0;
  const std::int64_t got = ReadAt(fd_, buffer_.get(), kBufferSize, position_);
  if (got <= 0) return false;
  bufferStart_ = position_;
  buffered_ = static_cast<std::size_t>(got);
  return true;
}

bool QuoteFile::readExact(void* buf, std::size_t n) { return readSome(buf, n) == n; }

std::size_t QuoteFile::readSome(void* buf, std::size_t n) {
  if (fd_ < 0) return 0;
  auto* out = static_cast<std::uint8_t*>(buf);
  std::size_t done = 0;
  while (done < n) {
    const std::int64_t into = position_ - bufferStart_;
    if (into >= 0 && static_cast<std::size_t>(into) < buffered_) {
      const std::size_t take = std::min(buffered_ - static_cast<std::size_t>(into), n - done);
      std::memcpy(out + done, buffer_.get() + into, take);
      position_ += static_cast<std::int64_t>(take);
      done += take;
    } else if (n - done >= kBufferSize) {
      // A large read goes straight into the caller's memory.
      const std::int64_t got = ReadAt(fd_, out + done, n - done, position_);
      if (got <= 0) break;
      position_ += got;
      done += static_cast<std::size_t>(got);
    } else if (!fill()) {
      break;
    }
  }
  return done;
}

bool QuoteFile::seek(std::int64_t offset) {
  if (fd_ < 0 || offset < 0 || offset > LONG_MAX) return false;
  // Nothing is read until it is needed; a position past the end reads nothing, as it
  // would after positioning the file there.
  position_ = offset;
  return true;
}

std::int64_t QuoteFile::size() const {
  if (fd_ < 0) return -1;
#ifdef _WIN32
  return _filelengthi64(fd_);
#else
  struct stat st;
  return ::fstat(fd_, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
#endif
}

bool QuoteFile::readLine(std::string& line, std::size_t maxChars) {
  line.clear();
  if (fd_ < 0) return false;
  bool readAny = false;
  // The line is taken from the buffer a run at a time, up to its line end or the limit.
  while (line.size() < maxChars) {
    std::int64_t into = position_ - bufferStart_;
    if (into < 0 || static_cast<std::size_t>(into) >= buffered_) {
      if (!fill()) break;
      into = 0;
    }
    const auto* const run = reinterpret_cast<const char*>(buffer_.get()) + into;
    const std::size_t length =
        std::min(buffered_ - static_cast<std::size_t>(into), maxChars - line.size());
    const auto* const end = static_cast<const char*>(std::memchr(run, '\n', length));
    const std::size_t take = end != nullptr ? static_cast<std::size_t>(end - run) : length;
    line.append(run, take);
    position_ += static_cast<std::int64_t>(take);
    readAny = true;
    if (end != nullptr) {
      ++position_;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return true;
    }
  }
  return readAny;
}
