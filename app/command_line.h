#pragma once
// tickvane's command lines, read with one parser and explained by one usage text:
//
//   tickvane [--profile FILE] [--extended | --no-extended] [MASTERFILE]
//   tickvane --export-png OUT.png [--size WxH] [--symbol SYM] [--until YYYY-MM-DD]
//            [--print-colors] [--extended] MASTERFILE
//   tickvane --export-all OUTDIR [--size WxH] [--print-colors] [--jobs N] [--extended] MASTERFILE
//   tickvane --export-pdf BOOK.pdf [--extended] [--profile FILE] MASTERFILE
//   tickvane --help | --version

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "export.h"

namespace tv {

struct CommandLine {
  enum class Mode { kWindow, kExport, kHelp, kVersion };
  Mode mode = Mode::kWindow;
  std::string file;              // the window's file to open at start-up; empty for none
  std::string profile;           // --profile; empty for the default settings file
  std::optional<bool> extended;  // --extended / --no-extended; unset: the settings decide
  ExportOptions exports;         // what an export command asks for
  std::string error;             // non-empty: the command line is refused (exit code 2)
};

// `args` without the program name, as bytes (file names and symbols come back byte for byte).
// --help and --version win over everything else, mistakes included; a command line naming
// --export-png, --export-all or --export-pdf before "--" is an export command; "--" ends the
// options; an option given twice is refused.
CommandLine ParseCommandLine(const std::vector<std::string_view>& args);

// The day number of a --until date, YYYY-MM-DD, when it names a day of the calendar: a day
// before 1961 gives 0, which no bar is dated on or before, and one after the last day a quote
// file can hold gives that last day. Nothing for a malformed or unknown date.
std::optional<int> ParseUntilDate(std::string_view text);

extern const char* const kUsage;
extern const char* const kVersionText;

}  // namespace tv
