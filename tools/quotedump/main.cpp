// quotedump: prints what the quote library reads from a MetaStock / CompuTrac database, as
// tab-separated lines that other programs can read.
//
// To add a command: write `int RunXxx(Args)` in its own source file, declare it in
// commands.h and add one row to kCommands below. main checks the number of operands
// against the row; a command that takes options checks the rest itself and returns
// kExitUsage (after printing its own one-line usage) when they are wrong.
#include <array>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "version.h"

namespace quotedump {
namespace {

struct Command {
  std::string_view name;
  std::string_view operands;  // as shown in the usage line
  std::size_t minOperands;
  std::size_t maxOperands;
  std::string_view summary;
  int (*run)(Args, bool);
  bool takesOptions = false;
};

constexpr std::array kCommands = {
    Command{"find", "DIR KEY", 2, 2, "search the tree below DIR for a symbol or name", RunFind},
    Command{"list", "MASTERFILE", 1, 1, "list the records of one MASTER file", RunList},
    Command{"read", "DIR KEY [--start S] [--count C] [--last N] [--period P]", 2, 11,
            "print a security's bars as CSV", RunRead, true},
    Command{"study", "STUDY DIR KEY [--period P]", 3, 6,
            "print a study of a security's bars as CSV", RunStudy, true},
    Command{"scan", "[--at YYYY-MM-DD] [--column NAME=EXPR]... EXPR DIR", 2, 64,
            "print the securities of a database tree that answer EXPR, as CSV", RunScan, true},
};

std::string UsageLine() {
  std::string line = "usage: quotedump";
  const char* joiner = " ";
  for (const auto& command : kCommands) {
    line += joiner;
    line += std::string(command.name) + " " + std::string(command.operands);
    joiner = " | ";
  }
  return line + " | --help | --version";
}

int UsageError() {
  std::cerr << UsageLine() << '\n';
  return kExitUsage;
}

void PrintHelp() {
  std::cout << UsageLine() << "\n\nCommands:\n";
  for (const auto& command : kCommands) {
    std::cout << "  " << command.name << ' ' << command.operands << "\n      " << command.summary
              << '\n';
  }
  std::cout << "\nOutput is tab-separated, one record a line.\n"
               "find prints dir= file= reclen= fields= name= symbol= real1= real2=; on failure\n"
               "it prints the result code and its text on stderr and exits 1.\n"
               "list prints: number, file, reclen, fields, dir|security, name, symbol.\n"
               "read prints CSV: date,time,open,high,low,close,volume,open_interest.\n"
               "study prints CSV: date,time and the study's outputs, one row per bar of read,\n"
               "empty where the study is not yet defined. STUDY is sma:N, ema:N, rsi[:N],\n"
               "macd[:F,S,G], bollinger[:N,K] or stochastic[:N,D] (defaults rsi:14,\n"
               "macd:12,26,9, bollinger:20,2, stochastic:14,3).\n"
               "--period P (bars, daily, weekly or monthly) gives read and study one row per\n"
               "day, week (Monday to Sunday) or calendar month: the date and time of its last\n"
               "bar, the open of its first, the highest high, the lowest low, the close of its\n"
               "last, the sum of the volumes, the last open interest; the study is of those bars.\n"

               "scan prints CSV: folder,symbol,name,date,close and one column per --column, a\n"
               "row per security below DIR whose last bar (or last bar on or before --at)\n"
               "answers EXPR, in index order. EXPR: numbers, open high low close volume oi,\n"
               "+ - * /, < <= > >= = !=, and or not, sma(x,n) ema(x,n) rsi(n) macd(f,s)\n"
               "signal(f,s,g) upper(n,k) lower(n,k) stoch_k(n) stoch_d(n,d) highest(x,n)\n"
               "lowest(x,n) ref(x,k) change(x,n) cross(a,b) abs(x) min(a,b) max(a,b).\n"
               "--extended before a command reads as data vendors write today: every MASTER\n"
               "record (up to 255), XMASTER securities (F<n>.MWD), EMASTER long names, layouts\n"
               "from the field count where F<n>.DOP is missing, and data files whose header\n"
               "counts more records than they hold.\n"
               "Exit status: 0 success, 1 failure, 2 usage error.\n";
}

int Run(std::vector<std::string_view> args) {
  if (args.empty()) return UsageError();
  const bool extended = args[0] == "--extended";
  if (extended) {
    args.erase(args.begin());
    if (args.empty() || args[0].starts_with("--")) return UsageError();
  }
  if (args.size() == 1 && args[0] == "--help") {
    PrintHelp();
    return kExitOk;
  }
  if (args.size() == 1 && args[0] == "--version") {
    std::cout << "quotedump " << TICKVANE_VERSION << '\n';
    return kExitOk;
  }
  for (const auto& command : kCommands) {
    if (args[0] != command.name) continue;
    // Of the commands without options "--" may still stand before the operands, where it
    // ends the options as it does everywhere; read handles it among its own options.
    if (!command.takesOptions && args.size() > 1 && args[1] == "--") args.erase(args.begin() + 1);
    const std::size_t operands = args.size() - 1;
    if (operands < command.minOperands || operands > command.maxOperands) return UsageError();
    return command.run(Args(args).subspan(1), extended);
  }
  return UsageError();
}

}  // namespace
}  // namespace quotedump

int main(int argc, char** argv) {
  using namespace quotedump;
  const int status = Run({argv + (argc > 0 ? 1 : argc), argv + argc});
  // Output that did not reach its destination (a full disk, a closed pipe) is a failure,
  // whichever command wrote it. A command that failed has already said why.
  std::cout.flush();
  const bool written = std::cout.good() && std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  if (status == kExitOk && !written) {
    PrintError(kWriteFailure);
    return kExitFailure;
  }
  return status;
}
