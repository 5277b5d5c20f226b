#pragma once
// CColorItemList: the View Options dialog's list of the ten colour items, each drawn as a
// swatch of its working colour and its name. The items hold no text of their own; the list
// draws them from the chart object.

#include <QListWidget>

#include "mapping.h"

class CBars;

namespace tv {

class Surface;

inline constexpr int kColorItemHeight = 20;

// Draws colour item `item` into `rect` on a surface in its default mapping, whose text and
// background colours are those of the list.
void DrawColorItem(Surface& surface, const CBars& bars, int item, const Rect& rect, bool selected);
// The focus mark of an item: a dotted rectangle right of the swatch column.
void DrawColorItemFocus(Surface& surface, const Rect& rect);

class CColorItemList final : public QListWidget {
 public:
  CColorItemList(CBars& bars, QWidget* parent = nullptr);

  // Empties the list and adds one empty item for each colour item.
  void FillItems();

 private:
  CBars& m_bars;
};

}  // namespace tv
