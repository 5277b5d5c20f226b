// The extended chart on screen: a pointer move over a full-HD chart with four studies, which
// paints the kept picture and draws the crosshair and the values at its bar over it (against
// drawing the whole chart again, as a move did before), and the whole history of 16,000 bars
// fitted into 1920 pixels.

#ifdef TICKVANE_EXE

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "chart.h"
#include "chart_settings.h"
#include "gui_application.h"
#include "long_security.h"
#include "qt_surface.h"
#include "quote_writer.h"
#include "weekday_series.h"

namespace {

tv::ChartSettings FourStudies() {
  tv::ChartSettings settings;
  settings.studies = studies::ParseStudyList("bollinger rsi macd stochastic");
  return settings;
}

// The cursor's bars as a pointer crosses the chart: a new bar and row each move.
plot::PlotCursor CursorAt(const plot::PlotFrame& f, int step) {
  const int bar = f.first + (step * 7) % std::max(1, f.count);
  const int y = f.plot.top + (step * 13) % std::max(1, f.plot.height());
  return {bar, y};
}

void BM_PointerMoveOverKeptChart(benchmark::State& state) {
  EnsureGuiApplication();
  const fixture::TempDir dir;
  CBars bars;
  if (!OpenLongSecurityExtended(state, dir, bars)) return;
  const tv::Rect target{0, 0, 1920, 1080};
  QImage picture(1920, 1080, QImage::Format_RGB32);
  QImage screen(1920, 1080, QImage::Format_RGB32);
  std::optional<plot::PlotLayers> layers;
  {
    QPainter painter(&picture);
    tv::QtSurface surface(painter);
    layers.emplace(tv::ChartLayers(bars, surface, target, false, FourStudies()));
    layers->DrawChart(surface);
  }
  int step = 0;
  for (auto _ : state) {
    QPainter painter(&screen);
    painter.drawImage(QPoint(0, 0), picture);
    tv::QtSurface surface(painter);
    layers->DrawCursor(surface, CursorAt(layers->Frame(), ++step));
  }
}
BENCHMARK(BM_PointerMoveOverKeptChart)->Unit(benchmark::kMillisecond);

// What a move cost when it drew everything again: layout, studies and all.
void BM_PointerMoveDrawingAllAgain(benchmark::State& state) {
  EnsureGuiApplication();
  const fixture::TempDir dir;
  CBars bars;
  if (!OpenLongSecurityExtended(state, dir, bars)) return;
  QImage screen(1920, 1080, QImage::Format_RGB32);
  const tv::ChartSettings settings = FourStudies();
  plot::PlotFrame frame;
  int step = 0;
  for (auto _ : state) {
    QPainter painter(&screen);
    tv::QtSurface surface(painter);
    frame = tv::DrawChart(bars, surface, {0, 0, 1920, 1080}, false, settings, 1,
                          CursorAt(frame, ++step));
  }
}
BENCHMARK(BM_PointerMoveDrawingAllAgain)->Unit(benchmark::kMillisecond);

// 16,000 daily bars with the 50- and 200-day averages, all of them in 1920 pixels.
void BM_DrawFitted16000BarsAt1920(benchmark::State& state) {
  EnsureGuiApplication();
  plot::PlotInput in;
  in.series = WeekdaySeries(16000);
  const plot::PlotSeries& s = in.series;
  in.symbol = in.name = "LONG";
  in.colors = {{0, 0, 0},     {255, 255, 255}, {255, 255, 255}, {0, 255, 255}, {0, 255, 0},
               {0, 255, 255}, {255, 0, 0},     {0, 0, 255},     {255, 0, 0}};
  in.averages = {{plot::AverageKind::Simple, 50}, {plot::AverageKind::Simple, 200}};
  plot::PlotOptions options;
  options.barCount = s.Count();
  QImage image(1920, 1080, QImage::Format_RGB32);
  // 0: the whole draw; 1: its layout alone (averages, scales, decimals, time labels); 2: the
  // layout and the chart's layer, without the title and legends.
  const int part = static_cast<int>(state.range(0));
  for (auto _ : state) {
    QPainter painter(&image);
    tv::QtSurface surface(painter);
    if (part == 0) {
      benchmark::DoNotOptimize(plot::DrawPlot(in, surface, {0, 0, 1920, 1080}, false, options));
    } else {
      const plot::PlotLayers l(in, surface, {0, 0, 1920, 1080}, false, options);
      if (part >= 2) l.DrawChart(surface);
    }
  }
}
BENCHMARK(BM_DrawFitted16000BarsAt1920)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

#endif
