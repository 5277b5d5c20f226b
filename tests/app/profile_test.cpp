// The settings file: integers and texts through QSettings, how stored view options read back
// (including values a hand edit or another program may have left), and an unwritable file.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>
#include <tuple>

#include "Doc.h"
#include "qt_profile.h"
#include "quote_writer.h"

namespace {

namespace fs = std::filesystem;

void WriteIni(const fs::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary);
  out << text;
}

QString Q(const fs::path& p) { return QString::fromStdString(p.string()); }

TEST(QtProfileFile, WritesDecimalTextThatReadsBackAndCreatesItsDirectory) {
  fixture::TempDir dir;
  const fs::path file = dir.path() / "sub" / "Tickvane.ini";
  {
    tv::QtProfile profile(Q(file));
    EXPECT_EQ(profile.ReadInt("ViewOptions", "BarSpace", 4), 4);  // no file yet
    EXPECT_EQ(profile.ReadText("ViewOptions", "Colors", "none"), "none");
    EXPECT_TRUE(profile.WriteInt("ViewOptions", "BarSpace", 7));
    EXPECT_TRUE(profile.WriteText("ViewOptions", "Colors", "0723733414"));
    EXPECT_TRUE(profile.WriteText("GoToDialog", "Note", "a, b"));
  }
  std::ifstream in(file);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("[ViewOptions]"), std::string::npos) << text;
  EXPECT_NE(text.find("BarSpace=7"), std::string::npos) << text;

  tv::QtProfile again(Q(file));
  EXPECT_EQ(again.ReadInt("ViewOptions", "BarSpace", 4), 7);
  EXPECT_EQ(again.ReadText("ViewOptions", "Colors", ""), "0723733414");
  EXPECT_EQ(again.ReadText("GoToDialog", "Note", ""), "a, b");
}

TEST(QtProfileFile, AFileThatCannotBeWrittenStopsNothing) {
  fixture::TempDir dir;
  WriteIni(dir.path() / "plain", "not a directory");
  // The settings file would have to live below a plain file: no directory can be made.
  tv::QtProfile profile(Q(dir.path() / "plain" / "Tickvane.ini"));
  EXPECT_FALSE(profile.WriteInt("ViewOptions", "BarSpace", 7));
  EXPECT_FALSE(profile.WriteText("ViewOptions", "Colors", "0000000000"));
  EXPECT_EQ(profile.ReadInt("ViewOptions", "ShowMA1", 1), 1);
}

