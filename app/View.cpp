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
#include <QStatusBar>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

#include "Doc.h"
#include "MainFrm.h"
#include "chart_paint.h"
#include "command_ids.h"
#include "commands.h"
#include "qt_surface.h"
#include "scale.h"

namespace tv {

CTickvaneView::CTickvaneView(CTickvaneDoc& doc, CommandTable& commands, CMainFrame& frame)
    : QWidget(&frame),
      m_doc(doc),
      m_commands(commands),
      m_frame(frame),
      m_picture(std::make_unique<ChartPicture>()) {
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
  key(QKeySequence(Qt::Key_Home), [this] {
    if (!m_doc.GetBars().IsExtended()) return void(ShowOldest());
    Navigate([](plot::Navigation& nav, int n, int width, int shown) {
      plot::ShowOldest(nav, n, width, shown);
    });
  });
  key(QKeySequence(Qt::Key_End), [this] {
    if (!m_doc.GetBars().IsExtended()) return void(ShowNewest());
    Navigate([](plot::Navigation& nav, int n, int width, int shown) {
      plot::ShowNewest(nav, n, width, shown);
    });
  });
  for (const char* in : {"Ctrl++", "Ctrl+="}) key(QKeySequence(in), [this] { Zoom(+1); });
  key(QKeySequence("Ctrl+-"), [this] { Zoom(-1); });
  // The extended chart's keyboard cursor: bar by bar, Escape leaves it.
  key(QKeySequence("Shift+Left"), [this] { MoveKeyCursor(-1); });
  key(QKeySequence("Shift+Right"), [this] { MoveKeyCursor(+1); });
  m_leaveCursor = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  m_leaveCursor->setContext(Qt::WindowShortcut);
  m_leaveCursor->setEnabled(false);
  connect(m_leaveCursor, &QShortcut::activated, this, [this] { LeaveKeyCursor(); });

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

int CTickvaneView::ChartDraws() const { return m_picture->Draws(); }

void CTickvaneView::OnUpdate() { ChartChanged(); }

void CTickvaneView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  m_plotFrame = m_picture->Paint(*this, painter, m_doc, Cursor());
  m_frame.m_bPieDirty = 1;
}

// --- the extended chart's crosshair

bool CTickvaneView::CrosshairOn() {
  return m_doc.GetBars().IsExtended() && m_doc.GetChartSettings().crosshair;
}

plot::PlotCursor CTickvaneView::Cursor() {
  if (m_cursorBar < 0 || !CrosshairOn()) return {};
  if (m_keyCursor)
    return {m_cursorBar, m_plotFrame.CloseY(ChartSeries(m_doc.GetBars(), m_doc.GetChartSettings()),
                                            m_cursorBar)};
  return {m_cursorBar, m_cursorY};
}

void CTickvaneView::FollowPointer(const QPoint& localPos) {
  if (!CrosshairOn()) return;
  const qreal ratio = devicePixelRatioF();
  const int x = static_cast<int>(localPos.x() * ratio);
  const int y = static_cast<int>(localPos.y() * ratio);
  const Rect& plot = m_plotFrame.plot;
  const bool inside = x >= plot.left && x < plot.right && y >= plot.top && y < plot.bottom;
  const int bar = inside ? m_plotFrame.BarAtX(x) : -1;
  m_keyCursor = false;
  m_leaveCursor->setEnabled(false);
  if (bar == m_cursorBar && (bar < 0 || y == m_cursorY)) return;
  m_cursorBar = bar;
  m_cursorY = y;
  update();
}

void CTickvaneView::MoveKeyCursor(int step) {
  if (!CrosshairOn() || m_plotFrame.count <= 0) return;
  const int first = m_plotFrame.first;
  const int last = first + m_plotFrame.count - 1;
  const int from = m_keyCursor && m_cursorBar >= first && m_cursorBar <= last ? m_cursorBar
                   : step < 0                                                 ? last + 1
                                                                              : first - 1;
  const int n = ChartSeries(m_doc.GetBars(), m_doc.GetChartSettings()).Count();
  // At an edge the chart scrolls along with the cursor, as far as the series goes.
  m_cursorBar = std::clamp(from + step, 0, std::max(0, n - 1));
  if (m_cursorBar < first || m_cursorBar > last) {
    const int bar = m_cursorBar;
    Navigate([bar](plot::Navigation& nav, int count, int width, int shown) {
      plot::Follow(nav, count, width, shown, bar);
    });
  }
  m_keyCursor = true;
  m_leaveCursor->setEnabled(true);
  HideBarTip();
  update();
}

void CTickvaneView::LeaveKeyCursor() {
  m_keyCursor = false;
  m_cursorBar = -1;
  m_leaveCursor->setEnabled(false);
  update();
}

int CTickvaneView::BarUnder(const QPoint& localPos) const {
  const CBars& bars = m_doc.GetBars();
  if (!rect().contains(localPos)) return -1;
  if (!bars.IsExtended())
    return bars.BarAt({localPos.x(), localPos.y()}, Rect{0, 0, width(), height()});
  const qreal ratio = devicePixelRatioF();
  const int x = static_cast<int>(localPos.x() * ratio);
  const int y = static_cast<int>(localPos.y() * ratio);
  if (y < m_plotFrame.plot.top || y >= m_plotFrame.plot.bottom) return -1;
  return m_plotFrame.BarAtX(x);
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
  m_picture->Invalidate();
  update();
  if (m_barTip->isVisible()) ShowBarTip(mapFromGlobal(QCursor::pos()));
}

bool CTickvaneView::ScrollBars(int delta) {
  if (m_doc.GetBars().ScrollWindow(delta, ScreenBars()) == 0) return false;
  ChartChanged();
  return true;
}

bool CTickvaneView::Page(int direction) {
  if (!m_doc.GetBars().IsExtended()) return ScrollBars(direction * ScreenBars());
  const plot::Stretch before{m_plotFrame.first, m_plotFrame.count};
  // Dragging right by the plot's width brings in the page before.
  Navigate([direction](plot::Navigation& nav, int n, int width, int shown) {
    plot::Pan(nav, n, width, shown, -direction * width);
  });
  const ChartSettings& s = m_doc.GetChartSettings();
  const int n = ChartSeries(m_doc.GetBars(), s).Count();
  const plot::Stretch after = plot::Shown(s.navigation, n, 0, std::max(1, before.count));
  return after.first != before.first || after.count != before.count;
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

void CTickvaneView::Navigate(
    const std::function<void(plot::Navigation&, int n, int width, int shown)>& change) {
  if (!m_doc.GetBars().IsExtended()) return;
  ChartSettings s = m_doc.GetChartSettings();
  const int n = ChartSeries(m_doc.GetBars(), s).Count();
  const int shown = std::max(1, m_plotFrame.count);
  // The first move fixes the stretch the bar spacing gave as the zoom.
  if (s.navigation.bars <= 0 && !s.navigation.fit) s.navigation.bars = shown;
  change(s.navigation, n, std::max(1, m_plotFrame.plot.width()), shown);
  if (s == m_doc.GetChartSettings()) return;
  m_doc.SetChartSettings(s);
}

void CTickvaneView::FitHistory() {
  Navigate([](plot::Navigation& nav, int, int, int) { plot::Fit(nav); });
}

void CTickvaneView::wheelEvent(QWheelEvent* event) {
  constexpr int kNotch = 120;
  const QPoint angle = event->angleDelta();
  if (m_doc.GetBars().IsExtended() && !(event->modifiers() & Qt::ControlModifier)) {
    // The wheel zooms about the pointer; Shift+wheel and a sideways wheel (or touch pad) pan.
    const bool pan = angle.x() != 0 || (event->modifiers() & Qt::ShiftModifier);
    const int turn = angle.x() != 0 ? angle.x() : angle.y();
    int& sum = pan ? m_scrollTurn : m_zoomTurn;
    sum += turn;
    const int notches = sum / kNotch;
    sum -= notches * kNotch;
    const int x =
        static_cast<int>(event->position().x() * devicePixelRatioF()) - m_plotFrame.plot.left;
    if (notches != 0) {
      Navigate([pan, notches, x](plot::Navigation& nav, int n, int width, int shown) {
        if (pan)
          plot::Pan(nav, n, width, shown, notches * width / 10);
        else
          plot::ZoomAt(nav, n, width, shown, x, notches);
      });
    }
    event->accept();
    return;
  }
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
  // The crosshair's data window shows the values where it is on.
  const int bar = m_doc.GetBars().IsExtended() && CrosshairOn() ? -1 : BarUnder(localPos);
  if (bar < 0) {
    HideBarTip();
    return;
  }
  QString text = "<table cellspacing=0 cellpadding=1>";
  // The extended chart's bars are its history's (and a week's or a month's bar the chart's),
  // not the window's.
  auto values = bars.IsExtended()
                    ? PeriodBarValues(ChartSeries(bars, m_doc.GetChartSettings()), bar)
                    : bars.BarValues(bar);
  for (auto& [label, value] : values) {
    // The extended chart's tip reads its numbers as the chart does.
    if (bars.IsExtended() && label != "Date" && value != "\xE2\x80\x94") {
      const double v = std::strtod(value.c_str(), nullptr);
      value = label == "Volume" || label == "Open interest"
                  ? plot::FormatVolume(v)
                  : plot::FormatPrice(v, m_plotFrame.decimals);
    }
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

void CTickvaneView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) m_dragX = -1;
  QWidget::mouseReleaseEvent(event);
}

void CTickvaneView::mouseMoveEvent(QMouseEvent* event) {
  if (m_dragX >= 0 && (event->buttons() & Qt::LeftButton)) {
    // Dragging right shows older bars; the stretch moves by whole bars.
    const int x = static_cast<int>(event->position().x() * devicePixelRatioF());
    const int dx = x - m_dragX;
    const double pitch = m_plotFrame.pitch > 0 ? m_plotFrame.pitch : m_plotFrame.spacing;
    if (pitch > 0 && std::abs(dx) >= pitch) {
      const int bars = static_cast<int>(dx / pitch);
      m_dragX += static_cast<int>(std::lround(bars * pitch));
      const int moved = static_cast<int>(std::lround(bars * pitch));
      Navigate([moved](plot::Navigation& nav, int n, int width, int shown) {
        plot::Pan(nav, n, width, shown, moved);
      });
    }
  }
  FollowPointer(event->position().toPoint());
  ShowBarTip(event->position().toPoint());
  QWidget::mouseMoveEvent(event);
}

void CTickvaneView::leaveEvent(QEvent* event) {
  HideBarTip();
  if (!m_keyCursor && m_cursorBar >= 0) {
    m_cursorBar = -1;
    update();
  }
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
  if (event->button() == Qt::LeftButton && m_doc.GetBars().IsExtended())
    m_dragX = static_cast<int>(event->position().x() * devicePixelRatioF());
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
  CBars& bars = m_doc.GetBars();
  const Rect page{0, 0, device->width(), device->height()};
  if (!bars.IsExtended()) {
    bars.Draw(surface, page, true);
    return;
  }
  // Text and lines keep the size they have on a 96-dpi screen.
  // The bars on screen, laid out for the page.
  DrawChart(bars, surface, page, true, m_doc.GetChartSettings(), device->logicalDpiX() / 96.0, {},
            &m_plotFrame);
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
  // The menu item's prompt, shown when the preview was chosen, would outlive the preview: the
  // status bar's own text comes back.
  if (m_doc.GetBars().IsExtended()) m_frame.statusBar()->clearMessage();
}

}  // namespace tv
