#pragma once
// The main window: menu bar, tool bar, status bar with the position counter and the position
// pie, and the chart view in the middle. Its title always reads "Tickvane".

#include <QImage>
#include <QMainWindow>
#include <QRect>
#include <QWidget>
#include <string>

#include "mapping.h"

class QLabel;
class QMenu;
class QStatusBar;
class QToolBar;

namespace tv {

class CommandTable;
class CTickvaneDoc;
class CTickvaneView;
class RecentFileList;

// The pie pane. It shows the last picture it was given until it is given a new one, so a
// repaint of the status bar (uncovered, resized) never wipes the pie.
class CPiePane final : public QWidget {
 public:
  explicit CPiePane(QWidget* parent = nullptr);
  // Draws the pie for this position into the pane's picture and shows it.
  void Redraw(int count, int current);
  const QImage& picture() const { return m_picture; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage m_picture;
};

class CMainFrame final : public QMainWindow {
 public:
  CMainFrame(CommandTable& commands, CTickvaneDoc& doc, RecentFileList& recent);
  ~CMainFrame() override;

  // Keeps rect's size and centres it on the screen; every dialog places itself with it.
  static void CenterRectOnScreen(QRect& rect);
  // Centres a dialog (or any top-level window) on the screen.
  static void CenterOnScreen(QWidget& window);
  // Sizes and places the window at 95 % of the screen, centred.
  void PlaceOnScreen();

  CTickvaneView* GetActiveView() const { return m_view; }
  CTickvaneDoc* GetActiveDocument() const { return &m_doc; }
  // The size the chart is laid out in: the window's client area (below the menu bar, with
  // tool bar and status bar).
  Size ClientSize() const;

  // The status panes' updates, run whenever the program goes idle.
  void OnUpdateCounterPane();
  void OnUpdatePiePane();
  // The message pane: why the current security could not be read (extended reading says so
  // here instead of in a box), else what following the files has to say, else the idle text.
  void OnUpdateMessagePane(const std::string& followNotice = {});
  // Fills the recent-file entries of the File menu from the list.
  void UpdateRecentFileMenu();

  QLabel* messagePane() const { return m_messagePane; }
  QLabel* counterPane() const { return m_counterPane; }
  CPiePane* piePane() const { return m_piePane; }
  QMenu* fileMenu() const { return m_fileMenu; }

  QStatusBar* m_wndStatusBar = nullptr;
  QToolBar* m_wndToolBar = nullptr;
  // Set by whoever has just painted the chart on the screen; the pie follows at the next
  // idle update.
  int m_bPieDirty = 0;

 private:
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();

  CommandTable& m_commands;
  CTickvaneDoc& m_doc;
  RecentFileList& m_recent;
  CTickvaneView* m_view = nullptr;
  QMenu* m_fileMenu = nullptr;
  QLabel* m_messagePane = nullptr;
  QLabel* m_counterPane = nullptr;
  CPiePane* m_piePane = nullptr;
};

}  // namespace tv
