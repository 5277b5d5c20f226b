// tickvane's command lines: the windowed viewer's and the export's.

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "command_line.h"
#include "values.h"

namespace {

using tv::CommandLine;
using tv::ParseCommandLine;

struct ParsedExport {
  std::optional<tv::ExportOptions> options;
  std::string error;
};

// An export command line as the export sees it.
ParsedExport Exports(const std::vector<std::string_view>& args) {
  const CommandLine line = ParseCommandLine(args);
  EXPECT_EQ(line.mode, CommandLine::Mode::kExport);
  if (!line.error.empty()) return {{}, line.error};
  return {line.exports, {}};
}

TEST(CommandLine, AFileAndASettingsFileAreTakenInAnyOrder) {
  auto line = ParseCommandLine({"--profile", "/tmp/t.ini", "/data/MASTER"});
  EXPECT_EQ(line.file, "/data/MASTER");
  EXPECT_EQ(line.profile, "/tmp/t.ini");
  EXPECT_TRUE(line.error.empty());
  line = ParseCommandLine({"/data/MASTER", "--profile=/tmp/u.ini"});
  EXPECT_EQ(line.file, "/data/MASTER");
  EXPECT_EQ(line.profile, "/tmp/u.ini");
  line = ParseCommandLine({});
  EXPECT_EQ(line.file, "");
  EXPECT_EQ(line.profile, "");
  EXPECT_EQ(line.mode, CommandLine::Mode::kWindow);
  // After "--" a name that starts with a dash is a file.
  EXPECT_EQ(ParseCommandLine({"--", "-odd/MASTER"}).file, "-odd/MASTER");
}

TEST(CommandLine, EveryOptionsDescriptionStartsInOneColumn) {
  std::istringstream usage(tv::kUsage);
  std::optional<std::size_t> column;
  for (std::string line; std::getline(usage, line);) {
    if (!line.starts_with("  --")) continue;
    const std::size_t words = line.find("  ", 2);  // the option and its value end here
    ASSERT_NE(words, std::string::npos) << line;
    const std::size_t description = line.find_first_not_of(' ', words);
    if (!column) column = description;
    EXPECT_EQ(description, *column) << line;
  }
  EXPECT_TRUE(column.has_value());
}

TEST(CommandLine, HelpAndVersionAreRecognisedInEveryMode) {
  EXPECT_EQ(ParseCommandLine({"--help"}).mode, CommandLine::Mode::kHelp);
  EXPECT_EQ(ParseCommandLine({"-h"}).mode, CommandLine::Mode::kHelp);
  EXPECT_EQ(ParseCommandLine({"--version"}).mode, CommandLine::Mode::kVersion);
  EXPECT_EQ(ParseCommandLine({"--frobnicate", "-v"}).mode, CommandLine::Mode::kVersion);
  EXPECT_EQ(ParseCommandLine({"--export-png", "o.png", "--help"}).mode, CommandLine::Mode::kHelp);
}

TEST(CommandLine, ExtendedReadingIsSwitchedEitherWayOrLeftToTheSettings) {
  EXPECT_EQ(ParseCommandLine({"--extended", "/d/MASTER"}).extended, true);
  EXPECT_EQ(ParseCommandLine({"--no-extended"}).extended, false);
  EXPECT_EQ(ParseCommandLine({"--no-extended", "--extended"}).extended, true);
  EXPECT_EQ(ParseCommandLine({"/d/MASTER"}).extended, std::nullopt);
  EXPECT_TRUE(ParseCommandLine({"--export-all", "d", "--extended", "M"}).exports.extended);
}

TEST(CommandLine, MistakesAreRefusedWithAReason) {
  for (const auto& args : std::vector<std::vector<std::string_view>>{
           {"--profile"}, {"--profile="}, {"--profile", ""}, {"--frobnicate"}, {"a", "b"}})
    EXPECT_FALSE(ParseCommandLine(args).error.empty()) << args.size();
  EXPECT_EQ(ParseCommandLine({"--frobnicate"}).error, "unknown option --frobnicate");
  EXPECT_EQ(ParseCommandLine({"x/MASTER", "--profile"}).error, "--profile needs a file name");
  // The export's options are no options of the window.
  EXPECT_EQ(ParseCommandLine({"--size", "10x10", "x/MASTER"}).error, "unknown option --size");
}

TEST(ExportCommandLine, AcceptsEitherModeWithOptionsInAnyOrder) {
  auto p = Exports({"--export-png", "out.png", "--size", "640x480", "--symbol", "BHP",
                    "--print-colors", "--profile", "v.ini", "/d/MASTER"});
  ASSERT_TRUE(p.options) << p.error;
  EXPECT_EQ(p.options->pngPath, "out.png");
  EXPECT_EQ(p.options->width, 640);
  EXPECT_EQ(p.options->height, 480);
  EXPECT_EQ(p.options->symbol, "BHP");
  EXPECT_TRUE(p.options->printColors);
  EXPECT_EQ(p.options->profile, "v.ini");
  EXPECT_EQ(p.options->master, "/d/MASTER");

  p = Exports({"/d/MASTER", "--export-all", "charts"});
  ASSERT_TRUE(p.options) << p.error;
  EXPECT_EQ(p.options->outDir, "charts");
  EXPECT_EQ(p.options->jobs, 0);  // one per core
  EXPECT_EQ(p.options->width, 1280);
  EXPECT_EQ(p.options->height, 720);
  EXPECT_FALSE(p.options->printColors);
  EXPECT_TRUE(p.options->profile.empty());
}

TEST(ExportCommandLine, RefusesMalformedCommands) {
  const std::vector<std::vector<std::string_view>> bad = {
      {"--export-png", "o.png"},                                       // no MASTERFILE
      {"--export-png"},                                                // no file name
      {"--export-png", "o.png", "--export-all", "d", "M/MASTER"},      // both modes
      {"--export-png", "o.png", "--size", "640", "M/MASTER"},          // no height
      {"--export-png", "o.png", "--size", "0x480", "M/MASTER"},        // empty
      {"--export-png", "o.png", "--size", "9000x10", "M/MASTER"},      // too large
      {"--export-png", "o.png", "--size", "64x48px", "M/MASTER"},      // trailing text
      {"--export-png", "o.png", "--size", "-5x10", "M/MASTER"},        // negative
      {"--export-png", "o.png", "--colour", "M/MASTER"},               // unknown option
      {"--export-png", "o.png", "A/MASTER", "B/MASTER"},               // two databases
      {"--export-all", "d", "--symbol", "BHP", "M/MASTER"},            // symbol with all
      {"--export-png", "o.png", "M/MASTER", "--symbol"},               // symbol missing
      {"--export-png", "o.png", "--until", "2001-02-29", "M/MASTER"},  // no such day
      {"--export-png", "o.png", "--until", "2001-2-28", "M/MASTER"},   // malformed
      {"--export-png", "o.png", "--until", "+001-02-28", "M/MASTER"},  // malformed
      {"--export-png", "o.png", "M/MASTER", "--until"},                // date missing
      {"--export-all", "d", "--until", "2001-02-28", "M/MASTER"},      // until with all
      {"--export-png", "o.png", "M/MASTER", "--profile"},              // profile missing
      {"--export-png", "o.png", "--profile=", "M/MASTER"},             // profile empty
      {"--export-all", "d", "--jobs", "0", "M/MASTER"},                // no job
      {"--export-all", "d", "--jobs", "257", "M/MASTER"},              // too many
      {"--export-all", "d", "--jobs", "2x", "M/MASTER"},               // trailing text
      {"--export-all", "d", "--jobs=", "M/MASTER"},                    // empty
      {"--export-png", "o.png", "--jobs", "2", "M/MASTER"},            // jobs with png
      {"--export-pdf", "b.pdf", "--export-all", "d", "M/MASTER"},      // two modes
      {"--export-pdf", "b.pdf", "--size", "10x10", "M/MASTER"},        // the page's size
      {"--export-pdf", "b.pdf", "--print-colors", "M/MASTER"},         // always print colours
      {"--export-pdf", "b.pdf", "--symbol", "BHP", "M/MASTER"},        // every security
      {"--export-pdf", "M/MASTER"},                                    // no MASTERFILE
  };
  for (const auto& args : bad) {
    const auto p = Exports(args);
    EXPECT_FALSE(p.options) << args.size() << " " << args.back();
    EXPECT_FALSE(p.error.empty());
  }
}

TEST(ExportCommandLine, TheBookTakesTheReadingAndTheSettingsFile) {
  const auto p = Exports({"--export-pdf", "b.pdf", "--extended", "--profile", "v.ini", "M"});
  ASSERT_TRUE(p.options) << p.error;
  EXPECT_EQ(p.options->pdfPath, "b.pdf");
  EXPECT_TRUE(p.options->extended);
  EXPECT_EQ(p.options->profile, "v.ini");
  EXPECT_EQ(ParseCommandLine({"--export-pdf", "b.pdf", "--jobs", "2", "M"}).error,
            "--jobs does not go with --export-pdf");
}

TEST(ExportCommandLine, JobsTakesOneTo256) {
  for (const int jobs : {1, 3, 256}) {
    const std::string n = std::to_string(jobs);
    const auto p = Exports({"--export-all", "d", "--jobs", n, "M/MASTER"});
    ASSERT_TRUE(p.options) << p.error;
    EXPECT_EQ(p.options->jobs, jobs);
  }
  EXPECT_EQ(ParseCommandLine({"--export-all", "d", "--jobs", "-1", "M"}).error,
            "--jobs needs a number from 1 to 256");
  EXPECT_EQ(ParseCommandLine({"--jobs", "2", "M"}).error, "unknown option --jobs");
}

TEST(ExportCommandLine, StyleLogAndSvgGoWithTheirModes) {
  const struct {
    std::vector<std::string_view> args;
    const char* error;  // empty: accepted
  } cases[] = {
      {{"--export-png", "o.png", "--extended", "--style", "candles", "--log", "M"}, ""},
      {{"--export-all", "d", "--extended", "--style=line", "M"}, ""},
      {{"--export-svg", "o.svg", "--symbol", "BHP", "--size", "800x600", "M"}, ""},
      {{"--export-png", "o.png", "--extended", "--style", "bars", "M"},
       "--style needs hlc, ohlc, candles or line"},
      {{"--export-png", "o.png", "--extended", "--style", "", "M"},
       "--style needs hlc, ohlc, candles or line"},
      {{"--export-png", "o.png", "--style", "ohlc", "M"},
       "--style draws the extended chart: it needs --extended"},
      {{"--export-png", "o.png", "--log", "M"},
       "--log draws the extended chart: it needs --extended"},
      {{"--export-png", "o.png", "--extended", "--period", "weekly", "M"}, ""},
      {{"--export-png", "o.png", "--extended", "--period", "yearly", "M"},
       "--period needs bars, daily, weekly or monthly"},
      {{"--export-png", "o.png", "--period", "monthly", "M"},
       "--period draws the extended chart: it needs --extended"},
      {{"--export-svg", "o.svg", "--extended", "--compare", "AWC", "--compare", "RIO", "M"}, ""},
      {{"--export-svg", "o.svg", "--extended", "--compare", "", "M"}, "--compare needs a symbol"},
      {{"--export-png", "o.png", "--compare", "AWC", "M"},
       "--compare draws the extended chart: it needs --extended"},
      {{"--export-png", "o.png", "--extended", "--compare", "A", "--compare", "B", "--compare", "C",
        "--compare", "D", "--compare", "E", "M"},
       "--compare given more than 4 times: a chart compares at most 4 securities"},
      {{"--export-svg", "M"}, "no MASTERFILE given"},
      {{"--export-svg", "o.svg", "--export-png", "o.png", "M"},
       "give exactly one of --export-png, --export-all, --export-pdf and --export-svg"},
      {{"M", "--export-svg"}, "--export-svg needs a file name"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[c.args.size() - 2]);
    const auto p = Exports(c.args);
    EXPECT_EQ(p.error, c.error);
  }
  const auto p = Exports({"--export-svg", "o.svg", "--extended", "--style", "ohlc", "--log", "M"});
  ASSERT_TRUE(p.options) << p.error;
  EXPECT_EQ(p.options->svgPath, "o.svg");
  EXPECT_EQ(p.options->style, plot::Style::Ohlc);
  EXPECT_TRUE(p.options->log);
  // Not options of the window.
  EXPECT_EQ(ParseCommandLine({"--style", "line", "M"}).error, "unknown option --style");
  EXPECT_EQ(ParseCommandLine({"--log", "M"}).error, "unknown option --log");
  EXPECT_EQ(ParseCommandLine({"--period", "weekly", "M"}).error, "unknown option --period");
  EXPECT_EQ(ParseCommandLine({"--compare", "AWC", "M"}).error, "unknown option --compare");
  const auto compared =
      Exports({"--export-png", "o.png", "--extended", "--compare", "AWC", "--compare", "X", "M"});
  ASSERT_TRUE(compared.options) << compared.error;
  EXPECT_EQ(compared.options->compare, (std::vector<std::string>{"AWC", "X"}));
}

TEST(ExportCommandLine, StudiesAreRepeatableAndNeedTheExtendedChart) {
  const std::string needs =
      "--study needs sma:N, ema:N, rsi[:N], macd[:F,S,G], bollinger[:N,K] or stochastic[:N,D] "
      "(lengths from 1, K above 0 and at most 100)";
  const struct {
    std::vector<std::string_view> args;
    std::string error;  // empty: accepted
    const char* studies;
  } cases[] = {
      {{"--export-png", "o.png", "--extended", "--study", "rsi", "--study", "macd", "M"},
       "",
       "rsi:14 macd:12,26,9"},
      {{"--export-all", "d", "--extended", "--study=bollinger:10,1.5", "M"},
       "",
       "bollinger:10,1.5"},
      {{"--export-svg", "o.svg", "--extended", "--study", "stochastic:5,3", "M"},
       "",
       "stochastic:5,3"},
      {{"--export-png", "o.png", "--extended", "--study", "rsi:0", "M"}, needs, ""},
      {{"--export-png", "o.png", "--extended", "--study", "M"}, needs, ""},
      {{"--export-png", "o.png", "--extended", "--study", "", "M"}, needs, ""},
      {{"--export-png", "o.png", "--study", "rsi", "M"},
       "--study draws the extended chart: it needs --extended",
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[c.args.size() - 2]);
    const auto p = Exports(c.args);
    EXPECT_EQ(p.error, c.error);
    if (p.options) {
      EXPECT_EQ(studies::StudyListText(p.options->studies), c.studies);
    }
  }
  // Eight studies fit; a ninth is refused rather than dropped.
  std::vector<std::string_view> args = {"--export-png", "o.png", "--extended", "M"};
  for (int i = 0; i < 8; ++i) args.insert(args.end() - 1, {"--study", "rsi"});
  EXPECT_EQ(Exports(args).error, "");
  args.insert(args.end() - 1, {"--study", "rsi"});
  EXPECT_EQ(Exports(args).error,
            "--study given more than 8 times: a chart draws at most 8 studies");
  EXPECT_EQ(ParseCommandLine({"--study", "rsi", "M"}).error, "unknown option --study");
}

TEST(ExportCommandLine, UntilTakesCalendarDaysBeyondTheQuoteFilesRange) {
  const auto p = Exports({"--export-png", "o.png", "--until", "2000-02-29", "M"});
  ASSERT_TRUE(p.options) << p.error;
  EXPECT_EQ(p.options->until, "2000-02-29");
  EXPECT_EQ(p.options->untilDay, DayNumber(2000, 2, 29));
  EXPECT_EQ(tv::ParseUntilDate("1961-01-01"), 1);
  EXPECT_EQ(tv::ParseUntilDate("1960-12-31"), 0);      // earlier than any bar
  EXPECT_EQ(tv::ParseUntilDate("2050-09-18"), 32767);  // later than any bar
  EXPECT_EQ(tv::ParseUntilDate("2000-04-31"), std::nullopt);
  EXPECT_EQ(tv::ParseUntilDate("2000-04-3a"), std::nullopt);
}

}  // namespace

