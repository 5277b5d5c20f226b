#include "About.h"
#include "version.h"

#include <QLabel>
#include <QPushButton>

namespace tv {

namespace {

QLabel* AddText(QWidget* parent, const DialogUnits& du, const QString& text, int x, int y, int w,
                int h, Qt::Alignment align) {
  auto* label = new QLabel(text, parent);
  PlaceInUnits(*label, du, x, y, w, h);
  label->setAlignment(align | Qt::AlignTop);
  label->setWordWrap(h > 8);
  return label;
}

}  // namespace

CAboutDlg::CAboutDlg(const QPixmap& icon, QWidget* parent)
    : DialogFrame("About Tickvane", 215, 186, parent),
      m_strText(
          "Quickly view and print quotes stored in MetaStock or CompuTrac format"
          " by opening a file of the name \"master\".") {
  const DialogUnits& du = units();
  move(du.X(34), du.Y(22));

  AddGroupBox("What Tickvane Does", 8, 12, 107, 52);
  // The placeholder until the dialog is set up.
  m_text = AddText(this, du, "Text", 12, 28, 100, 32, Qt::AlignHCenter);
  m_text->setObjectName(QString("static%1").arg(kIdText));

  AddGroupBox("Legal Stuff", 8, 73, 108, 107);
  AddText(this, du, QString::fromUtf8("Copyright \u00a9 2026 the Tickvane developers."), 12, 86,
          100, 16, Qt::AlignLeft);
  AddText(this, du,
          "Free software under the MIT License, provided as is, without warranty of any kind.", 12,
          104, 100, 24, Qt::AlignLeft);
  AddText(this, du,
          "MetaStock and CompuTrac are trademarks of their respective owners. Tickvane is not "
          "affiliated with or endorsed by them.",
          12, 130, 100, 40, Qt::AlignLeft);

  AddText(this, du, "Tickvane Version " TICKVANE_VERSION_SHORT, 125, 15, 80, 8, Qt::AlignHCenter);
  AddText(this, du, "A 32 bit application", 135, 40, 64, 8, Qt::AlignHCenter);
  // The credits, in the right-hand column under the version lines.
  AddText(this, du, "Written by the Tickvane developers. Built with Qt.", 125, 56, 80, 40,
          Qt::AlignHCenter);

  m_icon = new QLabel(this);
  m_icon->setObjectName("icon");
  // An icon control takes the icon's own size at its place.
  m_icon->setPixmap(icon);
  m_icon->setGeometry(du.X(156), du.Y(111), icon.width(), icon.height());

  AddOkButton(145, 146, 45, 14);
}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::OnInitDialog() {
  DialogFrame::OnInitDialog();
  m_text->setText(m_strText);
  CenterOnScreen();
  okButton()->setFocus(Qt::OtherFocusReason);
}

}  // namespace tv
