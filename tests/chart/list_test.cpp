// The security list of a MASTER file, loading, finding and stepping.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bars.h"
#include "quote_writer.h"
#include "recording_surface.h"

namespace {

using fixture::RecordedMessage;
using fixture::Security;
using fixture::SecurityRecord;

class ListFixture : public ::testing::Test {
 protected:
  std::string Master() const { return dir.dir() + "MASTER"; }
  // A database of the given symbols, each with `barCount` daily bars (file numbers 1, 2, ...).
  void Database(const std::vector<std::string>& symbols, int barCount = 60) {
    std::vector<fixture::Record53> records;
    std::uint8_t n = 1;
    for (const auto& symbol : symbols) {
      records.push_back(
          SecurityRecord({.fileNumber = n, .name = symbol + " LTD", .symbol = symbol}));
      fixture::WriteSimpleSecurity(dir.path(), n, {.bars = barCount});
      ++n;
    }
    fixture::WriteMaster(dir.path() / "MASTER", records);
  }
  void Open() {
    ASSERT_EQ(bars.OpenMaster(Master().c_str()), 1);
    bars.ReadSecurityList();
  }

  fixture::TempDir dir;
  fixture::RecordingMessages messages;
  CBars bars{&messages};
};

TEST(MasterPath, AcceptsOnlyShortPathsEndingInMaster) {
  CBars bars;
  EXPECT_EQ(bars.OpenMaster(nullptr), 0);
  EXPECT_EQ(bars.OpenMaster("C:\\DATA\\MASTER.OLD"), 0);
  EXPECT_EQ(bars.OpenMaster("ASTER"), 0);
  const std::string long79 = std::string(73, 'x') + "MASTER";
  EXPECT_EQ(bars.OpenMaster(long79.c_str()), 0);
  EXPECT_EQ(bars.m_pathValid, 0);
  EXPECT_EQ(bars.m_masterPath, "");

  const std::string long78 = std::string(72, 'x') + "MASTER";
  EXPECT_EQ(bars.OpenMaster(long78.c_str()), 1);
  EXPECT_EQ(bars.OpenMaster("C:\\DATA\\master"), 1);
  EXPECT_EQ(bars.m_masterPath, "C:\\DATA\\master");
  EXPECT_EQ(bars.m_dataDir, "C:\\DATA");
  EXPECT_EQ(bars.m_pathValid, 1);
  // A refused path leaves the accepted one in place.
  EXPECT_EQ(bars.OpenMaster("/data/MASTER.OLD"), 0);
  EXPECT_EQ(bars.m_dataDir, "C:\\DATA");

  EXPECT_EQ(bars.OpenMaster("/data/quotes/XMASTER"), 1);
  EXPECT_EQ(bars.m_dataDir, "/data/quotes");
  EXPECT_EQ(bars.OpenMaster("MASTER"), 1);
  EXPECT_EQ(bars.m_dataDir, "");
  EXPECT_EQ(bars.OpenMaster("/MASTER"), 1);
  EXPECT_EQ(bars.m_dataDir, "/");
}

TEST_F(ListFixture, ListsSymbolsUpToTheirFirstBlankAndLoadsTheFirst) {
  std::vector<fixture::Record53> records = {
      SecurityRecord({.fileNumber = 1, .name = "BERKSHIRE", .symbol = "BRK A"}),
      SecurityRecord({.fileNumber = 2, .name = "BHP BILLITON", .symbol = "BHP"}),
  };
  records[1][40] = 0xC4;  // a character outside 7-bit ASCII ends the symbol as well
  fixture::WriteMaster(dir.path() / "MASTER", records);
  fixture::WriteSimpleSecurity(dir.path(), 1, {.bars = 30});
  Open();
  EXPECT_EQ(bars.m_count, 2);
  EXPECT_STREQ(bars.GetSymbol(0), "BRK");
  EXPECT_STREQ(bars.GetName(0), "BERKSHIRE       ");
  EXPECT_STREQ(bars.GetSymbol(1), "BHP");
  EXPECT_EQ(bars.GetSymbol(2), nullptr);
  EXPECT_EQ(bars.GetName(-1), nullptr);
  EXPECT_EQ(bars.LoadCurrentSecurity(), 0);
  EXPECT_EQ(bars.m_seriesAllocated, 1);
  EXPECT_EQ(bars.m_series.count, 30);
  EXPECT_TRUE(messages.messages.empty());
  // The averages follow the loaded closes.
  float sum = 0;
  for (int i = 0; i < 10; ++i) sum += bars.m_series.close[i];
  EXPECT_NEAR(bars.m_ma1[9], sum / 10, 1e-4);
}

TEST_F(ListFixture, LongMasterFileIsCutTo127WithATwoLineMessage) {
  std::vector<fixture::Record53> records;
  for (int i = 0; i < 200; ++i)
    records.push_back(
        SecurityRecord({.fileNumber = 1, .name = "N", .symbol = "S" + std::to_string(i)}));
  fixture::WriteMaster(dir.path() / "MASTER", records);
  Open();
  EXPECT_EQ(bars.m_count, 127);
  EXPECT_STREQ(bars.GetSymbol(126), "S126");
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text,
            "File has 200 symbols.\nWill only display the first 127 symbols");
  EXPECT_EQ(messages.messages[0].icon, tv::MessageIcon::None);

