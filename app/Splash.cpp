#include "Splash.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "qt_surface.h"
#include "version.h"
#include "window_geometry.h"

namespace tv {

namespace {

constexpr int kPictureWidth = 400;
constexpr int kPictureHeight = 200;

const QColor kTeal(0, 128, 128);
const QColor kDeepTeal(0, 96, 96);
const QColor kPaleTeal(160, 216, 216);
const QColor kLetterBlue(0, 48, 224);
const QColor kLetterShade(224, 240, 255);
const QColor kPanel(240, 248, 248);
const QColor kNavy(0, 0, 128);
const QColor kRed(192, 0, 0);
const QColor kGreen(0, 128, 0);

// A small price chart: a white panel with a few high-low bars and their close ticks.
void DrawEmblem(QPainter& p, const QRect& box) {
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(kDeepTeal, 2));
  p.setBrush(kPanel);
  p.drawRect(box);

  // Axes along the left and the bottom.
  const int left = box.left() + 10;
  const int bottom = box.bottom() - 10;
  p.setPen(QPen(kNavy, 1));
  p.drawLine(left, box.top() + 8, left, bottom);
  p.drawLine(left, bottom, box.right() - 8, bottom);

  // High, low and close of each bar, in pixels above the axis; the prices rise.
  struct Bar {
    int high, low, close;
  };
  const Bar bars[] = {{22, 8, 12},  {30, 14, 26}, {28, 18, 20}, {40, 20, 36},
                      {46, 30, 34}, {58, 36, 54}, {62, 48, 60}};
  int x = left + 8;
  int previousClose = -1;
  for (const Bar& bar : bars) {
    const QColor colour = bar.close >= previousClose ? kGreen : kRed;
    p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(x, bottom - bar.low, x, bottom - bar.high);
    p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(x + 1, bottom - bar.close, x + 6, bottom - bar.close);
    previousClose = bar.close;
    x += 10;
  }
}

// The picture is kept as an 8-bit one with a 256-entry colour table, as a classic splash
// bitmap is. Qt's own conversion falls back to a fixed colour cube once a picture has more
// than 256 colours (smooth letters do), which would shift the teal and the blue; instead the
// table holds the picture's most frequent colours, so the large flat areas stay exact, and
// every other colour takes its nearest entry.
QImage ToColorTable(const QImage& image) {
  std::map<QRgb, int> frequency;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) ++frequency[line[x] | 0xff000000u];
  }
  std::vector<std::pair<int, QRgb>> byCount;
  byCount.reserve(frequency.size());
  for (const auto& [rgb, count] : frequency) byCount.emplace_back(-count, rgb);
  std::sort(byCount.begin(), byCount.end());
  QList<QRgb> table;
  for (std::size_t i = 0; i < byCount.size() && i < 256; ++i) table.push_back(byCount[i].second);
  while (table.size() < 256) table.push_back(qRgb(0, 0, 0));

  std::map<QRgb, uchar> entry;
  for (const auto& [rgb, count] : frequency) {
    int best = 0;
    long bestDistance = -1;
    for (int k = 0; k < 256; ++k) {
      const long dr = qRed(rgb) - qRed(table[k]);
      const long dg = qGreen(rgb) - qGreen(table[k]);
      const long db = qBlue(rgb) - qBlue(table[k]);
      const long distance = dr * dr + dg * dg + db * db;
      if (bestDistance < 0 || distance < bestDistance) {
        best = k;
        bestDistance = distance;
      }
    }
    entry[rgb] = static_cast<uchar>(best);
  }

  QImage indexed(image.size(), QImage::Format_Indexed8);
  indexed.setColorTable(table);
  for (int y = 0; y < image.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    uchar* out = indexed.scanLine(y);
    for (int x = 0; x < image.width(); ++x) out[x] = entry[in[x] | 0xff000000u];
  }
  return indexed;
}

}  // namespace

