#pragma once
// The slide show: a small dialog that asks for the time between charts, and the full-screen
// window that shows every security of the open database in turn.

#include <QWidget>
#include <functional>

#include "View.h"
#include "dialog_frame.h"

class QLineEdit;
class QTimer;

namespace tv {

class CMainFrame;
class MessageService;

// Asks for the number of seconds between charts, 1 to 5. A new dialog opens at 1: the last
// value used is not remembered.
class CSlideShowDlg final : public DialogFrame {
 public:
  static constexpr int kIdSeconds = 118;
  static constexpr int kMinSeconds = 1;
  static constexpr int kMaxSeconds = 5;

  explicit CSlideShowDlg(MessageService& messages, QWidget* parent = nullptr);
  ~CSlideShowDlg() override;

  int m_nSeconds = 1;

  // Puts the value into the field, centres the dialog on the screen and gives the field the
  // focus. Runs once, when the dialog is first shown.
  void OnInitDialog() override;
  // Moves m_nSeconds into the field, or the field into m_nSeconds after checking it; a
  // refused value shows its message, takes the focus and returns false.
  bool UpdateData(bool save);
  // OK: ends with OK only when the value passes its check.
  void accept() override;

  QLineEdit* secondsEdit() const { return m_secondsEdit; }

 private:
  MessageService& m_messages;
  QLineEdit* m_secondsEdit = nullptr;
};

// The show itself: a borderless window over the whole screen, above every other window, owned
// by the main window. It reaches the chart object and the view through the main window only.
// It deletes itself when it closes.
class CSlideShowWnd : public QWidget {
 public:
  static constexpr int kTimerId = 121;

  // `beep` sounds the end of the show; empty means the system's default beep.
  explicit CSlideShowWnd(CMainFrame& owner, std::function<void()> beep = {});
  ~CSlideShowWnd() override;

  // Shows the window over the whole screen, goes to the first security and starts the timer
  // with a period of `seconds` seconds. Returns false when the window could not be shown; the
  // object has then already arranged its own deletion and the view is not marked as running.
  bool Start(int seconds);

  // One tick of timer 121: the next security, or the end of the show after the last one.
  void OnTimer(int id);
  // Escape ends the show, space pauses and resumes it (every key-down, repeats included).
  void OnKeyDown(int key);

  // Non-zero while paused: ticks are then dropped, not saved up.
  int m_bPaused = 0;

  // The timer, while the show runs (null before Start and after the end).
  QTimer* timer() const { return m_timer; }

 protected:
  // Puts the window on the screen; false when that did not work.
  virtual bool CreateShowWindow();

  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Ends the show: timer stopped, the view no longer marked, the window closed (and with it
  // the object). The chart shown last stays current.
  void End();
  // Stops the timer and tells the view the show is over; once only.
  void Finish();
  CTickvaneView* View() const;

  CMainFrame& m_owner;
  std::function<void()> m_beep;
  QTimer* m_timer = nullptr;
  // Set while a tick is being handled. A load failure reports in a modal message box, and
  // the ticks that arrive while it is on the screen are dropped instead of stacking more.
  bool m_inTick = false;
  bool m_ended = false;
};

// The view's Slide Show command: the dialog, then on OK a new show window started with the
// chosen interval.
bool StartSlideShow(CTickvaneView& view);

}  // namespace tv
