// Drawing the chart and exporting it: one chart of 800 bars on a large image, stepping
// through the sample database, encoding one chart as a PNG, and whole --export-all and
// --export-png runs.

#ifdef TICKVANE_EXE

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "bars.h"
#include "export.h"
#include "gui_application.h"
#include "long_security.h"
#include "png_file.h"
#include "qt_surface.h"
#include "quote_writer.h"
#include "run_process.h"
#include "study_config.h"

namespace {

class NullMessages final : public tv::MessageService {
 public:
  void ShowMessage(std::string_view, tv::MessageIcon) override {}
};

void DrawOnImage(CBars& bars, QImage& image) {
  QPainter painter(&image);
  tv::QtSurface surface(painter);
  bars.Draw(surface, {0, 0, image.width(), image.height()}, false);
}

void BM_Draw800BarsOn1920x1080(benchmark::State& state) {
  EnsureGuiApplication();
  NullMessages messages;
  CBars bars(&messages);
  bars.AllocateSeries(800);
  SetPriceSeriesCount(bars.m_series, 800);
  float price = 20.0f;
  for (int i = 0; i < 800; ++i) {
    price += static_cast<float>((i * 7919) % 13) / 13.0f - 0.48f;
    bars.m_series.high[i] = price + 0.4f;
    bars.m_series.low[i] = price - 0.4f;
    bars.m_series.close[i] = price + 0.1f;
    bars.m_series.volume[i] = static_cast<float>(1000 + (i * 31) % 5000);
    bars.m_series.date[i] = static_cast<std::int16_t>(14245 + i);
  }
  bars.SetMA1Length(10);
  bars.SetMA2Length(20);
  std::snprintf(bars.m_symbols[0].data(), kSymbolChars, "BENCH");
  bars.m_count = 1;
  bars.SetBarSpace(state.range(0));
  bars.SetLogicalSize({1920, 1080});
  QImage image(1920, 1080, QImage::Format_RGB32);
  for (auto _ : state) {
    DrawOnImage(bars, image);
    benchmark::DoNotOptimize(image.constBits());
  }
}
// Spacing 4 draws 465 bars across 1920 pixels; spacing 2 draws all 800.
BENCHMARK(BM_Draw800BarsOn1920x1080)->Arg(4)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_StepAndDrawSampleDatabase(benchmark::State& state) {
  EnsureGuiApplication();
  NullMessages messages;
  CBars bars(&messages);
  if (!bars.OpenMaster(TICKVANE_SAMPLE_MASTER) || bars.ReadSecurityList() != 0 ||
      bars.m_count == 0) {
    state.SkipWithError("sample database missing");
    return;
  }
  bars.SetLogicalSize({1280, 720});
  QImage image(1280, 720, QImage::Format_RGB32);
  for (auto _ : state) {
    if (bars.Step(1)) bars.m_current = -1;  // wrap around at the end of the list
    DrawOnImage(bars, image);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_StepAndDrawSampleDatabase)->Unit(benchmark::kMillisecond);

// One PageUp on a long history at full HD: the read of the new window, both averages and the
// chart. Paging runs back from the newest bars to the oldest and starts over.
void BM_PageUpOn16000BarsAt1920x1080(benchmark::State& state) {
  EnsureGuiApplication();
  fixture::TempDir dir;
  NullMessages messages;
  CBars bars(&messages);
  if (!OpenLongSecurity(dir, bars)) {
    state.SkipWithError("cannot load the security");
    return;
  }
  bars.SetLogicalSize({1920, 1080});
  const int screen = bars.ScreenBars(1920);
  QImage image(1920, 1080, QImage::Format_RGB32);
  for (auto _ : state) {
    if (bars.ScrollWindow(-screen, screen) == 0) bars.ShowNewestBars();
    DrawOnImage(bars, image);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_PageUpOn16000BarsAt1920x1080)->Unit(benchmark::kMicrosecond);

// One chart of the sample database at the export's default size, encoded as a PNG.
void BM_EncodePngChart1280x720(benchmark::State& state) {
  EnsureGuiApplication();
  NullMessages messages;
  CBars bars(&messages);
  bars.OpenMaster(TICKVANE_SAMPLE_MASTER);
  bars.ReadSecurityList();
  if (bars.LoadCurrentSecurity() != 0) {
    state.SkipWithError("cannot load the sample");
    return;
  }
  const QImage image = tv::RenderChart(bars, 1280, 720, false);
  for (auto _ : state) {
    const QByteArray png = tv::EncodePng(image);
    if (png.isEmpty()) state.SkipWithError("not encoded");
    benchmark::DoNotOptimize(png.constData());
  }
  state.counters["bytes"] = static_cast<double>(tv::EncodePng(image).size());
}
BENCHMARK(BM_EncodePngChart1280x720)->Unit(benchmark::kMillisecond);

// The run encoder against zlib over the same filtered rows: the sample's first chart at
// 1280x720, classic (arg 0) or extended with four studies (arg 1); counters give the file's
// size. zlib level 1 with its run-only strategy is the fair match, level 6 libpng's default.
enum class Rows { kRuns, kZlib1Rle, kZlib6 };
void EncodePngWith(benchmark::State& state, Rows rows) {
  EnsureGuiApplication();
  NullMessages messages;
  CBars bars(&messages);
  bars.SetExtended(state.range(0) != 0);
  bars.OpenMaster(TICKVANE_SAMPLE_MASTER);
  bars.ReadSecurityList();
  if (bars.LoadCurrentSecurity() != 0) {
    state.SkipWithError("cannot load the sample");
    return;
  }
  tv::ChartSettings chart;
  for (const char* study : {"bollinger", "rsi", "macd", "stochastic"})
    chart.studies.push_back(*studies::ParseStudyConfig(study));
  const QImage image = tv::RenderChart(bars, 1280, 720, false, chart);
  auto encode = [&] {
    switch (rows) {
      case Rows::kRuns:
        return tv::EncodePng(image);
      case Rows::kZlib1Rle:
        return tv::EncodePngWithZlib(image, 1, Z_RLE);
      case Rows::kZlib6:
        return tv::EncodePngWithZlib(image, 6, Z_DEFAULT_STRATEGY);
    }
    return QByteArray();
  };
  for (auto _ : state) {
    const QByteArray png = encode();
    if (png.isEmpty()) state.SkipWithError("not encoded");
    benchmark::DoNotOptimize(png.constData());
  }
  state.counters["bytes"] = static_cast<double>(encode().size());
}
BENCHMARK_CAPTURE(EncodePngWith, Runs, Rows::kRuns)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EncodePngWith, Zlib1Rle, Rows::kZlib1Rle)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EncodePngWith, Zlib6, Rows::kZlib6)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

// A database of `securities` securities of 1000 bars each, written once for all the
// benchmarks that use it.
const fixture::TempDir& Database(int securities) {
  static std::map<int, std::unique_ptr<fixture::TempDir>> made;
  std::unique_ptr<fixture::TempDir>& dir = made[securities];
  if (dir) return *dir;
  dir = std::make_unique<fixture::TempDir>();
  std::vector<fixture::Record53> records;
  for (int i = 1; i <= securities; ++i) {
    const auto n = static_cast<std::uint8_t>(i);
    records.push_back(fixture::SecurityRecord({.fileNumber = n,
                                               .name = "SECURITY " + std::to_string(i),
                                               .symbol = "S" + std::to_string(i)}));
    fixture::WriteSimpleSecurity(dir->path(), n, {.bars = 1000, .startPrice = 5.0f + i % 50});
  }
  fixture::WriteMaster(dir->path() / "MASTER", records);
  return *dir;
}

// Runs tickvane with `arguments` before the MASTER of a database of `securities`, as many
// times as asked.
void RunTickvane(benchmark::State& state, int securities, const std::string& arguments) {
  const fixture::TempDir& dir = Database(securities);
  const std::string command =
      std::string("'") + TICKVANE_EXE + "' " + arguments + " '" + dir.dir() + "MASTER' 2>/dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("export failed");
      return;
    }
  }
}

