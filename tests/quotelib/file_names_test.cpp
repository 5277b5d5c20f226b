// The names of a security's files and how names are folded: building a security's file
// names, and the ASCII-only case fold.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "ascii.h"
#include "database_files.h"

namespace {

TEST(SecurityFileName, FileNumberAndKindMakeTheName) {
  const struct {
    int number;
    SecurityFileKind kind;
    const char* name;
  } cases[] = {
      {1, SecurityFileKind::Layout, "F1.DOP"},
      {12, SecurityFileKind::Data, "F12.DAT"},
      {255, SecurityFileKind::Data, "F255.DAT"},
      {300, SecurityFileKind::XmasterData, "F300.MWD"},
  };
  for (const auto& c : cases) EXPECT_EQ(SecurityFileName(c.number, c.kind), c.name) << c.name;
}

TEST(AsciiFold, OnlyTheLettersAToZPairUp) {
  const struct {
    std::string_view a, b;
    bool equal;
  } cases[] = {
      {"master", "MASTER", true}, {"F1.dat", "f1.DAT", true}, {"", "", true},
      {"MASTER", "MASTE", false}, {"[", "{", false},  // the bytes 32 apart that are not letters
      {"@", "`", false},          {"\xC9", "\xE9", false},  // a code page's accented capital and
                                                            // small letter
  };
  for (const auto& c : cases) EXPECT_EQ(EqualFoldedAscii(c.a, c.b), c.equal) << c.a << " " << c.b;
  EXPECT_EQ(FoldedAscii("XMaster\xC9[1]"), "xmaster\xC9[1]");
}

TEST(AsciiFold, EndingsCompareTheTailOnly) {
  EXPECT_TRUE(EndsWithFoldedAscii("db/Master", kMasterFileName));
  EXPECT_TRUE(EndsWithFoldedAscii("db\\XMASTER", kMasterFileName));
  EXPECT_TRUE(EndsWithFoldedAscii("MASTER", kMasterFileName));
  EXPECT_FALSE(EndsWithFoldedAscii("ASTER", kMasterFileName));
  EXPECT_FALSE(EndsWithFoldedAscii("db/MASTER.BAK", kMasterFileName));
}

}  // namespace
