#include "View.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

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
}

CTickvaneView::~CTickvaneView() = default;

void CTickvaneView::OnUpdate() { update(); }

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

void CTickvaneView::OnNext() {
  m_doc.GetBars().Step(+1);
  update();
}

void CTickvaneView::OnPrevious() {
  m_doc.GetBars().Step(-1);
  update();
}

void CTickvaneView::OnSlideShow() {
  if (m_slideShowStarter == nullptr) return;
  if (m_slideShowStarter->StartSlideShow(*this)) m_slideShowRunning = 1;
}

std::unique_ptr<QMenu> CTickvaneView::BuildContextMenu() {
  if (m_slideShowRunning != 0) return nullptr;
  auto menu = std::make_unique<QMenu>(this);
  menu->setObjectName("contextMenu");
  const std::pair<int, const char*> items[] = {{cmd::kNext, "Next"}, {cmd::kPrevious, "Previous"}};
  for (const auto& [id, text] : items) {
    QAction* action = menu->addAction(text);
    action->setProperty("commandId", id);
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
