#include "images.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace tv {

namespace {

// The classic 16-colour palette the tool bar images keep to.
const QColor kBlack(0, 0, 0);
const QColor kNavy(0, 0, 128);
const QColor kGreen(0, 128, 0);
const QColor kDarkYellow(128, 128, 0);
const QColor kGrey(128, 128, 128);
const QColor kSilver(192, 192, 192);
const QColor kYellow(255, 255, 0);
const QColor kWhite(255, 255, 255);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kLime(0, 255, 0);

void Line(QPainter& p, const QColor& c, int x1, int y1, int x2, int y2) {
  p.setPen(c);
  p.drawLine(x1, y1, x2, y2);
}

void DrawOpen(QPainter& p) {
  // A folder, its flap lifted, in dark yellow and yellow.
  p.setPen(kBlack);
  p.setBrush(kDarkYellow);
  p.drawPolygon(QPolygon(
      {QPoint(1, 4), QPoint(5, 4), QPoint(6, 5), QPoint(12, 5), QPoint(12, 13), QPoint(1, 13)}));
  p.setBrush(kYellow);
  p.drawPolygon(QPolygon({QPoint(1, 13), QPoint(4, 8), QPoint(15, 8), QPoint(12, 13)}));
  // The arrow of the lifted flap.
  Line(p, kBlack, 9, 1, 12, 1);
  Line(p, kBlack, 13, 2, 13, 4);
  p.drawPoint(14, 3);
  p.drawPoint(12, 3);
}

void DrawArrow(QPainter& p, bool right) {
  // A bold green arrow with a dark outline.
  QPolygon arrow({QPoint(2, 5), QPoint(8, 5), QPoint(8, 2), QPoint(13, 7), QPoint(8, 12),
                  QPoint(8, 9), QPoint(2, 9)});
  if (!right) {
    for (int i = 0; i < arrow.size(); ++i) arrow[i].setX(15 - arrow[i].x());
  }
  p.setPen(kGreen.darker(150));
  p.setBrush(kLime);
  p.drawPolygon(arrow);
}

void DrawPreview(QPainter& p) {
  // A page with lines of text under a magnifying glass.
  p.setPen(kBlack);
  p.setBrush(kWhite);
  p.drawRect(1, 1, 9, 12);
  for (int y = 3; y <= 11; y += 2) Line(p, kGrey, 3, y, 8, y);
  p.setBrush(kSilver);
  p.setPen(kNavy);
  p.drawEllipse(QRect(7, 5, 5, 5));
  Line(p, kNavy, 11, 10, 14, 13);
  Line(p, kNavy, 12, 10, 15, 13);
}

void DrawAbout(QPainter& p) {
  // A speech balloon with a question mark.
  p.setPen(kBlack);
  p.setBrush(kYellow);
  p.drawEllipse(QRect(1, 0, 13, 10));
  p.drawPolygon(QPolygon({QPoint(4, 9), QPoint(3, 14), QPoint(8, 10)}));
  p.setPen(Qt::NoPen);
  p.setBrush(kYellow);
  p.drawRect(4, 8, 4, 2);
  p.setPen(kBlue);
  Line(p, kBlue, 6, 2, 9, 2);
  Line(p, kBlue, 10, 3, 10, 4);
  Line(p, kBlue, 9, 5, 8, 5);
  Line(p, kBlue, 7, 6, 7, 6);
  p.drawPoint(7, 8);
}

}  // namespace

QPixmap DrawToolbarImage(ToolbarImage which) {
  QPixmap pixmap(16, 15);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  switch (which) {
    case ToolbarImage::Open:
      DrawOpen(p);
      break;
    case ToolbarImage::Previous:
      DrawArrow(p, false);
      break;
    case ToolbarImage::Next:
      DrawArrow(p, true);
      break;
    case ToolbarImage::PrintPreview:
      DrawPreview(p);
      break;
    case ToolbarImage::About:
      DrawAbout(p);
      break;
  }
  return pixmap;
}

QIcon ApplicationIcon() {
  // A tiny bar chart on a dark panel: high-low bars with close ticks and an average.
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(kGrey);
  p.setBrush(kBlack);
  p.drawRoundedRect(QRect(0, 0, 31, 31), 4, 4);
  const int highs[] = {20, 17, 14, 15, 10, 7};
  const int lows[] = {26, 24, 21, 22, 18, 14};
  for (int i = 0; i < 6; ++i) {
    const int x = 5 + i * 4;
    Line(p, kLime, x, highs[i], x, lows[i]);
    Line(p, QColor(0, 255, 255), x, (highs[i] + lows[i]) / 2, x + 2, (highs[i] + lows[i]) / 2);
  }
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath average;
  average.moveTo(4, 25);
  average.cubicTo(12, 22, 18, 18, 28, 10);
  p.setPen(QPen(kRed, 1.5));
  p.setBrush(Qt::NoBrush);
  p.drawPath(average);
  return QIcon(pixmap);
}

}  // namespace tv
