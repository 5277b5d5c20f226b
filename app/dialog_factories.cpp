#include "dialog_factories.h"

#include "About.h"
#include "Doc.h"
#include "Gotodlg.h"
#include "MainFrm.h"
#include "Sshowdlg.h"
#include "View.h"
#include "Voptdlg.h"
#include "images.h"

namespace tv {

std::unique_ptr<GoToDialogRunner> MakeGoToDialogRunner(Profile& profile) {
  return std::make_unique<QtGoToDialogRunner>(profile);
}

std::unique_ptr<ViewOptionsDialogRunner> MakeViewOptionsDialogRunner(MessageService& messages) {
  return std::make_unique<QtViewOptionsDialogRunner>(messages);
}

std::unique_ptr<SlideShowStarter> MakeSlideShowStarter() {
  return std::make_unique<QtSlideShowStarter>();
}

void RunAboutBox(QWidget* parent) {
  CAboutDlg dialog(ApplicationIcon().pixmap(32, 32), parent);
  dialog.exec();
}

}  // namespace tv
