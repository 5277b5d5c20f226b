// Opening a database as the document, the template's bookkeeping, the commands' enable rules
// and the Go To and View Options flows, all without a display.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "Doc.h"
#include "doc_template.h"
#include "memory_profile.h"
#include "quote_writer.h"
#include "recording_surface.h"

namespace {

using fixture::TempDir;
namespace fs = std::filesystem;

fixture::Security Sec(std::uint8_t n, const std::string& symbol, const std::string& name = "") {
  fixture::Security s;
  s.fileNumber = n;
  s.symbol = symbol;
  s.name = name.empty() ? symbol + " LTD" : name;
  return s;
}

// A database of `symbols.size()` securities, each with 60 bars, in `dir`.
void WriteDatabase(const fs::path& dir, const std::vector<std::string>& symbols,
                   const std::string& masterName = "MASTER") {
  std::vector<fixture::Record53> records;
  for (size_t i = 0; i < symbols.size(); ++i) {
    const auto n = static_cast<std::uint8_t>(i + 1);
    records.push_back(fixture::SecurityRecord(Sec(n, symbols[i])));
    fixture::WriteSimpleSecurity(dir, n, {.bars = 60});
  }
  fixture::WriteMaster(dir / masterName, records);
}

struct FakeGoTo {
  bool ok = true;
  std::string answer;
  int runs = 0;
  bool operator()(CBars&, std::string& selection) {
    ++runs;
    selection = answer;
    return ok;
  }
};

struct FakeViewOptions {
  bool ok = true;
  tv::ViewOptions seen{};
  tv::ViewOptions answer{};
  int colorItem = -1, colorIndex = 0;  // a colour edit made while the dialog runs
  bool operator()(CBars& bars, tv::ViewOptions& values) {
    seen = values;
    if (colorItem >= 0) bars.SetWorkColor(colorItem, colorIndex);
    values = answer;
    return ok;
  }
};

class DocumentTest : public ::testing::Test {
 protected:
  DocumentTest() : doc(profile, messages), recent(profile, 4), docTemplate(doc, recent) {
    doc.AddView([this] { ++viewUpdates; });
    doc.SetGoToDialog(std::ref(goTo));
    doc.SetViewOptionsDialog(std::ref(viewOptions));
  }
  std::string Master() const { return (dir.path() / "MASTER").string(); }
  bool Open(const std::string& path) { return docTemplate.OpenDocumentFile(path); }
  CBars& bars() { return doc.GetBars(); }

  TempDir dir;
  fixture::MemoryProfile profile;
  fixture::RecordingMessages messages;
  tv::CTickvaneDoc doc;
  tv::RecentFileList recent;
  tv::CSingleDocTemplate docTemplate;
  FakeGoTo goTo;
  FakeViewOptions viewOptions;
  int viewUpdates = 0;
};

TEST_F(DocumentTest, OpeningAMasterFileListsItsSecuritiesLoadsTheFirstAndRecordsThePath) {
  WriteDatabase(dir.path(), {"BHP", "RIO", "WES"});
  ASSERT_TRUE(Open(Master()));
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_EQ(bars().m_count, 3);
  EXPECT_EQ(bars().m_current, 0);
  EXPECT_EQ(bars().m_seriesAllocated, 1);
  EXPECT_EQ(bars().m_series.count, 60);
  EXPECT_EQ(viewUpdates, 1);
  EXPECT_EQ(doc.GetPathName(), Master());
  ASSERT_EQ(recent.entries().size(), 1u);
  EXPECT_EQ(recent.entries()[0], Master());
  // The view options are read after the reset and before the list (first key first).
  ASSERT_FALSE(profile.reads.empty());
  EXPECT_EQ(profile.reads.front(), "ViewOptions/ShowVolume");
}

TEST_F(DocumentTest, ARelativePathIsRecordedAsAFullPath) {
  WriteDatabase(dir.path(), {"BHP"});
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  const bool opened = Open("MASTER");
  fs::current_path(before);
  ASSERT_TRUE(opened);
  EXPECT_EQ(doc.GetPathName(), Master());
  EXPECT_EQ(bars().m_count, 1);
}

TEST_F(DocumentTest, AFileThatCannotBeReadIsReportedByNameAndChangesNothing) {
  WriteDatabase(dir.path(), {"BHP", "RIO", "WES"});
  ASSERT_TRUE(Open(Master()));
  bars().Step(+1);
  const int updatesBefore = viewUpdates;
  const auto readsBefore = profile.reads.size();

  // A pipe named MASTER would block the open for ever.
  const fs::path pipe = dir.path() / "sub" / "MASTER";
  fs::create_directories(pipe.parent_path());
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& bad :
       {(dir.path() / "NOSUCH" / "MASTER").string(), dir.dir(), std::string(), pipe.string()}) {
    messages.messages.clear();
    EXPECT_FALSE(Open(bad)) << bad;
    ASSERT_EQ(messages.messages.size(), 1u) << bad;
    EXPECT_EQ(messages.messages[0].icon, tv::MessageIcon::Stop);
    if (!bad.empty()) {
      EXPECT_NE(messages.messages[0].text.find(tv::FullPath(bad)), std::string::npos)
          << messages.messages[0].text;
    }
  }
  EXPECT_EQ(bars().m_count, 3);
  EXPECT_EQ(bars().m_current, 1);
  EXPECT_EQ(bars().m_seriesAllocated, 1);
  EXPECT_EQ(viewUpdates, updatesBefore);
  EXPECT_EQ(profile.reads.size(), readsBefore);  // not even the options were re-read
  EXPECT_EQ(doc.GetPathName(), Master());
  EXPECT_EQ(recent.entries().size(), 1u);
}

