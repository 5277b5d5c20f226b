// tickvane: the program's entry point. Without an export command it is the windowed viewer.

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "MainFrm.h"
#include "View.h"
#include "command_line.h"
#include "display_probe.h"
#include "export.h"
#include "qt_messages.h"
#include "qt_profile.h"
#include "tickvane.h"

namespace {

std::vector<std::string_view> Args(int argc, char** argv) {
  return std::vector<std::string_view>(argv + 1, argv + argc);
}

// For the start-up benchmark: ends the program once the first chart has been painted.
class QuitAfterFirstPaint final : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);  // after this paint has finished
    }
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (tv::IsExportCommand(argc, argv)) return tv::ExportMain(argc, argv);

  // Help and version answer without a display; Qt's own options are not known yet, so only
  // these two are looked for here.
  for (std::string_view a : Args(argc, argv)) {
    if (a == "--help" || a == "-h") {
      std::fputs(tv::kUsage, stdout);
      return 0;
    }
    if (a == "--version" || a == "-v") {
      std::fputs(tv::kVersionText, stdout);
      return 0;
    }
  }
  if (const std::string problem = tv::DisplayProblem(argc, argv); !problem.empty()) {
    std::fprintf(stderr, "tickvane: %s; --export-png draws a chart into a file instead\n",
                 problem.c_str());
    return 1;
  }

  QApplication app(argc, argv);  // takes Qt's own options (-platform, -style ...) out of argv
  const tv::CommandLine line = tv::ParseCommandLine(Args(argc, argv));
  if (!line.error.empty()) {
    std::fprintf(stderr, "tickvane: %s\n%s", line.error.c_str(), tv::kUsage);
    return 2;
  }
  QApplication::setApplicationName("Tickvane");
  // Lets the desktop match the window to the installed menu entry and its icon.
  QGuiApplication::setDesktopFileName(TICKVANE_APP_ID);
  QApplication::setAttribute(Qt::AA_DontShowIconsInMenus);

  const QString profilePath =
      line.profile.empty() ? tv::QtProfile::DefaultPath() : QString::fromStdString(line.profile);
  tv::QtProfile profile(profilePath);
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
