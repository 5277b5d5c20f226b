// Settings never land in a quote file: whatever name, link or second name leads the settings
// file onto a file of a quote database, the viewer refuses it, and nothing in the database
// changes or appears.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>

#include "Doc.h"
#include "qt_profile.h"
#include "quote_writer.h"
#include "recording_surface.h"
#include "tickvane.h"

namespace {

namespace fs = std::filesystem;

// Every file below `dir` with its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file()) {
      files[entry.path().string()] = "<not a file>";
      continue;
    }
    std::ifstream in(entry.path(), std::ios::binary);
    files[entry.path().string()] = {std::istreambuf_iterator<char>(in), {}};
  }
  return files;
}

TEST(SettingsFile, NeverLandsInAQuoteFile) {
  using fixture::SecurityRecord;
  fixture::TempDir tmp;
  const fs::path db = tmp.path() / "db";
  const fs::path config = tmp.path() / "config";
  fs::create_directories(db / "SUBA");
  fs::create_directories(config);
  fixture::WriteMaster(db / "MASTER",
                       {SecurityRecord({.fileNumber = 1, .name = "A", .symbol = "AAA"}),
                        fixture::DirectoryRecord("SUBA")});
  fixture::WriteSimpleSecurity(db, 1, {.bars = 30});
  fixture::WriteMaster(db / "SUBA" / "MASTER",
                       {SecurityRecord({.fileNumber = 2, .name = "B", .symbol = "B"})});
  fixture::WriteSimpleSecurity(db / "SUBA", 2, {.bars = 30});
  fs::create_symlink(db / "F1.DAT", config / "linked.ini");
  fs::create_hard_link(db / "MASTER", config / "second-name.ini");
  fs::create_hard_link(db / "SUBA" / "F2.DAT", config / "deep.ini");

  const struct {
    std::string what;
    fs::path settings, master;
    bool starts;  // false: start-up ends with the message; true: the session runs without them
  } cases[] = {
      {"another MASTER by name", db / "MASTER", db / "SUBA" / "MASTER", false},
      {"a data file by name", db / "F1.DAT", db / "MASTER", false},
      {"an absent index by name", db / "xmaster", db / "MASTER", false},
      {"an absent layout by name", db / "SUBA" / "F9.dop", {}, false},
      {"a link to a data file", config / "linked.ini", {}, false},
      {"a second name of MASTER", config / "second-name.ini", db / "MASTER", true},
      {"a second name of a file deeper in the tree", config / "deep.ini", db / "MASTER", true},
  };
  const auto before = Snapshot(db);
  for (const auto& c : cases) {
    tv::QtProfile profile(QString::fromStdString(c.settings.string()));
    fixture::RecordingMessages messages;
    tv::ManualClock clock;
    tv::CTickvaneApp app(profile, messages, clock);
    // Opening a database writes the recent-file list at once.
    EXPECT_EQ(app.InitInstance(c.master.string()), c.starts) << c.what;
    ASSERT_EQ(messages.messages.size(), 1u) << c.what;
    EXPECT_NE(messages.messages[0].text.find("The settings file " + c.settings.string()),
              std::string::npos)
        << messages.messages[0].text;
    if (c.starts) {
      EXPECT_EQ(messages.messages[0].text,
                tv::SettingsInDatabaseMessage(c.settings.string(), c.master.string()));
      EXPECT_FALSE(profile.WriteInt("ViewOptions", "BarSpace", 7)) << c.what;
      EXPECT_EQ(profile.ReadInt("ViewOptions", "BarSpace", 4), 4) << c.what;
    }
    EXPECT_EQ(Snapshot(db), before) << c.what;
  }

  // A settings file of its own is written as ever.
  const fs::path own = config / "Tickvane.ini";
  tv::QtProfile profile(QString::fromStdString(own.string()));
  fixture::RecordingMessages messages;
  tv::ManualClock clock;
  tv::CTickvaneApp app(profile, messages, clock);
  EXPECT_TRUE(app.InitInstance((db / "MASTER").string()));
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_EQ(profile.ReadText("RecentFileList", "File1", ""), (db / "MASTER").string());
}

}  // namespace
