#include "dialog_frame.h"

#include <QGroupBox>
#include <QPushButton>
#include <QShowEvent>

namespace tv {

DialogFrame::DialogFrame(const QString& title, int width, int height, QWidget* parent)
    : QDialog(parent), m_units(DialogFont()) {
  setWindowTitle(title);
  setFont(DialogFont());
  setFixedSize(m_units.X(width), m_units.Y(height));
}

DialogFrame::~DialogFrame() = default;

void DialogFrame::OnInitDialog() { m_initialised = true; }

bool DialogFrame::DoModal() { return exec() == QDialog::Accepted; }

// The buttons carry the classic ids of OK and Cancel in their names.
QPushButton* DialogFrame::AddOkButton(int x, int y, int w, int h) {
  m_ok = new QPushButton("OK", this);
  m_ok->setObjectName("button1");
  PlaceInUnits(*m_ok, m_units, x, y, w, h);
  m_ok->setDefault(true);
  m_ok->setAutoDefault(true);
  connect(m_ok, &QPushButton::clicked, this, [this] { accept(); });
  return m_ok;
}

QPushButton* DialogFrame::AddCancelButton(int x, int y, int w, int h) {
  m_cancel = new QPushButton("Cancel", this);
  m_cancel->setObjectName("button2");
  PlaceInUnits(*m_cancel, m_units, x, y, w, h);
  m_cancel->setAutoDefault(false);
  connect(m_cancel, &QPushButton::clicked, this, [this] { reject(); });
  return m_cancel;
}

QGroupBox* DialogFrame::AddGroupBox(const QString& title, int x, int y, int w, int h) {
  auto* box = new QGroupBox(title, this);
  PlaceInUnits(*box, m_units, x, y, w, h);
  // Below the controls made before it; those made after it come above it anyway.
  box->lower();
  return box;
}

void DialogFrame::CenterOnScreen() { CenterWindow(*this); }

void DialogFrame::showEvent(QShowEvent* event) {
  if (!m_initialised) OnInitDialog();
  QDialog::showEvent(event);
}

}  // namespace tv
