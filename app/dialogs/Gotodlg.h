#pragma once
// The Go To dialog: every security of the open database in a list ordered by master file
// order, symbol or name; the user picks one. The order chosen is kept in the settings file.

#include <array>
#include <memory>
#include <string>

#include "Doc.h"
#include "dialog_frame.h"

class QButtonGroup;
class QListWidget;
class QRadioButton;
class CBars;

namespace tv {

class Profile;

class CGoToDlg final : public DialogFrame {
 public:
  // Control ids of the dialog.
  static constexpr int kIdList = 111;
  static constexpr int kIdMasterOrder = 112;
  static constexpr int kIdSymbol = 113;
  static constexpr int kIdName = 114;

  explicit CGoToDlg(Profile& profile, QWidget* parent = nullptr);
  ~CGoToDlg() override;

  // The security list the dialog shows; set before the dialog runs.
  CBars* m_pBars = nullptr;
  // The chosen entry's text after OK ("symbol<TAB>name"), empty when none was selected.
  std::string m_selection;
  int m_sortOrder = 0;

  // Centres the dialog, reads the stored order and fills the list. Runs once, when the
  // dialog is first shown; tests may call it on a dialog that is not running.
  void OnInitDialog() override;
  // Moves the controls into the members (save) or the members into the controls.
  void UpdateData(bool save);
  // Refills the list in the order the radio buttons show and saves that order.
  void FillList();
  // OK and a double-click in the list: take the controls' values and end with OK.
  void accept() override;

  QListWidget* list() const { return m_list; }
  QRadioButton* sortButton(int order) const { return m_sortButtons.at(order); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ScrollSelectionToTop();

  Profile& m_profile;
  QListWidget* m_list = nullptr;
  QButtonGroup* m_sortGroup = nullptr;
  std::array<QRadioButton*, 3> m_sortButtons{};
};

// Runs the Go To dialog for the document's Go To command.
// The dialog keeps its sort order in `profile`.
bool RunGoToDialog(Profile& profile, CBars& bars, std::string& selection);

}  // namespace tv
