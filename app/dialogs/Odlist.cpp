#include "Odlist.h"

#include <QPainter>
#include <QStyledItemDelegate>

#include "bars.h"
#include "qt_surface.h"
#include "surface.h"

namespace tv {

void DrawColorItem(Surface& surface, const CBars& bars, int item, const Rect& rect, bool selected) {
  Rgb oldText{}, oldBk{};
  if (selected) {
    oldText = surface.SetTextColor(surface.GetSystemColor(SystemColor::HighlightText));
    oldBk = surface.SetBkColor(surface.GetSystemColor(SystemColor::Highlight));
  }
  surface.TextOutOpaque({rect.left, rect.top}, rect, "");
  surface.FillRect({rect.left, rect.top, 20, rect.bottom},
                   Brush{surface.GetSystemColor(SystemColor::Window), BrushStyle::Solid});
  const Brush old = surface.SelectBrush(Brush{bars.GetWorkColorValue(item), BrushStyle::Solid});
  surface.Rectangle({rect.left + 3, rect.top + 3, 17, rect.bottom - 3});
  surface.SelectBrush(old);
  const unsigned oldAlign = surface.SetTextAlign(kAlignLeft | kAlignTop);
  surface.TextOut({rect.left + 23, rect.top + 3}, bars.GetColorName(item));
  surface.SetTextAlign(oldAlign);
  if (selected) {
    surface.SetTextColor(oldText);
    surface.SetBkColor(oldBk);
  }
}

void DrawColorItemFocus(Surface& surface, const Rect& rect) {
  surface.DrawFocusRect({rect.left + 20, rect.top, rect.right, rect.bottom});
}

namespace {

class ColorItemDelegate final : public QStyledItemDelegate {
 public:
  ColorItemDelegate(CBars& bars, QObject* parent) : QStyledItemDelegate(parent), bars_(bars) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    painter->save();
    painter->setFont(option.font);
    {
      QtSurface surface(*painter);
      // The colours a list hands its items to draw with: those of the window.
      surface.SetTextColor(surface.GetSystemColor(SystemColor::WindowText));
      surface.SetBkColor(surface.GetSystemColor(SystemColor::Window));
      const QRect r = option.rect;
      const Rect rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
      DrawColorItem(surface, bars_, index.row(), rect,
                    (option.state & QStyle::State_Selected) != 0);
      if ((option.state & QStyle::State_HasFocus) != 0) DrawColorItemFocus(surface, rect);
    }
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return QSize(option.rect.width(), kColorItemHeight);
  }

 private:
  CBars& bars_;
};

}  // namespace

CColorItemList::CColorItemList(CBars& bars, QWidget* parent) : QListWidget(parent), m_bars(bars) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setUniformItemSizes(true);
  setItemDelegate(new ColorItemDelegate(m_bars, this));
}

void CColorItemList::FillItems() {
  clear();
  for (int i = 0; i < kColorItems; ++i) addItem(QString());
}

}  // namespace tv