  records.resize(127);
  fixture::WriteMaster(dir.path() / "MASTER", records);
  messages.messages.clear();
  bars.Reset();
  Open();
  EXPECT_EQ(bars.m_count, 127);
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ListFixture, EmptyAndShortMasterFiles) {
  fixture::WriteMaster(dir.path() / "MASTER", {});
  Open();
  EXPECT_EQ(bars.m_count, 0);
  EXPECT_TRUE(messages.messages.empty());

  // The header promises three, the file holds one.
  fixture::WriteMaster(dir.path() / "MASTER",
                       {SecurityRecord({.fileNumber = 1, .name = "", .symbol = "ONE"})}, 3);
  EXPECT_EQ(bars.ReadSecurityList(), 1);
  EXPECT_EQ(bars.m_count, 0);
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text, "File read failed");
  EXPECT_EQ(messages.messages[0].icon, tv::MessageIcon::Stop);

  fixture::WriteMaster(dir.path() / "MASTER", {}, -2);
  EXPECT_EQ(bars.ReadSecurityList(), 1);
  EXPECT_EQ(messages.messages.size(), 2u);
  EXPECT_EQ(bars.m_count, 0);

  fixture::WriteText(dir.path() / "MASTER", "short");
  EXPECT_EQ(bars.ReadSecurityList(), 1);
  EXPECT_EQ(messages.messages.back().text, "File read failed");

  // A missing file or no accepted path: failure without a message.
  std::filesystem::remove(dir.path() / "MASTER");
  EXPECT_EQ(bars.ReadSecurityList(), 1);
  CBars fresh(&messages);
  EXPECT_EQ(fresh.ReadSecurityList(), 1);
  EXPECT_EQ(messages.messages.size(), 3u);
}

