#pragma once
// Dialog layout in dialog units, as the classic dialog templates give it: a horizontal unit is
// a quarter of the dialog font's average character width, a vertical unit an eighth of its
// character height. Laying a dialog out from these keeps its proportions whatever the font.

#include <QFont>
#include <QRect>

class QWidget;

namespace tv {

class DialogUnits {
 public:
  // Measures the font: the average width of the 52 letters A-Z, a-z (rounded the classic
  // way) and the font's full height.
  explicit DialogUnits(const QFont& font);

  int baseX() const { return baseX_; }
  int baseY() const { return baseY_; }
  int X(int units) const;
  int Y(int units) const;
  QRect Rect(int x, int y, int w, int h) const;

 private:
  int baseX_ = 1;
  int baseY_ = 1;
};

// The font every dialog of the program is laid out in and shows its texts in: the
// application's sans-serif font at 8 points.
QFont DialogFont();

// Places child at the rectangle given in dialog units.
void PlaceInUnits(QWidget& child, const DialogUnits& du, int x, int y, int w, int h);

// Keeps the rectangle's size and centres it on the primary screen (integer halving), as the
// main frame centres every dialog.
void CenterDialogRect(QRect& rect);
// Keeps the window's size and centres its window rectangle on the primary screen.
void CenterWindow(QWidget& window);

// The window rectangle of a top-level widget (frame included when the window system reports
// one), and moving and sizing it by that rectangle; the program alone sizes its dialogs.
QRect WindowRect(const QWidget& window);
void MoveWindowTo(QWidget& window, int left, int top, int width, int height);

}  // namespace tv
