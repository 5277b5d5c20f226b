#include "tickvane.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <algorithm>

#include "About.h"
#include "Doc.h"
#include "Gotodlg.h"
#include "MainFrm.h"
#include "Splash.h"
#include "Sshowdlg.h"
#include "View.h"
#include "Voptdlg.h"
#include "chart_menu.h"
#include "command_entries.h"
#include "command_ids.h"
#include "commands.h"
#include "database_files.h"
#include "doc_template.h"
#include "explorer_window.h"
#include "file_follower.h"
#include "help_window.h"
#include "images.h"
#include "quote_file.h"
#include "subdirectories.h"

namespace tv {

namespace {
// Centres a window on the screen when it is shown, on the size it is shown with (a stock
// dialog lays itself out only then), keeping its top left on a screen smaller than it.
class CentreWhenShown final : public QObject {
 public:
  explicit CentreWhenShown(QWidget& window) : QObject(&window) { window.installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      auto& window = static_cast<QWidget&>(*watched);
      CMainFrame::CenterOnScreen(window);
      window.move(std::max(window.x(), 0), std::max(window.y(), 0));
    }
    return false;
  }
};
}  // namespace

CTickvaneApp::CTickvaneApp(Profile& profile, MessageService& messages, Clock& clock)
    : m_profile(profile),
      m_messages(messages),
      m_clock(clock),
      m_userGuide(FindUserGuide(QCoreApplication::applicationDirPath())) {}

CTickvaneApp::~CTickvaneApp() {
  if (qApp) qApp->removeEventFilter(this);
  // The frame and its view refer to the document; they go first.
  m_pMainFrame.reset();
}

bool CTickvaneApp::InitInstance(const std::string& file) {
  // 1. The splash window, shown and painted at once, so that it stands while the rest of
  //    start-up runs.
  m_pSplashWnd = std::make_unique<CSplashWnd>();
  if (m_pSplashWnd->Create()) m_pSplashWnd->ShowAndPaint();

  // 2. The settings file with its recent-file list. One under a quote database file's name,
  //    or a link to such a file, would be written over a quote file: the program ends.
  if (const std::string settings = m_profile.FilePath(); LeadsToDatabaseFileName(settings)) {
    m_messages.ShowMessage("The settings file " + settings +
                               " has the name of a quote database file, or leads to one; it "
                               "is never used. Give another with --profile FILE.",
                           MessageIcon::Stop);
    return false;
  }
  m_pRecentFiles = std::make_unique<RecentFileList>(m_profile, cmd::kFileMruCount);
  m_pRecentFiles->ReadList();

  // 3. The single-document template: one document, the frame and its view.
  m_pDoc = std::make_unique<CTickvaneDoc>(m_profile, m_messages);
  // Extended reading is an opt-in: the command line wins over the settings file.
  m_pDoc->GetBars().SetExtended(
      m_extendedArg.value_or(m_profile.ReadInt("Reading", "Extended", 0) == 1));
  m_pDocTemplate = std::make_unique<CSingleDocTemplate>(*m_pDoc, *m_pRecentFiles);
  m_pFollower = new FileFollower(*m_pDoc, this);
  // One-pixel chart lines stay visible on paper and in the preview at screen resolution; at
  // a printer's full resolution they would be hairlines the preview loses altogether.
  m_pPrinter = std::make_unique<QPrinter>(QPrinter::ScreenResolution);
  // The chart has the window's proportions, wider than tall: across the page it keeps its
  // scale labels legible. Print Setup can turn the page.
  m_pPrinter->setPageOrientation(QPageLayout::Landscape);
  m_pCommands = std::make_unique<CommandTable>();
  RegisterCommands();
  m_pMainFrame = std::make_unique<CMainFrame>(*m_pCommands, *m_pDoc, *m_pRecentFiles);
  CMainFrame* frame = m_pMainFrame.get();
  CTickvaneView* view = frame->GetActiveView();
  view->SetPrinter(m_pPrinter.get());
  // The chart is laid out in the main window's client area, whatever it is drawn on.
  m_pDoc->GetBars().SetLogicalSizeProvider([frame] { return frame->ClientSize(); });

  m_pDoc->SetGoToDialog([this](CBars& bars, std::string& selection) {
    return RunGoToDialog(m_profile, bars, selection);
  });
  m_pDoc->SetViewOptionsDialog([this](CBars& bars, ViewOptions& values) {
    return RunViewOptionsDialog(m_messages, bars, values);
  });
  view->SetSlideShowStarter(StartSlideShow);
  m_pDoc->SetFileOpener([this](const std::string& path) {
    const bool opened = m_pDocTemplate->OpenDocumentFile(path);
    m_pMainFrame->UpdateRecentFileMenu();
    return opened;
  });

  // 4. The command line: a file named there opens as File Open would.
  if (!file.empty()) {
    if (!m_pDocTemplate->OpenDocumentFile(file)) return false;
  } else {
    m_pDocTemplate->NewDocument();
  }
  frame->PlaceOnScreen();
  frame->show();
  frame->PlaceOnScreen();  // again, now that the window's frame (if any) is known

  // The idle hook and the message filter.
  m_idleAgain = new QTimer(this);
  m_idleAgain->setSingleShot(true);
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { Idle(); });
  if (qApp) qApp->installEventFilter(this);

  // 5. Start-up has finished: the splash's ten seconds count from here.
  m_dwSplashTime = m_clock.TickCount();
  // Top-most: the main window was shown after the splash and must not cover it.
  if (m_pSplashWnd && m_pSplashWnd->HasWindow()) m_pSplashWnd->raise();
  return true;
}

