#include "MainFrm.h"

#include <QAction>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include "Doc.h"
#include "View.h"
#include "chart_menu.h"
#include "command_entries.h"
#include "command_ids.h"
#include "commands.h"
#include "dialog_units.h"
#include "doc_template.h"
#include "images.h"
#include "position_pie.h"
#include "qt_surface.h"
#include "window_geometry.h"

namespace tv {

namespace {

constexpr const char* kIdleText = "For Help, press F1";

QSize ScreenSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().size() : QSize(1024, 768);
}

// The application's style, except that a greyed menu item can be the current one: the
// pointer or the arrow keys on it highlight it and show its prompt in the status bar, as
// every command's prompt shows, greyed or not. It still cannot be chosen.
class MenuStyle final : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* answer) const override {
    if (hint == SH_Menu_AllowActiveAndDisabled) return 1;
    return QProxyStyle::styleHint(hint, option, widget, answer);
  }
};

}  // namespace

// --- the pie pane

CPiePane::CPiePane(QWidget* parent) : QWidget(parent) {
  setObjectName("piePane");
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

QSize CPiePane::sizeHint() const { return {16, 16}; }

void CPiePane::Redraw(int count, int current) {
  m_picture = QImage(size(), QImage::Format_RGB32);
  m_picture.fill(palette().color(QPalette::Window));
  {
    QPainter painter(&m_picture);
    QtSurface surface(painter);
    DrawPositionPie(surface, Rect{0, 0, width(), height()}, count, current);
  }
  update();
}

void CPiePane::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!m_picture.isNull()) painter.drawImage(0, 0, m_picture);
}

// --- the frame

