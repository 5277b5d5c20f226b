#pragma once
// What every classic dialog of the program shares: its title and font, its fixed size in
// dialog units, the OK and Cancel buttons, the one-time set-up when it is first shown,
// centring on the screen and running modally.

#include <QDialog>
#include <QString>

#include "dialog_units.h"

class QGroupBox;
class QPushButton;
class QShowEvent;

namespace tv {

class DialogFrame : public QDialog {
 public:
  ~DialogFrame() override;

  // The set-up a dialog does as it is first shown (filling its controls, placing itself,
  // giving the focus). A dialog that overrides it calls this first; tests may call it on a
  // dialog that is not running.
  virtual void OnInitDialog();
  // Runs the dialog modally; true when it ended with OK.
  bool DoModal();

  const DialogUnits& units() const { return m_units; }
  QPushButton* okButton() const { return m_ok; }
  QPushButton* cancelButton() const { return m_cancel; }

 protected:
  // `width` and `height` are the dialog's size in dialog units of the dialog font.
  DialogFrame(const QString& title, int width, int height, QWidget* parent);

  // The default OK button, ending the dialog through accept(), and the Cancel button, ending it
  // through reject(); placed in dialog units.
  QPushButton* AddOkButton(int x, int y, int w, int h);
  QPushButton* AddCancelButton(int x, int y, int w, int h);
  // A group box: a frame behind the controls it holds, so it never takes their clicks.
  QGroupBox* AddGroupBox(const QString& title, int x, int y, int w, int h);
  // Keeps the dialog's size and centres its window on the screen.
  void CenterOnScreen();

  void showEvent(QShowEvent* event) override;

 private:
  DialogUnits m_units;
  QPushButton* m_ok = nullptr;
  QPushButton* m_cancel = nullptr;
  bool m_initialised = false;
};

}  // namespace tv
