#pragma once
// Runs the quotedump program as a user's shell would and keeps its exit status and both
// output streams apart.

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "quote_writer.h"

namespace quotedump_run {

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// stdout goes to the test unless `stdoutPath` names where it should go instead.
inline Result Quotedump(const std::vector<std::string>& args, const std::string& stdoutPath = {}) {
  fixture::TempDir scratch;
  const std::filesystem::path errFile = scratch.path() / "stderr";
  std::string command = ShellQuoted(QUOTEDUMP_PATH);
  for (const auto& a : args) command += " " + ShellQuoted(a);
  command += " 2>" + ShellQuoted(errFile.string());
  if (!stdoutPath.empty()) command += " >" + ShellQuoted(stdoutPath);
  Result r;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return r;
  char buf[65536];
  std::size_t n = 0;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
  const int status = pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream err(errFile);
  std::stringstream ss;
  ss << err.rdbuf();
  r.err = ss.str();
  return r;
}

}  // namespace quotedump_run
