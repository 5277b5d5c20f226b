#pragma once
// Headless export: draws charts of a database into PNG files or a PDF book without a display (the
// command lines are read in command_line.h).
//
// The database is opened as the document opens it; messages the program would show in
// boxes go to stderr as "Tickvane: <text>". Charts are drawn with the default view options,
// so that a script's pictures do not depend on the user's settings, or with those of the
// settings file named by --profile, read as the viewer reads them (never written).

#include <QImage>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chart_settings.h"

#include "messages.h"

class CBars;

namespace tv {

struct ExportOptions {
  std::string pngPath;  // --export-png
  std::string outDir;   // --export-all
  std::string pdfPath;  // --export-pdf
  std::string svgPath;  // --export-svg
  int width = 1280;
  int height = 720;
  int jobs = 0;        // --jobs: charts drawn at a time by --export-all; 0: one per processor core
  std::string symbol;  // --symbol; empty: the first listed security
  std::string until;   // --until as given; empty: the newest bars
  int untilDay = 0;    // its day number (0: before the first day a quote file can hold)
  bool printColors = false;
  bool extended = false;  // --extended: the extended reading (extended.h)
  std::string profile;    // --profile; empty: the default view options
  // --style and --log (with --extended): they win over the settings file's [Chart] keys.
  std::optional<plot::Style> style;
  std::optional<plot::Period> period;  // --period
  bool log = false;
  std::vector<studies::StudyConfig>
      studies;                       // --study, in order; when given, they replace [Chart]'s
  std::vector<std::string> compare;  // --compare, in order; when given, they replace [Chart]'s
  // The compared securities as read once the database is open, for every chart drawn.
  std::shared_ptr<const std::vector<ComparedSecurity>> compared;
  std::string master;
};

// File name of the security at 0-based list position `index` in --export-all:
// NNN-SYMBOL.png, NNN the 1-based position, zero-padded to three digits; characters unsafe in
// file names become '_'.
std::string ExportFileName(int index, std::string_view symbol);

// Why the chart object's current security could not be loaded, naming its layout or data file
// when one of them cannot be opened (and the way to read it when a missing layout file is all
// it lacks), or why no layout fits it.
std::string LoadFailure(const CBars& bars);

// The extended chart's settings for an export: the settings file's [Chart] (with --profile),
// then what --style, --log, --study and --compare say, with the compared securities read.
ChartSettings ExportChartSettings(const ExportOptions& options);

// Draws the chart object's current state into a width x height image (null when it cannot
// be had); the extended chart is drawn with `chart` when the chart object reads the extended
// way.
QImage RenderChart(CBars& bars, int width, int height, bool printColors,
                   const ChartSettings& chart = {});

// Runs one export; needs a Qt GUI application object (fonts). Returns the process exit code:
// 0 done, 1 something failed.
int RunExport(const ExportOptions& options, MessageService& messages);

// The whole command: sets up Qt without a display and runs the export. `argv` is the
// program's, for Qt.
int ExportMain(const ExportOptions& options, char** argv);

}  // namespace tv