TEST_F(ListFixture, SecuritiesAreSearchedFromTheDataDirectory) {
  // The list comes from XMASTER; the series are found through the directory's MASTER.
  Database({"AAA", "BBB"});
  fixture::WriteMaster(dir.path() / "XMASTER",
                       {SecurityRecord({.fileNumber = 9, .name = "", .symbol = "BBB"})});
  ASSERT_EQ(bars.OpenMaster((dir.dir() + "XMASTER").c_str()), 1);
  EXPECT_EQ(bars.ReadSecurityList(), 0);
  EXPECT_EQ(bars.m_count, 1);
  EXPECT_EQ(bars.LoadCurrentSecurity(), 0);
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ListFixture, StepClampsToTheListAndReloads) {
  Database({"AAA", "BBB", "CCC"});
  Open();
  ASSERT_EQ(bars.LoadCurrentSecurity(), 0);
  EXPECT_EQ(bars.CanStepPrevious(), 0);
  EXPECT_EQ(bars.CanStepNext(), 1);
  EXPECT_EQ(bars.Step(1), 0);
  EXPECT_EQ(bars.Step(1), 0);
  EXPECT_EQ(bars.m_current, 2);
  EXPECT_EQ(bars.CanStepNext(), 0);
  EXPECT_EQ(bars.CanStepPrevious(), 1);
  // At the last one: index kept, reloaded, clamped.
  bars.m_series.close[0] = -1.0f;
  EXPECT_EQ(bars.Step(1), 1);
  EXPECT_EQ(bars.m_current, 2);
  EXPECT_NE(bars.m_series.close[0], -1.0f);
  EXPECT_EQ(bars.Step(-5), 1);
  EXPECT_EQ(bars.m_current, 0);
  EXPECT_EQ(bars.m_seriesAllocated, 1);
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ListFixture, StepOnAnEmptyListLoadsNothing) {
  fixture::WriteMaster(dir.path() / "MASTER", {});
  Open();
  EXPECT_EQ(bars.Step(1), 1);
  EXPECT_EQ(bars.Step(-1), 1);
  EXPECT_EQ(bars.m_current, 0);
  EXPECT_EQ(bars.m_seriesAllocated, 0);
  EXPECT_EQ(bars.CanStepNext(), 0);
  EXPECT_EQ(bars.CanStepPrevious(), 0);
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ListFixture, FailedLoadReportsReleasesAndNextStillMovesOn) {
  Database({"AAA", "EMPTY", "CCC"});
  fixture::WriteDat(dir.path() / "F2.DAT", 28, {});  // a data file without records
  Open();
  ASSERT_EQ(bars.LoadCurrentSecurity(), 0);
  bars.Step(1);
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text, "Read failed for symbol EMPTY");
  EXPECT_EQ(messages.messages[0].icon, tv::MessageIcon::Stop);
  EXPECT_EQ(bars.m_seriesAllocated, 0);
  EXPECT_EQ(bars.Step(1), 0);
  EXPECT_EQ(bars.m_current, 2);
  EXPECT_EQ(bars.m_seriesAllocated, 1);
  EXPECT_EQ(messages.messages.size(), 1u);
}

TEST_F(ListFixture, BlankSymbolNamesNoSecurity) {
  // The second record has an empty symbol; the tree also holds a record whose name and
  // symbol are blank, which an empty key must not pick up.
  fixture::WriteMaster(dir.path() / "MASTER",
                       {SecurityRecord({.fileNumber = 1, .name = "AAA", .symbol = "AAA"}),
                        SecurityRecord({.fileNumber = 2, .name = "", .symbol = ""})});
  fixture::WriteSimpleSecurity(dir.path(), 1);
  fixture::WriteSimpleSecurity(dir.path(), 2);
  Open();
  ASSERT_EQ(bars.m_count, 2);
  EXPECT_STREQ(bars.GetSymbol(1), "");
  EXPECT_EQ(bars.Step(1), 0);
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text, "Read failed for symbol ");
  EXPECT_EQ(bars.m_seriesAllocated, 0);
}

TEST_F(ListFixture, GoToFindsExactSymbolsOnly) {
  Database({"AAA", "BBB", "CCC"});
  Open();
  bars.SearchSetSymbolIndex("CCC");
  EXPECT_EQ(bars.m_current, 2);
  EXPECT_EQ(bars.m_seriesAllocated, 1);
  EXPECT_TRUE(messages.messages.empty());
  for (const char* wrong : {"bbb", "BB", "BBBB", ""}) {
    bars.SearchSetSymbolIndex(wrong);
    EXPECT_EQ(bars.m_current, 2) << wrong;
  }
  ASSERT_EQ(messages.messages.size(), 4u);
  EXPECT_EQ(messages.messages[0].text, "Failure in SearchSetSymbolIndex");
  EXPECT_EQ(messages.messages[0].icon, tv::MessageIcon::Stop);
}

