#pragma once
// The splash window: a borderless picture centred on the screen and above every other window,
// put up first thing at start-up. The application object owns it and closes it ten seconds
// after start-up has finished, or at the first key or mouse button press.

#include <QImage>
#include <QWidget>
#include <cstdint>

class QEvent;

namespace tv {

// How long the splash stands after start-up has finished, in milliseconds.
inline constexpr std::uint32_t kSplashMilliseconds = 10000;

// The splash picture, 400 x 200 pixels: "Tickvane" in large blue letters beside a small
// bar-chart emblem on teal, with 8 bits per pixel and a 256-entry colour table.
QImage SplashPicture();

// Whether the splash's time is up: `now - start` taken as an unsigned 32-bit difference, so a
// wrap-around of the tick count in between changes nothing.
constexpr bool SplashTimeIsUp(std::uint32_t start, std::uint32_t now) {
  return static_cast<std::uint32_t>(now - start) >= kSplashMilliseconds;
}

// Whether an event is one of the presses that end the splash: a key down, or the left,
// right or middle mouse button down, in a window or on its frame.
bool IsSplashClosingInput(const QEvent& event);

class CSplashWnd final : public QWidget {
 public:
  CSplashWnd();
  ~CSplashWnd() override;
  CSplashWnd(const CSplashWnd&) = delete;
  CSplashWnd& operator=(const CSplashWnd&) = delete;

  // Takes the picture and sets the window up centred on the screen, exactly the picture's
  // size, top-most and without caption or border. Returns false when there is no picture;
  // no window is made then.
  bool Create();
  bool Create(const QImage& picture);
  // Shows the window and paints it before returning, so that it stands while the rest of
  // start-up runs.
  void ShowAndPaint();
  // Whether Create made the window.
  bool HasWindow() const { return m_created; }
  // Whether an event's target is this window (rather than some other window).
  bool IsTarget(const QObject* target) const { return target == this; }

  QImage m_bitmap;  // the picture as drawn, 32 bits per pixel
  int m_nWidth = 0;
  int m_nHeight = 0;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool m_created = false;
};

}  // namespace tv
