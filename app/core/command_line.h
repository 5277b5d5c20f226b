#pragma once
// The windowed program's command line:
//
//   tickvane [--profile FILE] [--extended | --no-extended] [MASTERFILE]
//   tickvane --help | --version
//
// (the export commands are export.h's).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tv {

struct CommandLine {
  std::string file;     // the file to open at start-up; empty for none
  std::string profile;  // --profile; empty for the default settings file
  std::optional<bool> extended;  // --extended / --no-extended; unset: the settings decide
  bool help = false;
  bool version = false;
  std::string error;  // non-empty: the command line is refused
};

// `args` without the program name.
CommandLine ParseCommandLine(const std::vector<std::string_view>& args);

extern const char* const kUsage;
extern const char* const kVersionText;

}  // namespace tv
