// Following the files while another program writes them: bars appended, a data file cut
// short and the complete one renamed into place, securities added to MASTER. The real file
// watcher runs; each test waits for the program to read the files again.

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QTest>
#include <fstream>
#include <iterator>

#include "file_follower.h"
#include "show_fixture.h"

namespace {

namespace fs = std::filesystem;
using show_fixture::Program;

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Followed {
  fixture::TempDir dir;
  fixture::TempDir spare;  // longer and complete versions of the data files
  Program p;
  Followed() {
    show_fixture::WriteDatabase(dir.path(), 2, 300);
    EXPECT_TRUE(p.Start((dir.path() / "MASTER").string()));
    p.frame().resize(1000, 700);
    p.Idle();  // starts watching
  }
  fs::path Data() const { return dir.path() / "F1.DAT"; }
  // Security 1 as it is with `bars` bars, written beside the database.
  fs::path Version(int bars) {
    const fs::path at = spare.path() / std::to_string(bars);
    fs::create_directories(at);
    fixture::WriteSimpleSecurity(at, 1, {.bars = bars});
    return at / "F1.DAT";
  }
  // Grows the data file to `longer` as a downloader does: the new records first, then the
  // header that counts them.
  void AppendFrom(const fs::path& longer) {
    const std::string now = ReadBytes(Data());
    const std::string then = ReadBytes(longer);
    std::ofstream(Data(), std::ios::binary | std::ios::app) << then.substr(now.size());
    std::fstream(Data(), std::ios::binary | std::ios::in | std::ios::out)
        << then.substr(0, now.size());
  }
  // Waits until the program has read the files again after this many earlier readings.
  bool Settled(int after) {
    return QTest::qWaitFor([&] { return p.app.GetFollower().Settles() > after; }, 3000);
  }
  QImage Chart() { return p.view().grab().toImage(); }
  // The chart a fresh start on the files as they are now shows.
  QImage Fresh() {
    p.app.GetDocument().OnOpenDocument((dir.path() / "MASTER").string());
    return Chart();
  }
};

TEST(FollowingFiles, AppendedBarsShowAtTheNewestWhileAWindowPagedBackStays) {
  for (const bool pagedBack : {false, true}) {
    Followed live;
    CBars& bars = live.p.bars();
    if (pagedBack) live.p.view().PageBack();
    const std::int32_t end = bars.WindowEnd();
    const QImage before = live.Chart();
    const fs::path longer = live.Version(340);
    const int settles = live.p.app.GetFollower().Settles();
    live.AppendFrom(longer);
    ASSERT_TRUE(live.Settled(settles)) << pagedBack;
    ASSERT_TRUE(QTest::qWaitFor([&] { return bars.m_series.fileRecords == 340; }, 3000));
    EXPECT_EQ(bars.AtNewestBars(), !pagedBack);
    if (pagedBack) {
      EXPECT_EQ(bars.WindowEnd(), end);
      EXPECT_EQ(live.Chart(), before);
      // End then shows the new newest bars.
      EXPECT_TRUE(live.p.view().ShowNewest());
    }
    EXPECT_EQ(bars.WindowEnd(), 339);
    const QImage followed = live.Chart();
    EXPECT_EQ(followed, live.Fresh()) << pagedBack;
    EXPECT_TRUE(live.p.messages.texts.empty());
  }
}

TEST(FollowingFiles, ACutFileKeepsTheChartAndTheCompleteOneRenamedIntoPlaceShowsAgain) {
  for (const bool pagedBack : {false, true}) {
    Followed live;
    if (pagedBack) live.p.view().PageBack();
    const QImage before = live.Chart();
    const fs::path complete = live.Version(300);
    int settles = live.p.app.GetFollower().Settles();
    fs::resize_file(live.Data(), 10);
    ASSERT_TRUE(live.Settled(settles)) << pagedBack;
    EXPECT_EQ(live.Chart(), before);
    EXPECT_NE(live.p.bars().m_seriesAllocated, 0);

    settles = live.p.app.GetFollower().Settles();
    const fs::path beside = live.dir.path() / "F1.DAT.new";
    fs::copy_file(complete, beside);
    fs::rename(beside, live.Data());
    ASSERT_TRUE(live.Settled(settles)) << pagedBack;
    EXPECT_EQ(live.Chart(), before);
    // Watched again after the rename: the next change is seen too.
    live.AppendFrom(live.Version(310));
    EXPECT_TRUE(QTest::qWaitFor([&] { return live.p.bars().m_series.fileRecords == 310; }, 3000))
        << pagedBack;
    EXPECT_TRUE(live.p.messages.texts.empty());
    live.p.view().ShowNewest();
    const QImage followed = live.Chart();
    EXPECT_EQ(followed, live.Fresh()) << pagedBack;
  }
}

// A sync tool replaces the whole folder: deletes it and copies it back after a pause, or
// renames a new copy into its place. The chart stays while the folder is gone, and the new
// folder's bars show, and its later appends too.
TEST(FollowingFiles, AFolderReplacedWholeIsReadAtOnceAndWatchedAgain) {
  Followed live;
  const fs::path db = live.dir.path(), copy = live.spare.path() / "copy";
  int bars = 300;
  for (const bool renamed : {false, true}) {
    fs::copy(db, copy, fs::copy_options::recursive);
    fs::copy_file(live.Version(bars += 10), copy / "F1.DAT", fs::copy_options::overwrite_existing);
    const QImage before = live.Chart();
    int settles = live.p.app.GetFollower().Settles();
    if (renamed) {
      fs::rename(db, live.spare.path() / "old");
      fs::rename(copy, db);
      fs::remove_all(live.spare.path() / "old");
    } else {
      fs::remove_all(db);
      ASSERT_TRUE(live.Settled(settles));
      live.p.Idle();
      EXPECT_EQ(live.Chart(), before);
      EXPECT_FALSE(live.p.app.GetFollower().Polling());  // the folder above is watched
      EXPECT_EQ(live.p.frame().messagePane()->text().toStdString(),
                "The database folder " + db.string() +
                    " is gone; the chart stays as it was until the folder is back");
      fs::copy(copy, db, fs::copy_options::recursive);
      fs::remove_all(copy);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return live.p.bars().m_series.fileRecords == bars; }, 3000))
        << renamed;
    live.AppendFrom(live.Version(bars += 5));
    EXPECT_TRUE(QTest::qWaitFor([&] { return live.p.bars().m_series.fileRecords == bars; }, 3000))
        << renamed;
    live.p.Idle();
    EXPECT_EQ(live.p.frame().messagePane()->text(), "For Help, press F1");
  }
  EXPECT_TRUE(live.p.messages.texts.empty());
}

