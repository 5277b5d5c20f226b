// tickvane: the program's entry point. It loads Qt GUI only: the exports, --help and --version
// are answered here, and the windowed viewer, which needs the widget libraries, is started in
// this process's place. A script that asks for one chart at a time so pays for no library it
// does not use.

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "command_line.h"
#include "export.h"
#include "viewer_path.h"

int main(int argc, char** argv) {
  // Read before Qt takes its own options (-platform, -style ...) out of argv: help, version and
  // the export need no display, and an export line has no Qt options to take.
  const tv::CommandLine line =
      tv::ParseCommandLine(std::vector<std::string_view>(argv + 1, argv + argc));
  switch (line.mode) {
    case tv::CommandLine::Mode::kHelp:
      std::fputs(tv::kUsage, stdout);
      return 0;
    case tv::CommandLine::Mode::kVersion:
      std::fputs(tv::kVersionText, stdout);
      return 0;
    case tv::CommandLine::Mode::kExport:
      if (!line.error.empty()) {
        std::fprintf(stderr, "tickvane: %s\n%s", line.error.c_str(), tv::kUsage);
        return 2;
      }
      return tv::ExportMain(line.exports, argv);
    case tv::CommandLine::Mode::kWindow:
      break;
  }
  // The viewer reads the command line again, once Qt has taken its own options out of it.
  const std::string viewer = tv::ViewerPath(argv[0]);
  std::vector<char*> args(argv, argv + argc + 1);
  args[0] = const_cast<char*>(viewer.c_str());
  execv(viewer.c_str(), args.data());
  std::fprintf(stderr, "tickvane: cannot start the viewer %s: %s\n", viewer.c_str(),
               std::strerror(errno));
  return 1;
}
