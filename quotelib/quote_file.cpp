#include "quote_file.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualFolded(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldCase(x) == FoldCase(y);
         });
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
  std::error_code ec;
  if (fs::exists(fs::path(exact), ec)) return exact;
  // Only a plain name can be looked up among the directory's entries.
  if (name.empty() || name.find_first_of("/\\") != std::string_view::npos) return exact;

  // Several spellings may be present (Master and MASTER); take the smallest in byte order
  // so that the choice does not depend on the order the file system lists them in.
  std::string best;
  const fs::path where = directory.empty() ? fs::path(".") : fs::path(directory);
  fs::directory_iterator it(where, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (EqualFolded(entry, name) && (best.empty() || entry < best)) best = entry;
  }
  return best.empty() ? exact : directory + best;
}

bool QuoteFile::open(const std::string& path) {
  close();
  // An embedded NUL would silently open a different, shorter path.
  if (path.empty() || path.find('\0') != std::string::npos) return false;
  // Checked before opening: opening a FIFO would block, and a directory "opens" on some
  // systems and then fails every read.
  std::error_code ec;
  if (!fs::is_regular_file(fs::path(path), ec)) return false;
  file_ = std::fopen(path.c_str(), "rb");
  return file_ != nullptr;
}

void QuoteFile::close() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
}

bool QuoteFile::readExact(void* buf, std::size_t n) {
  if (file_ == nullptr) return false;
  return std::fread(buf, 1, n, file_) == n;
}

std::size_t QuoteFile::readSome(void* buf, std::size_t n) {
  if (file_ == nullptr) return 0;
  return std::fread(buf, 1, n, file_);
}

bool QuoteFile::seek(std::int64_t offset) {
  if (file_ == nullptr || offset < 0 || offset > LONG_MAX) return false;
  return std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0;
}

bool QuoteFile::readLine(std::string& line, std::size_t maxChars) {
  line.clear();
  if (file_ == nullptr) return false;
  bool readAny = false;
  while (line.size() < maxChars) {
    const int c = std::fgetc(file_);
    if (c == EOF) break;
    readAny = true;
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return true;
    }
    line.push_back(static_cast<char>(c));
  }
  return readAny;
}