// A follower whose watches the system refuses, as at its limit of watches.
class Unwatchable : public tv::FileFollower {
 public:
  using FileFollower::FileFollower;

 protected:
  bool AddWatches(const QStringList&) override { return false; }
};

TEST(FollowingFiles, WhereNothingCanBeWatchedTheFilesAreLookedAtAndItIsSaid) {
  Followed live;
  Unwatchable follower(live.p.app.GetDocument());
  follower.Follow();
  EXPECT_TRUE(follower.Polling());
  EXPECT_EQ(follower.Notice(),
            "The database's files cannot be watched here; they are looked at every 2 seconds");
  live.AppendFrom(live.Version(320));
  const int settles = follower.Settles();
  follower.Poll();  // what the two-second timer does
  EXPECT_TRUE(QTest::qWaitFor([&] { return follower.Settles() > settles; }, 3000));
  EXPECT_EQ(live.p.bars().m_series.fileRecords, 320);
}

TEST(FollowingFiles, ASecurityAddedToMasterKeepsTheCurrentOneAndTheCounterFollows) {
  Followed live;
  live.p.view().OnNext();  // SYM2, file 2
  live.p.Idle();
  fixture::WriteSimpleSecurity(live.dir.path(), 3, {.bars = 30});
  std::vector<fixture::Record53> records;
  const std::pair<int, const char*> listed[] = {{3, "NEW"}, {1, "SYM1"}, {2, "SYM2"}};
  for (const auto& [number, symbol] : listed) {
    fixture::Security s;
    s.fileNumber = static_cast<std::uint8_t>(number);
    s.symbol = symbol;
    s.name = symbol;
    records.push_back(fixture::SecurityRecord(s));
  }
  const int settles = live.p.app.GetFollower().Settles();
  fixture::WriteMaster(live.dir.path() / "MASTER", records);
  ASSERT_TRUE(live.Settled(settles));
  EXPECT_EQ(live.p.bars().m_count, 3);
  EXPECT_EQ(live.p.bars().m_current, 2);
  EXPECT_STREQ(live.p.bars().CurrentSymbol(), "SYM2");
  live.p.Idle();
  EXPECT_EQ(live.p.frame().counterPane()->text(), "Symbol 3 of 3");
  EXPECT_TRUE(live.p.messages.texts.empty());
}

}  // namespace
