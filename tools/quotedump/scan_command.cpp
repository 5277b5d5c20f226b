// quotedump scan [--at YYYY-MM-DD] [--column NAME=EXPR]... EXPR DIR: the securities of a
// database tree whose last bar (or last bar on or before --at) answers EXPR, as CSV.
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "commands.h"
#include "directory_scan.h"
#include "values.h"

namespace quotedump {

namespace {

constexpr std::string_view kScanUsage =
    "usage: quotedump scan [--at YYYY-MM-DD] [--column NAME=EXPR]... EXPR DIR";

int ScanUsageError(const std::string& message) {
  PrintError("scan: " + message);
  std::fprintf(stderr, "%.*s\n", static_cast<int>(kScanUsage.size()), kScanUsage.data());
  return kExitUsage;
}

// The options and operands; an empty text when they are sound, else what is wrong.
std::string ParseScanArgs(Args args, tv::ScanQuestion& question, std::string_view& directory) {
  std::vector<std::string_view> operands;
  bool options = true;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (options && arg == "--") {
      options = false;
    } else if (options && (arg == "--at" || arg == "--column")) {
      if (i + 1 == args.size()) return std::string(arg) + " needs a value";
      const std::string_view value = args[++i];
      if (arg == "--at") {
        question.at = DayNumberBound(value);
        if (!question.at) return "not a date: '" + std::string(value) + "' (YYYY-MM-DD)";
        continue;
      }
      auto column = tv::ParseScanColumn(value);
      if (const auto* error = std::get_if<std::string>(&column)) return "--column " + *error;
      question.columns.push_back(std::move(std::get<tv::ScanColumn>(column)));
    } else if (options && arg.size() > 1 && arg.starts_with("--")) {
      return "unknown option " + std::string(arg);
    } else {
      operands.push_back(arg);
    }
  }
  if (operands.size() != 2) return "takes an expression and a directory";
  auto parsed = scan::Parse(operands[0]);
  if (const auto* error = std::get_if<scan::ParseError>(&parsed)) return error->Text();
  question.condition = std::move(std::get<scan::Expression>(parsed));
  directory = operands[1];
  return {};
}

bool Write(const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

}  // namespace

int RunScan(Args args, bool extended) {
  tv::ScanQuestion question;
  std::string_view directory;
  // The question is checked whole before any file is read.
  if (const std::string problem = ParseScanArgs(args, question, directory); !problem.empty())
    return ScanUsageError(problem);
  std::vector<tv::ScanTarget> targets;
  std::string error;
  if (!tv::ListScanTargets(std::string(directory), extended, targets, error)) {
    PrintError(error);
    return kExitFailure;
  }
  bool written = Write(tv::ScanCsvHeader(question));
  const int threads = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
  const tv::ScanCounts counts = tv::ScanTargets(targets, question, extended, threads,
                                                [&](int, const tv::ScanOutcome& outcome) {
                                                  if (!outcome.failure.empty())
                                                    PrintError(outcome.failure);
                                                  if (outcome.row && written)
                                                    written = Write(tv::ScanCsvLine(*outcome.row));
                                                });
  if (!written || std::fflush(stdout) != 0) {
    PrintError(kWriteFailure);
    return kExitFailure;
  }
  if (counts.read == 0) {
    PrintError("scan: no security could be read below " + std::string(directory));
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace quotedump
