#include "View.h"

#include <QAction>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QShortcut>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>

#include "Doc.h"
#include "MainFrm.h"
#include "command_ids.h"
#include "commands.h"
#include "qt_surface.h"

namespace tv {

CTickvaneView::CTickvaneView(CTickvaneDoc& doc, CommandTable& commands, CMainFrame& frame)
    : QWidget(&frame), m_doc(doc), m_commands(commands), m_frame(frame) {
  setObjectName("chartView");
  // The chart fills every pixel it is given, so there is nothing to erase first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  m_doc.AddView([this] { OnUpdate(); });
  m_showMenu = [](QMenu& menu, const QPoint& globalPos) {
    // Centred horizontally on the click, like the classic pop-up menus.
    const QPoint at(globalPos.x() - menu.sizeHint().width() / 2, globalPos.y());
    menu.exec(at);
  };

  // Keys the chart's own: they work wherever the focus is in the main window.
  const auto key = [this](const QKeySequence& sequence, auto handler) {
    auto* shortcut = new QShortcut(sequence, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, handler);
  };
  key(QKeySequence(Qt::Key_PageUp), [this] { PageBack(); });
  key(QKeySequence(Qt::Key_PageDown), [this] { PageForward(); });
  key(QKeySequence(Qt::Key_Home), [this] { ShowOldest(); });
  key(QKeySequence(Qt::Key_End), [this] { ShowNewest(); });
  for (const char* in : {"Ctrl++", "Ctrl+="}) key(QKeySequence(in), [this] { Zoom(+1); });
  key(QKeySequence("Ctrl+-"), [this] { Zoom(-1); });

  // A tool-tip window of its own rather than QToolTip: it moves with the pointer instead of
  // staying where it first came up, and it never covers the pointer's bar.
  m_barTip = new QLabel(this, Qt::ToolTip | Qt::FramelessWindowHint);
  m_barTip->setObjectName("barTip");
  m_barTip->setAttribute(Qt::WA_ShowWithoutActivating);
  m_barTip->setAttribute(Qt::WA_TransparentForMouseEvents);
  m_barTip->setPalette(QToolTip::palette());
  m_barTip->setFont(QToolTip::font());
  m_barTip->setFrameStyle(QFrame::Box | QFrame::Plain);
  m_barTip->setMargin(3);
  m_barTip->setTextFormat(Qt::RichText);
  m_barTip->hide();
  setMouseTracking(true);
}

CTickvaneView::~CTickvaneView() = default;

void CTickvaneView::OnUpdate() { ChartChanged(); }

void CTickvaneView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QtSurface surface(painter);
  m_doc.GetBars().Draw(surface, Rect{0, 0, width(), height()}, false);
  m_frame.m_bPieDirty = 1;
}

void CTickvaneView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  update();  // the layout depends on the size: the whole chart is drawn again
}

// --- browsing the history

int CTickvaneView::ScreenBars() const {
  return m_doc.GetBars().ScreenBars(m_frame.ClientSize().cx);
}

void CTickvaneView::ChartChanged() {
  update();
  if (m_barTip->isVisible()) ShowBarTip(mapFromGlobal(QCursor::pos()));
}

bool CTickvaneView::ScrollBars(int delta) {
  if (m_doc.GetBars().ScrollWindow(delta, ScreenBars()) == 0) return false;
  ChartChanged();
  return true;
}

bool CTickvaneView::ShowOldest() {
  if (m_doc.GetBars().ShowOldestBars(ScreenBars()) == 0) return false;
  ChartChanged();
  return true;
}

bool CTickvaneView::ShowNewest() {
  if (m_doc.GetBars().ShowNewestBars() == 0) return false;
  ChartChanged();
  return true;
}

bool CTickvaneView::Zoom(int steps) {
  if (!m_doc.ZoomBarSpace(steps)) return false;
  ChartChanged();
  return true;
}

void CTickvaneView::wheelEvent(QWheelEvent* event) {
  constexpr int kNotch = 120;
  const QPoint angle = event->angleDelta();
  const int turn = angle.y() != 0 ? angle.y() : angle.x();
  int& sum = event->modifiers() & Qt::ControlModifier ? m_zoomTurn : m_scrollTurn;
  sum += turn;
  const int notches = sum / kNotch;
  sum -= notches * kNotch;
  if (notches != 0) {
    if (&sum == &m_zoomTurn) {
      Zoom(notches);
    } else {
      // Turning the wheel away goes back in time, as it goes up a page of text.
      ScrollBars(-notches * std::max(1, ScreenBars() / 10));
    }
  }
  event->accept();
}

