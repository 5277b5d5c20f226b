#pragma once
// The subcommands of quotedump. Each lives in its own source file and is listed once in the
// command table of main.cpp.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "master.h"
#include "series.h"

namespace quotedump {

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the operation itself failed
inline constexpr int kExitUsage = 2;

using Args = std::span<const std::string_view>;

// Each command gets the operands after its name, as many as its table row allows, and
// whether --extended came before the command (the extended reading of extended.h).
int RunFind(Args args, bool extended);   // DIR KEY
int RunList(Args args, bool extended);   // MASTERFILE
int RunRead(Args args, bool extended);   // DIR KEY [--start S] [--count C] [--last N]
int RunStudy(Args args, bool extended);  // STUDY DIR KEY
// [--at YYYY-MM-DD] [--column NAME=EXPR]... EXPR DIR
int RunScan(Args args, bool extended);

// Reads a security's bars as `read` does; on failure prints why (naming a file that cannot be
// opened) and returns false with the series released.
bool ReadBars(PriceSeries& series, std::string_view directory, std::string_view key,
              std::int32_t start, std::int16_t count, bool extended);

// A 32-bit float as the shortest text that reads back to the same value.
std::string FormatReal(float value);
// A record's text made safe for one tab-separated field: tabs, line ends and other control
// characters become '?'.
std::string FieldText(std::string_view text);
// What a command says when its output cannot be written.
inline constexpr std::string_view kWriteFailure = "cannot write the output";
// "quotedump: <message>" on stderr.
void PrintError(std::string_view message);

}  // namespace quotedump
