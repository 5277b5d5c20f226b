#pragma once
// Test support: a drawing surface that draws nothing and keeps every operation, with its
// logical and device coordinates and the colours in force, so tests can check a picture
// number by number.

#include <string>
#include <string_view>
#include <vector>

#include "messages.h"
#include "surface.h"

namespace fixture {

enum class OpKind {
  FillRect,
  Line,
  Rectangle,
  Ellipse,
  Pie,
  Arc,
  Text,
  TextOpaque,
  FocusRect,
  Bitmap,
  SelectPen,
  SelectBrush,
  SelectFont,
};

struct SurfaceOp {
  OpKind kind{};
  tv::Point from{}, to{};              // logical: line ends, text point, radial points
  tv::Point deviceFrom{}, deviceTo{};  // the same on the device
  tv::Rect rect{};                     // logical rectangle (fills, shapes, opaque text)
  tv::Rect deviceRect{};               // normalised device rectangle
  tv::Pen pen{};                       // pen in force (the selected one for SelectPen)
  tv::Brush brush{};                   // brush in force, or the fill brush for FillRect
  tv::Font font{};                     // font in force (the selected one for SelectFont)
  int devicePenWidth = 1;              // pen width in device pixels
  tv::Rgb textColor{}, bkColor{};
  tv::BkMode bkMode{};
  unsigned align = 0;
  std::string text;
};

class RecordingSurface final : public tv::Surface {
 public:
  std::vector<SurfaceOp> ops;

  // Only the operations of one kind, in order.
  std::vector<SurfaceOp> Of(OpKind kind) const;
  // Lines drawn with a pen of this colour and logical width.
  std::vector<SurfaceOp> LinesWith(tv::Rgb color, int width = 0) const;
  // Texts, in order, as plain strings.
  std::vector<std::string> Texts() const;
  // The first text op with exactly this text, or null.
  const SurfaceOp* FindText(std::string_view text) const;

  const tv::Pen& CurrentPen() const { return pen_; }
  const tv::Brush& CurrentBrush() const { return brush_; }
  const tv::Font& CurrentFont() const { return font_; }
  tv::Rgb CurrentTextColor() const { return textColor_; }
  tv::BkMode CurrentBkMode() const { return bkMode_; }
  unsigned CurrentAlign() const { return align_; }

  void SetMapping(const tv::Mapping& mapping) override { mapping_ = mapping; }
  tv::Mapping GetMapping() const override { return mapping_; }
  tv::Pen SelectPen(const tv::Pen& pen) override;
  tv::Brush SelectBrush(const tv::Brush& brush) override;
  tv::Font SelectFont(const tv::Font& font) override;
  tv::Rgb SetTextColor(tv::Rgb color) override { return Exchange(textColor_, color); }
  tv::Rgb SetBkColor(tv::Rgb color) override { return Exchange(bkColor_, color); }
  tv::BkMode SetBkMode(tv::BkMode mode) override { return Exchange(bkMode_, mode); }
  unsigned SetTextAlign(unsigned align) override { return Exchange(align_, align); }
  void FillRect(const tv::Rect& rect, const tv::Brush& brush) override;
  void MoveTo(tv::Point p) override { position_ = p; }
  void LineTo(tv::Point p) override;
  void Rectangle(const tv::Rect& rect) override { Shape(OpKind::Rectangle, rect, {}, {}); }
  void Ellipse(const tv::Rect& rect) override { Shape(OpKind::Ellipse, rect, {}, {}); }
  void Pie(const tv::Rect& rect, tv::Point start, tv::Point end) override {
    Shape(OpKind::Pie, rect, start, end);
  }
  void Arc(const tv::Rect& rect, tv::Point start, tv::Point end) override {
    Shape(OpKind::Arc, rect, start, end);
  }
  void TextOut(tv::Point p, std::string_view text) override;
  void TextOutOpaque(tv::Point p, const tv::Rect& rect, std::string_view text) override;
  void DrawFocusRect(const tv::Rect& rect) override { Shape(OpKind::FocusRect, rect, {}, {}); }
  void DrawBitmap(tv::Point p, const tv::BitmapView& bitmap) override;
  // A fixed-pitch estimate: 7 pixels a character, 13 high.
  tv::Size TextExtent(std::string_view text) override {
    return {static_cast<int>(text.size()) * 7, 13};
  }
  tv::Rgb GetSystemColor(tv::SystemColor which) const override;

 private:
  template <class T>
  static T Exchange(T& field, T value) {
    T old = field;
    field = value;
    return old;
  }
  SurfaceOp Make(OpKind kind) const;
  void Shape(OpKind kind, const tv::Rect& rect, tv::Point start, tv::Point end);

  tv::Mapping mapping_{};
  tv::Pen pen_{};
  tv::Brush brush_{};
  tv::Font font_{};
  tv::Rgb textColor_{};
  tv::Rgb bkColor_{255, 255, 255};
  tv::BkMode bkMode_ = tv::BkMode::Opaque;
  unsigned align_ = 0;
  tv::Point position_{};
};

struct RecordedMessage {
  std::string text;
  tv::MessageIcon icon{};
};

class RecordingMessages final : public tv::MessageService {
 public:
  std::vector<RecordedMessage> messages;
  void ShowMessage(std::string_view text, tv::MessageIcon icon) override {
    messages.push_back({std::string(text), icon});
  }
};

}  // namespace fixture
