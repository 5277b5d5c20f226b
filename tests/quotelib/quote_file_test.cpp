// Paths and files of a quote database on this platform.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "quote_file.h"
#include "quote_writer.h"

namespace {

namespace fs = std::filesystem;

TEST(NormaliseDirectory, BothSeparatorsAndOneTrailingSeparator) {
  EXPECT_EQ(NormaliseDirectory(""), "");
  EXPECT_EQ(NormaliseDirectory("quotes"), "quotes/");
  EXPECT_EQ(NormaliseDirectory("quotes/"), "quotes/");
  EXPECT_EQ(NormaliseDirectory("C:\\QUOTES"), "C:/QUOTES/");
  EXPECT_EQ(NormaliseDirectory("C:\\QUOTES\\"), "C:/QUOTES/");
  EXPECT_EQ(NormaliseDirectory("/data\\sub/x"), "/data/sub/x/");
#ifndef _WIN32
  EXPECT_EQ(NormaliseDirectory("C:"), "C:/");  // no drives here: an ordinary name
#endif
}

TEST(ResolveInDirectory, ExactNameThenAnyCase) {
  fixture::TempDir tmp;
  fixture::WriteText(tmp.path() / "F12.dat", "x");
  fixture::WriteText(tmp.path() / "f12.DOP", "y");
  fixture::WriteText(tmp.path() / "exact", "z");
  fixture::WriteText(tmp.path() / "EXACT", "z");
  EXPECT_EQ(ResolveInDirectory(tmp.dir(), "F12.DAT"), tmp.dir() + "F12.dat");
  EXPECT_EQ(ResolveInDirectory(tmp.dir(), "F12.DOP"), tmp.dir() + "f12.DOP");
  EXPECT_EQ(ResolveInDirectory(tmp.dir(), "exact"), tmp.dir() + "exact");
  EXPECT_EQ(ResolveInDirectory(tmp.dir(), "F13.DAT"), tmp.dir() + "F13.DAT");
  EXPECT_EQ(ResolveInDirectory(tmp.dir() + "none/", "F12.DAT"), tmp.dir() + "none/F12.DAT");
}

TEST(ResolveInDirectory, SeveralSpellingsGiveTheSameChoiceEveryTime) {
  for (const char* n : {"master", "MASTER", "Master"}) {
    fixture::TempDir t;
    fixture::WriteText(t.path() / "mAsTeR", "1");
    fixture::WriteText(t.path() / n, "2");
    const std::string chosen = ResolveInDirectory(t.dir(), "MASTEr");
    EXPECT_EQ(chosen, t.dir() + std::min(std::string(n), std::string("mAsTeR")));
  }
}

TEST(QuoteFile, RefusesWhatIsNotARegularFile) {
  fixture::TempDir tmp;
  QuoteFile f;
  EXPECT_FALSE(f.open(tmp.path().string()));
  EXPECT_FALSE(f.open((tmp.path() / "missing").string()));
  EXPECT_FALSE(f.open(""));
  const fs::path fifo = tmp.path() / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(f.open(fifo.string()));  // opening it would block
  fixture::WriteText(tmp.path() / "real", "abc");
  EXPECT_FALSE(f.open(tmp.path().string() + std::string("/real\0junk", 10)));
  EXPECT_TRUE(f.open((tmp.path() / "real").string()));
  EXPECT_FALSE(f.open((tmp.path() / "missing").string()));
  EXPECT_FALSE(f.isOpen());  // a failed open closes what was open before
}

TEST(QuoteFile, ReadsExactlyOrNotAtAll) {
  fixture::TempDir tmp;
  fixture::WriteText(tmp.path() / "f", "0123456789");
  QuoteFile f((tmp.path() / "f").string());
  ASSERT_TRUE(f.isOpen());
  char buf[16] = {};
  EXPECT_TRUE(f.readExact(buf, 4));
  EXPECT_EQ(std::string(buf, 4), "0123");
  EXPECT_TRUE(f.seek(8));
  EXPECT_FALSE(f.readExact(buf, 4));  // only two left
  EXPECT_TRUE(f.seek(2));
  EXPECT_EQ(f.readSome(buf, 16), 8u);
  EXPECT_FALSE(f.seek(-1));
  f.close();
  EXPECT_FALSE(f.readExact(buf, 1));
  EXPECT_EQ(f.readSome(buf, 1), 0u);
  EXPECT_FALSE(f.seek(0));
}

TEST(QuoteFile, ReadsLinesInPiecesOfAtMostTheLimit) {
  fixture::TempDir tmp;
  fixture::WriteText(tmp.path() / "f", "\"DATE\",0,0\r\nABCDEFGHIJ\nXY\n\nlast");
  QuoteFile f((tmp.path() / "f").string());
  std::string line;
  const std::vector<std::string> expected = {"\"DATE\",0,0", "ABCD", "EFGH", "IJ",
                                             "XY",           "",     "last"};
  for (const auto& e : expected) {
    ASSERT_TRUE(f.readLine(line, e == expected[0] ? 79 : 4));
    EXPECT_EQ(line, e);
  }
  EXPECT_FALSE(f.readLine(line, 4));
  EXPECT_EQ(line, "");
}

}  // namespace