TEST_F(DocumentTest, AFileNotNamedMasterEmptiesTheChartButStillCountsAsOpened) {
  WriteDatabase(dir.path(), {"BHP", "RIO"});
  ASSERT_TRUE(Open(Master()));
  const std::string other = (dir.path() / "F1.DAT").string();
  ASSERT_TRUE(Open(other));
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text, "You have not selected a file named \"MASTER\"");
  EXPECT_EQ(messages.messages[0].icon, tv::MessageIcon::None);
  EXPECT_EQ(bars().m_count, 0);
  EXPECT_EQ(bars().m_seriesAllocated, 0);
  EXPECT_EQ(viewUpdates, 2);
  EXPECT_EQ(doc.GetPathName(), other);
  ASSERT_EQ(recent.entries().size(), 2u);
  EXPECT_EQ(recent.entries()[0], other);
}

TEST_F(DocumentTest, AMasterFileNamedInLowerCaseIsAccepted) {
  WriteDatabase(dir.path(), {"BHP", "RIO"}, "master");
  ASSERT_TRUE(Open((dir.path() / "master").string()));
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_EQ(bars().m_count, 2);
}

TEST_F(DocumentTest, ASecondDatabaseReplacesTheListAndStartsAtItsFirstSecurity) {
  TempDir other;
  WriteDatabase(dir.path(), {"BHP", "RIO", "WES"});
  WriteDatabase(other.path(), {"ANZ", "NAB"});
  ASSERT_TRUE(Open(Master()));
  bars().Step(+2);
  ASSERT_TRUE(Open((other.path() / "MASTER").string()));
  EXPECT_EQ(bars().m_count, 2);
  EXPECT_EQ(bars().m_current, 0);
  EXPECT_STREQ(bars().GetSymbol(0), "ANZ");
  EXPECT_EQ(recent.entries()[1], Master());
}

TEST_F(DocumentTest, OptionsAfterAnOpenComeFromTheProfileNotFromBefore) {
  WriteDatabase(dir.path(), {"BHP"});
  bars().SetBarSpace(7);
  bars().SetShowVolume(0);
  profile.Set("ViewOptions", "MA1Length", "15");
  ASSERT_TRUE(Open(Master()));
  EXPECT_EQ(bars().GetBarSpace(), 4);
  EXPECT_EQ(bars().GetShowVolume(), 1);
  EXPECT_EQ(bars().GetMA1Length(), 15);
  // The average was computed with the stored length: entry 13 is still empty, entry 14 not.
  EXPECT_EQ(bars().m_ma1[13], 0.0f);
  EXPECT_NE(bars().m_ma1[14], 0.0f);
}

TEST_F(DocumentTest, NewClearsOnlyThePathName) {
  WriteDatabase(dir.path(), {"BHP", "RIO"});
  ASSERT_TRUE(Open(Master()));
  bars().Step(+1);
  ASSERT_TRUE(docTemplate.NewDocument());
  EXPECT_EQ(doc.GetPathName(), "");
  EXPECT_EQ(bars().m_count, 2);
  EXPECT_EQ(bars().m_current, 1);
  EXPECT_EQ(bars().m_seriesAllocated, 1);
  EXPECT_EQ(recent.entries().size(), 1u);
}

