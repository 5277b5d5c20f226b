#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "ascii.h"

namespace tv {

namespace {

namespace fs = std::filesystem;

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kPdfSignature[5] = {'%', 'P', 'D', 'F', '-'};
constexpr std::uint8_t kXmlSignature[5] = {'<', '?', 'x', 'm', 'l'};

// Each kind of output: its file name's ending, how such a file begins and what it is called.
struct KindOf {
  std::string_view extension;
  std::span<const std::uint8_t> signature;
  const char* name;
};

KindOf Kind(OutputKind kind) {
  switch (kind) {
    case OutputKind::kPdf:
      return {".pdf", kPdfSignature, "a PDF document"};
    case OutputKind::kSvg:
      return {".svg", kXmlSignature, "an SVG drawing"};
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
  std::uint8_t start[sizeof kPngSignature] = {};
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  const bool same = fd >= 0 &&
                    ::read(fd, start, signature.size()) == static_cast<ssize_t>(signature.size()) &&
                    std::memcmp(start, signature.data(), signature.size()) == 0;
  if (fd >= 0) ::close(fd);
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
