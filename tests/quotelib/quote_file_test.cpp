// Paths and files of a quote database on this platform.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

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

TEST(ResolveInDirectory, AllCapitalsIsTheSmallestSpelling) {
  // Upper case sorts first, so the all-capitals name wins over any other spelling.
  fixture::TempDir tmp;
  for (const char* n : {"master", "Master", "MASTER", "mASTER"})
    fixture::WriteText(tmp.path() / n, n);
  EXPECT_EQ(ResolveInDirectory(tmp.dir(), "MaStEr"), tmp.dir() + "MASTER");
  EXPECT_EQ(ResolveInDirectory(tmp.dir(), "master"), tmp.dir() + "master");  // exact first
  fixture::TempDir other;
  for (const char* n : {"master", "Master"}) fixture::WriteText(other.path() / n, n);
  EXPECT_EQ(ResolveInDirectory(other.dir(), "MASTER"), other.dir() + "Master");
  // Digits and punctuation have no case: F1.DAT is its own capital spelling.
  fixture::WriteText(other.path() / "F1.DAT", "d");
  EXPECT_EQ(ResolveInDirectory(other.dir(), "f1.dat"), other.dir() + "F1.DAT");
}

TEST(QuoteFile, FailedOpenSaysWhetherAnythingIsThere) {
  fixture::TempDir tmp;
  QuoteFile f;
  errno = 0;
  EXPECT_FALSE(f.open((tmp.path() / "missing").string()));
  EXPECT_EQ(errno, ENOENT);
  errno = 0;
  EXPECT_FALSE(f.open(tmp.path().string()));  // a directory is there
  EXPECT_NE(errno, ENOENT);
  errno = 0;
  EXPECT_FALSE(f.open((tmp.path() / "missing" / "deeper").string()));
  EXPECT_EQ(errno, ENOENT);
}

// Bytes whose value tells their offset, so that any misplaced read shows.
std::string Pattern(std::size_t n) {
  std::string text(n, '\0');
  for (std::size_t i = 0; i < n; ++i) text[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return text;
}

TEST(QuoteFile, ReadsOfEverySizeFromEveryPlaceGiveTheFileBytes) {
  fixture::TempDir tmp;
  const std::string content = Pattern(100'003);  // several buffers' worth, odd length
  fixture::WriteText(tmp.path() / "f", content);
  QuoteFile f((tmp.path() / "f").string());
  ASSERT_TRUE(f.isOpen());
  std::string buf(70'000, '\0');
  // Positions at, before and after buffer-sized steps, sizes small and large, forwards and
  // back, each read checked against the file.
  for (const std::size_t at : {0, 1, 53, 16'383, 16'384, 16'385, 40'000, 99'999, 100'003}) {
    for (const std::size_t n : {1, 4, 53, 3'392, 16'383, 16'384, 16'385, 60'000}) {
      ASSERT_TRUE(f.seek(static_cast<std::int64_t>(at)));
      const std::size_t expected = std::min(n, content.size() - at);
      ASSERT_EQ(f.readSome(buf.data(), n), expected) << at << " " << n;
      ASSERT_EQ(buf.compare(0, expected, content, at, expected), 0) << at << " " << n;
      // The next read carries on where this one stopped.
      const std::size_t after = at + expected;
      const std::size_t more = std::min<std::size_t>(100, content.size() - after);
      ASSERT_EQ(f.readSome(buf.data(), 100), more);
      ASSERT_EQ(buf.compare(0, more, content, after, more), 0) << at << " " << n;
    }
  }
  // Record by record through the whole file, as the MASTER reader does.
  ASSERT_TRUE(f.seek(0));
  std::string all;
  char record[53];
  while (f.readExact(record, sizeof record)) all.append(record, sizeof record);
  EXPECT_EQ(all, content.substr(0, content.size() / 53 * 53));
  EXPECT_FALSE(f.readExact(record, 1));  // the partial record was used up
  ASSERT_TRUE(f.seek(1'000'000));
  EXPECT_EQ(f.readSome(buf.data(), 10), 0u);
}

TEST(QuoteFile, ReopeningStartsAfreshWithTheNewFile) {
  fixture::TempDir tmp;
  fixture::WriteText(tmp.path() / "a", "AAAAAAAAAA");
  fixture::WriteText(tmp.path() / "b", "bbb");
  QuoteFile f((tmp.path() / "a").string());
  char buf[16] = {};
  ASSERT_TRUE(f.readExact(buf, 4));
  ASSERT_TRUE(f.open((tmp.path() / "b").string()));
  EXPECT_EQ(f.readSome(buf, 16), 3u);  // nothing of a's buffer is left over
  EXPECT_EQ(std::string(buf, 3), "bbb");
}

TEST(QuoteFile, LinesAcrossBufferBoundaries) {
  fixture::TempDir tmp;
  std::string content;
  std::vector<std::string> lines;
  for (int k = 0; content.size() < 40'000; ++k) {
    lines.push_back(std::string(static_cast<std::size_t>(k % 70), static_cast<char>('a' + k % 26)));
    content += lines.back() + (k % 3 == 0 ? "\r\n" : "\n");
  }
  fixture::WriteText(tmp.path() / "f", content);
  QuoteFile f((tmp.path() / "f").string());
  std::string line;
  for (const auto& expected : lines) {
    ASSERT_TRUE(f.readLine(line, 79));
    ASSERT_EQ(line, expected);
  }
  EXPECT_FALSE(f.readLine(line, 79));
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