TEST_F(DocumentTest, EnableRulesFollowTheListAndTheLoadedSeries) {
  auto states = [this] {
    return std::vector<bool>{doc.CanViewOptions(), doc.CanGoTo(), doc.CanSlideShow(), doc.CanNext(),
                             doc.CanPrevious()};
  };
  EXPECT_EQ(states(), (std::vector<bool>{false, false, false, false, false}));

  WriteDatabase(dir.path(), {"BHP", "RIO", "WES"});
  ASSERT_TRUE(Open(Master()));
  EXPECT_EQ(states(), (std::vector<bool>{true, true, true, true, false}));
  bars().Step(+1);
  EXPECT_EQ(states(), (std::vector<bool>{true, true, true, true, true}));
  bars().Step(+1);
  EXPECT_EQ(states(), (std::vector<bool>{true, true, true, false, true}));

  // A security whose data file is gone: listed, but no series.
  fs::remove(dir.path() / "F3.DAT");
  bars().Step(0);
  EXPECT_EQ(states(), (std::vector<bool>{false, false, false, false, true}));

  TempDir single;
  WriteDatabase(single.path(), {"ONE"});
  ASSERT_TRUE(Open((single.path() / "MASTER").string()));
  EXPECT_EQ(states(), (std::vector<bool>{true, true, true, false, false}));
}

TEST_F(DocumentTest, GoToLoadsTheFirstSecurityWithTheChosenSymbol) {
  WriteDatabase(dir.path(), {"BHP", "RIO", "BHP", "WES"});
  ASSERT_TRUE(Open(Master()));
  viewUpdates = 0;
  goTo.answer = "WES\tWES LTD         ";
  doc.OnGoTo();
  EXPECT_EQ(bars().m_current, 3);
  EXPECT_EQ(viewUpdates, 1);
  goTo.answer = "BHP\tBHP LTD";
  doc.OnGoTo();
  EXPECT_EQ(bars().m_current, 0);  // the first of two equal symbols
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(DocumentTest, GoToWithAnUnknownSymbolReportsItAndStillRepaints) {
  WriteDatabase(dir.path(), {"BHP", "RIO"});
  ASSERT_TRUE(Open(Master()));
  bars().Step(+1);
  viewUpdates = 0;
  goTo.answer = "rio\tRIO LTD";  // differs only in case
  doc.OnGoTo();
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text, "Failure in SearchSetSymbolIndex");
  EXPECT_EQ(bars().m_current, 1);
  EXPECT_EQ(viewUpdates, 1);
}

TEST_F(DocumentTest, GoToCancelledOrEmptyChangesNothingAndOddEntriesAreReadSafely) {
  WriteDatabase(dir.path(), {"BHP", "RIO"});
  ASSERT_TRUE(Open(Master()));
  viewUpdates = 0;
  goTo.ok = false;
  goTo.answer = "RIO\tRIO LTD";
  doc.OnGoTo();
  goTo.ok = true;
  goTo.answer = "";
  doc.OnGoTo();
  EXPECT_EQ(goTo.runs, 2);
  EXPECT_EQ(bars().m_current, 0);
  EXPECT_EQ(viewUpdates, 0);
  EXPECT_TRUE(messages.messages.empty());

  goTo.answer = "RIO";  // no tab: the whole text is the symbol
  doc.OnGoTo();
  EXPECT_EQ(bars().m_current, 1);

  EXPECT_EQ(tv::GoToSymbol("ABCDEFGHIJKLMNOPQRSTUVWXYZ\tname"), "ABCDEFGHIJKLMNOPQRS");
  EXPECT_EQ(tv::GoToSymbol("\tname"), "");
  EXPECT_EQ(tv::GoToSymbol("A\tB\tC"), "A");
}

