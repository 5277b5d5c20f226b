// The extended chart in the window: kept as a picture, with the crosshair and the values at
// its bar drawn over it on each pointer move.

#include <gtest/gtest.h>

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>
#include <functional>
#include <tuple>
#include <vector>

#include "View.h"
#include "chart.h"
#include "qt_surface.h"
#include "show_fixture.h"
#include "study_panes.h"
#include "values.h"

namespace {

// The crosshair over the kept picture gives the very pixels of the chart drawn in one pass
// with it, wherever it stands: its boxes push the labels they meet off the picture, and the
// axis's ticks under an erased label come back.
TEST(ChartPicture, TheCrosshairOverTheKeptChartIsTheChartDrawnWithIt) {
  plot::PlotInput in;
  in.symbol = "WAVE";
  in.name = "A slow wave";
  plot::PlotSeries& s = in.series;
  s.hasOpen = s.hasHigh = s.hasLow = s.hasVolume = true;
  s.Resize(400);
  std::int16_t date = DayNumber(2015, 1, 5);
  for (int i = 0; i < 400; ++i, ++date) {
    const auto k = static_cast<std::size_t>(i);
    const auto price = static_cast<float>(std::round((20 + 5 * std::sin(i / 23.0)) * 100) / 100);
    s.date[k] = date;
    s.open[k] = price - 0.1f, s.high[k] = price + 0.3f, s.low[k] = price - 0.3f;
    s.close[k] = price, s.volume[k] = static_cast<float>(5000 + 40 * (i % 30));
  }
  in.colors = {{255, 255, 255}, {0, 0, 0},   {0, 0, 0},   {0, 0, 128}, {0, 0, 0},
               {0, 0, 0},       {255, 0, 0}, {0, 0, 255}, {0, 128, 0}};
  in.averages = {{plot::AverageKind::Simple, 50}, {plot::AverageKind::Exponential, 20}};
  plot::PlotOptions options;
  plot::AddStudies(s, studies::ParseStudyList("bollinger rsi macd"), options);
  const tv::Rect target{0, 0, 900, 600};
  QImage kept(900, 600, QImage::Format_RGB32);
  std::optional<plot::PlotLayers> layers;
  {
    QPainter painter(&kept);
    tv::QtSurface surface(painter);
    layers.emplace(in, surface, target, false, options);
    layers->DrawChart(surface);
  }
  const plot::PlotFrame& f = layers->Frame();
  const int last = f.first + f.count - 1;
  const struct {
    const char* where;
    plot::PlotCursor cursor;
  } cases[] = {
      {"nowhere", {}},
      {"mid chart", {f.first + f.count / 2, f.plot.top + f.plot.height() / 3}},
      {"on the last close", {last, f.CloseY(s, last)}},
      {"by the first bar, low in the panes", {f.first, f.plot.bottom - 2}},
      {"on each tick's row", {last - 3, f.panes[0].rect.top + 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.where);
    QImage moved = kept.copy();
    {
      QPainter painter(&moved);
      tv::QtSurface surface(painter);
      layers->DrawCursor(surface, c.cursor);
    }
    QImage once(900, 600, QImage::Format_RGB32);
    {
      QPainter painter(&once);
      tv::QtSurface surface(painter);
      plot::DrawPlot(in, surface, target, false, options, c.cursor);
    }
    EXPECT_TRUE(moved == once);
  }
}

// Pointer moves draw the chart no more; a change of the chart draws it again.
TEST(ChartPicture, PointerMovesDrawOnlyTheCrosshair) {
  fixture::TempDir dir;
  show_fixture::WriteDatabase(dir.path(), 2);
  show_fixture::Program p;
  p.app.SetExtendedReading(true);
  ASSERT_TRUE(p.Start((dir.path() / "MASTER").string()));
  tv::CTickvaneView& view = p.view();
  view.resize(800, 500);
  const auto paint = [&] { (void)view.grab(); };
  paint();
  const int draws = view.ChartDraws();
  for (int x = 100; x < 500; x += 37) {
    QMouseEvent move(QEvent::MouseMove, QPointF(x, 200), view.mapToGlobal(QPointF(x, 200)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &move);
    paint();
  }
  EXPECT_EQ(view.ChartDraws(), draws);
  view.resize(700, 500);
  paint();
  EXPECT_EQ(view.ChartDraws(), draws + 1);
  p.app.GetDocument().UpdateAllViews();
  paint();
  EXPECT_EQ(view.ChartDraws(), draws + 2);
}

// The chart moves over the security's whole history, not the window of bars the classic
// chart holds (its newest kSeriesBars): Home shows the file's first bar, the pages go on
// from there, and Fit shows every bar.
TEST(ChartPicture, NavigationReachesTheWholeHistory) {
  constexpr int kBars = 2000;
  static_assert(kBars > kSeriesBars);
  fixture::TempDir dir;
  show_fixture::WriteDatabase(dir.path(), 1, kBars);
  show_fixture::Program p;
  p.app.SetExtendedReading(true);
  ASSERT_TRUE(p.Start((dir.path() / "MASTER").string()));
  tv::CTickvaneView& view = p.view();
  view.resize(800, 500);
  (void)view.grab();
  const int shown = view.ChartFrame().count;
  ASSERT_GT(shown, 50);
  ASSERT_EQ(p.bars().WindowStart(), kBars - kSeriesBars);
  // One move after the other, as the keys would make them.
  const std::vector<std::tuple<const char*, std::function<void()>, int, int>> moves = {
      {"Home", [&] { view.Navigate(plot::ShowOldest); }, 0, shown},
      {"Page Down", [&] { view.PageForward(); }, shown, shown},
      {"End", [&] { view.Navigate(plot::ShowNewest); }, kBars - shown, shown},
      {"Page Up", [&] { view.PageBack(); }, kBars - 2 * shown, shown},
      {"Fit", [&] { view.FitHistory(); }, 0, kBars},
  };
  for (const auto& [what, move, first, count] : moves) {
    move();
    (void)view.grab();
    EXPECT_EQ(view.ChartFrame().first, first) << what;
    EXPECT_EQ(view.ChartFrame().count, count) << what;
    // Bar i of the file is dated i days after its first.
    const plot::PlotSeries drawn =
        tv::ChartSeries(p.bars(), p.app.GetDocument().GetChartSettings());
    ASSERT_EQ(drawn.Count(), kBars);
    EXPECT_EQ(drawn.date[static_cast<std::size_t>(first)], DayNumber(2000, 1, 3) + first) << what;
  }
  // The window stays where it was: the chart draws what the document read beside it.
  EXPECT_EQ(p.bars().WindowStart(), kBars - kSeriesBars);
}

}  // namespace
