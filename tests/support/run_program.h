#pragma once
// Runs a program of the build as a user would, without a shell: its arguments as given, its
// exit status and its two output streams kept apart.

#include <string>
#include <vector>

namespace fixture {

struct ProgramRun {
  int status = -1;  // the exit status; -1 when it could not start or ended by a signal
  std::string out;
  std::string err;
};

struct RunOptions {
  std::vector<std::string> unset;  // environment variables the program must not see
  std::string stdoutPath;          // where stdout goes instead of ProgramRun::out, if set
};

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const RunOptions& options = {});

}  // namespace fixture
