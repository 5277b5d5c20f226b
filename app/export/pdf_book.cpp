#include "pdf_book.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <span>
#include <string>

#include "bars.h"
#include "export.h"
#include "output_file.h"
#include "qt_surface.h"

namespace tv {

namespace {

// A landscape A4 page with the margins a printer keeps free.
QPageLayout BookPage() {
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                     QPageLayout::Millimeter);
}

// The page in progress: for the classic chart a heading line with the security's symbol and
// name (the chart shows the name only when it has room; the extended chart's title row always
// names it), and below it the chart as printing draws it, filling the rest of the printable
// area, laid out for a window as wide as the export's default image and as tall as keeps the
// page's proportions.
void DrawPage(CBars& bars, QPainter& painter, const ExportOptions& options) {
  const QPaintDevice* device = painter.device();
  const int width = device->width(), height = device->height();
  QFont font(QStringLiteral("Arial"));
  font.setPointSize(11);
  const QFontMetrics metrics(font, device);
  // The extended chart's own title row names the security already: no second heading.
  const bool headed = !bars.IsExtended();
  const int heading = headed ? metrics.height() * 3 / 2 : 0;
  painter.setFont(font);
  painter.setPen(Qt::black);
  if (headed)
    painter.drawText(QRect(0, 0, width, metrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromLatin1(bars.CurrentSymbol()) + QStringLiteral("  ") +
                         QString::fromLatin1(bars.CurrentName()));
  const int chartHeight = height - heading;
  bars.SetLogicalSize(
      {options.width, static_cast<int>(std::lround(static_cast<double>(options.width) *
                                                   chartHeight / std::max(width, 1)))});
  QtSurface surface(painter);
  // Text and lines of the extended chart keep the size they have on a 96-dpi screen.
  DrawChart(bars, surface, {0, heading, width, height}, true, ExportChartSettings(options),
            device->logicalDpiX() / 96.0);
}

}  // namespace

int ExportBook(CBars& bars, const ExportOptions& options, const DatabaseFiles& database) {
  const std::string& path = options.pdfPath;
  if (const std::string refusal = RefusalToReplace(path, database, OutputKind::kPdf);
      !refusal.empty()) {
    std::fprintf(stderr, "tickvane: cannot write %s: %s\n", path.c_str(), refusal.c_str());
    return 1;
  }
  QBuffer pdf;
  pdf.open(QIODevice::WriteOnly);
  int securities = 0, pages = 0;
  {
    QPdfWriter writer(&pdf);
    writer.setPageLayout(BookPage());
    writer.setCreator(QStringLiteral("Tickvane"));
    writer.setTitle(QString::fromStdString(options.master));
    QPainter painter;
    for (int i = 0; i < bars.m_count; ++i) {
      if (bars.IsDirectoryEntry(i)) continue;
      ++securities;
      const std::string symbol = bars.GetSymbol(i);
      std::fprintf(stderr, "[%d/%d] %s\n", i + 1, bars.m_count, symbol.c_str());
      bars.m_current = i;
      if (bars.LoadCurrentSecurity() != 0) {
        std::fprintf(stderr, "tickvane: skipped %s (%s)\n", symbol.c_str(),
                     LoadFailure(bars).c_str());
        continue;
      }
      // The first page comes with the painter; each further one is asked for.
      if (pages == 0 ? !painter.begin(&writer) : !writer.newPage()) break;
      DrawPage(bars, painter, options);
      ++pages;
    }
    if (painter.isActive()) painter.end();
  }
  if (pages == 0) {
    std::fprintf(stderr, "tickvane: nothing written to %s: no chart could be drawn\n",
                 path.c_str());
    return 1;
  }
  const QByteArray& bytes = pdf.data();
  if (const std::string failure =
          ReplaceFileAtomically(path, {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                       static_cast<std::size_t>(bytes.size())});
      !failure.empty()) {
    std::fprintf(stderr, "tickvane: cannot write %s: %s\n", path.c_str(), failure.c_str());
    return 1;
  }
  std::fprintf(stderr, "tickvane: %d of %d pages written to %s\n", pages, securities, path.c_str());
  return pages == securities ? 0 : 1;
}

}  // namespace tv
