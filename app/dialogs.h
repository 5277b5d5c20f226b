#pragma once
// Where the application finds its dialogs and windows that are built elsewhere: the Go To and
// View Options dialogs, the slide show and the About box. Each maker returns null while its
// piece is not part of the program yet; the command then does nothing.

#include <memory>

class QWidget;

namespace tv {

class GoToDialogRunner;
class ViewOptionsDialogRunner;
class SlideShowStarter;

std::unique_ptr<GoToDialogRunner> MakeGoToDialogRunner();
std::unique_ptr<ViewOptionsDialogRunner> MakeViewOptionsDialogRunner();
std::unique_ptr<SlideShowStarter> MakeSlideShowStarter();
// Runs the About box modally.
void RunAboutBox(QWidget* parent);

}  // namespace tv
