#pragma once
// The chart view: paints the current security's chart, prints and previews it on one page,
// steps through the list, offers Next and Previous on a right click and starts the slide
// show.

#include <QWidget>
#include <functional>
#include <memory>

#include "chart.h"
#include "navigation.h"

class QLabel;
class QMenu;
class QPainter;
class QPrinter;
class QShortcut;

namespace tv {

class ChartPicture;
class CommandTable;
class CMainFrame;
class CTickvaneDoc;
class CTickvaneView;

// Starts a slide show from the view's Slide Show command: asks for the interval and, when
// the user agrees, starts the show. Returns whether a show is now running; the show clears
// the view's flag through SetSlideShowRunning(false) when it ends.
using SlideShowStarter = std::function<bool(CTickvaneView& view)>;

class CTickvaneView final : public QWidget {
 public:
  CTickvaneView(CTickvaneDoc& doc, CommandTable& commands, CMainFrame& frame);
  ~CTickvaneView() override;

  CTickvaneDoc& GetDocument() { return m_doc; }
  CMainFrame& GetMainFrame() { return m_frame; }

  // The document changed: the whole chart is drawn again.
  void OnUpdate();

  // Commands.
  void OnNext();
  void OnPrevious();
  void OnSlideShow();
  void OnFilePrint();
  void OnFilePrintDirect();
  void OnFilePrintPreview();

  // Browsing a security's history: a page is one screen of bars, a wheel notch a tenth of
  // one; Home and End show the oldest and the newest bars. Each returns whether the chart
  // changed. The extended chart pages through its whole history by the bars it shows.
  bool ScrollBars(int delta);
  bool PageBack() { return Page(-1); }
  bool PageForward() { return Page(+1); }
  bool ShowOldest();
  bool ShowNewest();
  // Bar spacing up (steps > 0) or down, within 2..10, for the rest of this run.
  bool Zoom(int steps);
  // The extended chart's moves through time (navigation.h): `change` gets the navigation,
  // the bars of the series, the plot's width and the bars shown now.
  void Navigate(const std::function<void(plot::Navigation&, int n, int width, int shown)>& change);
  void FitHistory();
  int ScreenBars() const;
  bool Page(int direction);

  // The tool tip with the values of the bar under the pointer (local coordinates); hidden
  // when the pointer is not over a bar.
  void ShowBarTip(const QPoint& localPos);
  void HideBarTip();
  QLabel* barTip() const { return m_barTip; }
  // How many times the chart was drawn whole rather than from its kept picture.
  int ChartDraws() const;
  // Where the extended chart last put its bars.
  const plot::PlotFrame& ChartFrame() const { return m_plotFrame; }

  void SetSlideShowStarter(SlideShowStarter start) { m_slideShowStarter = std::move(start); }
  bool IsSlideShowRunning() const { return m_slideShowRunning != 0; }
  void SetSlideShowRunning(bool running) { m_slideShowRunning = running ? 1 : 0; }

  // The printer Print, Print Preview and Print Setup share.
  void SetPrinter(QPrinter* printer) { m_printer = printer; }
  // Prints the chart as one page on printer (no dialog). Returns false when the printer
  // could not be started.
  bool PrintOnePage(QPrinter& printer);
  // Draws the page on a painter that is already on the printer (or the preview).
  void OnPrint(QPainter& painter, QPrinter& printer);

  // The right-click menu with Next and Previous greyed by their rules, or null while a slide
  // show runs. Chosen items run as ordinary commands.
  std::unique_ptr<QMenu> BuildContextMenu();
  // How a built context menu is shown; tests replace it so nothing blocks.
  std::function<void(QMenu&, const QPoint& globalPos)> m_showMenu;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  bool OnPreparePrinting(QPrinter& printer, bool withDialog);
  void ShowContextMenu(const QPoint& localPos);
  // After the chart changed (another security, window of bars or spacing): repaint, and let
  // a tool tip that is up follow the bar now under the pointer.
  void ChartChanged();
  // The extended chart's crosshair: the pointer's bar and row, or the keyboard cursor's bar
  // (its row is the bar's close); none in the classic chart or with the crosshair off.
  bool CrosshairOn();
  plot::PlotCursor Cursor();
  void FollowPointer(const QPoint& localPos);
  void MoveKeyCursor(int step);
  void LeaveKeyCursor();
  // The bar under the pointer in whichever chart is shown, or -1.
  int BarUnder(const QPoint& localPos) const;

  CTickvaneDoc& m_doc;
  CommandTable& m_commands;
  CMainFrame& m_frame;
  QPrinter* m_printer = nullptr;
  SlideShowStarter m_slideShowStarter;
  // Non-zero while a slide show runs: no context menu then.
  int m_slideShowRunning = 0;
  QLabel* m_barTip = nullptr;
  // Wheel turns not yet a whole notch (high-resolution wheels and touch pads send parts).
  int m_scrollTurn = 0;
  int m_zoomTurn = 0;
  std::unique_ptr<ChartPicture> m_picture;  // the extended chart as last drawn, under the crosshair
  plot::PlotFrame m_plotFrame;  // where the extended chart last put its bars (device pixels)
  int m_cursorBar = -1;         // the crosshair's bar, -1 for none
  int m_cursorY = -1;           // the pointer's row (device pixels)
  bool m_keyCursor = false;     // the crosshair follows the keyboard, not the pointer
  QShortcut* m_leaveCursor = nullptr;
  int m_dragX = -1;  // the device column a left-button drag last panned from; -1: no drag
};

}  // namespace tv
