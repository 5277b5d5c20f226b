// tickvane-viewer: the windowed viewer, which tickvane starts in its own place for a command
// line that is not an export, --help or --version.

#include <QApplication>
#include <QEvent>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "MainFrm.h"
#include "View.h"
#include "command_line.h"
#include "display_probe.h"
#include "qt_messages.h"
#include "qt_profile.h"
#include "tickvane.h"

namespace {

std::vector<std::string_view> Args(int argc, char** argv) {
  return std::vector<std::string_view>(argv + 1, argv + argc);
}

// A refused command line: the reason and the usage on stderr, exit code 2.
int Refuse(const std::string& error) {
  std::fprintf(stderr, "tickvane: %s\n%s", error.c_str(), tv::kUsage);
  return 2;
}

// For the start-up benchmark: ends the program once the first chart has been painted.
class QuitAfterFirstPaint final : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      // Queued, so that this paint finishes first.
      QMetaObject::invokeMethod(qApp, "quit", Qt::QueuedConnection);
    }
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (const std::string problem = tv::DisplayProblem(argc, argv); !problem.empty()) {
    std::fprintf(stderr, "tickvane: %s; --export-png draws a chart into a file instead\n",
                 problem.c_str());
    return 1;
  }

  QApplication app(argc, argv);  // takes Qt's own options (-platform, -style ...) out of argv
  const tv::CommandLine line = tv::ParseCommandLine(Args(argc, argv));
  if (!line.error.empty()) return Refuse(line.error);
  if (line.mode != tv::CommandLine::Mode::kWindow)
    return Refuse("not a command line for the viewer");
  QApplication::setApplicationName("Tickvane");
  // Lets the desktop match the window to the installed menu entry and its icon.
  QGuiApplication::setDesktopFileName(TICKVANE_APP_ID);
  QApplication::setAttribute(Qt::AA_DontShowIconsInMenus);

  const std::optional<QString> profilePath =
      line.profile.empty() ? tv::QtProfile::DefaultPath() : tv::QtProfile::FromBytes(line.profile);
  if (!profilePath) {
    std::fprintf(stderr, "tickvane: cannot use the settings file %s: its name is not UTF-8\n",
                 line.profile.c_str());
    return 1;
  }
  tv::QtProfile profile(*profilePath);
  tv::QtMessageService messages;
  tv::SteadyClock clock;
  tv::CTickvaneApp theApp(profile, messages, clock);
  theApp.SetExtendedReading(line.extended);
  if (!theApp.InitInstance(line.file)) return 1;
  messages.SetParent(theApp.GetMainWnd());
  QuitAfterFirstPaint quitter;
  if (std::getenv("TICKVANE_EXIT_AFTER_FIRST_PAINT") != nullptr)
    theApp.GetMainWnd()->GetActiveView()->installEventFilter(&quitter);
  return app.exec();
}
