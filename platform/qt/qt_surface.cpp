#include "qt_surface.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainterPath>
#include <QPalette>
#include <QPolygon>
#include <QString>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace tv {

namespace {

QColor ToQ(Rgb c) { return QColor(c.r, c.g, c.b); }
Rgb FromQ(const QColor& c) {
  return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
          static_cast<std::uint8_t>(c.blue())};
}
// Quote files come from Windows programs: a name is bytes, not UTF-8.
QString ToQString(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
int Sign(int v) { return (v > 0) - (v < 0); }

}  // namespace

QtSurface::QtSurface(QPainter& painter)
    : painter_(painter), defaultFont_(painter.font()), qfont_(painter.font()) {
  painter_.save();
  painter_.resetTransform();
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  // On an unclipped 32-bit image, upright and level lines are written straight into the
  // pixels the painter draws on: a chart has a few thousand of them per draw.
  QPaintDevice* device = painter_.device();
  if (device && device->devType() == QInternal::Image && !painter_.hasClipping() &&
      painter_.compositionMode() == QPainter::CompositionMode_SourceOver &&
      painter_.opacity() == 1.0) {
    auto* image = static_cast<QImage*>(device);
    const auto format = image->format();
    if (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
        format == QImage::Format_ARGB32_Premultiplied) {
      // The painter has already made the image's pixels its own, so this does not copy.
      pixels_ = image->bits();
      bytesPerLine_ = image->bytesPerLine();
      pixelBounds_ = image->rect();
    }
  }
}

QtSurface::~QtSurface() { painter_.restore(); }

Pen QtSurface::SelectPen(const Pen& pen) {
  const Pen old = pen_;
  pen_ = pen;
  prepared_ = Use::None;
  return old;
}

Brush QtSurface::SelectBrush(const Brush& brush) {
  const Brush old = brush_;
  brush_ = brush;
  prepared_ = Use::None;
  return old;
}

Font QtSurface::SelectFont(const Font& font) {
  Font old = font_;
  font_ = font;
  qfont_ = MakeFont(font);
  metrics_.reset();
  return old;
}

Rgb QtSurface::SetTextColor(Rgb color) {
  const Rgb old = textColor_;
  textColor_ = color;
  prepared_ = Use::None;
  return old;
}

Rgb QtSurface::SetBkColor(Rgb color) {
  const Rgb old = bkColor_;
  bkColor_ = color;
  return old;
}

BkMode QtSurface::SetBkMode(BkMode mode) {
  const BkMode old = bkMode_;
  bkMode_ = mode;
  return old;
}

unsigned QtSurface::SetTextAlign(unsigned align) {
  const unsigned old = align_;
  align_ = align;
  return old;
}

QFont QtSurface::MakeFont(const Font& font) const {
  if (font == Font{}) return defaultFont_;
  QFont f = font.faceName.empty() ? defaultFont_ : QFont(QString::fromStdString(font.faceName));
  if (font.height != 0) {
    const int pixels = std::max(1, mapping_.LengthY(font.height));
    f.setPixelSize(pixels);
    if (font.height > 0) {
      // A positive height is the whole cell (ascent + descent), not the em size.
      const QFontMetrics fm(f, painter_.device());
      if (fm.height() > 0) f.setPixelSize(std::max(1, pixels * pixels / fm.height()));
    }
  }
  if (font.weight > 0) f.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight, 1, 1000)));
  f.setItalic(font.italic);
  f.setUnderline(font.underline);
  f.setStrikeOut(font.strikeOut);
  return f;
}

int QtSurface::DevicePenWidth() const {
  return pen_.width <= 0 ? 1 : std::max(1, mapping_.LengthX(pen_.width));
}

QPen QtSurface::OutlinePen() const {
  if (pen_.style == PenStyle::Null) return QPen(Qt::NoPen);
  const int w = DevicePenWidth();
  QPen pen(ToQ(pen_.color));
  pen.setWidth(w == 1 ? 0 : w);
  pen.setCapStyle(w == 1 ? Qt::SquareCap : Qt::RoundCap);
  pen.setJoinStyle(Qt::MiterJoin);
  return pen;
}

void QtSurface::Prepare(Use use) {
  if (prepared_ == use) return;
  if (use == Use::Text) {
    painter_.setPen(ToQ(textColor_));
    painter_.setBrush(Qt::NoBrush);
  } else {
    painter_.setPen(OutlinePen());
    if (brush_.style == BrushStyle::Null)
      painter_.setBrush(Qt::NoBrush);
    else
      painter_.setBrush(ToQ(brush_.color));
  }
  prepared_ = use;
}