void CTickvaneApp::RegisterCommands() {
  CommandTable& c = *m_pCommands;
  for (const CommandEntry& entry : kCommandEntries) c.Add(entry);
  CTickvaneDoc* doc = m_pDoc.get();
  auto view = [this] { return m_pMainFrame->GetActiveView(); };
  auto frame = [this] { return m_pMainFrame.get(); };

  // File
  c.SetHandler(cmd::kFileOpen, [this] { OnFileOpen(); });
  c.SetHandler(cmd::kFileClose, [frame] { frame()->close(); });
  c.SetHandler(cmd::kFilePrint, [view] { view()->OnFilePrint(); });
  c.SetHandler(cmd::kFilePrintDirect, [view] { view()->OnFilePrintDirect(); });
  c.SetHandler(cmd::kFilePrintPreview, [view] { view()->OnFilePrintPreview(); });
  c.SetHandler(cmd::kFilePrintSetup, [this] { OnFilePrintSetup(); });
  for (int i = 0; i < cmd::kFileMruCount; ++i) {
    c.SetHandler(cmd::kFileMru1 + i, [this, i] { OnOpenRecentFile(i); });
    c.SetRule(cmd::kFileMru1 + i,
              [this, i] { return i < static_cast<int>(m_pRecentFiles->entries().size()); });
  }
  c.SetHandler(cmd::kAppExit, [frame] { frame()->close(); });
  c.SetHandler(cmd::kFileNew, [this] { OnFileNew(); });
  c.SetRule(cmd::kFileSave, [] { return false; });

  // View
  c.SetHandler(cmd::kViewOptions, [doc] { doc->OnViewOptions(); });
  c.SetRule(cmd::kViewOptions, [doc] { return doc->CanViewOptions(); });
  c.SetHandler(cmd::kFitHistory, [view] { view()->FitHistory(); });
  c.SetRule(cmd::kFitHistory, [doc] { return doc->GetBars().IsExtended(); });
  c.SetHandler(cmd::kSlideShow, [view] { view()->OnSlideShow(); });
  c.SetRule(cmd::kSlideShow, [doc] { return doc->CanSlideShow(); });
  c.SetHandler(cmd::kViewToolbar, [frame] {
    QToolBar* bar = frame()->m_wndToolBar;
    bar->setVisible(bar->isHidden());
  });
  c.SetCheckRule(cmd::kViewToolbar,
                 [frame] { return frame() && !frame()->m_wndToolBar->isHidden(); });
  c.SetHandler(cmd::kViewStatusBar, [frame] {
    QStatusBar* bar = frame()->m_wndStatusBar;
    bar->setVisible(bar->isHidden());
  });
  c.SetCheckRule(cmd::kViewStatusBar,
                 [frame] { return frame() && !frame()->m_wndStatusBar->isHidden(); });

  // Select
  // While the Explorer follows its results, Next and Previous step through them.
  const auto following = [this] { return m_explorer && m_explorer->Following(); };
  c.SetHandler(cmd::kNext, [this] { Step(+1); });
  c.SetRule(cmd::kNext, [doc, following] { return following() || doc->CanNext(); });
  c.SetHandler(cmd::kPrevious, [this] { Step(-1); });
  c.SetRule(cmd::kPrevious, [doc, following] { return following() || doc->CanPrevious(); });
  c.SetHandler(cmd::kGoTo, [doc] { doc->OnGoTo(); });
  c.SetRule(cmd::kGoTo, [doc] { return doc->CanGoTo(); });

  // Chart
  RegisterChartCommands(c, *doc, [frame]() -> QWidget* { return frame(); });

  // Tools
  c.SetHandler(cmd::kExplorer, [this] { OnExplorer(); });
  c.SetRule(cmd::kExplorer,
            [doc] { return doc->GetBars().IsExtended() && doc->GetBars().m_pathValid != 0; });

  // Help
  c.SetHandler(cmd::kHelpIndex, [this] { OnHelp(); });
  c.SetHandler(cmd::kHelp, [this] { OnHelp(); });
  c.SetHandler(cmd::kContextHelp, [this] { OnContextHelp(); });
  c.SetHandler(cmd::kAppAbout, [this] { OnAppAbout(); });

  // Greyed until the first idle update says otherwise.
  for (int id : {cmd::kNext, cmd::kPrevious, cmd::kGoTo, cmd::kViewOptions, cmd::kSlideShow})
    c.Action(id)->setEnabled(false);
  c.Action(cmd::kFileSave)->setEnabled(false);
}

