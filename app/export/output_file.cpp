#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "ascii.h"

namespace tv {

namespace {

namespace fs = std::filesystem;

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kPdfSignature[5] = {'%', 'P', 'D', 'F', '-'};
// An SVG drawing may start with a byte-order mark, an XML declaration or none, comments and
// a document type: it is known by its root element, looked for this far in.
constexpr std::size_t kSvgLookAhead = 4096;

// Each kind of output: its file name's ending, how such a file begins (empty for an SVG
// drawing) and what it is called.
struct KindOf {
  std::string_view extension;
  std::span<const std::uint8_t> signature;
  const char* name;
};

// Whether the first element of this XML text is an <svg> (with or without a prefix).
bool SvgRoot(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  for (;;) {
    const std::size_t open = text.find('<');
    if (open == std::string_view::npos) return false;
    text.remove_prefix(open);
    // Declarations, processing instructions, comments and the document type come first.
    const std::string_view close = text.starts_with("<!--") ? "-->"
                                   : text.starts_with("<?") ? "?>"
                                   : text.starts_with("<!") ? ">"
                                                            : "";
    if (close.empty()) break;
    const std::size_t end = text.find(close, 2);
    if (end == std::string_view::npos) return false;
    text.remove_prefix(end + close.size());
  }
  text.remove_prefix(1);
  const std::size_t nameEnd = text.find_first_of(" \t\r\n/>");
  if (nameEnd == std::string_view::npos) return false;
  const std::string_view name = text.substr(0, nameEnd);
  return name == "svg" || name.ends_with(":svg");
}

KindOf Kind(OutputKind kind) {
  switch (kind) {
    case OutputKind::kPdf:
      return {".pdf", kPdfSignature, "a PDF document"};
    case OutputKind::kSvg:
      return {".svg", {}, "an SVG drawing"};
    case OutputKind::kPng:
      break;
  }
  return {".png", kPngSignature, "a PNG image"};
}

std::string Reason(int error) { return std::strerror(error); }

}  // namespace

std::string RefusalOfOutputName(const std::string& path, std::string_view extension) {
  const std::string name = fs::path(path).filename().string();
  if (IsDatabaseFileName(name))
    return "it has the name of a quote database file (MASTER, EMASTER, XMASTER, F<n>.DAT, .DOP "
           "or .MWD)";
  const bool extended = name.size() > extension.size() && EndsWithFoldedAscii(name, extension);
  if (!extended) return "its name does not end in " + std::string(extension);
  return {};
}

std::string RefusalOfOutputDirectory(const std::string& directory) {
  fs::path made;
  for (const fs::path& part : fs::path(directory)) {
    made /= part;
    std::error_code ec;
    if (!fs::exists(made, ec) && IsDatabaseFileName(part.string()))
      return "it would make a directory under the name of a quote database file (" + part.string() +
             ")";
  }
  return {};
}

std::string RefusalToReplace(const std::string& path, const DatabaseFiles& database,
                             OutputKind kind) {
  const KindOf k = Kind(kind);
  if (std::string refusal = RefusalOfOutputName(path, k.extension); !refusal.empty())
    return refusal;
  if (database.contains(path)) return "it is a file of the database being read";
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return {};  // nothing there yet
  if (!S_ISREG(st.st_mode)) return "it exists and is not a regular file";
  const std::span<const std::uint8_t> signature = k.signature;
  char start[kSvgLookAhead] = {};
  const std::size_t wanted = signature.empty() ? sizeof start : signature.size();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  const ssize_t got = fd >= 0 ? ::read(fd, start, wanted) : -1;
  if (fd >= 0) ::close(fd);
  const bool same = got >= 0 && (signature.empty() ? SvgRoot({start, static_cast<std::size_t>(got)})
                                                   : static_cast<std::size_t>(got) == wanted &&
                                                         std::memcmp(start, signature.data(),
                                                                     signature.size()) == 0);
  if (same) return {};
  return std::string("it exists and is not ") + k.name;
}

std::string ReplaceFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
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