// The whole process: start, open, 127 securities of 1000 bars loaded, drawn and written, on
// one thread (argument 1) or one per core (argument 0).
void BM_ExportAll127At1280x720(benchmark::State& state) {
  const fixture::TempDir out;
  const std::string jobs = state.range(0) > 0 ? " --jobs " + std::to_string(state.range(0)) : "";
  RunTickvane(state, 127, "--export-all '" + out.dir() + "charts'" + jobs);
}
BENCHMARK(BM_ExportAll127At1280x720)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// The whole --export-png process beside two hostile inputs whose cost must stay bounded: a
// MASTER whose other 32,766 entries name missing subdirectories beside 5,000 files (the list
// of the database's files that the export keeps clear of), and a 1 GB settings file (sparse,
// so it costs no disk) that is refused unread.
void BM_ExportPngBesideHostileInputs(benchmark::State& state) {
  static const fixture::TempDir dir;
  static const bool made = [] {
    std::vector<fixture::Record53> records = {
        fixture::SecurityRecord({.fileNumber = 1, .name = "ONE", .symbol = "ONE"})};
    for (int k = 0; k < 32766; ++k)
      records.push_back(fixture::DirectoryRecord("M" + std::to_string(k)));
    fixture::WriteMaster(dir.path() / "MASTER", records);
    fixture::WriteSimpleSecurity(dir.path(), 1, {.bars = 300});
    for (int k = 2; k < 5000; ++k)
      fixture::WriteText(dir.path() / ("F" + std::to_string(k) + ".DAT"), "");
    fixture::WriteText(dir.path() / "big.ini", "[ViewOptions]\nBarSpace=6\n");
    std::filesystem::resize_file(dir.path() / "big.ini", std::uintmax_t{1} << 30);
    return true;
  }();
  benchmark::DoNotOptimize(made);
  const std::string profile = state.range(0) != 0 ? " --profile '" + dir.dir() + "big.ini'" : "";
  const std::string command = std::string("'") + TICKVANE_EXE + "' --export-png '" + dir.dir() +
                              "out.png' --size 320x200" + profile + " '" + dir.dir() +
                              "MASTER' 2>/dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("export failed");
      return;
    }
  }
}
BENCHMARK(BM_ExportPngBesideHostileInputs)
    ->ArgName("bigProfile")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// The book of 215 securities (the extended reading lists more than 127), a page each.