QImage SplashPicture() {
  QImage image(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
  image.fill(kTeal);
  QPainter p(&image);

  // A darker band along the bottom and a thin pale rule above it.
  p.fillRect(QRect(0, 150, kPictureWidth, 50), kDeepTeal);
  p.fillRect(QRect(0, 148, kPictureWidth, 2), kPaleTeal);

  DrawEmblem(p, QRect(24, 36, 96, 96));

  // The product name, large, blue on a pale shadow so it reads against the teal.
  const QRect nameBox(136, 40, 252, 80);
  QFont name("Liberation Sans");
  name.setBold(true);
  // As large as fits beside the emblem, whichever sans-serif face stands in.
  for (int size = 64; size > 16; size -= 2) {
    name.setPixelSize(size);
    if (QFontMetrics(name).horizontalAdvance("Tickvane") + 2 <= nameBox.width()) break;
  }
  p.setFont(name);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  p.setPen(kLetterShade);
  p.drawText(nameBox.translated(2, 2), Qt::AlignLeft | Qt::AlignVCenter, "Tickvane");
  p.setPen(kLetterBlue);
  p.drawText(nameBox, Qt::AlignLeft | Qt::AlignVCenter, "Tickvane");

  QFont small("Liberation Sans");
  small.setPixelSize(15);
  p.setFont(small);
  p.setPen(Qt::white);
  p.drawText(QRect(16, 158, kPictureWidth - 32, 20), Qt::AlignLeft | Qt::AlignVCenter,
             "MetaStock and CompuTrac quote viewer");
  p.drawText(QRect(16, 176, kPictureWidth - 32, 20), Qt::AlignLeft | Qt::AlignVCenter,
             "Version " TICKVANE_VERSION_SHORT);
  p.end();

  return ToColorTable(image);
}

bool IsSplashClosingInput(const QEvent& event) {
  switch (event.type()) {
    // A key that is a shortcut (an arrow key, Ctrl+O) never arrives as a key press: the
    // shortcut takes it after the override query, which every key down goes through first.
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
      return true;
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress: {
      const Qt::MouseButton button = static_cast<const QMouseEvent&>(event).button();
      return button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton;
    }
    default:
      return false;
  }
}

CSplashWnd::CSplashWnd()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("splash");
  setWindowTitle(QString());
  // The main window keeps the keyboard; the splash only stands in front of it.
  setAttribute(Qt::WA_ShowWithoutActivating);
  // The picture covers every pixel: nothing to erase first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  qApp->installEventFilter(this);
}

CSplashWnd::~CSplashWnd() {
  if (qApp) qApp->removeEventFilter(this);
}

bool CSplashWnd::eventFilter(QObject* watched, QEvent* event) {
  // A message or dialog that needs an answer during start-up (a file on the command line that
  // cannot be opened) would stand hidden under the top-most picture, and start-up would wait
  // for it unseen. The picture steps aside for good; its time still runs as before.
  if (event->type() == QEvent::Show && watched != this && watched->isWidgetType()) {
    const auto* window = static_cast<const QWidget*>(watched);
    if (window->isWindow() && window->isModal() && isVisible()) hide();
  }
  return QWidget::eventFilter(watched, event);
}

bool CSplashWnd::Create() { return Create(SplashPicture()); }

bool CSplashWnd::Create(const QImage& picture) {
  if (picture.isNull()) return false;
  m_bitmap = picture.convertToFormat(QImage::Format_RGB32);
  m_nWidth = m_bitmap.width();
  m_nHeight = m_bitmap.height();

  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize screenSize = screen ? screen->geometry().size() : QSize(m_nWidth, m_nHeight);
  Rect r{0, 0, m_nWidth, m_nHeight};
  CenterRect(r, screenSize.width(), screenSize.height());
  setFixedSize(m_nWidth, m_nHeight);
  move(r.left, r.top);
  m_created = true;
  return true;
}

void CSplashWnd::ShowAndPaint() {
  if (!m_created) return;
  show();
  raise();
  // The window system shows the window a moment later; wait briefly for it so the picture
  // is up before start-up goes on. Input waits: it is for the windows that follow.
  QElapsedTimer waited;
  waited.start();
  while (windowHandle() != nullptr && !windowHandle()->isExposed() && waited.elapsed() < 500)
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
  repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CSplashWnd::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QtSurface surface(painter);
  const BitmapView view{reinterpret_cast<const std::uint32_t*>(m_bitmap.constBits()), m_nWidth,
                        m_nHeight, static_cast<int>(m_bitmap.bytesPerLine() / 4)};
  surface.DrawBitmap(Point{0, 0}, view);
}

}  // namespace tv
