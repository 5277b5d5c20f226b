#pragma once
// CPaletteButton: a button that shows one colour of the chart's palette. Its palette entry is
// its control id minus 123.

#include <QPushButton>

#include "mapping.h"

class CBars;

namespace tv {

class Surface;

inline constexpr int kFirstPaletteButtonId = 123;

// Draws the swatch of palette entry `k` over the whole button rectangle.
void DrawPaletteButton(Surface& surface, const CBars& bars, int k, const Rect& rect);
// The focus mark: a dotted rectangle two pixels inside the button.
void DrawPaletteButtonFocus(Surface& surface, const Rect& rect);

class CPaletteButton final : public QPushButton {
 public:
  CPaletteButton(CBars& bars, int id, QWidget* parent = nullptr);
  int id() const { return m_id; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CBars& m_bars;
  int m_id;
};

}  // namespace tv
