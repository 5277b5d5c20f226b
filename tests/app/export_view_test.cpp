// An export given the viewer's settings file draws what the viewer shows with those settings.

#include <gtest/gtest.h>

#include <QImage>
#include <fstream>

#include "Doc.h"
#include "command_line.h"
#include "export.h"
#include "qt_profile.h"
#include "quote_writer.h"
#include "recording_surface.h"
#include "tickvane.h"

namespace {

using namespace tv;

TEST(ExportWithProfile, DrawsTheViewersChartForTheSameSettings) {
  fixture::TempDir dir;
  fixture::WriteMaster(
      dir.path() / "MASTER",
      {fixture::SecurityRecord({.fileNumber = 1, .name = "ALPHA", .symbol = "AAA"})});
  fixture::WriteSimpleSecurity(dir.path(), 1, {.bars = 300});
  const std::string master = dir.dir() + "MASTER";
  const std::string ini = dir.dir() + "view.ini";
  // Every option away from its default; one malformed value the viewer reads as its default.
  std::ofstream(ini) << "[ViewOptions]\nShowVolume=0\nShowMA1=1\nShowMA2=0\nBarSpace=7\n"
                        "MA1Length=5\nMA2Length=12abc\nColors=7012345671\n";

  // The viewer with that settings file, as `tickvane --profile view.ini MASTER` starts.
  QtProfile viewerProfile(QString::fromStdString(ini));
  fixture::RecordingMessages messages;
  ManualClock clock;
  CTickvaneApp app(viewerProfile, messages, clock);
  ASSERT_TRUE(app.InitInstance(master));
  CBars& shown = app.GetDocument().GetBars();
  EXPECT_EQ(shown.GetBarSpace(), 7);
  EXPECT_EQ(shown.GetMA2Length(), 20);
  const QImage viewer = RenderChart(shown, 640, 400, false);

  const auto exportWith = [&](std::vector<std::string_view> extra, const std::string& out) {
    std::vector<std::string_view> args = {"--export-png", out, "--size", "640x400"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(master);
    const CommandLine line = ParseCommandLine(args);
    EXPECT_TRUE(line.error.empty()) << line.error;
    fixture::RecordingMessages exportMessages;
    EXPECT_EQ(RunExport(line.exports, exportMessages), 0);
    return QImage(QString::fromStdString(out)).convertToFormat(QImage::Format_RGB32);
  };
  const QImage withProfile = exportWith({"--profile", ini}, dir.dir() + "with.png");
  EXPECT_EQ(withProfile, viewer.convertToFormat(QImage::Format_RGB32));
  // Without it the export keeps the defaults, whatever the file holds.
  const QImage plain = exportWith({}, dir.dir() + "plain.png");
  EXPECT_FALSE(plain.isNull());
  EXPECT_NE(plain, withProfile);
}

TEST(ExportWithProfile, ASettingsFileThatIsNotThereWritesNothing) {
  fixture::TempDir dir;
  fixture::WriteMaster(
      dir.path() / "MASTER",
      {fixture::SecurityRecord({.fileNumber = 1, .name = "ALPHA", .symbol = "AAA"})});
  fixture::WriteSimpleSecurity(dir.path(), 1, {.bars = 50});
  ExportOptions options;
  options.pngPath = dir.dir() + "out.png";
  options.master = dir.dir() + "MASTER";
  options.profile = dir.dir() + "missing.ini";
  fixture::RecordingMessages messages;
  EXPECT_EQ(RunExport(options, messages), 1);
  EXPECT_FALSE(std::filesystem::exists(options.pngPath));
  EXPECT_FALSE(std::filesystem::exists(options.profile));
  options.profile = dir.dir();  // a directory is no settings file either
  EXPECT_EQ(RunExport(options, messages), 1);
}

}  // namespace
