// The MASTER index: record kinds, the string helpers and the depth-first search of a tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "directory_opens.h"
#include "master.h"
#include "quote_file.h"
#include "quote_writer.h"
#include "values.h"

namespace {

namespace fs = std::filesystem;
using fixture::DirectoryRecord;
using fixture::Record53;
using fixture::SecurityRecord;
using fixture::WriteMaster;

Record53 Sec(std::uint8_t file, std::string symbol, std::string name = "Some Company",
             float real1 = 0.0f, float real2 = 0.0f) {
  fixture::Security s;
  s.fileNumber = file;
  s.symbol = std::move(symbol);
  s.name = std::move(name);
  s.real1 = real1;
  s.real2 = real2;
  return SecurityRecord(s);
}

struct Found {
  ResultCode code = 99;
  MasterRecord record;
  std::string dir;
};

Found Find(std::string_view directory, std::string_view key) {
  Found f;
  f.code = FindSecurity(directory, key, f.record, f.dir);
  return f;
}

fs::path MakeDir(const fs::path& p) {
  fs::create_directories(p);
  return p;
}

float RealAt(const MasterRecord& r, std::size_t at) {
  std::uint32_t bits = 0;
  for (int i = 3; i >= 0; --i) bits = (bits << 8) | r.bytes[at + static_cast<std::size_t>(i)];
  return std::bit_cast<float>(bits);
}

int OpenDescriptors() {
  return static_cast<int>(
      std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

class CurrentDirectory {
 public:
  explicit CurrentDirectory(const fs::path& p) : saved_(fs::current_path()) { fs::current_path(p); }
  ~CurrentDirectory() { fs::current_path(saved_); }

 private:
  fs::path saved_;
};

TEST(MasterRecord, DirectoryEntriesNeedTheMarkAndANonBlankFirstByte) {
  MasterRecord r;
  r.bytes = DirectoryRecord("SUB");
  EXPECT_TRUE(r.isDirectory());
  EXPECT_EQ(r.directoryName(), "SUB");

  r.bytes = fixture::RawNameRecord("ABCDEFGHIJK<DIR>");  // 11 letters: the first eight name it
  EXPECT_TRUE(r.isDirectory());
  EXPECT_EQ(r.directoryName(), "ABCDEFGH");

  r.bytes = fixture::RawNameRecord("           <DIR>");
  EXPECT_FALSE(r.isDirectory());
  r.bytes = fixture::RawNameRecord("SUB        <dir>");
  EXPECT_FALSE(r.isDirectory());
}

TEST(MasterFile, HeaderCountAsStoredThenWholeRecordsOnly) {
  fixture::TempDir dir;
  const fs::path path = dir.path() / "MASTER";
  WriteMaster(path, {Sec(1, "AAA"), Sec(2, "BBB")}, std::int16_t{-3});
  fs::resize_file(path, fs::file_size(path) - 1);  // the second record cut short
  QuoteFile file(path.string());
  std::int16_t count = 0;
  ASSERT_TRUE(ReadMasterHeader(file, count));
  EXPECT_EQ(count, -3);  // negative as stored: the caller judges it
  MasterRecord record;
  ASSERT_TRUE(ReadMasterRecord(file, record));
  EXPECT_EQ(record.symbol(), "AAA");
  EXPECT_FALSE(ReadMasterRecord(file, record));

  fs::resize_file(path, kMasterRecordSize - 1);
  QuoteFile shortFile(path.string());
  EXPECT_FALSE(ReadMasterHeader(shortFile, count));
}

TEST(MasterRecord, NameAndSymbolTexts) {
  MasterRecord r;
  r.bytes = Sec(3, "BHP X", "BHP Billiton");
  EXPECT_EQ(r.name(), "BHP Billiton");
  EXPECT_EQ(r.symbol(), "BHP");
  r.bytes[36 + 1] = '\0';  // a NUL ends the text
  EXPECT_EQ(r.symbol(), "B");
  r.bytes = Sec(3, "ABCDEFGHIJKLMNOPQ", "3D Resources Ltd");  // both fields full
  EXPECT_EQ(r.symbol(), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(r.name(), "3D Resources Ltd");
}

TEST(StringHelpers, TrimCountAndPrefix) {
  std::string s = "AB C   ";
  TrimTrailingBlanks(s);
  EXPECT_EQ(s, "AB C");
  s = "    ";
  TrimTrailingBlanks(s);
  EXPECT_EQ(s, "");
  EXPECT_EQ(CountChar("A B C ", ' '), 3);
  EXPECT_EQ(CountChar("", ' '), 0);
  EXPECT_EQ(PrefixLength("AB CD EF", ' ', 1), 2);
  EXPECT_EQ(PrefixLength("AB CD EF", ' ', 2), 5);
  EXPECT_EQ(PrefixLength("AB CD EF", ' ', 3), 8);  // fewer occurrences: the whole text
  EXPECT_EQ(PrefixLength(" X", ' ', 1), 0);
  EXPECT_EQ(PrefixLength("AB CD", ' ', 0), 0);
}

TEST(FindSecurity, TopDirectoryWithOrWithoutSeparatorAndAnyMasterSpelling) {
  for (const char* spelling : {"MASTER", "master", "Master"}) {
    fixture::TempDir tmp;
    WriteMaster(tmp.path() / spelling, {Sec(1, "AAA"), Sec(2, "BHP")});
    const std::string plain = tmp.path().string();
    std::string backslashed = plain;
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    for (const std::string& top : {plain, plain + "/", backslashed, backslashed + "\\"}) {
      const Found f = Find(top, "BHP");
      ASSERT_EQ(f.code, 0) << spelling << " " << top;
      EXPECT_EQ(f.record.fileNumber(), 2);
      EXPECT_EQ(f.dir, plain + "/");
    }
  }
}

TEST(FindSecurity, EmptyTopDirectoryIsTheCurrentOne) {
  fixture::TempDir tmp;
  WriteMaster(tmp.path() / "MASTER", {Sec(7, "CUR")});
  MakeDir(tmp.path() / "SUB");
  WriteMaster(tmp.path() / "SUB" / "MASTER", {Sec(8, "DEEP")});
  WriteMaster(tmp.path() / "MASTER", {Sec(7, "CUR"), DirectoryRecord("sub")});
  CurrentDirectory here(tmp.path());
  Found f = Find("", "cur");
  ASSERT_EQ(f.code, 0);
  EXPECT_EQ(f.record.fileNumber(), 7);
  EXPECT_EQ(f.dir, "");
  f = Find("", "DEEP");  // the entry says "sub", the directory is "SUB"
  ASSERT_EQ(f.code, 0);
  EXPECT_EQ(f.dir, "SUB/");
}

TEST(FindSecurity, MatchesNameOrSymbolWithoutRegardToCase) {
  fixture::TempDir tmp;
  WriteMaster(tmp.path() / "MASTER",
              {Sec(1, "AAA", "Alpha Mining"), Sec(2, "BBB", "Beta Gold Ltd")});
  EXPECT_EQ(Find(tmp.dir(), "beta gold ltd").record.fileNumber(), 2);
  EXPECT_EQ(Find(tmp.dir(), "ALPHA MINING").record.fileNumber(), 1);
  EXPECT_EQ(Find(tmp.dir(), "bbb").record.fileNumber(), 2);
  EXPECT_EQ(Find(tmp.dir(), "Beta Gold Ltd ").code, kFileNotFound);  // the key is not trimmed
  EXPECT_EQ(Find(tmp.dir(), "Beta").code, kFileNotFound);            // no prefix matches
  EXPECT_EQ(Find(tmp.dir(), "CCC").code, kFileNotFound);
}

TEST(FindSecurity, KeyBlanksDecideWhereTheSymbolEnds) {
  fixture::TempDir tmp;
  WriteMaster(tmp.path() / "MASTER", {Sec(1, "AB CD EF", "One"), Sec(2, "ABCDEFGHIJKLMNOP", "Two"),
                                      Sec(3, "X Y Z W", "Three")});
  EXPECT_EQ(Find(tmp.dir(), "AB").record.fileNumber(), 1);
  EXPECT_EQ(Find(tmp.dir(), "ab cd").record.fileNumber(), 1);
  EXPECT_EQ(Find(tmp.dir(), "AB CD EF").record.fileNumber(), 1);
  EXPECT_EQ(Find(tmp.dir(), "AB CD EF GH").code, kFileNotFound);
  // A full field has no blank to stop at: the symbol is the whole field, never more.
  EXPECT_EQ(Find(tmp.dir(), "ABCDEFGHIJKLMNOP").record.fileNumber(), 2);
  EXPECT_EQ(Find(tmp.dir(), "ABCDEFGHIJKLMNOPQ").code, kFileNotFound);
  // More blanks in the key than in the field: the whole field, trailing blanks included.
  EXPECT_EQ(Find(tmp.dir(), "X Y Z W         ").record.fileNumber(), 3);
  EXPECT_EQ(Find(tmp.dir(), std::string(40, ' ')).code, kFileNotFound);
  EXPECT_EQ(Find(tmp.dir(), std::string(5000, 'A')).code, kFileNotFound);
}

TEST(FindSecurity, ReturnsTheRecordWithItsRealsConverted) {
  fixture::TempDir tmp;
  const Record53 stored = Sec(42, "RIO", "Rio Tinto", 1.5f, -1234.25f);
  WriteMaster(tmp.path() / "MASTER", {stored});
  const Found f = Find(tmp.dir(), "RIO");
  ASSERT_EQ(f.code, 0);
  EXPECT_EQ(RealAt(f.record, 25), 1.5f);
  EXPECT_EQ(RealAt(f.record, 29), -1234.25f);
  for (std::size_t i = 0; i < kMasterRecordSize; ++i) {
    if (i >= 25 && i <= 32) continue;
    EXPECT_EQ(f.record.bytes[i], stored[i]) << "byte " << i;
  }
}

// TOP: S1, dir A, S2, dir B.  A: dir AA, S3.  AA: S4.  B: S5.
class SearchOrder : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path top = tmp.path();
    WriteMaster(top / "MASTER", {Sec(1, "S1"), DirectoryRecord("A"), Sec(2, "S2", "Later Name"),
                                 DirectoryRecord("B")});
    WriteMaster(MakeDir(top / "A") / "MASTER",
                {DirectoryRecord("AA"), Sec(3, "S3"), Sec(30, "DUP"), Sec(31, "S2")});
    WriteMaster(MakeDir(top / "A" / "AA") / "MASTER", {Sec(4, "S4"), Sec(40, "DEEP")});
    WriteMaster(MakeDir(top / "B") / "MASTER", {Sec(5, "S5"), Sec(50, "DUP"), Sec(51, "DEEP")});
  }
  fixture::TempDir tmp;
};

TEST_F(SearchOrder, SecuritiesOfALevelComeBeforeItsSubdirectories) {
  const Found f = Find(tmp.dir(), "S2");  // after a directory entry, still before A's subtree
  ASSERT_EQ(f.code, 0);
  EXPECT_EQ(f.record.fileNumber(), 2);
  EXPECT_EQ(f.dir, tmp.dir());
}

TEST_F(SearchOrder, SubtreesInDirectoryEntryOrderDepthFirst) {
  Found f = Find(tmp.dir(), "DUP");  // in A and in B: A's entry comes first
  ASSERT_EQ(f.code, 0);
  EXPECT_EQ(f.record.fileNumber(), 30);
  EXPECT_EQ(f.dir, tmp.dir() + "A/");

  f = Find(tmp.dir(), "DEEP");  // A's whole subtree before B
  ASSERT_EQ(f.code, 0);
  EXPECT_EQ(f.record.fileNumber(), 40);
  EXPECT_EQ(f.dir, tmp.dir() + "A/AA/");

  f = Find(tmp.dir(), "S5");  // back up two levels and on to the next entry
  ASSERT_EQ(f.code, 0);
  EXPECT_EQ(f.dir, tmp.dir() + "B/");

  EXPECT_EQ(Find(tmp.dir(), "NONE").code, kFileNotFound);
}

TEST_F(SearchOrder, MissingOrBrokenSubdirectoriesAreSkipped) {
  fs::remove(tmp.path() / "A" / "MASTER");  // A and its subtree unreachable
  Found f = Find(tmp.dir(), "S5");
  ASSERT_EQ(f.code, 0);
  EXPECT_EQ(f.dir, tmp.dir() + "B/");
  EXPECT_EQ(Find(tmp.dir(), "S4").code, kFileNotFound);

  // A's header announces more records than the file holds: A's comparison pass ends at the
  // missing record and the rest of A, subdirectory AA included, is skipped.
  WriteMaster(tmp.path() / "A" / "MASTER", {Sec(3, "S3"), DirectoryRecord("AA")}, 5);
  EXPECT_EQ(Find(tmp.dir(), "S3").record.fileNumber(), 3);
  EXPECT_EQ(Find(tmp.dir(), "S4").code, kFileNotFound);
  f = Find(tmp.dir(), "S5");
  ASSERT_EQ(f.code, 0);
  EXPECT_EQ(f.record.fileNumber(), 5);

  // A directory entry naming a directory that does not exist is passed over too.
  fs::remove_all(tmp.path() / "A");
  EXPECT_EQ(Find(tmp.dir(), "S5").record.fileNumber(), 5);
}

TEST(FindSecurity, HeaderCountDecidesWhatIsVisible) {
  fixture::TempDir tmp;
  const fs::path master = tmp.path() / "MASTER";
  WriteMaster(master, {Sec(1, "ONE"), Sec(2, "TWO"), Sec(3, "THREE")}, 2);
  EXPECT_EQ(Find(tmp.dir(), "TWO").code, 0);
  EXPECT_EQ(Find(tmp.dir(), "THREE").code, kFileNotFound);  // beyond the count

  WriteMaster(master, {Sec(1, "ONE")}, -3);  // negative count: no records
  EXPECT_EQ(Find(tmp.dir(), "ONE").code, kFileNotFound);
  WriteMaster(master, {Sec(1, "ONE")}, 0);
  EXPECT_EQ(Find(tmp.dir(), "ONE").code, kFileNotFound);

  // Larger count at the top level: records before the gap are compared, then -8.
  WriteMaster(master, {Sec(1, "ONE")}, 32767);
  EXPECT_EQ(Find(tmp.dir(), "ONE").code, 0);
  EXPECT_EQ(Find(tmp.dir(), "TWO").code, kFileNotFound);

  // A truncated last record is never half-read.
  WriteMaster(master, {Sec(1, "ONE"), Sec(2, "TWO")});
  fs::resize_file(master, 53 * 3 - 1);
  EXPECT_EQ(Find(tmp.dir(), "ONE").code, 0);
  EXPECT_EQ(Find(tmp.dir(), "TWO").code, kFileNotFound);

  fs::resize_file(master, 52);  // not even a header
  EXPECT_EQ(Find(tmp.dir(), "ONE").code, kFileNotFound);
  fs::remove(master);
  EXPECT_EQ(Find(tmp.dir(), "ONE").code, kFileNotFound);
  EXPECT_EQ(Find(tmp.dir() + "nowhere/", "ONE").code, kFileNotFound);
}

TEST(FindSecurity, MasterThatIsADirectoryCountsAsMissing) {
  fixture::TempDir tmp;
  MakeDir(tmp.path() / "MASTER");
  EXPECT_EQ(Find(tmp.dir(), "ANY").code, kFileNotFound);
  // A subdirectory in the same state is skipped.
  fixture::TempDir tmp2;
  WriteMaster(tmp2.path() / "MASTER", {DirectoryRecord("S"), DirectoryRecord("T")});
  MakeDir(tmp2.path() / "S" / "master");
  WriteMaster(MakeDir(tmp2.path() / "T") / "MASTER", {Sec(9, "OK")});
  EXPECT_EQ(Find(tmp2.dir(), "OK").record.fileNumber(), 9);
}

TEST(FindSecurity, TheExactNameDecidesEvenWhenItIsNoFile) {
  // "master" exists (as a directory), so that is the level's index file, and it cannot be
  // read: MASTER beside it is not consulted.
  fixture::TempDir tmp;
  WriteMaster(tmp.path() / "MASTER", {DirectoryRecord("S"), DirectoryRecord("T")});
  MakeDir(MakeDir(tmp.path() / "S") / "master");
  WriteMaster(tmp.path() / "S" / "MASTER", {Sec(8, "HIDDEN")});
  WriteMaster(MakeDir(tmp.path() / "T") / "Master", {Sec(9, "SHOWN")});
  EXPECT_EQ(Find(tmp.dir(), "HIDDEN").code, kFileNotFound);
  EXPECT_EQ(Find(tmp.dir(), "SHOWN").dir, tmp.dir() + "T/");
}

TEST(FindSecurity, ComingBackToALevelCarriesOnWithItsNextDirectoryEntry) {
  // A parent with many records between its directory entries, more than are read at once,
  // is taken up again after each subtree at the entry after the one that led away.
  fixture::TempDir tmp;
  std::vector<Record53> top;
  for (int d = 0; d < 5; ++d) {
    for (int k = 0; k < 150; ++k)
      top.push_back(Sec(1, "P" + std::to_string(d) + "_" + std::to_string(k)));
    const std::string name = "D" + std::to_string(d);
    top.push_back(DirectoryRecord(name));
    WriteMaster(MakeDir(tmp.path() / name) / "MASTER",
                {Sec(static_cast<std::uint8_t>(d + 10), "IN" + std::to_string(d))});
  }
  WriteMaster(tmp.path() / "MASTER", top);
  for (int d = 0; d < 5; ++d) {
    const Found f = Find(tmp.dir(), "IN" + std::to_string(d));
    ASSERT_EQ(f.code, 0) << d;
    EXPECT_EQ(f.dir, tmp.dir() + "D" + std::to_string(d) + "/");
    EXPECT_EQ(f.record.fileNumber(), d + 10);
  }
  EXPECT_EQ(Find(tmp.dir(), "P4_149").dir, tmp.dir());
}

TEST(FindSecurity, BlankFirstByteMakesADirMarkedRecordASecurity) {
  fixture::TempDir tmp;
  Record53 odd = fixture::RawNameRecord("           <DIR>");
  std::memcpy(&odd[36], "ODD             ", 16);
  odd[0] = 77;
  WriteMaster(tmp.path() / "MASTER", {odd});
  const Found f = Find(tmp.dir(), "odd");
  ASSERT_EQ(f.code, 0);
  EXPECT_EQ(f.record.fileNumber(), 77);
}

TEST(FindSecurity, LongDirectoryNameFieldLeadsToItsFirstEightLetters) {
  fixture::TempDir tmp;
  WriteMaster(tmp.path() / "MASTER", {fixture::RawNameRecord("ABCDEFGHIJK<DIR>")});
  WriteMaster(MakeDir(tmp.path() / "ABCDEFGH") / "MASTER", {Sec(5, "IN")});
  const Found f = Find(tmp.dir(), "IN");
  ASSERT_EQ(f.code, 0);
  EXPECT_EQ(f.dir, tmp.dir() + "ABCDEFGH/");
}

TEST(FindSecurity, DirectoryEntriesThatLeaveTheTreeOrLoopAreSkipped) {
  fixture::TempDir tmp;
  const fs::path top = MakeDir(tmp.path() / "top");
  // Above the tree lies a MASTER file that must never be reached.
  WriteMaster(tmp.path() / "MASTER", {Sec(66, "OUTSIDE")});
  WriteMaster(top / "MASTER",
              {DirectoryRecord("."), DirectoryRecord(".."), DirectoryRecord("../top"),
               DirectoryRecord("a\\..\\.."), DirectoryRecord("LOOP"), DirectoryRecord("loop"),
               DirectoryRecord("UP"), DirectoryRecord("LAST")});
  fs::create_directory_symlink("..", top / "UP");  // leads out of the tree to its parent
  WriteMaster(MakeDir(top / "LOOP") / "MASTER",
              {DirectoryRecord("SELF"), DirectoryRecord("BACK"), Sec(10, "INLOOP")});
  fs::create_directory_symlink(".", top / "LOOP" / "SELF");
  fs::create_directory_symlink("..", top / "LOOP" / "BACK");
  WriteMaster(MakeDir(top / "LAST") / "MASTER", {Sec(11, "END")});

  const int before = OpenDescriptors();
  Found f = Find(top.string(), "END");
  ASSERT_EQ(f.code, 0);
  EXPECT_EQ(f.dir, top.string() + "/LAST/");
  f = Find(top.string(), "INLOOP");
  ASSERT_EQ(f.code, 0);
  EXPECT_EQ(f.dir, top.string() + "/LOOP/");
  // The symbolic link UP does lead to the parent, a real directory with a MASTER file: it is
  // entered once, like any other subdirectory.
  EXPECT_EQ(Find(top.string(), "OUTSIDE").dir, top.string() + "/UP/");
  EXPECT_EQ(Find(top.string(), "NOWHERE").code, kFileNotFound);
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST(FindSecurity, ExponentialFanOutIsSearchedOnce) {
  // Every level names the next level ten times: without remembering where it has been, the
  // search would visit 10^20 directories.
  fixture::TempDir tmp;
  fs::path dir = tmp.path();
  for (int depth = 0; depth < 20; ++depth) {
    std::vector<Record53> records;
    for (const char* n : {"n", "N", "n", "N", "n", "N", "n", "N", "n", "N"})
      records.push_back(DirectoryRecord(n));
    WriteMaster(dir / "MASTER", records);
    dir = MakeDir(dir / "N");
  }
  WriteMaster(dir / "MASTER", {Sec(1, "BOTTOM")});
  EXPECT_EQ(Find(tmp.dir(), "NOTHERE").code, kFileNotFound);
  EXPECT_EQ(Find(tmp.dir(), "BOTTOM").code, 0);
}

using fixture::DirectoryOpens;

TEST(FindSecurity, ReadsADirectorysNamesAtMostOncePerSearch) {
  // Hundreds of entries naming subdirectories that are not there, and one spelt in another
  // case: each needs a look among the names, which must not mean reading them each time.
  fixture::TempDir tmp;
  std::vector<Record53> records;
  for (int k = 0; k < 300; ++k) records.push_back(DirectoryRecord("M" + std::to_string(k)));
  records.push_back(DirectoryRecord("sub"));
  WriteMaster(tmp.path() / "Master", records);
  WriteMaster(MakeDir(tmp.path() / "SUB") / "MASTER", {Sec(4, "DEEP")});
  Found f;
  EXPECT_EQ(DirectoryOpens(tmp.path(), [&] { f = Find(tmp.dir(), "DEEP"); }), 1);
  EXPECT_EQ(f.code, 0);
  EXPECT_EQ(f.dir, tmp.dir() + "SUB/");
}

TEST(FindSecurity, DepthIsBounded) {
  fixture::TempDir tmp;
  fs::path dir = tmp.path();
  std::string expected = tmp.dir();
  for (int depth = 0; depth <= kMaxSearchDepth + 1; ++depth) {
    WriteMaster(dir / "MASTER",
                {Sec(static_cast<std::uint8_t>(depth), "AT" + std::to_string(depth)),
                 DirectoryRecord("D")});
    dir = MakeDir(dir / "D");
  }
  const Found deepest = Find(tmp.dir(), "AT" + std::to_string(kMaxSearchDepth));
  ASSERT_EQ(deepest.code, 0);
  for (int d = 0; d < kMaxSearchDepth; ++d) expected += "D/";
  EXPECT_EQ(deepest.dir, expected);
  EXPECT_EQ(Find(tmp.dir(), "AT" + std::to_string(kMaxSearchDepth + 1)).code, kFileNotFound);
}

TEST(FindSecurity, PathLengthIsBounded) {
  fixture::TempDir tmp;
  // Grow the top directory to just under the bound.
  fs::path top = tmp.path();
  while (top.string().size() + 1 + 200 < kMaxPathLength - 8)
    top = MakeDir(top / std::string(200, 'x'));
  const std::size_t fill = kMaxPathLength - 8 - top.string().size() - 1;
  top = MakeDir(top / std::string(fill, 'y'));
  const std::string topText = top.string() + "/";
  ASSERT_EQ(topText.size(), kMaxPathLength - 7);

  WriteMaster(top / "MASTER", {DirectoryRecord("EIGHTCHR"), DirectoryRecord("SIXCHR")});
  WriteMaster(MakeDir(top / "EIGHTCHR") / "MASTER", {Sec(1, "LONG")});
  WriteMaster(MakeDir(top / "SIXCHR") / "MASTER", {Sec(2, "SHORT")});
  EXPECT_EQ(Find(topText, "SHORT").dir.size(), kMaxPathLength);  // exactly at the bound
  EXPECT_EQ(Find(topText, "LONG").code, kFileNotFound);          // one past it

  EXPECT_EQ(Find(std::string(kMaxPathLength + 1, 'z'), "ANY").code, kFileNotFound);
  EXPECT_EQ(Find(std::string("abc\0def", 7), "ANY").code, kFileNotFound);
}

TEST(FindSecurity, LeavesNoFileOpenOnAnyPath) {
  fixture::TempDir tmp;
  WriteMaster(tmp.path() / "MASTER", {Sec(1, "A"), DirectoryRecord("S"), DirectoryRecord("T")});
  WriteMaster(MakeDir(tmp.path() / "S") / "MASTER", {Sec(2, "B")}, 4);
  WriteMaster(MakeDir(tmp.path() / "T") / "MASTER", {Sec(3, "C")});
  const int before = OpenDescriptors();
  for (const char* key : {"A", "B", "C", "D"}) Find(tmp.dir(), key);
  Find(tmp.dir() + "missing", "A");
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST(FindSecurity, RealDatabase) {
  const fs::path dir = fs::path(TICKVANE_SHARED_DIR) / "realdata" / "asx-mining";
  if (!fs::exists(dir / "MASTER")) GTEST_SKIP() << "no real data at " << dir;

  // Reference: the records as the file holds them.
  std::ifstream in(dir / "MASTER", std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), 53u * 216);
  const int count =
      static_cast<std::uint8_t>(bytes[0]) | (static_cast<std::uint8_t>(bytes[1]) << 8);
  EXPECT_EQ(count, 215);

  int checked = 0;
  for (int number : {1, 2, 100, 215}) {
    MasterRecord stored;
    std::memcpy(stored.bytes.data(), &bytes[static_cast<std::size_t>(53 * number)], 53);
    const std::string symbol = stored.symbol();
    const Found bySymbol = Find(dir.string(), symbol);
    ASSERT_EQ(bySymbol.code, 0) << symbol;
    EXPECT_EQ(bySymbol.dir, dir.string() + "/");
    EXPECT_EQ(bySymbol.record.fileNumber(), stored.fileNumber());
    EXPECT_EQ(bySymbol.record.name(), stored.name());
    EXPECT_EQ(bySymbol.record.recordLength(), 28);
    EXPECT_EQ(bySymbol.record.fieldCount(), 7);
    std::string lower = stored.name();
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const Found byName = Find(dir.string(), lower);
    ASSERT_EQ(byName.code, 0) << lower;
    EXPECT_EQ(byName.record.bytes, bySymbol.record.bytes);
    MasterRecord converted = stored;
    MbfToIeee(&converted.bytes[25], &converted.bytes[25]);
    MbfToIeee(&converted.bytes[29], &converted.bytes[29]);
    EXPECT_EQ(bySymbol.record.bytes, converted.bytes);
    ++checked;
  }
  EXPECT_EQ(checked, 4);
  // The first security's reals hold its first and last dates.
  const Found first = Find(dir.string(), "DDD");
  EXPECT_EQ(RealAt(first.record, 25), 1070321.0f);
  EXPECT_EQ(RealAt(first.record, 29), 1120315.0f);
  EXPECT_EQ(Find(dir.string(), "NOSUCHSYM").code, kFileNotFound);
}

}  // namespace
