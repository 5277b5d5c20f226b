#include "dialogs.h"

#include <QMessageBox>

#include "Doc.h"
#include "Gotodlg.h"
#include "MainFrm.h"
#include "View.h"
#include "Voptdlg.h"

namespace tv {

std::unique_ptr<GoToDialogRunner> MakeGoToDialogRunner(Profile& profile) {
  return std::make_unique<QtGoToDialogRunner>(profile);
}

std::unique_ptr<ViewOptionsDialogRunner> MakeViewOptionsDialogRunner(MessageService& messages) {
  return std::make_unique<QtViewOptionsDialogRunner>(messages);
}

std::unique_ptr<SlideShowStarter> MakeSlideShowStarter() { return nullptr; }

void RunAboutBox(QWidget* parent) {
  // A plain box until the About dialog proper is built.
  QMessageBox box(QMessageBox::NoIcon, "About Tickvane",
                  "Tickvane Version 2.1\n\nQuickly view and print quotes stored in MetaStock or "
                  "CompuTrac format by opening a file of the name \"master\".",
                  QMessageBox::Ok, parent);
  box.adjustSize();
  CMainFrame::CenterOnScreen(box);
  box.exec();
}

}  // namespace tv
