#pragma once
// The drawing surface on a QPainter: a widget being painted, a QImage, or a QPrinter page.
//
// Everything is drawn in device pixels with the painter's own transform left at identity:
// the surface maps logical coordinates itself, so text stays upright under a y-up mapping
// and 1-pixel lines stay crisp (no antialiasing of lines unless asked for; text is
// antialiased).

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <optional>

#include "surface.h"

namespace tv {

class QtSurface final : public Surface {
 public:
  // The painter must be active; its current font is the surface's default font.
  explicit QtSurface(QPainter& painter);
  ~QtSurface() override;
  QtSurface(const QtSurface&) = delete;
  QtSurface& operator=(const QtSurface&) = delete;

  void SetMapping(const Mapping& mapping) override { mapping_ = mapping; }
  Mapping GetMapping() const override { return mapping_; }
  Pen SelectPen(const Pen& pen) override;
  Brush SelectBrush(const Brush& brush) override;
  Font SelectFont(const Font& font) override;
  Rgb SetTextColor(Rgb color) override;
  Rgb SetBkColor(Rgb color) override;
  BkMode SetBkMode(BkMode mode) override;
  unsigned SetTextAlign(unsigned align) override;
  void FillRect(const Rect& rect, const Brush& brush) override;
  void MoveTo(Point p) override { position_ = p; }
  void LineTo(Point p) override;
  void Rectangle(const Rect& rect) override;
  void Ellipse(const Rect& rect) override;
  void Pie(const Rect& rect, Point start, Point end) override;
  void Arc(const Rect& rect, Point start, Point end) override;
  void TextOut(Point p, std::string_view text) override;
  void TextOutOpaque(Point p, const Rect& rect, std::string_view text) override;
  void DrawFocusRect(const Rect& rect) override;
  void DrawBitmap(Point p, const BitmapView& bitmap) override;
  bool SetSmoothLines(bool on) override;
  Size TextExtent(std::string_view text) override;
  Rgb GetSystemColor(SystemColor which) const override;

 private:
  enum class Use { None, Line, Fill, Text };
  void Prepare(Use use);
  // The outline pen for shapes; no pen for a null one.
  QPen OutlinePen() const;
  int DevicePenWidth() const;
  void DrawText(Point p, std::string_view text, const QRect* clip);
  void ArcShape(const Rect& rect, Point start, Point end, bool pie);
  QFont MakeFont(const Font& font) const;
  void FillSolid(const QRect& rect, Rgb color);
  void ThinLine(Point a, Point b, Rgb color);
  void SmoothLine(Point a, Point b);
  const QFontMetrics& Metrics();

  QPainter& painter_;
  Mapping mapping_{};
  Pen pen_{};
  Brush brush_{};
  Font font_{};
  QFont defaultFont_;
  QFont qfont_;
  std::optional<QFontMetrics> metrics_;  // of qfont_ on this device, made when first needed
  Rgb textColor_{};
  Rgb bkColor_{255, 255, 255};
  BkMode bkMode_ = BkMode::Opaque;
  unsigned align_ = 0;
  Point position_{};
  Use prepared_ = Use::None;
  bool smooth_ = false;
  // The target image's pixels when they may be written directly (see the constructor).
  uchar* pixels_ = nullptr;
  qsizetype bytesPerLine_ = 0;
  QRect pixelBounds_;
};

}  // namespace tv