void CTickvaneView::ShowBarTip(const QPoint& localPos) {
  const CBars& bars = m_doc.GetBars();
  const int bar = rect().contains(localPos)
                      ? bars.BarAt({localPos.x(), localPos.y()}, Rect{0, 0, width(), height()})
                      : -1;
  if (bar < 0) {
    HideBarTip();
    return;
  }
  QString text = "<table cellspacing=0 cellpadding=1>";
  for (const auto& [label, value] : bars.BarValues(bar)) {
    text += QStringLiteral("<tr><td>%1</td><td align=right>&nbsp;&nbsp;%2</td></tr>")
                .arg(QString::fromStdString(label).toHtmlEscaped(),
                     QString::fromStdString(value).toHtmlEscaped());
  }
  text += "</table>";
  if (m_barTip->text() != text) {
    m_barTip->setText(text);
    m_barTip->adjustSize();
  }
  // Below and right of the pointer, or on its other side where the screen ends.
  const QPoint pointer = mapToGlobal(localPos);
  constexpr int kOffset = 16;
  QPoint at = pointer + QPoint(kOffset, kOffset);
  if (const QScreen* s = screen()) {
    const QRect area = s->availableGeometry();
    if (at.x() + m_barTip->width() > area.right())
      at.setX(pointer.x() - kOffset - m_barTip->width());
    if (at.y() + m_barTip->height() > area.bottom())
      at.setY(pointer.y() - kOffset - m_barTip->height());
  }
  m_barTip->move(at);
  m_barTip->show();
}

void CTickvaneView::HideBarTip() { m_barTip->hide(); }

void CTickvaneView::mouseMoveEvent(QMouseEvent* event) {
  ShowBarTip(event->position().toPoint());
  QWidget::mouseMoveEvent(event);
}

void CTickvaneView::leaveEvent(QEvent* event) {
  HideBarTip();
  QWidget::leaveEvent(event);
}

void CTickvaneView::hideEvent(QHideEvent* event) {
  HideBarTip();
  QWidget::hideEvent(event);
}

void CTickvaneView::OnNext() {
  m_doc.GetBars().Step(+1);
  ChartChanged();
}

void CTickvaneView::OnPrevious() {
  m_doc.GetBars().Step(-1);
  ChartChanged();
}

void CTickvaneView::OnSlideShow() {
  if (!m_slideShowStarter) return;
  if (m_slideShowStarter(*this)) m_slideShowRunning = 1;
}

std::unique_ptr<QMenu> CTickvaneView::BuildContextMenu() {
  if (m_slideShowRunning != 0) return nullptr;
  auto menu = std::make_unique<QMenu>(this);
  menu->setObjectName("contextMenu");
  const std::pair<int, const char*> items[] = {{cmd::kNext, "Next"}, {cmd::kPrevious, "Previous"}};
  for (const auto& [id, text] : items) {
    QAction* action = menu->addAction(text);
    action->setProperty(CommandTable::kIdProperty, id);
    action->setEnabled(m_commands.IsEnabled(id));
    connect(action, &QAction::triggered, this, [this, id = id] { m_commands.Execute(id); });
  }
  return menu;
}

void CTickvaneView::ShowContextMenu(const QPoint& localPos) {
  std::unique_ptr<QMenu> menu = BuildContextMenu();
  if (menu) m_showMenu(*menu, mapToGlobal(localPos));
}

void CTickvaneView::mousePressEvent(QMouseEvent* event) {
  HideBarTip();
  if (event->button() == Qt::RightButton) ShowContextMenu(event->position().toPoint());
  QWidget::mousePressEvent(event);
}

// --- printing

bool CTickvaneView::OnPreparePrinting(QPrinter& printer, bool withDialog) {
  // The chart is exactly one page.
  printer.setFromTo(0, 0);
  if (!withDialog) return true;
  QPrintDialog dialog(&printer, this);
  dialog.setMinMax(1, 1);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  return dialog.exec() == QDialog::Accepted;
}

void CTickvaneView::OnPrint(QPainter& painter, QPrinter&) {
  // The painter's origin is the top left of the printable area; the chart fills it.
  const QPaintDevice* device = painter.device();
  QtSurface surface(painter);
  m_doc.GetBars().Draw(surface, Rect{0, 0, device->width(), device->height()}, true);
}

bool CTickvaneView::PrintOnePage(QPrinter& printer) {
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  OnPrint(painter, printer);
  painter.end();
  return true;
}

void CTickvaneView::OnFilePrint() {
  if (m_printer == nullptr || !OnPreparePrinting(*m_printer, true)) return;
  if (!PrintOnePage(*m_printer))
    m_doc.GetMessageService().ShowMessage(
        "The chart could not be printed: the printer did not start.", MessageIcon::Stop);
}

void CTickvaneView::OnFilePrintDirect() {
  if (m_printer == nullptr || !OnPreparePrinting(*m_printer, false)) return;
  if (!PrintOnePage(*m_printer))
    m_doc.GetMessageService().ShowMessage(
        "The chart could not be printed: the printer did not start.", MessageIcon::Stop);
}

void CTickvaneView::OnFilePrintPreview() {
  if (m_printer == nullptr || !OnPreparePrinting(*m_printer, false)) return;
  QPrintPreviewDialog preview(m_printer, &m_frame);
  preview.setWindowTitle("Tickvane - Print Preview");
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) {
    QPainter painter(printer);
    OnPrint(painter, *printer);
  });
  preview.resize(m_frame.size() * 9 / 10);
  CMainFrame::CenterOnScreen(preview);
  preview.exec();
}

}  // namespace tv
