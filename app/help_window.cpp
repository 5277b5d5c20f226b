#include "help_window.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

namespace tv {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("helpWindow");
  setWindowTitle("Tickvane Help");

  auto* bar = new QToolBar(this);
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  m_back = bar->addAction("&Back");
  m_back->setShortcut(QKeySequence::Back);
  m_back->setToolTip("Back (Alt+Left)");
  m_forward = bar->addAction("&Forward");
  m_forward->setShortcut(QKeySequence::Forward);
  m_forward->setToolTip("Forward (Alt+Right)");
  m_contents = bar->addAction("&Contents");
  m_contents->setToolTip("The beginning of the guide");
  m_back->setEnabled(false);
  m_forward->setEnabled(false);

  m_browser = new QTextBrowser(this);
  m_browser->setObjectName("helpBrowser");
  // Pages of the guide open here; a link that leaves it goes to the desktop's own program.
  m_browser->setOpenExternalLinks(true);
  connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QAction::setEnabled);
  connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QAction::setEnabled);
  connect(m_back, &QAction::triggered, m_browser, &QTextBrowser::backward);
  connect(m_forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
  connect(m_contents, &QAction::triggered, this, [this] { ShowPage(m_start); });
  // Esc puts the guide away, as it does a dialog; the next Help brings it back as it was.
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
          &QWidget::close);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(bar);
  layout->addWidget(m_browser);

  // A page's width of text, as tall as the screen allows.
  QSize size(760, 840);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
  resize(size);
}

void HelpWindow::ShowPage(const QUrl& page) {
  if (!m_start.isValid()) m_start = page;
  // Asked for the page it shows, the window keeps the reader's place in it.
  if (m_browser->source() != page) m_browser->setSource(page);
  show();
  raise();
  activateWindow();
}

}  // namespace tv
