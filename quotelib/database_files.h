#pragma once
// Knowing a quote database's files, so that nothing this program writes (a chart, its
// settings) can ever land on one: by name, whether the file exists or not, and by identity,
// whatever name, link or case spelling leads to it.

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>

// The index files: MASTER lists the securities; EMASTER adds long names and XMASTER lists
// the securities numbered above 255 (both read in extended reading only). The library opens
// them by these names and finds them in whatever case they are stored.
inline constexpr std::string_view kMasterFileName = "MASTER";
inline constexpr std::string_view kEmasterFileName = "EMASTER";
inline constexpr std::string_view kXmasterFileName = "XMASTER";

// A security's files, named after its file number n.
enum class SecurityFileKind {
  Layout,       // F<n>.DOP: one line per field of a data record
  Data,         // F<n>.DAT: the data records of a MASTER security
  XmasterData,  // F<n>.MWD: the data records of an XMASTER security
};

// "F12.DOP", "F12.DAT", "F300.MWD".
std::string SecurityFileName(int fileNumber, SecurityFileKind kind);

// MASTER, EMASTER, XMASTER, or F<digits>.DAT / .DOP / .MWD, without regard to case: a name
// the reader looks for, so a file of ours under it would be read as quote data.
bool IsDatabaseFileName(std::string_view name);

// Whether the file name of `path` is a database file name, or, when `path` is a symbolic
// link, the name of a file the link leads to (each step of a chain of links).
bool LeadsToDatabaseFileName(const std::string& path);

// The files of a quote database, by device and inode: every MASTER, EMASTER, XMASTER and
// F<n>.DAT, .DOP and .MWD (any case) in the MASTER file's directory and in the subdirectories
// its directory entries lead to, as deep as the security search goes. Each directory's names
// are read once, however many entries name it or name directories that are not there.
class DatabaseFiles {
 public:
  explicit DatabaseFiles(const std::string& masterPath);
  // Whether path (symbolic links followed) is one of those files.
  bool contains(const std::string& path) const;

 private:
  using FileId = std::pair<std::uint64_t, std::uint64_t>;
  void collect(const std::string& directory, int depth);

  std::set<FileId> files_;
  std::set<FileId> directories_;
};
