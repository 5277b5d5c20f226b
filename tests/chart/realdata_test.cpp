// Every listed security of a real vendor directory, drawn: flat windows, zero volumes and
// long histories must all stay inside the chart.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "bars.h"
#include "quote_writer.h"
#include "recording_surface.h"

namespace {

namespace fs = std::filesystem;

TEST(RealData, EveryListedSecurityDrawsInsideTheChart) {
  const fs::path source = fs::path(TICKVANE_SHARED_DIR) / "realdata" / "asx-mining";
  if (!fs::exists(source / "MASTER")) GTEST_SKIP() << "no real data at " << source;

  // The vendor directory has no layout files: a copy gets the seven-field one.
  fixture::TempDir dir;
  for (const auto& entry : fs::directory_iterator(source)) {
    const std::string name = entry.path().filename().string();
    if (name != "MASTER" && !name.ends_with(".DAT")) continue;
    fs::copy_file(entry.path(), dir.path() / name);
    if (name.ends_with(".DAT"))
      fixture::WriteDop(dir.path() / (name.substr(0, name.size() - 4) + ".DOP"),
                        {"DATE", "OPEN", "HIGH", "LOW", "CLOSE", "VOL", "OI"});
  }

  fixture::RecordingMessages messages;
  CBars bars(&messages);
  ASSERT_EQ(bars.OpenMaster((dir.dir() + "MASTER").c_str()), 1);
  bars.ReadSecurityList();
  ASSERT_EQ(bars.m_count, 127);
  ASSERT_EQ(messages.messages.size(), 1u);  // 215 symbols, 127 shown

  int flatWindows = 0;
  for (int i = 0; i < bars.m_count; ++i) {
    bars.m_current = i;
    ASSERT_EQ(bars.LoadCurrentSecurity(), 0) << bars.GetSymbol(i);
    for (const tv::Size size : {tv::Size{640, 480}, tv::Size{300, 120}}) {
      fixture::RecordingSurface surface;
      bars.SetBarSpace(2 + i % 9);
      bars.SetShowVolume(i % 2);
      bars.SetLogicalSize(size);
      bars.Draw(surface, {0, 0, size.cx, size.cy}, false);
      const auto lines = surface.Of(fixture::OpKind::Line);
      for (const auto& op : lines) {
        // The price bars, close ticks and volume lie inside the frame; the averages may
        // leave the visible price range, as they carry bars from before the window.
        if (op.pen.color == tv::Rgb{255, 0, 0} || op.pen.color == tv::Rgb{0, 0, 255}) continue;
        for (const tv::Point p : {op.from, op.to}) {
          ASSERT_TRUE(p.x >= 0 && p.x <= size.cx && p.y >= 0 && p.y <= size.cy)
              << bars.GetSymbol(i) << " (" << p.x << ", " << p.y << ")";
        }
      }
      const auto bars2 = surface.LinesWith({0, 255, 0});
      ASSERT_FALSE(bars2.empty()) << bars.GetSymbol(i);
      bool flat = true;
      for (const auto& op : bars2) flat = flat && op.from.y == bars2[0].from.y;
      flatWindows += flat;
    }
  }
  EXPECT_EQ(messages.messages.size(), 1u);
  // The directory is known for securities that held one price for hundreds of bars.
  EXPECT_GT(flatWindows, 0);
}

}  // namespace