void QtSurface::FillRect(const Rect& rect, const Brush& brush) {
  if (brush.style == BrushStyle::Null) return;
  const Rect d = mapping_.ToDevice(rect);
  if (d.width() <= 0 || d.height() <= 0) return;
  painter_.fillRect(QRect(d.left, d.top, d.width(), d.height()), ToQ(brush.color));
}

void QtSurface::LineTo(Point p) {
  const Point from = position_;
  position_ = p;
  if (pen_.style == PenStyle::Null) return;
  const Point a = mapping_.ToDevice(from);
  const Point b = mapping_.ToDevice(p);
  if (a == b) return;
  // Upright and level lines are crisp as they are; on a vector or paper device every line
  // is drawn as a line when smoothing is on.
  if (smooth_ && (pixels_ == nullptr || (a.x != b.x && a.y != b.y))) {
    SmoothLine(a, b);
    return;
  }
  const int w = DevicePenWidth();
  if (w > 1) {
    Prepare(Use::Line);
    painter_.drawLine(QPoint(a.x, a.y), QPoint(b.x, b.y));
    return;
  }
  ThinLine(a, b, pen_.color);
}

// One-pixel lines are the surface's own: every pixel from a towards b, b itself left out, the
// minor coordinate rounded to the nearest pixel at each step. Pixels in a row or column are
// filled as one run, so a chart's upright bars and level ticks are single fills, and no pen
// change or line rasteriser is needed between the many short segments of a chart.
void QtSurface::ThinLine(Point a, Point b, Rgb color) {
  const int dx = b.x - a.x;
  const int dy = b.y - a.y;
  const bool xMajor = std::abs(dx) >= std::abs(dy);
  const int n = xMajor ? std::abs(dx) : std::abs(dy);  // pixels painted
  const int minorSpan = xMajor ? std::abs(dy) : std::abs(dx);
  const int majorStep = Sign(xMajor ? dx : dy);
  const int minorStep = Sign(xMajor ? dy : dx);
  const int major0 = xMajor ? a.x : a.y;
  const int minor0 = xMajor ? a.y : a.x;
  const auto flush = [&](int from, int to, int minor) {
    const int lo = std::min(from, to);
    const int hi = std::max(from, to);
    FillSolid(xMajor ? QRect(QPoint(lo, minor), QPoint(hi, minor))
                     : QRect(QPoint(minor, lo), QPoint(minor, hi)),
              color);
  };
  int runStart = major0;
  int runMinor = minor0;
  for (int i = 1; i < n; ++i) {
    const int minor = minor0 + minorStep * static_cast<int>((2LL * i * minorSpan + n) / (2LL * n));
    if (minor != runMinor) {
      flush(runStart, major0 + majorStep * (i - 1), runMinor);
      runStart = major0 + majorStep * i;
      runMinor = minor;
    }
  }
  flush(runStart, major0 + majorStep * (n - 1), runMinor);
}

bool QtSurface::SetSmoothLines(bool on) {
  const bool old = smooth_;
  smooth_ = on;
  return old;
}

// From pixel centre to pixel centre, antialiased.
void QtSurface::SmoothLine(Point a, Point b) {
  QPen pen(ToQ(pen_.color));
  const int w = DevicePenWidth();
  pen.setWidth(w == 1 ? 0 : w);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  painter_.setRenderHint(QPainter::Antialiasing, true);
  painter_.setPen(pen);
  painter_.setBrush(Qt::NoBrush);
  painter_.drawLine(QPointF(a.x + 0.5, a.y + 0.5), QPointF(b.x + 0.5, b.y + 0.5));
  painter_.setRenderHint(QPainter::Antialiasing, false);
  prepared_ = Use::None;
}

