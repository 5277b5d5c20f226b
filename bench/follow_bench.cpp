// Following a file as it grows: from the change being seen to the chart drawn again, for a
// security of 16,000 bars (the quiet moment the program waits first is not counted).

#ifdef TICKVANE_EXE

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <filesystem>

#include "bars.h"
#include "gui_application.h"
#include "long_security.h"
#include "qt_surface.h"
#include "quote_writer.h"

namespace {

namespace fs = std::filesystem;

class NoMessages final : public tv::MessageService {
 public:
  void ShowMessage(std::string_view, tv::MessageIcon) override {}
};

void BM_FollowAGrowingFileTo16000BarsAndRepaint1920x1000(benchmark::State& state) {
  EnsureGuiApplication();
  fixture::TempDir dir;
  fixture::TempDir longer;
  NoMessages messages;
  CBars bars(&messages);
  if (!OpenLongSecurity(dir, bars)) {
    state.SkipWithError("cannot load the security");
    return;
  }
  // The same security one bar longer: the file alternates between the two, as if a bar had
  // just been appended (or taken away again).
  fixture::WriteSimpleSecurity(longer.path(), 1, {.bars = 16001, .year = 1961});
  const fs::path data = dir.path() / "F1.DAT";
  const fs::path shorter = dir.path() / "F1.DAT.16000";
  fs::create_hard_link(data, shorter);
  const fs::path grown = longer.path() / "F1.DAT";
  bars.SetLogicalSize({1920, 1080});
  QImage image(1920, 1000, QImage::Format_RGB32);
  bool grow = true;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove(data);
    fs::create_hard_link(grow ? grown : shorter, data);
    grow = !grow;
    state.ResumeTiming();
    if (bars.RereadCurrentSecurity() != CBars::Reread::Changed) {
      state.SkipWithError("the change was not read");
      return;
    }
    QPainter painter(&image);
    tv::QtSurface surface(painter);
    bars.Draw(surface, {0, 0, image.width(), image.height()}, false);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_FollowAGrowingFileTo16000BarsAndRepaint1920x1000)->Unit(benchmark::kMillisecond);

}  // namespace

#endif  // TICKVANE_EXE