TEST(CommandLine, AnOptionGivenTwiceIsRefused) {
  const struct {
    std::vector<std::string_view> args;
    std::string error;
  } cases[] = {
      {{"--export-png", "o.png", "--until", "2001-01-02", "--until", "2001-01-03", "M"},
       "--until given twice"},
      {{"--export-png", "a.png", "--export-png", "b.png", "M"}, "--export-png given twice"},
      {{"--export-all", "d", "--print-colors", "M", "--print-colors"},
       "--print-colors given twice"},
      {{"--profile", "a.ini", "--profile=b.ini", "M"}, "--profile given twice"},
      {{"--extended", "M", "--extended"}, "--extended given twice"},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseCommandLine(c.args).error, c.error) << c.error;
}

TEST(CommandLine, DoubleDashEndsTheOptionsAndNamesStayBytes) {
  CommandLine line = ParseCommandLine({"--", "--export-png"});
  EXPECT_EQ(line.mode, CommandLine::Mode::kWindow);
  EXPECT_EQ(line.error, "");
  EXPECT_EQ(line.file, "--export-png");
  line = ParseCommandLine({"--export-png", "o.png", "--", "--size"});
  EXPECT_EQ(line.error, "");
  EXPECT_EQ(line.exports.master, "--size");

  // Names that are not valid UTF-8 come back byte for byte.
  line =
      ParseCommandLine({"--export-png", "out/x\xe9.png", "--symbol", "\xc4\xff", "d\xff/MASTER"});
  ASSERT_EQ(line.error, "");
  EXPECT_EQ(line.exports.pngPath, "out/x\xe9.png");
  EXPECT_EQ(line.exports.symbol, "\xc4\xff");
  EXPECT_EQ(line.exports.master, "d\xff/MASTER");
  line = ParseCommandLine({"--profile", "s\xe9.ini", "d\xe9/MASTER"});
  EXPECT_EQ(line.profile, "s\xe9.ini");
  EXPECT_EQ(line.file, "d\xe9/MASTER");
}
