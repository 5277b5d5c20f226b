#include "master.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "ascii.h"
#include "database_files.h"
#include "quote_file.h"
#include "subdirectories.h"
#include "values.h"

namespace {

constexpr std::size_t kDirNameLength = 8;
constexpr std::string_view kDirMark = "<DIR>";
constexpr std::size_t kDirMarkOffset = 11;  // in the name field
constexpr std::size_t kReal1Offset = 25;
constexpr std::size_t kReal2Offset = 29;

// Fixed-width fields are texts: a NUL byte ends them, as it ends a C string.
std::string_view UpToNul(std::string_view field) { return field.substr(0, field.find('\0')); }

// Matching a record against the key. Every record of every MASTER file the search passes
// comes through here, so each field is compared in one pass that stops at the first
// difference, instead of being cut to its text first.

// Whether a name field (its text up to a NUL byte, trailing blanks removed) equals key.
bool NameEquals(std::string_view field, std::string_view key) {
  // The text never ends in a blank, and never holds a NUL.
  if (key.size() > field.size() || (!key.empty() && key.back() == ' ')) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (field[i] == '\0' || FoldAscii(field[i]) != FoldAscii(key[i])) return false;
  }
  for (std::size_t i = key.size(); i < field.size() && field[i] != '\0'; ++i) {
    if (field[i] != ' ') return false;  // more text than the key
  }
  return true;
}

// A key with k blanks (`keyBlanks`) is compared with the symbol up to its (k + 1)-th blank,
// so symbols holding blanks can be found. A field with fewer blanks ends at its NUL byte or
// at the end of the field: the record's next byte is not part of the symbol.
bool SymbolEquals(std::string_view field, std::string_view key, std::size_t keyBlanks) {
  std::size_t seen = 0;
  for (std::size_t i = 0;; ++i) {
    if (i == field.size() || field[i] == '\0' || (field[i] == ' ' && ++seen == keyBlanks + 1)) {
      return i == key.size();
    }
    if (i == key.size() || FoldAscii(field[i]) != FoldAscii(key[i])) return false;
  }
}

bool Matches(const MasterRecord& entry, std::string_view key, std::size_t keyBlanks) {
  return NameEquals(entry.nameField(), key) || SymbolEquals(entry.symbolField(), key, keyBlanks);
}

// Opens the MASTER file of `directory` (the search asks for "master"). The usual outcome,
// no file of that exact name and one named MASTER, takes two attempts to open, and what
// they open is what ResolveInDirectory would name. Anything else (another spelling, or a
// name that exists but does not open) is left to ResolveInDirectory.
bool OpenMaster(QuoteFile& file, const std::string& directory,
                std::unique_ptr<DirectoryListing>& listing) {
  errno = 0;
  const std::string asked = FoldedAscii(kMasterFileName);
  if (file.open(directory + asked)) return true;
  if (errno == ENOENT) {
    errno = 0;
    if (file.open(directory + std::string(kMasterFileName))) return true;
  }
  if (!listing) listing = std::make_unique<DirectoryListing>(directory);
  const std::string_view name = listing->find(asked);
  return !name.empty() && file.open(directory + std::string(name));
}

// One search of a tree. Visit searches one directory and, depth first, the subdirectories
// its directory entries lead to; its depth is bounded by kMaxSearchDepth.
class Search {
 public:
  Search(std::string_view key, MasterRecord& record, std::string& foundDirectory)
      : key_(key),
        keyBlanks_(static_cast<std::size_t>(std::count(key.begin(), key.end(), ' '))),
        record_(record),
        foundDirectory_(foundDirectory) {}

  // Marks a directory as searched; false when it already was.
  bool enter(const DirectoryId& id) { return entered_.insert(id).second; }

  // kSuccess when the key was found in `path`'s tree, kFileNotFound when it was not there
  // (or the level could not be read), kFileRead when a record could not be read while
  // looking for the next directory entry, which ends the whole search.
  ResultCode visit(std::string& path, int depth) {
    if (static_cast<std::size_t>(depth) == files_.size())
      files_.push_back(std::make_unique<QuoteFile>());
    // The file stays open while the subdirectories are searched: coming back to it
    // repositions it instead of opening it again by name, usually within what it has
    // already buffered. The object (and its buffer) serves the next directory at this depth.
    QuoteFile& file = *files_[static_cast<std::size_t>(depth)];
    std::unique_ptr<DirectoryListing> listing;  // read at the first name not found as stored
    std::int16_t headerCount = 0;
    if (!OpenMaster(file, path, listing) || !ReadMasterHeader(file, headerCount)) {
      file.close();
      return kFileNotFound;
    }
    const int count = std::max<int>(headerCount, 0);

    int resume = 0;  // the number of the next record to look at for a directory entry
    switch (compareLevel(file, count, resume)) {
      case Pass::Found:
        foundDirectory_ = path;
        return kSuccess;
      case Pass::Exhausted:
        file.close();
        return kFileNotFound;
      case Pass::Compared:
        break;
    }

    while (resume <= count) {
      if (!file.seek(static_cast<std::int64_t>(kMasterRecordSize) * resume)) return kFileRead;
      std::string subdirectory;
      if (const ResultCode rc =
              nextSubdirectory(file, count, resume, path, depth, listing, subdirectory);
          rc != kSuccess)
        return rc;
      if (subdirectory.empty()) break;  // no more directory entries
      const std::size_t pathLength = path.size();
      path = std::move(subdirectory);
      const ResultCode rc = visit(path, depth + 1);
      if (rc != kFileNotFound) return rc;
      // Back from the subdirectory: the search carries on after the entry that led there.
      path.resize(pathLength);
    }
    file.close();
    return kFileNotFound;
  }

