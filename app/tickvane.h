#pragma once
// The application object: start-up, the commands that belong to the application (open, new,
// print setup, recent files, help, about, exit), the idle hook and the message filter.

#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "clock.h"
#include "messages.h"
#include "profile.h"

class QPrinter;
class QTimer;

namespace tv {

class FileFollower;
class CommandTable;
class CMainFrame;
class CSingleDocTemplate;
class CTickvaneDoc;
class ExplorerWindow;
struct ScanRow;
class HelpWindow;
class RecentFileList;

// The splash window's class; built elsewhere.
class CSplashWnd;

class CTickvaneApp final : public QObject {
 public:
  CTickvaneApp(Profile& profile, MessageService& messages, Clock& clock);
  ~CTickvaneApp() override;

  // Start-up. `file` is the file named on the command line, empty for none. Returns false
  // when the program should end (the file could not be opened, or the settings file has a
  // quote database file's name).
  bool InitInstance(const std::string& file);
  // Extended reading from the command line (--extended / --no-extended); without it the
  // settings key [Reading] Extended decides at start-up. Call before InitInstance.
  void SetExtendedReading(std::optional<bool> fromCommandLine) { m_extendedArg = fromCommandLine; }

  // Runs whenever the event loop is about to wait: brings the commands' enabled state and the
  // status panes up to date. Returns true to be called again soon even if nothing happens.
  bool OnIdle(int count);
  // Sees every event before it is delivered; returns true to swallow it.
  bool PreTranslateMessage(QObject* target, QEvent* event);

  // Commands of the application.
  void OnFileOpen();
  void OnFileNew();
  void OnFilePrintSetup();
  void OnOpenRecentFile(int index);
  void OnHelp();
  // Shift+F1: the next click anywhere opens help instead of doing what it would; Esc cancels.
  void OnContextHelp();
  bool InContextHelpMode() const { return m_contextHelpMode; }
  void OnAppAbout();

  CMainFrame* GetMainWnd() const { return m_pMainFrame.get(); }
  CTickvaneDoc& GetDocument() const { return *m_pDoc; }
  CommandTable& GetCommands() const { return *m_pCommands; }
  CSingleDocTemplate& GetDocTemplate() const { return *m_pDocTemplate; }
  RecentFileList& GetRecentFiles() const { return *m_pRecentFiles; }
  QPrinter& GetPrinter() const { return *m_pPrinter; }
  Profile& GetProfile() const { return m_profile; }
  Clock& GetClock() const { return m_clock; }
  // Follows the open database's files as other programs change them.
  FileFollower& GetFollower() const { return *m_pFollower; }

  // The user guide for a program in `programDir`: help/ beside it in the build tree, the
  // documentation directory of its installation prefix otherwise. Empty when neither holds it.
  static QString FindUserGuide(const QString& programDir);
  // The guide the Help commands show (found beside this program at start); empty: none.
  const QString& UserGuidePath() const { return m_userGuide; }
  void SetUserGuidePath(const QString& path) { m_userGuide = path; }
  // The help window once a Help command has opened it, else null.
  HelpWindow* GetHelpWindow() const;
  // The Explorer once Tools > Explorer has opened it, else null.
  ExplorerWindow* GetExplorer() const;

  // The splash window while it stands (null before and after), and the tick count at which
  // start-up finished: the splash's rules in OnIdle and PreTranslateMessage read both.
  std::unique_ptr<CSplashWnd> m_pSplashWnd;
  std::uint32_t m_dwSplashTime = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RegisterCommands();
  void OnExplorer();
  // Charts a scan result: opens its folder's database when another one is open.
  void ChartScanResult(const ScanRow& row);
  // Next and Previous: through the Explorer's results while it follows them.
  void Step(int delta);
  // Takes the splash down for good and repaints the main window at once.
  void CloseSplash();
  void Idle();
  void EndContextHelpMode();

  Profile& m_profile;
  std::optional<bool> m_extendedArg;
  MessageService& m_messages;
  Clock& m_clock;
  std::unique_ptr<CommandTable> m_pCommands;
  std::unique_ptr<RecentFileList> m_pRecentFiles;
  std::unique_ptr<CTickvaneDoc> m_pDoc;
  std::unique_ptr<CSingleDocTemplate> m_pDocTemplate;
  std::unique_ptr<QPrinter> m_pPrinter;
  std::unique_ptr<CMainFrame> m_pMainFrame;
  QTimer* m_idleAgain = nullptr;
  FileFollower* m_pFollower = nullptr;  // a child of this object
  bool m_inIdle = false;
  bool m_contextHelpMode = false;
  QString m_userGuide;
  QPointer<HelpWindow> m_helpWindow;    // a child window of the main frame
  QPointer<ExplorerWindow> m_explorer;  // a child window of the main frame
};

}  // namespace tv
