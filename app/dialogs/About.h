#pragma once
// The About box: the program's name, version and purpose, its legal notices and credits.

#include <QPixmap>
#include <QString>

#include "dialog_frame.h"

class QLabel;

namespace tv {

class CAboutDlg final : public DialogFrame {
 public:
  static constexpr int kIdText = 131;

  // `icon` is the application's 32 x 32 icon, shown in the right-hand column.
  explicit CAboutDlg(const QPixmap& icon, QWidget* parent = nullptr);
  ~CAboutDlg() override;

  // What the program does, in one sentence; shown in control 131.
  QString m_strText;

  // Puts the sentence into its control and centres the dialog on the screen. Runs once, when
  // the dialog is first shown.
  void OnInitDialog() override;

  QLabel* textLabel() const { return m_text; }
  QLabel* iconLabel() const { return m_icon; }

 private:
  QLabel* m_text = nullptr;
  QLabel* m_icon = nullptr;
};

}  // namespace tv
