#include "Sshowdlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "Doc.h"
#include "MainFrm.h"
#include "Voptdlg.h"
#include "bars.h"
#include "chart_paint.h"
#include "messages.h"
#include "qt_surface.h"

namespace tv {

// --- the dialog

CSlideShowDlg::CSlideShowDlg(MessageService& messages, QWidget* parent)
    : DialogFrame("Slide Show", 171, 118, parent), m_messages(messages) {
  const DialogUnits& du = units();

  // Created in the dialog's tab order: the field comes first and takes the focus.
  AddGroupBox("Time Control", 12, 8, 148, 32);

  m_secondsEdit = new QLineEdit(this);
  m_secondsEdit->setObjectName(QString("edit%1").arg(kIdSeconds));
  PlaceInUnits(*m_secondsEdit, du, 24, 20, 12, 12);

  auto* secondsLabel = new QLabel("Time (in seconds) between charts", this);
  secondsLabel->setObjectName("static119");
  PlaceInUnits(*secondsLabel, du, 40, 20, 115, 12);
  secondsLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  AddGroupBox("Keyboard Control", 12, 48, 148, 36);

  auto* escapeLabel = new QLabel("Hit escape to exit slide show", this);
  escapeLabel->setObjectName("static120");
  PlaceInUnits(*escapeLabel, du, 24, 60, 105, 10);

  auto* spaceLabel = new QLabel("Hit spacebar to pause/resume", this);
  spaceLabel->setObjectName("static121");
  PlaceInUnits(*spaceLabel, du, 24, 72, 112, 10);

  QPushButton* ok = AddOkButton(50, 95, 50, 14);
  QPushButton* cancel = AddCancelButton(111, 95, 50, 14);
  setTabOrder(m_secondsEdit, ok);
  setTabOrder(ok, cancel);
}

CSlideShowDlg::~CSlideShowDlg() = default;

void CSlideShowDlg::OnInitDialog() {
  DialogFrame::OnInitDialog();
  UpdateData(false);
  CenterOnScreen();
  m_secondsEdit->setFocus(Qt::OtherFocusReason);
  m_secondsEdit->selectAll();
}

bool CSlideShowDlg::UpdateData(bool save) {
  if (!save) {
    m_secondsEdit->setText(QString::number(m_nSeconds));
    return true;
  }
  const QByteArray text = m_secondsEdit->text().toLatin1();
  int value = 0;
  bool tooLarge = false;
  const bool parsed = ParseDialogInt(
      std::string_view(text.constData(), static_cast<std::size_t>(text.size())), value, tooLarge);
  if (!parsed || tooLarge || value < kMinSeconds || value > kMaxSeconds) {
    m_messages.ShowMessage(
        parsed ? OutOfRangeMessage(kMinSeconds, kMaxSeconds) : std::string(kNotAnIntegerMessage),
        MessageIcon::None);
    m_secondsEdit->setFocus(Qt::OtherFocusReason);
    m_secondsEdit->selectAll();
    return false;
  }
  m_nSeconds = value;
  return true;
}

void CSlideShowDlg::accept() {
  if (UpdateData(true)) DialogFrame::accept();
}

// --- the show window

CSlideShowWnd::CSlideShowWnd(CMainFrame& owner, std::function<void()> beep)
    : QWidget(&owner, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_owner(owner),
      m_beep(beep ? std::move(beep) : std::function<void()>([] { QApplication::beep(); })) {
  setObjectName("slideShow");
  setWindowTitle(QString());
  setAttribute(Qt::WA_DeleteOnClose);
  // The chart fills every pixel; there is no background to erase.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
}

CSlideShowWnd::~CSlideShowWnd() = default;

CTickvaneView* CSlideShowWnd::View() const { return m_owner.GetActiveView(); }

bool CSlideShowWnd::CreateShowWindow() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return false;
  const QSize size = screen->geometry().size();
  setGeometry(0, 0, size.width(), size.height());
  show();
  raise();
  // The show takes the keyboard: Escape and space are its controls.
  activateWindow();
  setFocus(Qt::ActiveWindowFocusReason);
  return isVisible() && windowHandle() != nullptr;
}

bool CSlideShowWnd::Start(int seconds) {
  if (!CreateShowWindow()) {
    // No window, no show: the object goes, and the view is never marked as running one.
    m_ended = true;
    if (CTickvaneView* view = View()) view->SetSlideShowRunning(false);
    close();
    return false;
  }
  if (CTickvaneView* view = View()) view->SetSlideShowRunning(true);

  // Whatever was current before, the show begins with the first security of the list.
  CBars& bars = m_owner.GetActiveDocument()->GetBars();
  bars.m_current = bars.FirstSecurityIndex();
  if (bars.m_count >= 1) bars.LoadCurrentSecurity();

  m_timer = new QTimer(this);
  m_timer->setObjectName(QString("timer%1").arg(kTimerId));
  m_timer->setInterval(std::max(1, seconds) * 1000);
  connect(m_timer, &QTimer::timeout, this, [this] { OnTimer(kTimerId); });
  m_timer->start();
  return true;
}

void CSlideShowWnd::OnTimer(int) {
  if (m_bPaused != 0 || m_inTick || m_ended) return;
  QPointer<CSlideShowWnd> self(this);
  m_inTick = true;
  const int clamped = m_owner.GetActiveDocument()->GetBars().Step(+1);
  if (self.isNull()) return;
  m_inTick = false;
  if (clamped == 1) {
    // The last security was already showing: the show is over.
    m_beep();
    End();
    return;
  }
  update();
}

void CSlideShowWnd::OnKeyDown(int key) {
  if (key == Qt::Key_Escape) {
    End();
  } else if (key == Qt::Key_Space) {
    m_bPaused = m_bPaused != 0 ? 0 : 1;
  }
}

void CSlideShowWnd::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Escape || key == Qt::Key_Space) {
    OnKeyDown(key);
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void CSlideShowWnd::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintChart(*this, painter, *m_owner.GetActiveDocument());
  m_owner.m_bPieDirty = 1;
}

void CSlideShowWnd::End() {
  Finish();
  close();
}

void CSlideShowWnd::closeEvent(QCloseEvent* event) {
  // However the window goes (Escape, the end of the list, or the window system closing it),
  // the show is over for the view too.
  Finish();
  QWidget::closeEvent(event);
}

void CSlideShowWnd::Finish() {
  if (m_ended) return;
  m_ended = true;
  if (m_timer != nullptr) {
    m_timer->stop();
    m_timer = nullptr;  // goes with the window
  }
  if (CTickvaneView* view = View()) {
    view->SetSlideShowRunning(false);
    // The main window may only show what it had drawn before the show; the chart shown last
    // is current now.
    view->update();
  }
}

// --- the command

bool StartSlideShow(CTickvaneView& view) {
  CMainFrame& frame = view.GetMainFrame();
  CSlideShowDlg dialog(view.GetDocument().GetMessageService(), &frame);
  if (!dialog.DoModal()) return false;
  // The window owns itself: it is deleted when it closes.
  auto* show = new CSlideShowWnd(frame);
  return show->Start(dialog.m_nSeconds);
}

}  // namespace tv