void QtSurface::FillSolid(const QRect& rect, Rgb color) {
  if (pixels_ == nullptr) {
    painter_.fillRect(rect, ToQ(color));
    return;
  }
  const QRect r = rect.intersected(pixelBounds_);
  if (r.isEmpty()) return;
  const QRgb value = qRgb(color.r, color.g, color.b);
  for (int y = r.top(); y <= r.bottom(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(pixels_ + y * bytesPerLine_);
    std::fill(row + r.left(), row + r.right() + 1, value);
  }
}

void QtSurface::Rectangle(const Rect& rect) {
  const Rect d = mapping_.ToDevice(rect);
  if (d.width() <= 0 || d.height() <= 0) return;
  if (brush_.style == BrushStyle::Solid)
    painter_.fillRect(QRect(d.left, d.top, d.width(), d.height()), ToQ(brush_.color));
  if (pen_.style == PenStyle::Null) return;
  Prepare(Use::Line);
  painter_.setBrush(Qt::NoBrush);
  prepared_ = Use::None;
  // The outline lies inside the rectangle, on its outermost pixels.
  const int w = DevicePenWidth();
  const int inset = w / 2;
  painter_.drawRect(QRect(d.left + inset, d.top + inset, std::max(0, d.width() - 1 - 2 * inset),
                          std::max(0, d.height() - 1 - 2 * inset)));
}

void QtSurface::Ellipse(const Rect& rect) {
  const Rect d = mapping_.ToDevice(rect);
  if (d.width() <= 0 || d.height() <= 0) return;
  Prepare(Use::Fill);
  painter_.drawEllipse(QRect(d.left, d.top, d.width() - 1, d.height() - 1));
}

void QtSurface::ArcShape(const Rect& rect, Point start, Point end, bool pie) {
  const Rect d = mapping_.ToDevice(rect);
  if (d.width() <= 0 || d.height() <= 0) return;
  // Angles are measured between pixel centres: the centre pixel's and the given point's.
  const double cx = (d.left + d.right) / 2.0;
  const double cy = (d.top + d.bottom) / 2.0;
  const auto angle = [&](Point p) {
    const Point q = mapping_.ToDevice(p);
    return std::atan2(-(q.y + 0.5 - cy), q.x + 0.5 - cx) * 180.0 / std::numbers::pi;
  };
  const double a0 = angle(start);
  double span = angle(end) - a0;
  // Counterclockwise in logical space: on a mirrored mapping that is clockwise on the device.
  const bool mirrored = (mapping_.viewportExt.cx < 0) != (mapping_.windowExt.cx < 0) ||
                        (mapping_.viewportExt.cy < 0) != (mapping_.windowExt.cy < 0);
  if (start == end) {
    span = 360.0;
  } else if (!mirrored) {
    while (span <= 0.0) span += 360.0;
  } else {
    while (span >= 0.0) span -= 360.0;
  }
  const QRect box(d.left, d.top, d.width() - 1, d.height() - 1);
  if (pie) {
    Prepare(Use::Fill);
  } else {
    Prepare(Use::Line);
    painter_.setBrush(Qt::NoBrush);
    prepared_ = Use::None;
  }
  if (std::abs(span) >= 360.0) {
    painter_.drawEllipse(box);
    return;
  }
  // The ellipse itself, cut to the wedge, so a pie or an arc lies on exactly the pixels an
  // ellipse of the same rectangle paints (the line rasteriser's arcs fall a pixel short of
  // them on the right and bottom). The wedge's sides run far past the ellipse; the pixels
  // whose centres lie inside it are kept.
  const double reach = 2.0 * (d.width() + d.height());
  QPainterPath wedge;
  wedge.moveTo(cx, cy);
  const int steps = static_cast<int>(std::ceil(std::abs(span) / 30.0));
  for (int k = 0; k <= steps; ++k) {
    const double a = (a0 + span * k / steps) * std::numbers::pi / 180.0;
    wedge.lineTo(cx + reach * std::cos(a), cy - reach * std::sin(a));
  }
  wedge.closeSubpath();
  painter_.save();
  painter_.setClipPath(wedge, Qt::IntersectClip);
  painter_.drawEllipse(box);
  painter_.restore();
  if (!pie || pen_.style == PenStyle::Null) return;

  // The two radii, from the centre out to the ellipse, both ends painted.
  const double rx = (d.width() - 1) / 2.0;
  const double ry = (d.height() - 1) / 2.0;
  const QPoint centre(static_cast<int>(std::lround(d.left + rx)),
                      static_cast<int>(std::lround(d.top + ry)));
  const auto rim = [&](double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    return QPoint(static_cast<int>(std::lround(d.left + rx + rx * std::cos(a))),
                  static_cast<int>(std::lround(d.top + ry - ry * std::sin(a))));
  };
  Prepare(Use::Line);
  painter_.setBrush(Qt::NoBrush);
  prepared_ = Use::None;
  for (const QPoint edge : {rim(a0), rim(a0 + span)}) painter_.drawLine(centre, edge);
}

void QtSurface::Pie(const Rect& rect, Point start, Point end) { ArcShape(rect, start, end, true); }

void QtSurface::Arc(const Rect& rect, Point start, Point end) { ArcShape(rect, start, end, false); }

void QtSurface::DrawText(Point p, std::string_view text, const QRect* clip) {
  const QString s = ToQString(text);
  const QFontMetrics& fm = Metrics();
  if (painter_.font() != qfont_) painter_.setFont(qfont_);
  const Point d = mapping_.ToDevice(p);
  const unsigned horizontal = align_ & kAlignHorizontalMask;
  const bool opaque = bkMode_ == BkMode::Opaque && !clip && !s.isEmpty();
  // Measuring shapes the text once more: only when the alignment or the background needs it.
  const int advance = horizontal != kAlignLeft || opaque ? fm.horizontalAdvance(s) : 0;
  int x = d.x;
  switch (horizontal) {
    case kAlignRight:
      x -= advance;
      break;
    case kAlignCenter:
      x -= advance / 2;
      break;
    default:
      break;
  }
  int baseline = d.y + fm.ascent();
  switch (align_ & kAlignVerticalMask) {
    case kAlignBaseline:
      baseline = d.y;
      break;
    case kAlignBottom:
      baseline = d.y - fm.descent();
      break;
    default:
      break;
  }
  if (clip) {
    painter_.save();
    painter_.setClipRect(*clip, Qt::IntersectClip);
  }
  if (opaque)
    painter_.fillRect(QRect(x, baseline - fm.ascent(), advance, fm.height()), ToQ(bkColor_));
  if (!s.isEmpty()) {
    Prepare(Use::Text);
    painter_.drawText(QPoint(x, baseline), s);
  }
  if (clip) {
    painter_.restore();
    prepared_ = Use::None;
  }
}

void QtSurface::TextOut(Point p, std::string_view text) { DrawText(p, text, nullptr); }

void QtSurface::TextOutOpaque(Point p, const Rect& rect, std::string_view text) {
  const Rect d = mapping_.ToDevice(rect);
  const QRect r(d.left, d.top, d.width(), d.height());
  if (d.width() > 0 && d.height() > 0) painter_.fillRect(r, ToQ(bkColor_));
  DrawText(p, text, &r);
}

void QtSurface::DrawFocusRect(const Rect& rect) {
  const Rect d = mapping_.ToDevice(rect);
  if (d.width() <= 0 || d.height() <= 0) return;
  // Every other pixel of the border, each once, inverted: a second call restores them.
  QPolygon dots;
  const auto dot = [&](int x, int y) {
    if (((x + y) & 1) == 0) dots << QPoint(x, y);
  };
  for (int x = d.left; x < d.right; ++x) {
    dot(x, d.top);
    if (d.bottom - 1 > d.top) dot(x, d.bottom - 1);
  }
  for (int y = d.top + 1; y < d.bottom - 1; ++y) {
    dot(d.left, y);
    if (d.right - 1 > d.left) dot(d.right - 1, y);
  }
  painter_.save();
  painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter_.setPen(QPen(Qt::white, 0));
  painter_.drawPoints(dots);
  painter_.restore();
  prepared_ = Use::None;
}

void QtSurface::DrawBitmap(Point p, const BitmapView& bitmap) {
  if (!bitmap.pixels || bitmap.width <= 0 || bitmap.height <= 0 || bitmap.stride < bitmap.width)
    return;
  const QImage image(reinterpret_cast<const uchar*>(bitmap.pixels), bitmap.width, bitmap.height,
                     static_cast<qsizetype>(bitmap.stride) * 4, QImage::Format_RGB32);
  const Point d = mapping_.ToDevice(p);
  painter_.drawImage(QPoint(d.x, d.y), image);
}

const QFontMetrics& QtSurface::Metrics() {
  if (!metrics_) metrics_.emplace(qfont_, painter_.device());
  return *metrics_;
}

Size QtSurface::TextExtent(std::string_view text) {
  const QFontMetrics& fm = Metrics();
  return {fm.horizontalAdvance(ToQString(text)), fm.height()};
}

Rgb QtSurface::GetSystemColor(SystemColor which) const {
  const QPalette palette = QGuiApplication::palette();
  switch (which) {
    case SystemColor::Highlight:
      return FromQ(palette.color(QPalette::Highlight));
    case SystemColor::HighlightText:
      return FromQ(palette.color(QPalette::HighlightedText));
    case SystemColor::Window:
      return FromQ(palette.color(QPalette::Base));
    case SystemColor::WindowText:
      return FromQ(palette.color(QPalette::Text));
  }
  return {};
}

}  // namespace tv
