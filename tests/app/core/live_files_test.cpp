// The files the open chart stands on, and how a look at them tells that the database folder
// was replaced, without a watcher.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "bars.h"
#include "live_files.h"
#include "quote_writer.h"

namespace {

namespace fs = std::filesystem;

TEST(FollowedFiles, TheIndexTheCurrentSecurityTheirFolderAndTheFolderAboveIt) {
  const fixture::TempDir dir;
  const fs::path db = dir.path() / "db";
  fs::create_directory(db);
  fixture::WriteMaster(
      db / "MASTER", {fixture::SecurityRecord({.fileNumber = 1, .name = "ONE", .symbol = "ONE"})});
  fixture::WriteSimpleSecurity(db, 1, {.bars = 5});
  for (const bool extended : {false, true}) {
    CBars bars;
    bars.SetExtended(extended);
    ASSERT_TRUE(bars.OpenMaster((db / "MASTER").c_str()));
    bars.ReadSecurityList();
    const tv::FollowedFiles files = tv::FilesToFollow(bars);
    EXPECT_EQ(files.index.size(), extended ? 3u : 1u);
    EXPECT_EQ(files.data,
              (std::vector<std::string>{(db / "F1.DOP").string(), (db / "F1.DAT").string()}));
    EXPECT_EQ(files.directories, std::vector<std::string>{db.string()});
    EXPECT_EQ(files.parents, std::vector<std::string>{dir.path().string()});
  }
}

TEST(FollowedFiles, AFolderDeletedCopiedBackOrRenamedIntoPlaceIsAnotherFolder) {
  const fixture::TempDir dir;
  const fs::path db = dir.path() / "db";
  const auto write = [](const fs::path& at) {
    fs::create_directory(at);
    fixture::WriteMaster(
        at / "MASTER",
        {fixture::SecurityRecord({.fileNumber = 1, .name = "ONE", .symbol = "ONE"})});
    fixture::WriteSimpleSecurity(at, 1, {.bars = 5});
  };
  const struct {
    const char* what;
    std::function<void()> change;
    bool replaced, changed;
  } cases[] = {
      {"bars appended", [&] { fixture::WriteSimpleSecurity(db, 1, {.bars = 9}); }, false, true},
      {"a neighbour added", [&] { fs::create_directory(dir.path() / "other"); }, false, false},
      {"deleted", [&] { fs::remove_all(db); }, true, true},
      {"deleted and copied back",
       [&] {
         fs::rename(db, dir.path() / "backup");
         fs::copy(dir.path() / "backup", db);
       },
       true, true},
      {"a copy renamed into place",
       [&] {
         write(dir.path() / "db.new");
         fs::rename(db, dir.path() / "db.old");
         fs::rename(dir.path() / "db.new", db);
       },
       true, true},
  };
  for (const auto& c : cases) {
    for (const char* name : {"db", "backup", "db.old", "other"}) fs::remove_all(dir.path() / name);
    write(db);
    tv::FollowedFiles files;
    files.index = {(db / "MASTER").string()};
    files.data = {(db / "F1.DAT").string()};
    files.directories = {db.string()};
    const std::vector<tv::FileStamp> before = tv::StampFollowedFiles(files);
    c.change();
    EXPECT_EQ(tv::DirectoriesReplaced(files, before), c.replaced) << c.what;
    // Where nothing can be watched, a look at the files tells the same.
    EXPECT_EQ(tv::StampFollowedFiles(files) != before, c.changed) << c.what;
  }
}

}  // namespace
