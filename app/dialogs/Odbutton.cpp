#include "Odbutton.h"

#include <QPainter>

#include "bars.h"
#include "qt_surface.h"
#include "surface.h"

namespace tv {

void DrawPaletteButton(Surface& surface, const CBars& bars, int k, const Rect& rect) {
  const Brush old = surface.SelectBrush(Brush{bars.GetPaletteColor(k), BrushStyle::Solid});
  surface.Rectangle(rect);
  surface.SelectBrush(old);
}

void DrawPaletteButtonFocus(Surface& surface, const Rect& rect) {
  surface.DrawFocusRect({rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom - 2});
}

CPaletteButton::CPaletteButton(CBars& bars, int id, QWidget* parent)
    : QPushButton(parent), m_bars(bars), m_id(id) {
  setObjectName(QString("palette%1").arg(id));
  setAutoDefault(false);
}

void CPaletteButton::paintEvent(QPaintEvent*) {
  // Pressed or not, the button looks the same: it is a swatch, not a key.
  QPainter painter(this);
  QtSurface surface(painter);
  const Rect rect{0, 0, width(), height()};
  DrawPaletteButton(surface, m_bars, m_id - kFirstPaletteButtonId, rect);
  if (hasFocus()) DrawPaletteButtonFocus(surface, rect);
}

}  // namespace tv
