// The files the open chart stands on, and how a look at them tells that the database folder
// was replaced, without a watcher.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "bars.h"
#include "followed_files.h"
#include "quote_writer.h"

namespace {

namespace fs = std::filesystem;

// The files followed in either reading lie in the database folder, watched from the folder
// above it: a look there tells a replaced folder from a neighbour's coming and going.
TEST(FollowedFiles, AFolderDeletedCopiedBackOrRenamedIntoPlaceIsAnotherFolder) {
  const fixture::TempDir dir;
  const fs::path db = dir.path() / "db", old = dir.path() / "old", next = dir.path() / "next";
  const auto write = [](const fs::path& at) {
    fs::create_directory(at);
    fixture::WriteMaster(at / "MASTER", {fixture::SecurityRecord({.name = "A", .symbol = "A"})});
    fixture::WriteSimpleSecurity(at, 1, {.bars = 5});
  };
  const struct {
    const char* what;
    std::function<void()> change;
    bool replaced, changed;
  } cases[] = {
      {"bars appended", [&] { fixture::WriteSimpleSecurity(db, 1, {.bars = 9}); }, false, true},
      {"a neighbour added", [&] { fs::create_directory(next); }, false, false},
      {"deleted", [&] { fs::remove_all(db); }, true, true},
      {"copied back", [&] { fs::rename(db, old), fs::copy(old, db); }, true, true},
      {"renamed into place", [&] { write(next), fs::rename(db, old), fs::rename(next, db); }, true,
       true},
  };
  for (const bool extended : {false, true}) {
    for (const auto& c : cases) {
      for (const fs::path& path : {db, old, next}) fs::remove_all(path);
      write(db);
      CBars bars;
      bars.SetExtended(extended);
      ASSERT_TRUE(bars.OpenMaster((db / "MASTER").c_str()));
      bars.ReadSecurityList();
      const tv::FollowedFiles files = tv::FilesToFollow(bars);
      EXPECT_EQ(files.data.back(), (db / "F1.DAT").string());
      EXPECT_EQ(files.parents, std::vector<std::string>{dir.path().string()});
      const std::vector<tv::FileStamp> before = tv::StampFollowedFiles(files);
      c.change();
      EXPECT_EQ(tv::DirectoriesReplaced(files, before), c.replaced) << c.what;
      // Where nothing can be watched, a look at the files tells the same.
      EXPECT_EQ(tv::StampFollowedFiles(files) != before, c.changed) << c.what;
    }
  }
}

}  // namespace
