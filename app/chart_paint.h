#pragma once
// Paints the chart of a document into a widget, whichever chart the mode wants. The extended
// chart is drawn at the screen's own resolution (a HiDPI screen gets its device pixels, not
// a magnified picture of the logical ones); the classic chart as it always was.

#include "chart.h"

class QPainter;
class QWidget;

namespace tv {

class CTickvaneDoc;

// Returns where the extended chart put its bars, in the widget's device pixels (empty for
// the classic chart).
plot::PlotFrame PaintChart(QWidget& widget, QPainter& painter, CTickvaneDoc& doc,
                           const plot::PlotCursor& cursor = {});

}  // namespace tv
