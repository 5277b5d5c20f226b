#include "Voptdlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <charconv>

#include "Odbutton.h"
#include "Odlist.h"
#include "bars.h"
#include "messages.h"

namespace tv {

namespace {

constexpr const char* kColorsText = "Colors >>";
constexpr const char* kShrinkText = "Shrink <<";
constexpr const char* kNoItemMessage = "You have not selected a colorable item";

}  // namespace

std::string OutOfRangeMessage(int low, int high) {
  return "Please enter an integer between " + std::to_string(low) + " and " + std::to_string(high) +
         ".";
}

bool ParseDialogInt(std::string_view text, int& value, bool& tooLarge) {
  tooLarge = false;
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  // A run of digits is an integer however long; one beyond int is simply out of range.
  long long parsed = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (ec != std::errc() || ptr != text.data() + text.size() || parsed > 2147483647LL) {
    tooLarge = true;
    value = negative ? -2147483647 - 1 : 2147483647;
    return true;
  }
  value = static_cast<int>(negative ? -parsed : parsed);
  return true;
}

CViewOptionsDlg::CViewOptionsDlg(CBars& bars, MessageService& messages, QWidget* parent)
    : DialogFrame("View Options", 206, 253, parent), m_bars(bars), m_messages(messages) {
  const DialogUnits& du = units();

  auto check = [&](int id, const char* text, int x, int y, int w, int h) {
    auto* box = new QCheckBox(text, this);
    box->setObjectName(QString("check%1").arg(id));
    PlaceInUnits(*box, du, x, y, w, h);
    return box;
  };
  auto edit = [&](int id, int x, int y, int w, int h) {
    auto* field = new QLineEdit(this);
    field->setObjectName(QString("edit%1").arg(id));
    PlaceInUnits(*field, du, x, y, w, h);
    field->setTextMargins(0, 0, 0, 0);
    return field;
  };
  auto button = [&](int id, const char* text, int x, int y, int w, int h) {
    auto* push = new QPushButton(text, this);
    push->setObjectName(QString("button%1").arg(id));
    PlaceInUnits(*push, du, x, y, w, h);
    push->setAutoDefault(false);
    return push;
  };
  auto label = [&](int id, const char* text, int x, int y, int w, int h) {
    auto* l = new QLabel(text, this);
    l->setObjectName(QString("label%1").arg(id));
    PlaceInUnits(*l, du, x, y, w, h);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
  };

  // Created in the dialog's tab order.
  m_showVolumeBox = check(kIdShowVolume, "Show Volume", 20, 25, 55, 10);
  m_showMA1Box = check(kIdShowMA1, "Show Moving Average 1", 20, 39, 95, 10);
  m_showMA2Box = check(kIdShowMA2, "Show Moving Average 2", 20, 54, 100, 10);
  m_ma1Edit = edit(kIdMA1Length, 10, 90, 17, 15);
  m_ma2Edit = edit(kIdMA2Length, 10, 108, 17, 14);
  m_barSpaceEdit = edit(kIdBarSpace, 10, 127, 17, 15);
  AddOkButton(145, 15, 50, 14);
  AddCancelButton(145, 35, 50, 14);
  m_default = button(kIdDefault, "Default", 145, 55, 50, 14);
  m_colors = button(kIdColors, kColorsText, 145, 135, 50, 15);

  m_colorList = new CColorItemList(m_bars, this);
  m_colorList->setObjectName(QString("list%1").arg(kIdColorList));
  PlaceInUnits(*m_colorList, du, 5, 165, 99, 77);
  m_colorList->setEnabled(false);

  for (int k = 0; k < 8; ++k) {
    const int id = kFirstPaletteButtonId + k;
    auto* swatch = new CPaletteButton(m_bars, id, this);
    PlaceInUnits(*swatch, du, 120 + 20 * (k % 4), k < 4 ? 180 : 206, 15, 15);
    // Out of sight while the dialog is short, so out of the tab order too.
    swatch->setEnabled(false);
    connect(swatch, &QPushButton::clicked, this, [this, k] { OnPalette(k); });
    m_buttons[static_cast<std::size_t>(k)] = swatch;
  }

  AddGroupBox("Palette", 114, 165, 86, 65);
  AddGroupBox("Options", 5, 10, 132, 60);
  AddGroupBox("Values", 5, 75, 131, 75);
  m_ma1Label = label(kIdMA1Label, "Length of Moving Average 1", 30, 92, 100, 10);
  m_ma2Label = label(kIdMA2Label, "Length of Moving Average 2", 30, 111, 100, 13);
  m_barSpaceLabel = label(kIdBarSpaceLabel, "Bar Spacing", 31, 129, 88, 10);

  connect(m_showMA1Box, &QCheckBox::clicked, this, [this] { OnShowMA1(); });
  connect(m_showMA2Box, &QCheckBox::clicked, this, [this] { OnShowMA2(); });
  connect(m_default, &QPushButton::clicked, this, [this] { OnDefault(); });
  connect(m_colors, &QPushButton::clicked, this, [this] { OnColors(); });
}

CViewOptionsDlg::~CViewOptionsDlg() = default;

// Qt has no sizing-frame metric of its own; the window manager's frame is unknown until the
// window is mapped and absent on a bare display. The style's frame width is the one frame
// measure every platform answers the same way, so the short dialog ends the same distance
// below its button everywhere.
int CViewOptionsDlg::FrameThickness() const {
  return style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
}

void CViewOptionsDlg::OnInitDialog() {
  DialogFrame::OnInitDialog();
  UpdateData(false);
  EnableMA1();
  EnableMA2();

  const QRect window = WindowRect(*this);
  m_initDecoration = window.height() - geometry().height();
  m_fullHeight = window.height();
  const int buttonBottom = m_colors->mapToGlobal(QPoint(0, m_colors->height())).y();
  m_shortHeight = buttonBottom - window.top() + 3 * FrameThickness();

  QRect centred = window;
  CenterDialogRect(centred);
  MoveWindowTo(*this, centred.left(), centred.top(), centred.width(), m_shortHeight);
  m_expanded = 0;
  m_showVolumeBox->setFocus(Qt::OtherFocusReason);
}

void CViewOptionsDlg::Refuse(QLineEdit* edit, std::string_view message) {
  m_messages.ShowMessage(message, MessageIcon::None);
  edit->setFocus(Qt::OtherFocusReason);
  edit->selectAll();
}

bool CViewOptionsDlg::ExchangeInt(QLineEdit* edit, int& member, IntRange range) {
  const QByteArray text = edit->text().toLatin1();
  int value = 0;
  bool tooLarge = false;
  if (!ParseDialogInt(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                      value, tooLarge)) {
    Refuse(edit, kNotAnIntegerMessage);
    return false;
  }
  if (tooLarge || !range.Contains(value)) {
    Refuse(edit, OutOfRangeMessage(range.low, range.high));
    return false;
  }
  member = value;
  return true;
}

ViewOptions CViewOptionsDlg::GetOptions() const {
  return {m_barSpace, m_showVolume, m_showMA1, m_showMA2, m_ma1Length, m_ma2Length};
}

void CViewOptionsDlg::SetOptions(const ViewOptions& options) {
  m_barSpace = options.barSpace;
  m_showVolume = options.showVolume;
  m_showMA1 = options.showMA1;
  m_showMA2 = options.showMA2;
  m_ma1Length = options.ma1Length;
  m_ma2Length = options.ma2Length;
}

bool CViewOptionsDlg::UpdateData(bool save) {
  if (!save) {
    m_ma1Edit->setText(QString::number(m_ma1Length));
    m_showMA1Box->setChecked(m_showMA1 != 0);
    m_showMA2Box->setChecked(m_showMA2 != 0);
    m_showVolumeBox->setChecked(m_showVolume != 0);
    m_barSpaceEdit->setText(QString::number(m_barSpace));
    m_ma2Edit->setText(QString::number(m_ma2Length));
    return true;
  }
  // Each value is taken and checked before the next one is touched.
  if (!ExchangeInt(m_ma1Edit, m_ma1Length, ViewOptions::kMALengthRange)) return false;
  m_showMA1 = m_showMA1Box->isChecked() ? 1 : 0;
  m_showMA2 = m_showMA2Box->isChecked() ? 1 : 0;
  m_showVolume = m_showVolumeBox->isChecked() ? 1 : 0;
  if (!ExchangeInt(m_barSpaceEdit, m_barSpace, ViewOptions::kBarSpaceRange)) return false;
  if (!ExchangeInt(m_ma2Edit, m_ma2Length, ViewOptions::kMALengthRange)) return false;
  return true;
}

void CViewOptionsDlg::EnableMA1() {
  m_ma1Edit->setEnabled(m_showMA1 != 0);
  m_ma1Label->setEnabled(m_showMA1 != 0);
}

void CViewOptionsDlg::EnableMA2() {
  m_ma2Edit->setEnabled(m_showMA2 != 0);
  m_ma2Label->setEnabled(m_showMA2 != 0);
}

// When a value is refused the enabling stays as it was: the field the user has just been sent
// to must stay editable, even when the click would have greyed it.
void CViewOptionsDlg::OnShowMA1() {
  if (UpdateData(true)) EnableMA1();
}

void CViewOptionsDlg::OnShowMA2() {
  if (UpdateData(true)) EnableMA2();
}

void CViewOptionsDlg::OnDefault() {
  SetOptions(ViewOptions{});
  UpdateData(false);
  EnableMA1();
  EnableMA2();
}

void CViewOptionsDlg::OnColors() {
  const QRect window = WindowRect(*this);
  // The heights were measured as the dialog opened, when a window manager may not have framed
  // it yet; a frame that came later is added so the dialog's inside keeps its size.
  const int decoration = window.height() - geometry().height();
  const int height = (m_expanded ? m_shortHeight : m_fullHeight) + decoration - m_initDecoration;
  MoveWindowTo(*this, window.left(), window.top(), window.width(), height);
  m_expanded = !m_expanded;
  m_colors->setText(m_expanded ? kShrinkText : kColorsText);
  m_colorList->setEnabled(m_expanded != 0);
  if (m_expanded) m_colorList->FillItems();
  for (CPaletteButton* swatch : m_buttons) swatch->setEnabled(m_expanded != 0);
}

void CViewOptionsDlg::OnPalette(int k) {
  const QList<QListWidgetItem*> selected = m_colorList->selectedItems();
  if (selected.isEmpty()) {
    m_messages.ShowMessage(kNoItemMessage, MessageIcon::None);
    return;
  }
  const int item = m_colorList->row(selected.front());
  m_bars.SetWorkColor(item, k);
  m_colorList->FillItems();
  m_colorList->setCurrentRow(item);
}

void CViewOptionsDlg::accept() {
  if (UpdateData(true)) DialogFrame::accept();
}

bool RunViewOptionsDialog(MessageService& messages, CBars& bars, ViewOptions& values) {
  CViewOptionsDlg dialog(bars, messages);
  dialog.SetOptions(values);
  if (!dialog.DoModal()) return false;
  values = dialog.GetOptions();
  return true;
}

}  // namespace tv