void BM_ExportPdfBook215Pages(benchmark::State& state) {
  const fixture::TempDir out;
  RunTickvane(state, 215, "--extended --export-pdf '" + out.dir() + "book.pdf'");
}
BENCHMARK(BM_ExportPdfBook215Pages)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// Whole processes side by side, the time a script that asks for one thing at a time pays: one
// chart of the sample exported (at the default size and at 1920x1080), the same security read
// by quotedump, the program's version alone (loading its libraries and no more), and a program
// that loads Qt GUI and does nothing, the least any export drawing with Qt can take.
std::string SampleDirectory() {
  return std::filesystem::path(TICKVANE_SAMPLE_MASTER).parent_path().string();
}

void BM_ProcessExportOneChart(benchmark::State& state) {
  fixture::TempDir out;
  bench::RunProcess(state, {TICKVANE_EXE, "--export-png", (out.path() / "one.png").string(),
                            TICKVANE_SAMPLE_MASTER});
}
BENCHMARK(BM_ProcessExportOneChart)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProcessExportOneChart1920x1080(benchmark::State& state) {
  fixture::TempDir out;
  bench::RunProcess(state, {TICKVANE_EXE, "--export-png", (out.path() / "one.png").string(),
                            "--size", "1920x1080", TICKVANE_SAMPLE_MASTER});
}
BENCHMARK(BM_ProcessExportOneChart1920x1080)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProcessQuotedumpReadSameSecurity(benchmark::State& state) {
  bench::RunProcess(state, {TICKVANE_QUOTEDUMP, "read", SampleDirectory(), "ACME"});
}
BENCHMARK(BM_ProcessQuotedumpReadSameSecurity)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProcessVersion(benchmark::State& state) {
  bench::RunProcess(state, {TICKVANE_EXE, "--version"});
}
BENCHMARK(BM_ProcessVersion)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProcessQtGuiAlone(benchmark::State& state) {
  bench::RunProcess(state, {TICKVANE_QT_GUI_ALONE});
}
BENCHMARK(BM_ProcessQtGuiAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

#endif  // TICKVANE_EXE
