// quotedump's output lines and exit statuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "quote_writer.h"
#include "run_program.h"
#include "version.h"

namespace {

namespace fs = std::filesystem;
using fixture::DirectoryRecord;
using fixture::WriteMaster;

using Result = fixture::ProgramRun;

// stdout goes to the test unless `stdoutPath` names where it should go instead.
Result Quotedump(const std::vector<std::string>& args, const std::string& stdoutPath = {}) {
  return fixture::RunProgram(QUOTEDUMP_PATH, args, {.unset = {}, .stdoutPath = stdoutPath});
}

fixture::Record53 Sec(std::uint8_t file, const std::string& symbol, const std::string& name,
                      float real1 = 0.0f, float real2 = 0.0f) {
  fixture::Security s;
  s.fileNumber = file;
  s.symbol = symbol;
  s.name = name;
  s.real1 = real1;
  s.real2 = real2;
  s.recordLength = 24;
  s.fieldCount = 6;
  return fixture::SecurityRecord(s);
}

class QuotedumpOnADatabase : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteMaster(tmp.path() / "MASTER",
                {Sec(1, "AAA", "Alpha Mining", 961115.0f, 0.1f), DirectoryRecord("SUB"),
                 Sec(200, "BHP X", "BHP Billiton Ltd", -2.5f, 1e-7f)});
    fs::create_directory(tmp.path() / "SUB");
    WriteMaster(tmp.path() / "SUB" / "master", {Sec(3, "DEEP", "Deep Gold NL", 1.0f, 1.0e38f)});
  }
  fixture::TempDir tmp;
};