CMainFrame::CMainFrame(CommandTable& commands, CTickvaneDoc& doc, RecentFileList& recent)
    : m_commands(commands), m_doc(doc), m_recent(recent) {
  setObjectName("mainFrame");
  setWindowTitle("Tickvane");
  setWindowIcon(ApplicationIcon());
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  m_view = new CTickvaneView(doc, commands, *this);
  setCentralWidget(m_view);
  // Every command is reachable by its key wherever the focus is inside the window, also one
  // that no menu shows.
  for (const CommandEntry& entry : kCommandEntries)
    if (QAction* a = m_commands.Action(entry.id); a && entry.key != nullptr) addAction(a);
  for (QMenu* menu : menuBar()->findChildren<QMenu*>()) addActions(menu->actions());
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::CreateMenus() {
  auto add = [this](QMenu* menu, int id) {
    if (QAction* a = m_commands.Action(id)) menu->addAction(a);
  };
  m_fileMenu = menuBar()->addMenu("&File");
  m_fileMenu->setObjectName("menuFile");
  add(m_fileMenu, cmd::kFileOpen);
  add(m_fileMenu, cmd::kFileClose);
  m_fileMenu->addSeparator();
  add(m_fileMenu, cmd::kFilePrint);
  add(m_fileMenu, cmd::kFilePrintPreview);
  add(m_fileMenu, cmd::kFilePrintSetup);
  m_fileMenu->addSeparator();
  for (int i = 0; i < cmd::kFileMruCount; ++i) add(m_fileMenu, cmd::kFileMru1 + i);
  m_fileMenu->addSeparator();
  add(m_fileMenu, cmd::kAppExit);
  connect(m_fileMenu, &QMenu::aboutToShow, this, [this] { UpdateRecentFileMenu(); });

  QMenu* view = menuBar()->addMenu("&View");
  view->setObjectName("menuView");
  add(view, cmd::kViewOptions);
  add(view, cmd::kSlideShow);
  view->addSeparator();
  add(view, cmd::kViewToolbar);
  add(view, cmd::kViewStatusBar);

  QMenu* select = menuBar()->addMenu("&Select");
  select->setObjectName("menuSelect");
  add(select, cmd::kNext);
  add(select, cmd::kPrevious);
  add(select, cmd::kGoTo);

  // Extended mode's own menu.
  QMenu* chart = nullptr;
  if (m_doc.GetBars().IsExtended()) {
    chart = CreateChartMenu(this, m_doc);
    chart->addSeparator();
    add(chart, cmd::kFitHistory);
    menuBar()->addMenu(chart);
  }

  QMenu* help = menuBar()->addMenu("&Help");
  help->setObjectName("menuHelp");
  add(help, cmd::kHelpIndex);
  help->addSeparator();
  add(help, cmd::kAppAbout);
  UpdateRecentFileMenu();

  auto* style = new MenuStyle;
  style->setParent(this);
  for (QMenu* menu : {m_fileMenu, view, select, chart, help})
    if (menu) menu->setStyle(style);
}

void CMainFrame::CreateToolBar() {
  m_wndToolBar = addToolBar("Standard");
  m_wndToolBar->setObjectName("toolBar");
  m_wndToolBar->setIconSize(QSize(16, 15));
  m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
  const std::pair<int, ToolbarImage> buttons[] = {
      {cmd::kFileOpen, ToolbarImage::Open},
      {0, ToolbarImage::Open},
      {cmd::kPrevious, ToolbarImage::Previous},
      {cmd::kNext, ToolbarImage::Next},
      {0, ToolbarImage::Open},
      {cmd::kFilePrintPreview, ToolbarImage::PrintPreview},
      {cmd::kAppAbout, ToolbarImage::About}};
  for (const auto& [id, image] : buttons) {
    if (id == 0) {
      m_wndToolBar->addSeparator();
      continue;
    }
    QAction* action = m_commands.Action(id);
    if (action == nullptr) continue;
    action->setIcon(QIcon(DrawToolbarImage(image)));
    m_wndToolBar->addAction(action);
  }
}

void CMainFrame::CreateStatusBar() {
  m_wndStatusBar = statusBar();
  m_wndStatusBar->setObjectName("statusBar");
  // The idle text is an ordinary pane: a command prompt shown while a menu item or a button
  // is hovered covers it and uncovers it again when the pointer moves on.
  m_messagePane = new QLabel(kIdleText);
  m_messagePane->setObjectName("messagePane");
  m_wndStatusBar->addWidget(m_messagePane, 1);

  m_counterPane = new QLabel;
  m_counterPane->setObjectName("counterPane");
  m_counterPane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  m_counterPane->setAlignment(Qt::AlignCenter);
  const int textWidth = m_counterPane->fontMetrics().horizontalAdvance(kCounterSizingText);
  m_counterPane->setMinimumWidth(textWidth + 2 * m_counterPane->frameWidth() + 8);
  m_wndStatusBar->addPermanentWidget(m_counterPane);

  m_piePane = new CPiePane;
  m_wndStatusBar->addPermanentWidget(m_piePane);
}

void CMainFrame::CenterRectOnScreen(QRect& rect) { CenterDialogRect(rect); }

void CMainFrame::CenterOnScreen(QWidget& window) { CenterWindow(window); }

void CMainFrame::PlaceOnScreen() {
  const QSize screen = ScreenSize();
  const Rect r = MainWindowRect(screen.width(), screen.height());
  // The rectangle is the whole window, frame included; without a window manager there is no
  // frame and the window gets exactly this size.
  const QSize decoration = frameGeometry().size() - geometry().size();
  resize(r.width() - decoration.width(), r.height() - decoration.height());
  move(r.left, r.top);
}

Size CMainFrame::ClientSize() const {
  const QWidget* menu = menuWidget();
  const int menuHeight = menu && menu->isVisible() ? menu->height() : 0;
  return {width(), height() - menuHeight};
}

void CMainFrame::OnUpdateCounterPane() {
  const CBars& bars = m_doc.GetBars();
  const QString text = QString::fromStdString(CounterText(bars.m_count, bars.m_current));
  if (m_counterPane->text() != text) m_counterPane->setText(text);
}

void CMainFrame::OnUpdateMessagePane(const std::string& followNotice) {
  const std::string& problem = m_doc.GetBars().LoadProblem();
  const std::string& said = problem.empty() ? followNotice : problem;
  const QString text = said.empty() ? QString(kIdleText) : QString::fromStdString(said);
  if (m_messagePane->text() != text) m_messagePane->setText(text);
}

void CMainFrame::OnUpdatePiePane() {
  // Kept about square; the width follows the status bar's height.
  if (!m_wndStatusBar->isHidden()) {
    const int width = std::max(1, m_piePane->height() - 1);
    if (m_piePane->width() != width) m_piePane->setFixedWidth(width);
  }
  if (m_bPieDirty == 0) return;
  const CBars& bars = m_doc.GetBars();
  m_piePane->Redraw(bars.m_count, bars.m_current);
  m_bPieDirty = 0;
}

void CMainFrame::UpdateRecentFileMenu() {
  const auto& entries = m_recent.entries();
  for (int i = 0; i < cmd::kFileMruCount; ++i) {
    QAction* action = m_commands.Action(cmd::kFileMru1 + i);
    if (action == nullptr) continue;
    if (i < static_cast<int>(entries.size())) {
      QString path = QString::fromStdString(entries[static_cast<size_t>(i)]);
      path = m_fileMenu->fontMetrics().elidedText(path, Qt::ElideMiddle, 400);
      path.replace('&', "&&");
      action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
      action->setVisible(true);
    } else {
      // With no recent file the first entry stands as the greyed placeholder.
      action->setText("Recent File");
      action->setVisible(i == 0);
    }
  }
}

}  // namespace tv