void CTickvaneApp::Idle() {
  if (m_inIdle || !m_pMainFrame) return;
  m_inIdle = true;
  const bool more = OnIdle(0);
  m_inIdle = false;
  if (more && m_idleAgain && !m_idleAgain->isActive()) m_idleAgain->start(100);
}

bool CTickvaneApp::OnIdle(int) {
  m_pCommands->UpdateAll();
  m_pMainFrame->OnUpdateCounterPane();
  m_pMainFrame->OnUpdatePiePane();
  m_pFollower->Follow();
  const std::string result = m_explorer ? m_explorer->StatusText() : std::string();
  m_pMainFrame->OnUpdateMessagePane(result.empty() ? m_pFollower->Notice() : result);
  // The splash stands until its ten seconds are up; keep asking for idle time till then. In
  // extended mode it goes at the first idle moment: the first chart has been painted by then
  // (paint events come before the loop waits), and the chart is what the user came for.
  if (m_pSplashWnd && m_pSplashWnd->HasWindow()) {
    if (!m_pDoc->GetBars().IsExtended() && !SplashTimeIsUp(m_dwSplashTime, m_clock.TickCount()))
      return true;
    CloseSplash();
  }
  return false;
}

bool CTickvaneApp::PreTranslateMessage(QObject* target, QEvent* event) {
  // A key or button press ends the splash. One on the splash itself ends it at the next idle
  // moment, one anywhere else at once; either way the press goes on to do its usual work.
  // Only widgets count as targets: a press reaches the window system's window first and then
  // the widget, and should be seen once.
  if (m_pSplashWnd && target != nullptr && target->isWidgetType() && IsSplashClosingInput(*event)) {
    if (m_pSplashWnd->IsTarget(target))
      m_dwSplashTime -= kSplashMilliseconds;
    else
      CloseSplash();
  }

  if (m_contextHelpMode) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::NonClientAreaMouseButtonPress) {
      EndContextHelpMode();
      OnHelp();
      return true;  // the click asked for help; it does nothing else
    }
    if (type == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
      EndContextHelpMode();
      return true;
    }
  }
  return false;
}

void CTickvaneApp::OnContextHelp() {
  if (m_contextHelpMode) return;
  m_contextHelpMode = true;
  QApplication::setOverrideCursor(Qt::WhatsThisCursor);
  m_pMainFrame->m_wndStatusBar->showMessage("Select an object on which to get Help");
}

void CTickvaneApp::EndContextHelpMode() {
  if (!m_contextHelpMode) return;
  m_contextHelpMode = false;
  QApplication::restoreOverrideCursor();
  m_pMainFrame->m_wndStatusBar->clearMessage();
}

void CTickvaneApp::CloseSplash() {
  m_pSplashWnd.reset();
  if (m_pMainFrame && m_pMainFrame->isVisible()) m_pMainFrame->repaint();
}