// Only a regular file is opened: a FIFO at the settings path would wait for a writer for
// ever. It counts as a file that cannot be read, and nothing is written into it.
TEST(QtProfileFile, AFifoIsRefusedAsUnreadableWithoutWaiting) {
  fixture::TempDir dir;
  const fs::path fifo = dir.path() / "Tickvane.ini";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  auto use = std::async(std::launch::async, [&] {
    tv::QtProfile profile(Q(fifo));
    profile.Refresh();
    return std::tuple(profile.ReadInt("ViewOptions", "BarSpace", 4),
                      profile.ReadText("ViewOptions", "Colors", "none"),
                      profile.WriteInt("ViewOptions", "BarSpace", 7));
  });
  bool waited = false;
  while (use.wait_for(std::chrono::seconds(waited ? 0 : 5)) != std::future_status::ready) {
    waited = true;
    // Let a profile stuck opening the FIFO go on (both ends, once), so the test can end.
    for (int mode : {O_WRONLY, O_RDONLY}) {
      const int fd = open(fifo.c_str(), mode | O_NONBLOCK);
      if (fd >= 0) close(fd);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_FALSE(waited) << "the profile opened the FIFO and waited";
  EXPECT_EQ(use.get(), std::tuple(4, std::string("none"), false));
  EXPECT_TRUE(fs::is_fifo(fifo));
}

// A settings file far larger than any this program writes is refused before it is parsed (a
// gigabyte would cost seconds and its size in memory): it reads as empty and is never written.
TEST(QtProfileFile, AFileOverOneMegabyteIsRefusedUnread) {
  fixture::TempDir dir;
  for (const auto& [size, readable] :
       {std::pair{tv::QtProfile::kMaxFileSize, true}, {tv::QtProfile::kMaxFileSize + 1, false}}) {
    const fs::path file = dir.path() / ("size" + std::to_string(size) + ".ini");
    // A setting, then a comment that fills the file to its size.
    const std::string setting = "[ViewOptions]\nBarSpace=7\n;";
    WriteIni(file, setting + std::string(static_cast<std::size_t>(size) - setting.size() - 1, 'x') +
                       "\n");
    tv::QtProfile profile(Q(file));
    EXPECT_EQ(profile.ReadInt("ViewOptions", "BarSpace", 4), readable ? 7 : 4) << size;
    if (!readable) {
      EXPECT_FALSE(profile.WriteInt("ViewOptions", "BarSpace", 9));
    }
    EXPECT_EQ(fs::file_size(file), static_cast<std::uintmax_t>(size));
  }
}

// A hand-written settings file, loaded into a fresh chart object.
struct Loaded {
  CBars bars;
  explicit Loaded(const std::string& iniText) {
    fixture::TempDir dir;
    const fs::path file = dir.path() / "Tickvane.ini";
    if (!iniText.empty()) WriteIni(file, iniText);
    tv::QtProfile profile(Q(file));
    bars.SetBarSpace(9);  // whatever was set before does not survive a load
    tv::LoadViewOptions(profile, bars);
  }
};

// The six numbers in key order: ShowVolume, ShowMA1, ShowMA2, BarSpace, MA1Length, MA2Length.
using Numbers = std::array<int, 6>;
constexpr Numbers kDefaultNumbers{1, 1, 1, 4, 10, 20};

Numbers NumbersOf(const CBars& b) {
  return {b.GetShowVolume(), b.GetShowMA1(),   b.GetShowMA2(),
          b.GetBarSpace(),   b.GetMA1Length(), b.GetMA2Length()};
}

TEST(StoredViewOptions, AFreshProfileOrAMissingSectionGivesTheDefaults) {
  for (const std::string& text : {std::string(), std::string("[GoToDialog]\nSorting=2\n")}) {
    Loaded l(text);
    EXPECT_EQ(NumbersOf(l.bars), kDefaultNumbers);
    EXPECT_EQ(l.bars.m_screenColors, CBars::kDefaultScreenColors);
  }
}

TEST(StoredViewOptions, ValuesTheDialogCouldHaveWrittenAreApplied) {
  Loaded l(
      "[ViewOptions]\nShowVolume=0\nShowMA1=0\nShowMA2=1\nBarSpace=10\nMA1Length=2\n"
      "MA2Length=50\nColors=7000000001\n");
  EXPECT_EQ(NumbersOf(l.bars), (Numbers{0, 0, 1, 10, 2, 50}));
  EXPECT_EQ(l.bars.m_screenColors, (CBars::ColorSet{7, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
  EXPECT_EQ(l.bars.m_workColors, l.bars.m_screenColors);
}

TEST(StoredViewOptions, BadColoursAreIgnoredButNumbersStillRead) {
  // Wrong lengths, and digits outside the palette: every colour stays as it was.
  for (const char* colors : {"072373341", "07237334140", "", "0723 33414", "0723733418",
                             "072373341:", "A723733414", "/723733414"}) {
    Loaded l(std::string("[ViewOptions]\nBarSpace=6\nColors=") + colors + "\n");
    EXPECT_EQ(l.bars.m_screenColors, CBars::kDefaultScreenColors) << colors;
    EXPECT_EQ(l.bars.m_workColors, CBars::kDefaultScreenColors) << colors;
    EXPECT_EQ(l.bars.GetBarSpace(), 6) << colors;
  }
}

TEST(StoredViewOptions, OutOfRangeOrNonNumericValuesReadAsTheirDefaults) {
  for (const char* text :
       {"ShowVolume=2\nShowMA1=-1\nShowMA2=yes\nBarSpace=0\nMA1Length=51\nMA2Length=20abc\n",
        "BarSpace=1\nMA1Length=1, 2\nMA2Length=2147483648\n"}) {
    Loaded l(std::string("[ViewOptions]\n") + text);
    EXPECT_EQ(NumbersOf(l.bars), kDefaultNumbers) << text;
  }
}

TEST(StoredViewOptions, AHandEditTakesEffectAtTheNextLoad) {
  fixture::TempDir dir;
  const fs::path file = dir.path() / "Tickvane.ini";
  tv::QtProfile profile(Q(file));
  CBars bars;
  profile.WriteInt("ViewOptions", "BarSpace", 5);
  tv::LoadViewOptions(profile, bars);
  EXPECT_EQ(bars.GetBarSpace(), 5);
  WriteIni(file, "[ViewOptions]\nBarSpace=8\n");
  // Make sure the file's time stamp moves on even on coarse file systems.
  fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(2));
  tv::LoadViewOptions(profile, bars);
  EXPECT_EQ(bars.GetBarSpace(), 8);
}

}  // namespace