TEST_F(QuotedumpOnADatabase, FindPrintsOneTabSeparatedLine) {
  Result r = Quotedump({"find", tmp.path().string(), "bhp billiton ltd"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "dir=" + tmp.dir() +
                       "\tfile=200\treclen=24\tfields=6\tname=BHP Billiton Ltd\tsymbol=BHP"
                       "\treal1=-2.5\treal2=1e-07\n");

  r = Quotedump({"find", tmp.dir(), "AAA"});  // shortest text that reads back as the float
  EXPECT_EQ(r.out, "dir=" + tmp.dir() +
                       "\tfile=1\treclen=24\tfields=6\tname=Alpha Mining\tsymbol=AAA"
                       "\treal1=961115\treal2=0.1\n");

  r = Quotedump({"find", tmp.dir(), "deep"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "dir=" + tmp.dir() +
                       "SUB/\tfile=3\treclen=24\tfields=6\tname=Deep Gold NL\tsymbol=DEEP"
                       "\treal1=1\treal2=1e+38\n");
}

TEST_F(QuotedumpOnADatabase, FindFailureGoesToStderrWithTheResultCode) {
  Result r = Quotedump({"find", tmp.dir(), "NOPE"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "quotedump: -8 File Not Found\n");
  r = Quotedump({"find", (tmp.path() / "missing").string(), "AAA"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "quotedump: -8 File Not Found\n");
}

TEST_F(QuotedumpOnADatabase, ListPrintsEveryRecordInFileOrder) {
  const Result r = Quotedump({"list", (tmp.path() / "MASTER").string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "1\t1\t24\t6\tsecurity\tAlpha Mining\tAAA\n"
            "2\t0\t0\t0\tdir\tSUB        <DIR>\t\n"
            "3\t200\t24\t6\tsecurity\tBHP Billiton Ltd\tBHP\n");
  // Stored as SUB/master; the file name is matched without regard to case.
  const Result sub = Quotedump({"list", tmp.dir() + "SUB\\MASTER"});
  EXPECT_EQ(sub.status, 0);
  EXPECT_EQ(sub.out, "1\t3\t24\t6\tsecurity\tDeep Gold NL\tDEEP\n");
}

TEST(Quotedump, ListStopsAtTheFirstUnreadableRecordAndSaysSo) {
  fixture::TempDir tmp;
  const fs::path master = tmp.path() / "MASTER";
  WriteMaster(master, {Sec(1, "ONE", "First"), Sec(2, "TWO", "Second")}, 3);
  Result r = Quotedump({"list", master.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "1\t1\t24\t6\tsecurity\tFirst\tONE\n2\t2\t24\t6\tsecurity\tSecond\tTWO\n");
  EXPECT_NE(r.err.find("record 3 of 3"), std::string::npos) << r.err;

  fs::resize_file(master, 53 * 2 + 10);  // the second record is cut short
  r = Quotedump({"list", master.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "1\t1\t24\t6\tsecurity\tFirst\tONE\n");

  WriteMaster(master, {Sec(1, "ONE", "First")}, -1);  // nothing announced, nothing listed
  r = Quotedump({"list", master.string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
}

TEST(Quotedump, ListRefusesFilesItCannotOpenOrWhoseHeaderIsShort) {
  fixture::TempDir tmp;
  fixture::WriteText(tmp.path() / "short", "abc");
  for (const fs::path& p : {tmp.path() / "missing", tmp.path() / "short", tmp.path()}) {
    const Result r = Quotedump({"list", p.string()});
    EXPECT_EQ(r.status, 1) << p;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("quotedump: " + p.string() + ": ", 0), 0u) << r.err;
  }
}

TEST(Quotedump, ControlCharactersCannotBreakTheLineFormat) {
  fixture::TempDir tmp;
  WriteMaster(tmp.path() / "MASTER", {Sec(9, "TAB", "Bad\tName\nHere")});
  const Result r = Quotedump({"list", (tmp.path() / "MASTER").string()});
  EXPECT_EQ(r.out, "1\t9\t24\t6\tsecurity\tBad?Name?Here\tTAB\n");
}

TEST(Quotedump, UsageErrorsExitTwoWithOneLine) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"bogus"},
                                             {"find"},
                                             {"find", "dir"},
                                             {"find", "dir", "key", "extra"},
                                             {"list"},
                                             {"list", "a", "b"},
                                             {"--help", "extra"}}) {
    const Result r = Quotedump(args);
    EXPECT_EQ(r.status, 2) << args.size();
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("usage: quotedump ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}

TEST(Quotedump, HelpAndVersion) {
  Result r = Quotedump({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "quotedump " TICKVANE_VERSION "\n");
  r = Quotedump({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("usage: quotedump ", 0), 0u);
  EXPECT_NE(r.out.find("list MASTERFILE"), std::string::npos);
  EXPECT_EQ(r.err, "");
}

TEST_F(QuotedumpOnADatabase, OutputThatCannotBeWrittenIsAFailure) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const std::string master = (tmp.path() / "MASTER").string();
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"list", master}, {"find", tmp.dir(), "AAA"}, {"--help"}, {"--version"}}) {
    const Result r = Quotedump(args, "/dev/full");
    EXPECT_EQ(r.status, 1) << args[0];
    EXPECT_EQ(r.err, "quotedump: cannot write the output\n") << args[0];
  }
}

// --extended before a command: the whole index with long names and XMASTER securities, and
// securities without layout files read; without it, the same directory reads as before.
TEST(Quotedump, ExtendedSwitch) {
  fixture::TempDir tmp;
  WriteMaster(tmp.path() / "MASTER", {Sec(1, "LONG", "Long Name Mini")});
  fixture::WriteEmaster(tmp.path() / "EMASTER", {{1, "LONG", "Long Name Mining Company"}});
  fixture::WriteXmaster(tmp.path() / "XMASTER", {{700, "XS", "Extended Security", 0x7F}});
  fixture::WriteSimpleSecurity(tmp.path(), 1, {.bars = 4});
  fs::rename(tmp.path() / "F1.DAT", tmp.path() / "F700.MWD");
  fs::remove(tmp.path() / "F1.DOP");
  // No layout file: six fields, DATE OPEN HIGH LOW CLOSE VOL as the bars show.
  fixture::WriteDat(tmp.path() / "F1.DAT", 24,
                    {{1120313.0f, 2.0f, 2.5f, 1.5f, 2.2f, 900.0f},
                     {1120314.0f, 2.2f, 2.4f, 2.0f, 2.1f, 800.0f},
                     {1120315.0f, 2.1f, 2.9f, 2.1f, 2.8f, 700.0f}});

  const std::string master = (tmp.path() / "MASTER").string();
  Result r = Quotedump({"--extended", "list", master});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "1\t1\t24\t6\tsecurity\tLong Name Mining Company\tLONG\n"
            "2\t700\t28\t7\txmaster\tExtended Security\tXS\n");
  r = Quotedump({"--extended", "find", tmp.dir(), "long name mining company"});
  EXPECT_NE(r.out.find("\tname=Long Name Mining Company\tsymbol=LONG\t"), std::string::npos)
      << r.out;
  r = Quotedump({"--extended", "read", tmp.dir(), "xs"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1 + 4);
  r = Quotedump({"--extended", "read", tmp.dir(), "LONG"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1 + 3);

  r = Quotedump({"read", tmp.dir(), "LONG"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("quotedump: -2 File Open: cannot open " + tmp.dir() + "F1.DOP", 0), 0u)
      << r.err;
  // The extended reading names the data file it lacks, not the layout file it can do without.
  fs::remove(tmp.path() / "F700.MWD");
  r = Quotedump({"--extended", "read", tmp.dir(), "XS"});
  EXPECT_EQ(r.err.rfind("quotedump: -2 File Open: cannot open " + tmp.dir() + "F700.MWD", 0), 0u)
      << r.err;
  r = Quotedump({"list", master});
  EXPECT_EQ(r.out, "1\t1\t24\t6\tsecurity\tLong Name Mini\tLONG\n");

  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--extended"}, {"--extended", "--help"}}) {
    r = Quotedump(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("usage: quotedump ", 0), 0u) << r.err;
  }
}

// The extended search reads the whole index of every directory it visits, at any path
// length: a long name from a subdirectory's EMASTER, a subdirectory's XMASTER security (its
// first and last dates shown as MASTER shows its own) and a directory 1,200 bytes deep.
TEST(Quotedump, ExtendedSearchReachesEveryDirectoryAtAnyPathLength) {
  fixture::TempDir tmp;
  WriteMaster(tmp.path() / "MASTER", {DirectoryRecord("SUB")});
  const fs::path sub = tmp.path() / "SUB";
  fs::create_directory(sub);
  WriteMaster(
      sub / "MASTER",
      {fixture::SecurityRecord({.fileNumber = 9, .name = "Deep Sea Mining", .symbol = "DEEP"})});
  fixture::WriteEmaster(sub / "EMASTER", {{9, "DEEP", "Deep Sea Mining Corporation"}});
  fixture::WriteXmaster(sub / "XMASTER", {{.fileNumber = 300,
                                           .symbol = "XSUB",
                                           .name = "Extended In Sub",
                                           .firstDate = 20110103,
                                           .lastDate = 20120315}});
  fixture::WriteSimpleSecurity(sub, 9, {.bars = 6});
  fs::remove(sub / "F9.DOP");
  fixture::WriteSimpleSecurity(sub, 30, {.bars = 5});
  fs::rename(sub / "F30.DAT", sub / "F300.MWD");
  fs::path deep = tmp.path();
  while (deep.string().size() < 1200) deep /= std::string(200, 'd');
  fs::create_directories(deep);
  WriteMaster(deep / "MASTER",
              {fixture::SecurityRecord({.fileNumber = 1, .name = "Long Path", .symbol = "LONGP"})});
  fixture::WriteSimpleSecurity(deep, 1, {.bars = 7});

  struct Case {
    fs::path dir;
    std::string key, found;
    int bars;
  };
  for (const Case& c : std::vector<Case>{
           {tmp.path(), "deep sea mining corporation", sub.string() + "/\tfile=9\t", 6},
           {tmp.path(), "xsub", sub.string() + "/\tfile=300\t", 5},
           {deep, "LONGP", deep.string() + "/\tfile=1\t", 7}}) {
    Result r = Quotedump({"--extended", "find", c.dir.string(), c.key});
    EXPECT_EQ(r.status, 0) << c.key << ": " << r.err;
    EXPECT_EQ(r.out.rfind("dir=" + c.found, 0), 0u) << r.out;
    r = Quotedump({"--extended", "read", c.dir.string(), c.key});
    EXPECT_EQ(r.status, 0) << c.key << ": " << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1 + c.bars) << c.key;
  }
  const Result r = Quotedump({"--extended", "find", tmp.dir(), "XSUB"});
  EXPECT_NE(r.out.find("\treal1=1110103\treal2=1120315\n"), std::string::npos) << r.out;
}

// A read that fails says what would work: a security that lacks only its layout file reads
// with --extended; one that no layout fits says why.
TEST(Quotedump, ReadFailuresSayWhatWouldRead) {
  fixture::TempDir tmp;
  fixture::Security three{2, 12, 3, "Three Fields", "THREE"};
  WriteMaster(tmp.path() / "MASTER", {Sec(1, "SEVEN", "Seven Fields"),
                                      fixture::SecurityRecord(three), Sec(4, "GONE", "No Data")});
  fixture::WriteSimpleSecurity(tmp.path(), 1, {.bars = 3});
  fs::remove(tmp.path() / "F1.DOP");
  fixture::WriteDat(tmp.path() / "F1.DAT", 24, {{1120313.0f, 2, 2.5f, 1.5f, 2.2f, 900}});
  fixture::WriteDat(tmp.path() / "F2.DAT", 12, {{1120313.0f, 2.5f, 1.5f}});
  const std::string hint =
      "; the layout file is all this security lacks, and --extended reads it from the field "
      "count\n";
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  for (const Case& c : std::vector<Case>{
           {{"read", tmp.dir(), "SEVEN"},
            "quotedump: -2 File Open: cannot open " + tmp.dir() +
                "F1.DOP (No such file or directory)" + hint},
           {{"read", tmp.dir(), "THREE"},
            "quotedump: -2 File Open: cannot open " + tmp.dir() +
                "F2.DOP (No such file or directory)\n"},
           {{"read", tmp.dir(), "GONE"},
            "quotedump: -2 File Open: cannot open " + tmp.dir() +
                "F4.DOP (No such file or directory)\n"},
           {{"--extended", "read", tmp.dir(), "THREE"},
            "quotedump: -1 Invalid Parm: no layout fits 3 fields in records of 12 bytes: F2.DOP "
            "is missing or names no field, the index holds no field set, and without them only "
            "5 to 8 fields of 4 bytes each are read\n"}}) {
    const Result r = Quotedump(c.args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, c.err);
  }
}

TEST(Quotedump, RealDatabase) {
  const fs::path dir = fs::path(TICKVANE_SHARED_DIR) / "realdata" / "asx-mining";
  if (!fs::exists(dir / "MASTER")) GTEST_SKIP() << "no real data at " << dir;
  Result r = Quotedump({"list", (dir / "MASTER").string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 215);
  EXPECT_EQ(r.out.rfind("1\t128\t28\t7\tsecurity\t3D Resources Ltd\tDDD\n", 0), 0u);
  r = Quotedump({"find", dir.string(), "ddd"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "dir=" + dir.string() +
                       "/\tfile=128\treclen=28\tfields=7\tname=3D Resources Ltd\tsymbol=DDD"
                       "\treal1=1070321\treal2=1120315\n");
  r = Quotedump({"--extended", "find", dir.string(), "ARH"});
  EXPECT_NE(r.out.find("\tname=A'asian Resources\tsymbol=ARH\t"), std::string::npos) << r.out;
  r = Quotedump({"--extended", "list", (dir / "MASTER").string()});
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 215);
}

}  // namespace
