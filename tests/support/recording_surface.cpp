#include "recording_surface.h"

#include <algorithm>

namespace fixture {

std::vector<SurfaceOp> RecordingSurface::Of(OpKind kind) const {
  std::vector<SurfaceOp> out;
  for (const auto& op : ops)
    if (op.kind == kind) out.push_back(op);
  return out;
}

std::vector<SurfaceOp> RecordingSurface::LinesWith(tv::Rgb color, int width) const {
  std::vector<SurfaceOp> out;
  for (const auto& op : ops)
    if (op.kind == OpKind::Line && op.pen.color == color && op.pen.width == width)
      out.push_back(op);
  return out;
}

std::vector<std::string> RecordingSurface::Texts() const {
  std::vector<std::string> out;
  for (const auto& op : ops)
    if (op.kind == OpKind::Text || op.kind == OpKind::TextOpaque) out.push_back(op.text);
  return out;
}

const SurfaceOp* RecordingSurface::FindText(std::string_view text) const {
  for (const auto& op : ops)
    if ((op.kind == OpKind::Text || op.kind == OpKind::TextOpaque) && op.text == text) return &op;
  return nullptr;
}

SurfaceOp RecordingSurface::Make(OpKind kind) const {
  SurfaceOp op;
  op.kind = kind;
  op.pen = pen_;
  op.brush = brush_;
  op.font = font_;
  op.devicePenWidth = pen_.width == 0 ? 1 : std::max(1, mapping_.LengthX(pen_.width));
  op.textColor = textColor_;
  op.bkColor = bkColor_;
  op.bkMode = bkMode_;
  op.align = align_;
  return op;
}

tv::Pen RecordingSurface::SelectPen(const tv::Pen& pen) {
  const tv::Pen old = Exchange(pen_, pen);
  ops.push_back(Make(OpKind::SelectPen));
  return old;
}

tv::Brush RecordingSurface::SelectBrush(const tv::Brush& brush) {
  const tv::Brush old = Exchange(brush_, brush);
  ops.push_back(Make(OpKind::SelectBrush));
  return old;
}

tv::Font RecordingSurface::SelectFont(const tv::Font& font) {
  const tv::Font old = Exchange(font_, font);
  ops.push_back(Make(OpKind::SelectFont));
  return old;
}

void RecordingSurface::FillRect(const tv::Rect& rect, const tv::Brush& brush) {
  SurfaceOp op = Make(OpKind::FillRect);
  op.brush = brush;
  op.rect = rect;
  op.deviceRect = mapping_.ToDevice(rect);
  ops.push_back(op);
}

void RecordingSurface::LineTo(tv::Point p) {
  SurfaceOp op = Make(OpKind::Line);
  op.from = position_;
  op.to = p;
  op.deviceFrom = mapping_.ToDevice(position_);
  op.deviceTo = mapping_.ToDevice(p);
  ops.push_back(op);
  position_ = p;
}

void RecordingSurface::Shape(OpKind kind, const tv::Rect& rect, tv::Point start, tv::Point end) {
  SurfaceOp op = Make(kind);
  op.rect = rect;
  op.deviceRect = mapping_.ToDevice(rect);
  op.from = start;
  op.to = end;
  op.deviceFrom = mapping_.ToDevice(start);
  op.deviceTo = mapping_.ToDevice(end);
  ops.push_back(op);
}

void RecordingSurface::TextOut(tv::Point p, std::string_view text) {
  SurfaceOp op = Make(OpKind::Text);
  op.from = p;
  op.deviceFrom = mapping_.ToDevice(p);
  op.text = text;
  ops.push_back(op);
}

void RecordingSurface::TextOutOpaque(tv::Point p, const tv::Rect& rect, std::string_view text) {
  SurfaceOp op = Make(OpKind::TextOpaque);
  op.from = p;
  op.deviceFrom = mapping_.ToDevice(p);
  op.rect = rect;
  op.deviceRect = mapping_.ToDevice(rect);
  op.text = text;
  ops.push_back(op);
}

void RecordingSurface::DrawBitmap(tv::Point p, const tv::BitmapView& bitmap) {
  SurfaceOp op = Make(OpKind::Bitmap);
  op.from = p;
  op.deviceFrom = mapping_.ToDevice(p);
  op.deviceRect = {op.deviceFrom.x, op.deviceFrom.y, op.deviceFrom.x + bitmap.width,
                   op.deviceFrom.y + bitmap.height};
  ops.push_back(op);
}

tv::Rgb RecordingSurface::GetSystemColor(tv::SystemColor which) const {
  switch (which) {
    case tv::SystemColor::Highlight:
      return {0, 0, 128};
    case tv::SystemColor::HighlightText:
      return {255, 255, 255};
    case tv::SystemColor::Window:
      return {255, 255, 255};
    case tv::SystemColor::WindowText:
      return {0, 0, 0};
  }
  return {};
}

}  // namespace fixture
