#include "master.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

#include "quote_file.h"
#include "values.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kNameOffset = 7;
constexpr std::size_t kDirNameLength = 8;
constexpr std::size_t kDirMarkOffset = 18;
constexpr std::size_t kReal1Offset = 25;
constexpr std::size_t kReal2Offset = 29;

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualFolded(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldCase(x) == FoldCase(y);
         });
}

// Fixed-width fields are texts: a NUL byte ends them, as it ends a C string.
std::string_view UpToNul(std::string_view field) { return field.substr(0, field.find('\0')); }

bool Matches(const MasterRecord& entry, std::string_view key) {
  if (EqualFolded(entry.name(), key)) return true;
  // A key with k blanks is compared with the symbol up to its (k + 1)-th blank, so symbols
  // holding blanks can be found. A field with fewer blanks ends at the end of the field: the
  // record's next byte is not part of the symbol.
  const std::string_view field = UpToNul(entry.symbolField());
  const auto blanks = static_cast<std::size_t>(std::count(key.begin(), key.end(), ' '));
  std::size_t length = field.size();
  std::size_t seen = 0;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == ' ' && ++seen == blanks + 1) {
      length = i;
      break;
    }
  }
  return EqualFolded(field.substr(0, length), key);
}

// A directory name from a MASTER file must stay inside the directory that holds the file.
bool IsPlainDirectoryName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

// What identifies a directory however it was reached (symbolic links, case variants);
// empty when it does not exist.
std::string DirectoryIdentity(const std::string& path) {
  std::error_code ec;
  const fs::path canonical = fs::canonical(path.empty() ? fs::path(".") : fs::path(path), ec);
  if (ec || !fs::is_directory(canonical, ec)) return {};
  return canonical.string();
}

struct Level {
  int resume = 0;              // 0 before the comparison pass, then the next record number
  std::size_t pathLength = 0;  // length of the working path at this level
};

}  // namespace

bool MasterRecord::isDirectory() const {
  return bytes[kNameOffset] != ' ' &&
         std::equal(bytes.begin() + kDirMarkOffset, bytes.begin() + kDirMarkOffset + 5,
                    reinterpret_cast<const std::uint8_t*>("<DIR>"));
}

std::string MasterRecord::directoryName() const {
  std::string name(nameField().substr(0, kDirNameLength));
  TrimTrailingBlanks(name);
  return name;
}

std::string MasterRecord::name() const {
  std::string text(UpToNul(nameField()));
  TrimTrailingBlanks(text);
  return text;
}

std::string MasterRecord::symbol() const {
  const std::string_view field = UpToNul(symbolField());
  return std::string(field.substr(0, field.find(' ')));
}

void TrimTrailingBlanks(std::string& text) {
  const auto last = text.find_last_not_of(' ');
  text.erase(last == std::string::npos ? 0 : last + 1);
}

std::int16_t CountChar(std::string_view text, char ch) {
  return static_cast<std::int16_t>(std::count(text.begin(), text.end(), ch));
}

std::int16_t PrefixLength(std::string_view text, char ch, std::int16_t n) {
  if (n < 1) return 0;
  int seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ch && ++seen == n) return static_cast<std::int16_t>(i);
  }
  return static_cast<std::int16_t>(text.size());
}

ResultCode FindSecurity(std::string_view directory, std::string_view key, MasterRecord& record,
                        std::string& foundDirectory) {
  std::string path = NormaliseDirectory(directory);
  if (path.size() > kMaxPathLength || path.find('\0') != std::string::npos) {
    return kFileNotFound;
  }

  // Every directory is searched at most once: a second road into it (a symbolic link back
  // up the tree, the same name spelt twice) would find nothing new and could otherwise
  // make the walk endless or exponential.
  std::set<std::string> entered;
  entered.insert(DirectoryIdentity(path));

  std::vector<Level> levels{Level{0, path.size()}};
  MasterRecord entry;

  for (;;) {
    bool descended = false;
    {
      QuoteFile file;
      std::array<std::uint8_t, kMasterRecordSize> header{};
      if (file.open(ResolveInDirectory(path, "master")) &&
          file.readExact(header.data(), header.size())) {
        const auto stored = static_cast<std::int16_t>(header[0] | (header[1] << 8));
        const int count = std::max<int>(stored, 0);
        bool exhausted = false;

        if (levels.back().resume == 0) {
          // Comparison pass: every security entry of this level, in file order, before any
          // subdirectory; note where the first directory entry is.
          for (int number = 1; number <= count; ++number) {
            if (!file.readExact(entry.bytes.data(), entry.bytes.size())) {
              exhausted = true;  // the rest of this level, subdirectories included, is lost
              break;
            }
            if (entry.isDirectory()) {
              if (levels.back().resume == 0) levels.back().resume = number;
            } else if (Matches(entry, key)) {
              file.close();
              MbfToIeee(&entry.bytes[kReal1Offset], &entry.bytes[kReal1Offset]);
              MbfToIeee(&entry.bytes[kReal2Offset], &entry.bytes[kReal2Offset]);
              record = entry;
              foundDirectory = path;
              return kSuccess;
            }
          }
          if (levels.back().resume == 0) levels.back().resume = count + 1;
        }

        // Look for the next directory entry from the remembered position.
        if (!exhausted && levels.back().resume <= count) {
          if (!file.seek(static_cast<std::int64_t>(kMasterRecordSize) * levels.back().resume)) {
            return kFileRead;
          }
          while (levels.back().resume <= count) {
            if (!file.readExact(entry.bytes.data(), entry.bytes.size())) return kFileRead;
            ++levels.back().resume;
            if (!entry.isDirectory()) continue;

            const std::string name = entry.directoryName();
            if (!IsPlainDirectoryName(name)) continue;
            if (static_cast<int>(levels.size()) > kMaxSearchDepth) continue;
            std::string subdirectory = ResolveInDirectory(path, name) + "/";
            if (subdirectory.size() > kMaxPathLength) continue;
            const std::string identity = DirectoryIdentity(subdirectory);
            // A missing subdirectory has no MASTER file to open: skipped like one without.
            if (identity.empty() || !entered.insert(identity).second) continue;

            path = std::move(subdirectory);
            levels.push_back(Level{0, path.size()});
            descended = true;
            break;
          }
        }
      }
    }  // the level's MASTER file is closed before moving up or down

    if (!descended) {
      // This level is finished (or could not be read at all): back to the parent, which
      // carries on after the directory entry that led here.
      levels.pop_back();
      if (levels.empty()) return kFileNotFound;
      path.resize(levels.back().pathLength);
    }
  }
}
