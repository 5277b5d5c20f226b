#pragma once
// Where the application finds its dialogs and windows that are built elsewhere: the Go To and
// View Options dialogs, the slide show and the About box. Each maker returns null while its
// piece is not part of the program yet; the command then does nothing.

#include <memory>

class QWidget;

namespace tv {

class GoToDialogRunner;
class MessageService;
class Profile;
class ViewOptionsDialogRunner;
class SlideShowStarter;

// The Go To dialog keeps its sort order in `profile`; the View Options dialog reports through
// `messages`.
std::unique_ptr<GoToDialogRunner> MakeGoToDialogRunner(Profile& profile);
std::unique_ptr<ViewOptionsDialogRunner> MakeViewOptionsDialogRunner(MessageService& messages);
std::unique_ptr<SlideShowStarter> MakeSlideShowStarter();
// Runs the About box modally.
void RunAboutBox(QWidget* parent);

}  // namespace tv
