#pragma once
// The drawing surface every picture of the program is drawn through: the chart, the status
// bar's position pie, the colour list and palette buttons, the splash.
//
// The model is the classic GDI one. Callers work in logical units; the surface maps them to
// integer device pixels itself (see Mapping) and draws in device pixels, so a y-up mapping
// never mirrors text, a width-0 pen stays one device pixel wide, and a line never paints its
// end point. Pens, brushes and fonts are small value types: "creating" one is building the
// value, selecting it returns the one that was selected before so the caller can restore it.

#include <cstdint>
#include <string>
#include <string_view>

#include "mapping.h"

namespace tv {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

enum class PenStyle { Solid, Null };
enum class BrushStyle { Solid, Null };

// Width 0 is one device pixel whatever the mapping; any other width is in logical units and
// scales with the mapping.
struct Pen {
  Rgb color{};
  int width = 0;
  PenStyle style = PenStyle::Solid;
  friend bool operator==(const Pen&, const Pen&) = default;
};

struct Brush {
  Rgb color{255, 255, 255};
  BrushStyle style = BrushStyle::Solid;
  friend bool operator==(const Brush&, const Brush&) = default;
};

// A font described by the classic logical-font fields. height > 0 asks for that cell height,
// height < 0 for that character height, 0 for the default size; height and width are
// logical units. An empty face name stands for the surface's own default font (the
// "current font" a fresh surface carries).
struct Font {
  int height = 0;
  int width = 0;
  int escapement = 0;
  int orientation = 0;
  int weight = 0;  // 0 default, 400 normal, 700 bold
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  std::uint8_t charSet = 0;
  std::uint8_t outPrecision = 0;
  std::uint8_t clipPrecision = 0;
  std::uint8_t quality = 0;
  std::uint8_t pitchAndFamily = 0;
  std::string faceName;
  friend bool operator==(const Font&, const Font&) = default;
};

// Text alignment flags, with the classic values: one horizontal flag or'ed with one vertical.
enum TextAlign : unsigned {
  kAlignLeft = 0,
  kAlignRight = 2,
  kAlignCenter = 6,
  kAlignTop = 0,
  kAlignBottom = 8,
  kAlignBaseline = 24,
};
inline constexpr unsigned kAlignHorizontalMask = 6;
inline constexpr unsigned kAlignVerticalMask = 24;

enum class BkMode { Transparent = 1, Opaque = 2 };

enum class SystemColor { Highlight, HighlightText, Window, WindowText };

// A block of 32-bit pixels (0xffRRGGBB) to copy onto a surface unchanged.
struct BitmapView {
  const std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;  // pixels per row
};

class Surface {
 public:
  virtual ~Surface() = default;

  // --- mapping. A fresh surface has the default mapping (one unit per pixel, y down).
  virtual void SetMapping(const Mapping& mapping) = 0;
  virtual Mapping GetMapping() const = 0;
  void SetDefaultMapping() { SetMapping(Mapping{}); }
  // Anisotropic: window extent (logical), viewport extent (device; a negative height makes
  // y grow upward) and viewport origin (device).
  void SetAnisotropic(Size windowExt, Size viewportExt, Point viewportOrg) {
    SetMapping(Mapping::Anisotropic(windowExt, viewportExt, viewportOrg));
  }

  // --- drawing objects; each returns the one selected before.
  virtual Pen SelectPen(const Pen& pen) = 0;
  virtual Brush SelectBrush(const Brush& brush) = 0;
  virtual Font SelectFont(const Font& font) = 0;

  // --- state; each returns the previous value.
  virtual Rgb SetTextColor(Rgb color) = 0;
  virtual Rgb SetBkColor(Rgb color) = 0;
  virtual BkMode SetBkMode(BkMode mode) = 0;
  virtual unsigned SetTextAlign(unsigned align) = 0;

  // --- drawing, all in logical coordinates.
  // Fills left..right-1, top..bottom-1 of the mapped rectangle (the far edges excluded).
  virtual void FillRect(const Rect& rect, const Brush& brush) = 0;
  virtual void MoveTo(Point p) = 0;
  // A line from the current position to p, p itself not painted; p becomes the position.
  virtual void LineTo(Point p) = 0;
  // Outlined with the current pen, filled with the current brush.
  virtual void Rectangle(const Rect& rect) = 0;
  virtual void Ellipse(const Rect& rect) = 0;
  // The wedge of the ellipse inscribed in rect between the radials through start and end,
  // counterclockwise from start to end; the whole ellipse when the two points coincide.
  virtual void Pie(const Rect& rect, Point start, Point end) = 0;
  // The same curve without radials or fill.
  virtual void Arc(const Rect& rect, Point start, Point end) = 0;
  // Text at p with the current alignment, text colour and background mode.
  virtual void TextOut(Point p, std::string_view text) = 0;
  // Fills rect with the background colour, then puts text at p as TextOut does (clipped to
  // rect). An empty text just fills.
  virtual void TextOutOpaque(Point p, const Rect& rect, std::string_view text) = 0;
  // A dotted rectangle drawn by inversion: drawing it twice removes it.
  virtual void DrawFocusRect(const Rect& rect) = 0;
  // Copies pixels unchanged, 1:1 in device pixels, with the top-left at the mapped p.
  virtual void DrawBitmap(Point p, const BitmapView& bitmap) = 0;

  // Smoothed (antialiased) slanting lines from here on, where the surface can draw them;
  // returns the previous setting. The classic chart never asks for them; a surface that
  // cannot smooth keeps drawing as before.
  virtual bool SetSmoothLines(bool on) {
    (void)on;
    return false;
  }

  // Size of text in the current font, in device pixels.
  virtual Size TextExtent(std::string_view text) = 0;
  virtual Rgb GetSystemColor(SystemColor which) const = 0;
};

}  // namespace tv
