#include "command_line.h"

namespace tv {

const char* const kUsage =
    "usage: tickvane [--profile FILE] [--extended | --no-extended] [MASTERFILE]\n"
    "       tickvane --export-png OUT.png [--size WxH] [--symbol SYM] [--until YYYY-MM-DD]\n"
    "                [--print-colors] [--extended] [--profile FILE] MASTERFILE\n"
    "       tickvane --export-all OUTDIR [--size WxH] [--print-colors] [--extended]\n"
    "                [--profile FILE] MASTERFILE\n"
    "       tickvane --help | --version\n"
    "\n"
    "Opens the MetaStock / CompuTrac index file MASTERFILE (any file named MASTER) and shows\n"
    "its securities as charts.\n"
    "\n"
    "  --profile FILE  keep the settings in FILE instead of the default settings file;\n"
    "                  an export draws with its view options (default: the defaults)\n"
    "  --extended      extended reading, for directories as data vendors write them today:\n"
    "                  every MASTER record (up to 255) and the securities of XMASTER, long\n"
    "                  names from EMASTER, layouts from the field count where F<n>.DOP is\n"
    "                  missing, paths of any length, and data files whose header counts\n"
    "                  more records than they hold (default: the settings key\n"
    "                  [Reading] Extended=1 turns it on)\n"
    "  --no-extended   the classic reading, whatever the settings say\n"
    "  --export-png    draw one chart into a PNG file, without a window\n"
    "  --export-all    draw every chart into OUTDIR, without a window\n"
    "  --help          show this text\n"
    "  --version       show the program's version\n";

const char* const kVersionText = "Tickvane Version 2.1\n";

CommandLine ParseCommandLine(const std::vector<std::string_view>& args) {
  CommandLine line;
  bool onlyFiles = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view a = args[i];
    if (!onlyFiles && a == "--") {
      onlyFiles = true;
    } else if (!onlyFiles && (a == "--help" || a == "-h")) {
      line.help = true;
    } else if (!onlyFiles && (a == "--version" || a == "-v")) {
      line.version = true;
    } else if (!onlyFiles && (a == "--extended" || a == "--no-extended")) {
      line.extended = a == "--extended";
    } else if (!onlyFiles && a == "--profile") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        line.error = "--profile needs a file name";
        return line;
      }
      line.profile = std::string(args[++i]);
    } else if (!onlyFiles && a.starts_with("--profile=")) {
      line.profile = std::string(a.substr(10));
      if (line.profile.empty()) {
        line.error = "--profile needs a file name";
        return line;
      }
    } else if (!onlyFiles && a.size() > 1 && a.front() == '-') {
      line.error = "unknown option " + std::string(a);
      return line;
    } else if (line.file.empty()) {
      line.file = std::string(a);
    } else {
      line.error = "only one file can be opened";
      return line;
    }
  }
  return line;
}

}  // namespace tv
