#pragma once
// Paints the chart of a document into a widget, whichever chart the mode wants. The extended
// chart is drawn at the screen's own resolution (a HiDPI screen gets its device pixels, not
// a magnified picture of the logical ones); the classic chart as it always was.

#include <QImage>
#include <memory>
#include <vector>

#include "chart.h"
#include "chart_settings.h"

class QPainter;
class QWidget;

namespace tv {

class CTickvaneDoc;

// Returns where the extended chart put its bars, in the widget's device pixels (empty for
// the classic chart).
plot::PlotFrame PaintChart(QWidget& widget, QPainter& painter, CTickvaneDoc& doc,
                           const plot::PlotCursor& cursor = {});

// The extended chart kept as a picture, so that a pointer move paints the picture and draws
// only the crosshair and the values at its bar over it: nothing is laid out or computed
// again until the bars, the settings, the size, the resolution or the colours change, or
// Invalidate says the document did.
class ChartPicture {
 public:
  ChartPicture();
  ~ChartPicture();
  ChartPicture(const ChartPicture&) = delete;
  ChartPicture& operator=(const ChartPicture&) = delete;

  // As PaintChart.
  plot::PlotFrame Paint(QWidget& widget, QPainter& painter, CTickvaneDoc& doc,
                        const plot::PlotCursor& cursor);
  void Invalidate() { m_stale = true; }
  // How many times the chart was drawn whole: for the tests.
  int Draws() const { return m_draws; }

 private:
  QImage m_image;
  std::unique_ptr<plot::PlotLayers> m_layers;
  std::vector<double> m_key;  // what the picture was drawn from, besides the settings
  ChartSettings m_settings;
  bool m_stale = true;
  int m_draws = 0;
};

}  // namespace tv
