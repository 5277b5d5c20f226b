#include "command_line.h"

#include <QCommandLineParser>
#include <QStringList>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <utility>

#include "compare.h"
#include "values.h"
#include "version.h"

namespace tv {

const char* const kUsage =
    "usage: tickvane [--profile FILE] [--extended | --no-extended] [MASTERFILE]\n"
    "       tickvane --export-png OUT.png [--size WxH] [--symbol SYM] [--until YYYY-MM-DD]\n"
    "                [--print-colors] [--extended] [--profile FILE] MASTERFILE\n"
    "       tickvane --export-all OUTDIR [--size WxH] [--print-colors] [--jobs N]\n"
    "                [--extended] [--profile FILE] MASTERFILE\n"
    "       tickvane --export-pdf BOOK.pdf [--extended] [--profile FILE] MASTERFILE\n"
    "       tickvane --export-svg OUT.svg [--size WxH] [--symbol SYM] [--until YYYY-MM-DD]\n"
    "                [--print-colors] [--extended] [--profile FILE] MASTERFILE\n"
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
    "  --export-pdf    draw every chart on a page of its own into BOOK.pdf, in the print\n"
    "                  colours, without a window\n"
    "  --jobs N        with --export-all: draw N charts at a time, 1 to 256\n"
    "                  (default: one for each processor core)\n"
    "  --export-svg    draw one chart into an SVG file (lines as lines, labels as text)\n"
    "  --style STYLE   with --extended: the bars as hlc (high-low-close, the default),\n"
    "                  ohlc, candles or line (the closes); default: the settings file's\n"
    "                  [Chart] Style with --profile\n"
    "  --period P      with --extended: the bars as read (bars, the default), or one bar a\n"
    "                  day, week or month (daily, weekly, monthly); default: the settings\n"
    "                  file's [Chart] Period with --profile\n"
    "  --log           with --extended: a logarithmic price scale\n"
    "  --study STUDY   with --extended, repeatable (up to 8): draw a study, sma:N, ema:N,\n"
    "                  bollinger[:N,K] over the prices, rsi[:N], macd[:F,S,G],\n"
    "                  stochastic[:N,D] in panes below; default: the settings file's\n"
    "                  [Chart] Studies with --profile\n"
    "  --compare SYM   with --extended, repeatable (up to 4): draw the closes of SYM and of\n"
    "                  the chart's security as the percent change since the first bar\n"
    "                  shown, matched by date; default: the settings file's [Chart] Compare\n"
    "                  with --profile\n"
    "  --help          show this text\n"
    "  --version       show the program's version\n";

const char* const kVersionText = "Tickvane Version " TICKVANE_VERSION_SHORT "\n";

namespace {

constexpr int kMaxExportSide = 8192;  // a bound on the image the command line can ask for
constexpr int kMaxJobs = 256;         // a bound on the threads the command line can ask for

// A whole decimal number from 1 to most.
bool ParseCount(std::string_view text, int most, int& out) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc{} && end == text.data() + text.size() && out >= 1 && out <= most;
}

bool ParseSize(std::string_view text, int& width, int& height) {
  const auto x = text.find_first_of("xX");
  if (x == std::string_view::npos) return false;
  return ParseCount(text.substr(0, x), kMaxExportSide, width) &&
         ParseCount(text.substr(x + 1), kMaxExportSide, height);
}

// Arguments reach the parser one byte to one character (Latin-1) and come back the same way:
// a file name is bytes, and a name that is not valid in the locale's encoding must still be
// the name opened and the name written.
QString FromBytes(std::string_view bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
std::string Text(const QString& text) { return text.toLatin1().toStdString(); }

// The first option named more than once ("--until", "-h"); empty when none is. Every option
// but --study and --compare means one thing once: given twice, one of the two would silently
// be lost.
std::string RepeatedOption(const QCommandLineParser& parser) {
  QStringList seen;
  for (const QString& name : parser.optionNames()) {
    if (name != QLatin1String("study") && name != QLatin1String("compare") && seen.contains(name))
      return (name.size() == 1 ? "-" : "--") + Text(name);
    seen.append(name);
  }
  return {};
}

// Every option of every mode; each mode refuses the others' options itself, so that a mistake
// reads the same whichever mode it is made in.
struct Options {
  QCommandLineOption help{{"h", "help"}};
  QCommandLineOption version{{"v", "version"}};
  QCommandLineOption profile{"profile", {}, "FILE"};
  QCommandLineOption exportPng{"export-png", {}, "OUT.png"};
  QCommandLineOption exportAll{"export-all", {}, "OUTDIR"};
  QCommandLineOption exportPdf{"export-pdf", {}, "BOOK.pdf"};
  QCommandLineOption size{"size", {}, "WxH"};
  QCommandLineOption jobs{"jobs", {}, "N"};
  QCommandLineOption symbol{"symbol", {}, "SYM"};
  QCommandLineOption until{"until", {}, "YYYY-MM-DD"};
  QCommandLineOption printColors{"print-colors"};
  QCommandLineOption extended{"extended"};
  QCommandLineOption noExtended{"no-extended"};
  QCommandLineOption exportSvg{"export-svg", {}, "OUT.svg"};
  QCommandLineOption style{"style", {}, "STYLE"};
  QCommandLineOption log{"log"};
  QCommandLineOption period{"period", {}, "P"};
  QCommandLineOption study{"study", {}, "STUDY"};
  QCommandLineOption compare{"compare", {}, "SYM"};

  QList<QCommandLineOption> All() const {
    return {help,  version, profile, exportPng,   exportPdf, exportAll,  size,
            jobs,  symbol,  until,   printColors, extended,  noExtended, exportSvg,
            style, log,     study,   period,      compare};
  }
};

// What an option that takes a value says when the value is missing.
std::string NeedsValue(const QString& name) {
  if (name == "profile") return "--profile needs a file name";
  if (name == "export-png") return "--export-png needs a file name";
  if (name == "export-all") return "--export-all needs a directory";
  if (name == "export-pdf") return "--export-pdf needs a file name";
  if (name == "size") return "--size needs WxH, each from 1 to 8192";
  if (name == "until") return "--until needs a date YYYY-MM-DD that exists";
  if (name == "jobs") return "--jobs needs a number from 1 to 256";
  if (name == "export-svg") return "--export-svg needs a file name";
  if (name == "style") return "--style needs hlc, ohlc, candles or line";
  if (name == "period") return "--period needs bars, daily, weekly or monthly";
  if (name == "study")
    return "--study needs sma:N, ema:N, rsi[:N], macd[:F,S,G], bollinger[:N,K] or "
           "stochastic[:N,D] (lengths from 1, K above 0 and at most 100)";
  if (name == "compare") return "--compare needs a symbol";
  return "--symbol needs a symbol";
}

// The reason Qt's parser gave up: an option it does not know, or else an option that takes a
// value given last, without one.
std::string ParseError(const QCommandLineParser& parser, const QStringList& list) {
  const QStringList unknown = parser.unknownOptionNames();
  if (!unknown.isEmpty()) {
    const QString& name = unknown.front();
    return "unknown option " + std::string(name.size() == 1 ? "-" : "--") + Text(name);
  }
  QString last = list.back();
  while (last.startsWith('-')) last.remove(0, 1);
  return NeedsValue(last);
}

// Every --study in the order given: what is wrong with them, or nothing.
std::string ReadStudies(const QStringList& texts, ExportOptions& e) {
  for (const QString& text : texts) {
    const auto config = studies::ParseStudyConfig(Text(text));
    if (!config) return NeedsValue("study");
    if (e.studies.size() == studies::kMaxStudies)
      return "--study given more than " + std::to_string(studies::kMaxStudies) +
             " times: a chart draws at most " + std::to_string(studies::kMaxStudies) + " studies";
    e.studies.push_back(*config);
  }
  return {};
}

bool ReadUntil(const std::string& text, ExportOptions& e) {
  const std::optional<int> day = ParseUntilDate(text);
  if (!day) return false;
  e.until = text;
  e.untilDay = *day;
  return true;
}

// Why the export's mode and its options do not go together; empty when they do. The book takes
// none of the pictures' options: its pages have their own size and the print colours.
std::string ModeRefusal(const QCommandLineParser& parser, const Options& o) {
  const int modes = (parser.isSet(o.exportPng) ? 1 : 0) + (parser.isSet(o.exportAll) ? 1 : 0) +
                    (parser.isSet(o.exportPdf) ? 1 : 0) + (parser.isSet(o.exportSvg) ? 1 : 0);
  if (modes != 1) {
    return parser.isSet(o.exportSvg)
               ? "give exactly one of --export-png, --export-all, --export-pdf and --export-svg"
               : "give exactly one of --export-png, --export-all and --export-pdf";
  }
  if (parser.isSet(o.exportPdf)) {
    for (const QCommandLineOption* option : {&o.size, &o.jobs, &o.symbol, &o.until, &o.printColors})
      if (parser.isSet(*option))
        return "--" + Text(option->names().constFirst()) + " does not go with --export-pdf";
  }
  if (parser.isSet(o.exportAll) && parser.isSet(o.symbol))
    return "--symbol goes with --export-png only";
  if (parser.isSet(o.exportAll) && parser.isSet(o.until))
    return "--until goes with --export-png only";
  if ((parser.isSet(o.exportPng) || parser.isSet(o.exportSvg)) && parser.isSet(o.jobs))
    return "--jobs goes with --export-all only";
  return {};
}

bool ReadStyle(const std::string& text, ExportOptions& e) {
  e.style = plot::ParseStyle(text);
  return e.style.has_value();
}

// --export-svg's file name, --style, --log and --study: what is wrong with them, or nothing.
std::string ChartOptionsError(const QCommandLineParser& parser, const Options& o,
                              ExportOptions& e) {
  if (parser.isSet(o.exportSvg) && e.svgPath.empty()) return NeedsValue("export-svg");
  if (parser.isSet(o.style) && !ReadStyle(Text(parser.value(o.style)), e))
    return NeedsValue("style");
  if (parser.isSet(o.period)) {
    e.period = plot::ParsePeriod(Text(parser.value(o.period)));
    if (!e.period) return NeedsValue("period");
  }
  if (parser.isSet(o.study))
    if (std::string wrong = ReadStudies(parser.values(o.study), e); !wrong.empty()) return wrong;
  for (const QString& symbol : parser.values(o.compare)) {
    if (symbol.isEmpty()) return NeedsValue("compare");
    if (e.compare.size() == static_cast<std::size_t>(plot::kMostCompared))
      return "--compare given more than " + std::to_string(plot::kMostCompared) +
             " times: a chart compares at most " + std::to_string(plot::kMostCompared) +
             " securities";
    e.compare.push_back(Text(symbol));
  }
  for (const QCommandLineOption* chartOnly : {&o.style, &o.log, &o.study, &o.period, &o.compare}) {
    if (parser.isSet(*chartOnly) && !e.extended)
      return "--" + Text(chartOnly->names().constFirst()) +
             " draws the extended chart: it needs --extended";
  }
  return {};
}

void ReadExport(const QCommandLineParser& parser, const Options& o, CommandLine& line) {
  ExportOptions& e = line.exports;
  e.extended = parser.isSet(o.extended);
  e.pngPath = Text(parser.value(o.exportPng));
  e.outDir = Text(parser.value(o.exportAll));
  e.pdfPath = Text(parser.value(o.exportPdf));
  e.svgPath = Text(parser.value(o.exportSvg));
  e.profile = Text(parser.value(o.profile));
  if (parser.isSet(o.noExtended)) {
    line.error = "unknown option --no-extended";
  } else if (parser.isSet(o.profile) && e.profile.empty()) {
    line.error = NeedsValue("profile");
  } else if (parser.isSet(o.exportPng) && e.pngPath.empty()) {
    line.error = NeedsValue("export-png");
  } else if (parser.isSet(o.exportAll) && e.outDir.empty()) {
    line.error = NeedsValue("export-all");
  } else if (parser.isSet(o.exportPdf) && e.pdfPath.empty()) {
    line.error = NeedsValue("export-pdf");
  } else if (std::string chart = ChartOptionsError(parser, o, e); !chart.empty()) {
    line.error = std::move(chart);
  } else if (parser.isSet(o.size) && !ParseSize(Text(parser.value(o.size)), e.width, e.height)) {
    line.error = NeedsValue("size");
  } else if (parser.isSet(o.until) && !ReadUntil(Text(parser.value(o.until)), e)) {
    line.error = NeedsValue("until");
  } else if (parser.isSet(o.jobs) && !ParseCount(Text(parser.value(o.jobs)), kMaxJobs, e.jobs)) {
    line.error = NeedsValue("jobs");
  } else if (std::string refused = ModeRefusal(parser, o); !refused.empty()) {
    line.error = std::move(refused);
  } else if (parser.positionalArguments().size() > 1) {
    line.error = "more than one MASTERFILE given";
  } else if (parser.positionalArguments().isEmpty()) {
    line.error = "no MASTERFILE given";
  } else {
    e.symbol = Text(parser.value(o.symbol));
    e.printColors = parser.isSet(o.printColors);
    e.log = parser.isSet(o.log);
    e.master = Text(parser.positionalArguments().constFirst());
  }
}

void ReadWindow(const QCommandLineParser& parser, const Options& o, CommandLine& line) {
  for (const QCommandLineOption* exportOnly :
       {&o.size, &o.jobs, &o.symbol, &o.until, &o.printColors, &o.style, &o.log, &o.study,
        &o.period, &o.compare}) {
    if (parser.isSet(*exportOnly)) {
      line.error = "unknown option --" + Text(exportOnly->names().constFirst());
      return;
    }
  }
  // Of --extended and --no-extended the last one given counts.
  for (const QString& name : parser.optionNames()) {
    if (name == "extended" || name == "no-extended") line.extended = name == "extended";
  }
  line.profile = Text(parser.value(o.profile));
  if (parser.isSet(o.profile) && line.profile.empty()) {
    line.error = NeedsValue("profile");
  } else if (parser.positionalArguments().size() > 1) {
    line.error = "only one file can be opened";
  } else if (!parser.positionalArguments().isEmpty()) {
    line.file = Text(parser.positionalArguments().constFirst());
  }
}

}  // namespace

std::optional<int> ParseUntilDate(std::string_view text) { return DayNumberBound(text); }

CommandLine ParseCommandLine(const std::vector<std::string_view>& args) {
  QStringList list{QStringLiteral("tickvane")};
  bool exportCommand = false;
  bool options = true;  // "--" ends the options: what follows are file names
  for (const std::string_view a : args) {
    list.append(FromBytes(a));
    options = options && a != "--";
    // Named without its value is still an export command, refused as one.
    exportCommand = exportCommand || (options && (a == "--export-png" || a == "--export-all" ||
                                                  a == "--export-pdf" || a == "--export-svg"));
  }
  const Options o;
  QCommandLineParser parser;
  parser.addOptions(o.All());
  const bool parsed = parser.parse(list);

  CommandLine line;
  exportCommand = exportCommand || parser.isSet(o.exportPng) || parser.isSet(o.exportAll) ||
                  parser.isSet(o.exportPdf) || parser.isSet(o.exportSvg);
  line.mode = exportCommand ? CommandLine::Mode::kExport : CommandLine::Mode::kWindow;
  if (parser.isSet(o.help)) {
    line.mode = CommandLine::Mode::kHelp;
  } else if (parser.isSet(o.version)) {
    line.mode = CommandLine::Mode::kVersion;
  } else if (!parsed) {
    line.error = ParseError(parser, list);
  } else if (const std::string repeated = RepeatedOption(parser); !repeated.empty()) {
    line.error = repeated + " given twice";
  } else if (exportCommand) {
    ReadExport(parser, o, line);
  } else {
    ReadWindow(parser, o, line);
  }
  return line;
}

}  // namespace tv