bool CTickvaneApp::eventFilter(QObject* watched, QEvent* event) {
  if (PreTranslateMessage(watched, event)) return true;
  return QObject::eventFilter(watched, event);
}

void CTickvaneApp::OnFileOpen() {
  QString start;
  if (!m_pRecentFiles->entries().empty())
    start =
        QFileInfo(QFile::decodeName(QByteArray::fromStdString(m_pRecentFiles->entries().front())))
            .absolutePath();
  const QString path =
      QFileDialog::getOpenFileName(m_pMainFrame.get(), "Open", start, "All Files (*)");
  if (path.isEmpty()) return;
  m_pDocTemplate->OpenDocumentFile(QFile::encodeName(path).toStdString());
  m_pMainFrame->UpdateRecentFileMenu();
}

void CTickvaneApp::OnFileNew() { m_pDocTemplate->NewDocument(); }

void CTickvaneApp::OnFilePrintSetup() {
  QPageSetupDialog dialog(m_pPrinter.get(), m_pMainFrame.get());
  new CentreWhenShown(dialog);
  dialog.exec();
}

void CTickvaneApp::OnOpenRecentFile(int index) {
  m_pDocTemplate->OpenRecentFile(index);
  m_pMainFrame->UpdateRecentFileMenu();
}

QString CTickvaneApp::FindUserGuide(const QString& programDir) {
  const QDir dir(programDir);
  for (const QString& candidate :
       {dir.filePath("help/user-guide.html"),
        dir.filePath(TICKVANE_GUIDE_FROM_VIEWERDIR "/user-guide.html")}) {
    if (QFileInfo(candidate).isFile()) return QFileInfo(candidate).absoluteFilePath();
  }
  return {};
}

HelpWindow* CTickvaneApp::GetHelpWindow() const { return m_helpWindow; }

ExplorerWindow* CTickvaneApp::GetExplorer() const { return m_explorer; }

void CTickvaneApp::OnExplorer() {
  if (!m_pDoc->GetBars().IsExtended() || m_pDoc->GetBars().m_pathValid == 0) return;
  if (!m_explorer) {
    m_explorer = new ExplorerWindow(
        m_profile, [this](const ScanRow& row) { ChartScanResult(row); }, m_pMainFrame.get());
  }
  // A window already open keeps the database it scans; charting a result in a folder below
  // opens that folder in the main window.
  if (m_explorer->isHidden()) m_explorer->SetDirectory(m_pDoc->GetBars().m_dataDir);
  m_explorer->show();
  m_explorer->raise();
  m_explorer->activateWindow();
}

void CTickvaneApp::ChartScanResult(const ScanRow& row) {
  CBars& bars = m_pDoc->GetBars();
  DirectoryId open;
  DirectoryId wanted;
  const bool same = bars.m_pathValid != 0 &&
                    IdentifyDirectory(NormaliseDirectory(bars.m_dataDir), open) &&
                    IdentifyDirectory(row.directory, wanted) && open == wanted;
  if (!same) {
    if (!m_pDocTemplate->OpenDocumentFile(row.directory + "MASTER")) return;
    m_pMainFrame->UpdateRecentFileMenu();
  }
  if (row.index < 0 || row.index >= bars.m_count) return;
  bars.m_current = row.index;
  bars.LoadCurrentSecurity();
  m_pDoc->UpdateAllViews();
}

void CTickvaneApp::Step(int delta) {
  if (m_explorer && m_explorer->Following()) {
    m_explorer->StepResult(delta);
    return;
  }
  CTickvaneView* view = m_pMainFrame->GetActiveView();
  if (delta > 0)
    view->OnNext();
  else
    view->OnPrevious();
}

void CTickvaneApp::OnHelp() {
  if (m_userGuide.isEmpty()) {
    m_messages.ShowMessage(
        "Help is not installed: the user guide was not found beside the program.",
        MessageIcon::None);
    return;
  }
  if (!m_helpWindow) m_helpWindow = new HelpWindow(m_pMainFrame.get());
  m_helpWindow->ShowPage(QUrl::fromLocalFile(m_userGuide));
}

void CTickvaneApp::OnAppAbout() {
  CAboutDlg dialog(ApplicationIcon().pixmap(32, 32), m_pMainFrame.get());
  dialog.DoModal();
}

}  // namespace tv
