#include "chart_paint.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include "Doc.h"
#include "qt_surface.h"

namespace tv {

namespace {

// What of the chart object, the widget and its palette a picture shows, besides the
// settings: a change in any of it draws the chart again. The document says when it changed
// too; this also catches a change it does not announce (a slide show's last security).
std::vector<double> PictureKey(const QWidget& widget, const CBars& bars) {
  std::vector<double> key{static_cast<double>(widget.width()),
                          static_cast<double>(widget.height()),
                          widget.devicePixelRatioF(),
                          static_cast<double>(widget.font().pointSizeF()),
                          static_cast<double>(bars.m_current),
                          static_cast<double>(bars.m_count),
                          static_cast<double>(bars.WindowStart()),
                          static_cast<double>(bars.m_seriesAllocated),
                          static_cast<double>(bars.m_barSpace),
                          static_cast<double>(bars.m_showVolume),
                          static_cast<double>(bars.m_showMA1),
                          static_cast<double>(bars.m_showMA2),
                          static_cast<double>(bars.m_ma1Length),
                          static_cast<double>(bars.m_ma2Length)};
  if (bars.m_seriesAllocated != 0) {
    const PriceSeries& s = bars.m_series;
    key.insert(key.end(), {static_cast<double>(s.count), static_cast<double>(s.fileRecords)});
    if (s.count > 0) {
      const int last = s.count - 1;
      key.insert(key.end(), {static_cast<double>(s.date[0]), static_cast<double>(s.date[last]),
                             static_cast<double>(s.time[last]), s.high[last], s.low[last],
                             s.close[last], s.volume[last]});
    }
  }
  for (const Rgb c : bars.m_palette) key.push_back((c.r << 16) | (c.g << 8) | c.b);
  for (const int k : bars.m_screenColors) key.push_back(k);
  return key;
}

}  // namespace

plot::PlotFrame PaintChart(QWidget& widget, QPainter& painter, CTickvaneDoc& doc,
                           const plot::PlotCursor& cursor) {
  ChartPicture picture;
  return picture.Paint(widget, painter, doc, cursor);
}

ChartPicture::ChartPicture() = default;
ChartPicture::~ChartPicture() = default;

plot::PlotFrame ChartPicture::Paint(QWidget& widget, QPainter& painter, CTickvaneDoc& doc,
                                    const plot::PlotCursor& cursor) {
  CBars& bars = doc.GetBars();
  if (!bars.IsExtended()) {
    m_layers.reset();
    QtSurface surface(painter);
    bars.Draw(surface, Rect{0, 0, widget.width(), widget.height()}, false);
    return {};
  }
  const qreal ratio = widget.devicePixelRatioF();
  std::vector<double> key = PictureKey(widget, bars);
  if (m_stale || !m_layers || key != m_key || !(doc.GetChartSettings() == m_settings)) {
    m_image = QImage(widget.size() * ratio, QImage::Format_RGB32);
    if (m_image.isNull()) {
      m_layers.reset();
      return {};
    }
    m_settings = doc.GetChartSettings();
    {
      QPainter imagePainter(&m_image);
      imagePainter.setFont(widget.font());
      QtSurface surface(imagePainter);
      m_layers = std::make_unique<plot::PlotLayers>(ChartLayers(
          bars, surface, Rect{0, 0, m_image.width(), m_image.height()}, false, m_settings, ratio));
      m_layers->DrawChart(surface);
    }
    bars.m_workColors = bars.m_screenColors;
    m_image.setDevicePixelRatio(ratio);
    m_key = std::move(key);
    m_stale = false;
    ++m_draws;
  }
  painter.drawImage(QPoint(0, 0), m_image);
  if (ratio == 1) {
    // The cursor's layer straight onto the widget, in its own pixels.
    painter.setFont(widget.font());
    QtSurface surface(painter);
    m_layers->DrawCursor(surface, cursor);
  } else {
    // The widget's painter works in logical pixels here: the layer goes onto a copy of the
    // picture in device pixels.
    QImage frame = m_image.copy();
    {
      QPainter framePainter(&frame);
      framePainter.setFont(widget.font());
      QtSurface surface(framePainter);
      m_layers->DrawCursor(surface, cursor);
    }
    frame.setDevicePixelRatio(ratio);
    painter.drawImage(QPoint(0, 0), frame);
  }
  return m_layers->Frame();
}

}  // namespace tv