 private:
  enum class Pass { Found, Exhausted, Compared };

  // Comparison pass: every security entry of the level, in file order, before any
  // subdirectory; `firstDirectory` becomes the number of the first directory entry (count + 1
  // when there is none). Records are taken from the file a block at a time; a block that
  // comes back short ends the pass after its whole records, and the first record that cannot
  // be read loses the rest of the level, subdirectories included.
  Pass compareLevel(QuoteFile& file, int count, int& firstDirectory) {
    for (int number = 1; number <= count;) {
      const int wanted = std::min(count - number + 1, kBlockRecords);
      const auto got = static_cast<int>(
          file.readSome(block_.data(), static_cast<std::size_t>(wanted) * kMasterRecordSize) /
          kMasterRecordSize);
      for (int k = 0; k < got; ++k, ++number) {
        std::memcpy(entry_.bytes.data(), block_.data() + k * kMasterRecordSize, kMasterRecordSize);
        if (entry_.isDirectory()) {
          if (firstDirectory == 0) firstDirectory = number;
        } else if (Matches(entry_, key_, keyBlanks_)) {
          MbfToIeee(&entry_.bytes[kReal1Offset], &entry_.bytes[kReal1Offset]);
          MbfToIeee(&entry_.bytes[kReal2Offset], &entry_.bytes[kReal2Offset]);
          record_ = entry_;
          return Pass::Found;
        }
      }
      if (got < wanted) return Pass::Exhausted;
    }
    if (firstDirectory == 0) firstDirectory = count + 1;
    return Pass::Compared;
  }

  // Reads on from record `resume` to the next directory entry that leads to a directory
  // this search may enter; fills `subdirectory` with its path (trailing separator included)
  // or leaves it empty when the level has no more. kFileRead when a record cannot be read.
  ResultCode nextSubdirectory(QuoteFile& file, int count, int& resume, const std::string& path,
                              int depth, std::unique_ptr<DirectoryListing>& listing,
                              std::string& subdirectory) {
    while (resume <= count) {
      if (!file.readExact(entry_.bytes.data(), entry_.bytes.size())) return kFileRead;
      ++resume;
      if (!entry_.isDirectory()) continue;
      const std::string name = entry_.directoryName();
      if (!IsPlainDirectoryName(name) || depth >= kMaxSearchDepth) continue;
      DirectoryId identity;
      if (!FindSubdirectory(path, name, listing, subdirectory, identity)) continue;
      subdirectory += '/';
      // A missing subdirectory has no MASTER file to open: skipped like one without.
      if (subdirectory.size() > kMaxPathLength || !enter(identity)) continue;
      return kSuccess;
    }
    subdirectory.clear();
    return kSuccess;
  }

  static constexpr int kBlockRecords = 64;

  std::string_view key_;
  std::size_t keyBlanks_;
  MasterRecord& record_;
  std::string& foundDirectory_;
  // Every directory is searched at most once: a second road into it (a symbolic link back
  // up the tree, the same name spelt twice) would find nothing new and could otherwise
  // make the walk endless or exponential.
  std::set<DirectoryId> entered_;
  std::vector<std::unique_ptr<QuoteFile>> files_;  // one per depth, reused
  std::array<std::uint8_t, kBlockRecords * kMasterRecordSize> block_{};
  MasterRecord entry_;
};

}  // namespace

bool IsDirectoryNameField(std::string_view nameField) {
  return !nameField.empty() && nameField[0] != ' ' &&
         nameField.substr(std::min(kDirMarkOffset, nameField.size()), kDirMark.size()) == kDirMark;
}

std::int16_t MasterHeaderCount(const std::array<std::uint8_t, kMasterRecordSize>& header) {
  return static_cast<std::int16_t>(header[0] | (header[1] << 8));
}

bool ReadMasterHeader(QuoteFile& file, std::int16_t& count) {
  std::array<std::uint8_t, kMasterRecordSize> header{};
  if (!file.readExact(header.data(), header.size())) return false;
  count = MasterHeaderCount(header);
  return true;
}

bool ReadMasterRecord(QuoteFile& file, MasterRecord& record) {
  return file.readExact(record.bytes.data(), record.bytes.size());
}

bool MasterRecord::isDirectory() const { return IsDirectoryNameField(nameField()); }

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

bool SecurityMatches(const MasterRecord& entry, std::string_view key) {
  return Matches(entry, key, static_cast<std::size_t>(std::count(key.begin(), key.end(), ' ')));
}

ResultCode FindSecurity(std::string_view directory, std::string_view key, MasterRecord& record,
                        std::string& foundDirectory) {
  std::string path = NormaliseDirectory(directory);
  if (path.size() > kMaxPathLength || path.find('\0') != std::string::npos) {
    return kFileNotFound;
  }
  Search search(key, record, foundDirectory);
  if (DirectoryId top; IdentifyDirectory(path, top)) search.enter(top);
  return search.visit(path, 0);
}
