#include "chart_paint.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include "Doc.h"
#include "qt_surface.h"

namespace tv {

plot::PlotFrame PaintChart(QWidget& widget, QPainter& painter, CTickvaneDoc& doc,
                           const plot::PlotCursor& cursor) {
  CBars& bars = doc.GetBars();
  if (!bars.IsExtended()) {
    QtSurface surface(painter);
    bars.Draw(surface, Rect{0, 0, widget.width(), widget.height()}, false);
    return {};
  }
  const qreal ratio = widget.devicePixelRatioF();
  QImage image(widget.size() * ratio, QImage::Format_RGB32);
  if (image.isNull()) return {};
  plot::PlotFrame frame;
  {
    QPainter imagePainter(&image);
    imagePainter.setFont(widget.font());
    QtSurface surface(imagePainter);
    frame = DrawChart(bars, surface, Rect{0, 0, image.width(), image.height()}, false,
                      doc.GetChartSettings(), ratio, cursor);
  }
  image.setDevicePixelRatio(ratio);
  painter.drawImage(QPoint(0, 0), image);
  return frame;
}

}  // namespace tv
