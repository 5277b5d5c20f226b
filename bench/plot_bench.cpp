// Drawing the extended chart: one security of 16,000 bars (800 in the series) on a
// 1920x1080 image, in each style, with the crosshair.

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

namespace {

void BM_DrawExtended1920x1080(benchmark::State& state) {
  EnsureGuiApplication();
  const fixture::TempDir dir;
  CBars bars;
  if (!OpenLongSecurityExtended(state, dir, bars)) return;
  plot::PlotOptions options;
  options.style = static_cast<plot::Style>(state.range(0));
  options.log = state.range(1) != 0;
  QImage image(1920, 1080, QImage::Format_RGB32);
  const plot::PlotInput input = tv::ChartInput(bars, {}, false);
  const plot::PlotCursor cursor{input.series.Count() - 100, 400};
  for (auto _ : state) {
    QPainter painter(&image);
    tv::QtSurface surface(painter);
    benchmark::DoNotOptimize(
        plot::DrawPlot(input, surface, {0, 0, 1920, 1080}, false, options, cursor));
  }
}
// Styles hlc, ohlc, candles, line (0 to 3); then hlc on a log scale.
BENCHMARK(BM_DrawExtended1920x1080)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({3, 0})
    ->Args({0, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

#endif