TEST_F(DocumentTest, ViewOptionsOkAppliesCommitsAndSavesAllSevenKeysInOrder) {
  WriteDatabase(dir.path(), {"BHP"});
  ASSERT_TRUE(Open(Master()));
  profile.writes.clear();
  viewUpdates = 0;
  viewOptions.answer = {6, 0, 1, 0, 12, 30};
  viewOptions.colorItem = 0;
  viewOptions.colorIndex = 7;
  doc.OnViewOptions();

  EXPECT_EQ(viewOptions.seen.barSpace, 4);
  EXPECT_EQ(viewOptions.seen.ma2Length, 20);
  EXPECT_EQ(bars().GetBarSpace(), 6);
  EXPECT_EQ(bars().GetShowVolume(), 0);
  EXPECT_EQ(bars().GetMA1Length(), 12);
  EXPECT_EQ(bars().m_screenColors[0], 7);
  EXPECT_NE(bars().m_ma1[11], 0.0f);  // recomputed with the new length
  EXPECT_EQ(profile.writes,
            (std::vector<std::string>{"ViewOptions/ShowVolume=0", "ViewOptions/ShowMA1=1",
                                      "ViewOptions/ShowMA2=0", "ViewOptions/BarSpace=6",
                                      "ViewOptions/MA1Length=12", "ViewOptions/MA2Length=30",
                                      "ViewOptions/Colors=7723733414"}));
  EXPECT_EQ(viewUpdates, 1);

  // Unchanged values are saved too.
  profile.writes.clear();
  viewOptions.colorItem = -1;
  viewOptions.answer = {6, 0, 1, 0, 12, 30};
  doc.OnViewOptions();
  EXPECT_EQ(profile.writes.size(), 7u);
}

TEST_F(DocumentTest, ViewOptionsCancelSavesNothingAndKeepsTheCommittedColours) {
  WriteDatabase(dir.path(), {"BHP"});
  ASSERT_TRUE(Open(Master()));
  profile.writes.clear();
  viewUpdates = 0;
  viewOptions.ok = false;
  viewOptions.answer = {9, 0, 0, 0, 3, 3};
  viewOptions.colorItem = 2;
  viewOptions.colorIndex = 5;
  doc.OnViewOptions();
  EXPECT_TRUE(profile.writes.empty());
  EXPECT_EQ(viewUpdates, 0);
  EXPECT_EQ(bars().GetBarSpace(), 4);
  EXPECT_EQ(bars().m_screenColors[2], 2);
}

TEST_F(DocumentTest, OptionsSavedByTheDialogCarryOverToTheNextOpen) {
  WriteDatabase(dir.path(), {"BHP"});
  ASSERT_TRUE(Open(Master()));
  viewOptions.answer = {3, 1, 0, 1, 5, 40};
  doc.OnViewOptions();
  profile.Set("ViewOptions", "MA2Length", "44");  // edited by hand meanwhile
  ASSERT_TRUE(Open(Master()));
  EXPECT_EQ(bars().GetBarSpace(), 3);
  EXPECT_EQ(bars().GetShowMA1(), 0);
  EXPECT_EQ(bars().GetMA1Length(), 5);
  EXPECT_EQ(bars().GetMA2Length(), 44);
}

// --- the recent-file list

TEST(RecentFiles, KeepsTheNewestFourAndMovesAReopenedFileToTheTop) {
  fixture::MemoryProfile profile;
  tv::RecentFileList list(profile, 4);
  for (const char* p : {"/a/MASTER", "/b/MASTER", "/c/MASTER", "/d/MASTER", "/e/MASTER"})
    list.Add(p);
  EXPECT_EQ(list.entries(),
            (std::vector<std::string>{"/e/MASTER", "/d/MASTER", "/c/MASTER", "/b/MASTER"}));
  list.Add("/c/MASTER");
  EXPECT_EQ(list.entries(),
            (std::vector<std::string>{"/c/MASTER", "/e/MASTER", "/d/MASTER", "/b/MASTER"}));
  list.Remove(1);
  list.Remove(7);  // ignored

  tv::RecentFileList again(profile, 4);
  again.ReadList();
  EXPECT_EQ(again.entries(), (std::vector<std::string>{"/c/MASTER", "/d/MASTER", "/b/MASTER"}));
}

TEST_F(DocumentTest, ARecentFileThatNoLongerOpensIsDroppedFromTheList) {
  WriteDatabase(dir.path(), {"BHP"});
  TempDir gone;
  WriteDatabase(gone.path(), {"OLD"});
  ASSERT_TRUE(Open((gone.path() / "MASTER").string()));
  ASSERT_TRUE(Open(Master()));
  fs::remove(gone.path() / "MASTER");
  EXPECT_FALSE(docTemplate.OpenRecentFile(1));
  EXPECT_EQ(recent.entries(), (std::vector<std::string>{Master()}));
  EXPECT_TRUE(docTemplate.OpenRecentFile(0));
  EXPECT_FALSE(docTemplate.OpenRecentFile(5));
}

}  // namespace