// Extended reading: the whole index of a vendor's directory is the list, loads go to the
// listed entry itself, and the classic limits and message are gone.
TEST_F(ListFixture, ExtendedListsEveryEntryAndLoadsEachAsListed) {
  std::vector<std::string> symbols;
  for (int k = 0; k < 200; ++k) symbols.push_back("S" + std::to_string(k));
  Database(symbols, 30);
  fixture::WriteEmaster(dir.path() / "EMASTER", {{2, "S1", "Second Security Corporation"}});
  fixture::WriteXmaster(dir.path() / "XMASTER", {{300, "X300", "Extended Holdings", 0x7F},
                                                 {301, "S0", "Same Symbol Elsewhere", 0x7F}});
  fixture::WriteSimpleSecurity(dir.path(), 201, {.bars = 12});
  std::filesystem::rename(dir.path() / "F201.DAT", dir.path() / "F300.MWD");
  fixture::WriteSimpleSecurity(dir.path(), 202, {.bars = 7});
  std::filesystem::rename(dir.path() / "F202.DAT", dir.path() / "F301.MWD");

  bars.SetExtended(true);
  Open();
  EXPECT_TRUE(messages.messages.empty());
  ASSERT_EQ(bars.m_count, 202);
  EXPECT_STREQ(bars.GetName(1), "Second Security Corporation");
  EXPECT_STREQ(bars.GetSymbol(200), "X300");

  // Step through everything: every entry loads, the second S0 with its own bars.
  ASSERT_EQ(bars.LoadCurrentSecurity(), 0);
  for (int i = 1; i < bars.m_count; ++i) {
    EXPECT_EQ(bars.Step(+1), 0);
    ASSERT_EQ(bars.m_seriesAllocated, 1) << i;
  }
  EXPECT_EQ(bars.m_current, 201);
  EXPECT_EQ(bars.m_series.count, 7);
  EXPECT_STREQ(bars.CurrentName(), "Same Symbol Elsewhere");
  EXPECT_EQ(bars.Step(+1), 1);

  bars.SearchSetSymbolIndex("X300");
  EXPECT_EQ(bars.m_current, 200);
  EXPECT_EQ(bars.m_series.count, 12);
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ListFixture, DirectoryEntriesAreToldApartInBothReadings) {
  fixture::WriteMaster(dir.path() / "MASTER",
                       {SecurityRecord({.fileNumber = 1, .name = "A", .symbol = "A"}),
                        fixture::DirectoryRecord("SUB")});
  for (const bool extended : {false, true}) {
    bars.SetExtended(extended);
    Open();
    ASSERT_EQ(bars.m_count, 2);
    EXPECT_FALSE(bars.IsDirectoryEntry(0));
    EXPECT_TRUE(bars.IsDirectoryEntry(1));
    EXPECT_FALSE(bars.IsDirectoryEntry(2));
  }
}

TEST_F(ListFixture, ExtendedAcceptsLongPathsAndRefusesBrokenIndexFiles) {
  const std::filesystem::path deep = dir.path() / std::string(60, 'd') / std::string(60, 'e');
  std::filesystem::create_directories(deep);
  fixture::WriteMaster(deep / "MASTER",
                       {SecurityRecord({.fileNumber = 1, .name = "Deep", .symbol = "DEEP"})});
  fixture::WriteSimpleSecurity(deep, 1);
  std::filesystem::remove(deep / "F1.DOP");
  const std::string path = (deep / "MASTER").string();
  ASSERT_GT(path.size(), 78u);
  EXPECT_EQ(bars.OpenMaster(path.c_str()), 0);
  bars.SetExtended(true);
  ASSERT_EQ(bars.OpenMaster(path.c_str()), 1);
  bars.ReadSecurityList();
  EXPECT_EQ(bars.m_count, 1);
  EXPECT_EQ(bars.LoadCurrentSecurity(), 0);

  // An XMASTER that counts more records than it holds fails the list as a short MASTER does.
  fixture::WriteXmaster(deep / "XMASTER", {{300, "X", "X"}}, 40);
  bars.ReadSecurityList();
  EXPECT_EQ(bars.m_count, 0);
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text, "File read failed");
  EXPECT_EQ(messages.messages[0].icon, tv::MessageIcon::Stop);
}

}  // namespace
