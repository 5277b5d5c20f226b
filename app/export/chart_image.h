#pragma once
// The image a chart is drawn into for an export.

#include <QImage>

namespace tv {

// A width x height RGB32 image, null when its memory cannot be had. Its pixels are asked of
// the system in huge pages where it can give them: faulting in a chart's megabytes 4 KB at a
// time costs a whole-process export more than drawing the chart does.
QImage NewChartImage(int width, int height);

}  // namespace tv
