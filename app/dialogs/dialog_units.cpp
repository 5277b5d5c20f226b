#include "dialog_units.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "mapping.h"
#include "window_geometry.h"

namespace tv {

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters =
      metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  baseX_ = std::max(1, (letters / 26 + 1) / 2);
  baseY_ = std::max(1, metrics.height());
}

int DialogUnits::X(int units) const { return MulDivRound(units, baseX_, 4); }
int DialogUnits::Y(int units) const { return MulDivRound(units, baseY_, 8); }

QRect DialogUnits::Rect(int x, int y, int w, int h) const {
  // The far edges are converted, not the sizes, so neighbours that touch in units touch on
  // the screen too.
  const int left = X(x), top = Y(y);
  return QRect(left, top, X(x + w) - left, Y(y + h) - top);
}

QFont DialogFont() {
  QFont font = QApplication::font();
  font.setPointSize(8);
  return font;
}

void PlaceInUnits(QWidget& child, const DialogUnits& du, int x, int y, int w, int h) {
  child.setGeometry(du.Rect(x, y, w, h));
}

void CenterDialogRect(QRect& rect) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize size = screen ? screen->geometry().size() : QSize(1024, 768);
  tv::Rect r{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
  CenterRect(r, size.width(), size.height());
  rect.moveTo(r.left, r.top);
}

void CenterWindow(QWidget& window) {
  QRect rect = WindowRect(window);
  CenterDialogRect(rect);
  window.move(rect.topLeft());
}

QRect WindowRect(const QWidget& window) {
  // Before the window is shown, and on a display without a window manager, the frame is the
  // widget itself.
  return window.frameGeometry();
}

void MoveWindowTo(QWidget& window, int left, int top, int width, int height) {
  const QSize decoration = window.frameGeometry().size() - window.geometry().size();
  // Dialogs are not resizable by the user: the program alone sets their size.
  window.setFixedSize(std::max(0, width - decoration.width()),
                      std::max(0, height - decoration.height()));
  window.move(left, top);
}

}  // namespace tv
