// A quote database's files as the writers of charts and settings must avoid them: by name, by
// link and by identity, throughout the tree the MASTER files lead to.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "database_files.h"
#include "directory_opens.h"
#include "quote_writer.h"

namespace {

namespace fs = std::filesystem;

TEST(DatabaseFileNames, AreTheIndexAndDataNamesInAnyCase) {
  for (const char* name :
       {"MASTER", "master", "EMaster", "XMASTER", "F1.DAT", "f98.dop", "F302.MWD", "F0001.Dat"})
    EXPECT_TRUE(IsDatabaseFileName(name)) << name;
  for (const char* name : {"", "MASTER.png", "master~", "F.DAT", "FX1.DAT", "F1.DATA", "F1DAT",
                           "G1.DAT", "F1.DAT.png", "F1.png", "XMASTERS"})
    EXPECT_FALSE(IsDatabaseFileName(name)) << name;
}

TEST(DatabaseFileNames, ALinkLeadsToOneThroughEveryStepOfItsChain) {
  fixture::TempDir tmp;
  fixture::WriteText(tmp.path() / "F1.DAT", "");
  fs::create_symlink("F1.DAT", tmp.path() / "direct.ini");
  fs::create_symlink("direct.ini", tmp.path() / "chained.ini");
  fs::create_symlink(tmp.path() / "absent" / "EMASTER", tmp.path() / "dangling.ini");
  fs::create_symlink("loop.ini", tmp.path() / "loop.ini");
  fixture::WriteText(tmp.path() / "plain.ini", "");
  fs::create_symlink("plain.ini", tmp.path() / "harmless.ini");
  for (const char* name : {"direct.ini", "chained.ini", "dangling.ini", "F1.DAT", "xmaster"})
    EXPECT_TRUE(LeadsToDatabaseFileName(tmp.dir() + name)) << name;
  for (const char* name : {"loop.ini", "plain.ini", "harmless.ini", "absent.ini"})
    EXPECT_FALSE(LeadsToDatabaseFileName(tmp.dir() + name)) << name;
}

// Top MASTER with a security and entries for SUB (spelt "sub" on disk) and for directories
// that are not there; SUB holds a database of its own.
struct Tree {
  fixture::TempDir tmp;
  Tree() {
    std::vector<fixture::Record53> records = {
        fixture::SecurityRecord({.fileNumber = 1, .name = "A", .symbol = "A"}),
        fixture::DirectoryRecord("SUB")};
    for (int k = 0; k < 300; ++k)
      records.push_back(fixture::DirectoryRecord("M" + std::to_string(k)));
    fixture::WriteMaster(tmp.path() / "MASTER", records);
    fixture::WriteSimpleSecurity(tmp.path(), 1, {.bars = 3});
    fs::create_directory(tmp.path() / "sub");
    fixture::WriteMaster(tmp.path() / "sub" / "Master",
                         {fixture::SecurityRecord({.fileNumber = 2, .name = "B", .symbol = "B"})});
    fixture::WriteText(tmp.path() / "sub" / "f2.dat", "");
    fixture::WriteText(tmp.path() / "sub" / "XMASTER", "");
    fixture::WriteText(tmp.path() / "notes.txt", "");
    fs::create_hard_link(tmp.path() / "sub" / "f2.dat", tmp.path() / "second-name.png");
  }
};

TEST(DatabaseFiles, AreKnownByIdentityThroughoutTheTree) {
  const Tree tree;
  const DatabaseFiles files(tree.tmp.dir() + "MASTER");
  for (const char* name : {"MASTER", "F1.DAT", "F1.DOP", "sub/Master", "sub/f2.dat", "sub/XMASTER",
                           "second-name.png", "sub/../MASTER"})
    EXPECT_TRUE(files.contains(tree.tmp.dir() + name)) << name;
  for (const char* name : {"notes.txt", "sub", "absent.png", "M1"})
    EXPECT_FALSE(files.contains(tree.tmp.dir() + name)) << name;
}

TEST(DatabaseFiles, ReadEachDirectorysNamesOnce) {
  const Tree tree;
  EXPECT_EQ(fixture::DirectoryOpens(tree.tmp.path(),
                                    [&] { const DatabaseFiles files(tree.tmp.dir() + "MASTER"); }),
            1);
  EXPECT_EQ(fixture::DirectoryOpens(tree.tmp.path() / "sub",
                                    [&] { const DatabaseFiles files(tree.tmp.dir() + "MASTER"); }),
            1);
}

}  // namespace
