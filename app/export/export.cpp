#include "export.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgGenerator>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "Doc.h"
#include "bars.h"
#include "chart_image.h"
#include "database_files.h"
#include "extended.h"
#include "memory_room.h"
#include "ordered_jobs.h"
#include "output_file.h"
#include "pdf_book.h"
#include "png_file.h"
#include "qt_profile.h"
#include "qt_surface.h"
#include "quote_file.h"
#include "series.h"
#include "svg_compact.h"
#include "values.h"

namespace tv {

namespace {

// The viewer takes a settings file it cannot read for an empty one; a script that names one
// means it, so any file the viewer would not read is refused before anything is drawn. Empty
// when the file can be read, else the message.
std::string ProfileRefusal(const std::string& bytes) {
  const std::optional<QString> name = QtProfile::FromBytes(bytes);
  const QFileInfo file(name.value_or(QString()));
  if (!name || !file.isFile() || !file.isReadable())
    return "cannot read the settings file " + bytes;
  if (file.size() > QtProfile::kMaxFileSize)
    return "cannot read the settings file " + bytes +
           ": it is larger than 1 MB, which no settings file of ours comes near";
  return {};
}

// Opens the database as the document does: reset, take the view options, accept the path,
// read the list, load the first security. False (the reason already reported) when there is
// nothing to draw.
bool OpenDatabase(CBars& bars, const ExportOptions& options, MessageService& messages) {
  const std::string& master = options.master;
  bars.Reset();
  if (!options.profile.empty()) {
    if (const std::string refusal = ProfileRefusal(options.profile); !refusal.empty()) {
      std::fprintf(stderr, "tickvane: %s\n", refusal.c_str());
      return false;
    }
    // The viewer's own refusal, in its words.
    if (LeadsToDatabaseFileName(options.profile)) {
      messages.ShowMessage("The settings file " + options.profile +
                               " has the name of a quote database file, or leads to one; it "
                               "is never used. Give another with --profile FILE.",
                           MessageIcon::Stop);
      return false;
    }
    QtProfile profile(*QtProfile::FromBytes(options.profile));
    LoadViewOptions(profile, bars);
  }
  if (!bars.OpenMaster(master.c_str())) {
    messages.ShowMessage("You have not selected a file named \"MASTER\"", MessageIcon::Stop);
    return false;
  }
  bars.ReadSecurityList();
  if (bars.m_count == 0) {
    QuoteFile file;
    errno = 0;
    if (!file.open(master))
      std::fprintf(stderr, "tickvane: cannot open %s (%s)\n", master.c_str(),
                   errno == EINVAL ? "not a regular file" : std::strerror(errno));
    else
      std::fprintf(stderr, "tickvane: %s lists no securities\n", master.c_str());
    return false;
  }
  return true;
}

}  // namespace

std::string LoadFailure(const CBars& bars) {
  const char* symbol = bars.GetSymbol(bars.m_current);
  const std::string key = symbol ? symbol : "";
  const UnopenableFile file = bars.IsExtended() ? FindUnopenableIndexedFile(bars.m_dataDir, key)
                                                : FindUnopenableDataFile(bars.m_dataDir, key);
  if (file.path.empty()) {
    std::string why =
        bars.IsExtended() ? DescribeUnreadableShape(bars.m_dataDir, key) : std::string();
    if (why.empty()) why = DescribeRecordCount(bars.m_dataDir, key, bars.IsExtended());
    return why.empty() ? "load failed" : why;
  }
  std::string failure = "cannot open " + file.path + ": " +
                        (file.error == EINVAL ? "not a regular file" : std::strerror(file.error));
  if (!bars.IsExtended() && OnlyLayoutFileMissing(bars.m_dataDir, key))
    failure +=
        "; the layout file is all this security lacks, and --extended reads it from the "
        "field count";
  return failure;
}

namespace {

// Writes the image to path, unless that would replace a file it must not; empty on
// success, else the reason.
std::string WriteChart(const QImage& image, const std::string& path,
                       const DatabaseFiles& database) {
  if (image.isNull()) return "no memory for the image";
  if (std::string refusal = RefusalToReplace(path, database); !refusal.empty()) return refusal;
  const QByteArray png = EncodePng(image);
  return ReplaceFileAtomically(path, {reinterpret_cast<const std::uint8_t*>(png.constData()),
                                      static_cast<std::size_t>(png.size())});
}

}  // namespace

std::string ExportFileName(int index, std::string_view symbol) {
  char number[16];
  std::snprintf(number, sizeof number, "%03d-", index + 1);
  std::string name = number;
  for (const char c : symbol) {
    const bool safe = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '_' || c == '.' || c == '+' || c == '&' || c == '=';
    name += safe ? c : '_';
  }
  return name + ".png";
}

ChartSettings ExportChartSettings(const ExportOptions& options) {
  ChartSettings chart;
  if (!options.profile.empty()) {
    QtProfile profile(QString::fromStdString(options.profile));
    chart = LoadChartSettings(profile);
  }
  if (options.style) chart.style = *options.style;
  if (options.period) chart.period = *options.period;
  if (options.log) chart.log = true;
  if (!options.studies.empty()) chart.studies = options.studies;
  if (!options.compare.empty()) chart.compare = options.compare;
  chart.compared = options.compared;
  return chart;
}

namespace {

// Draws the chart over the whole image: either chart fills its background first.
void DrawOver(QImage& image, CBars& bars, bool printColors, const ChartSettings& chart) {
  QPainter painter(&image);
  QtSurface surface(painter);
  bars.SetLogicalSize({image.width(), image.height()});
  DrawChart(bars, surface, {0, 0, image.width(), image.height()}, printColors, chart);
}

}  // namespace

QImage RenderChart(CBars& bars, int width, int height, bool printColors,
                   const ChartSettings& chart) {
  QImage image = NewChartImage(width, height);
  if (!image.isNull()) DrawOver(image, bars, printColors, chart);
  return image;
}

namespace {

// The chart as an SVG document: lines as lines, labels as text. Empty on success, else the
// reason.
std::string WriteSvg(CBars& bars, const ExportOptions& options, const DatabaseFiles& database) {
  const std::string& path = options.svgPath;
  if (std::string refusal = RefusalToReplace(path, database, OutputKind::kSvg); !refusal.empty())
    return refusal;
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize({options.width, options.height});
  svg.setViewBox(QRect(0, 0, options.width, options.height));
  svg.setResolution(96);
  svg.setTitle(QString::fromLatin1(bars.CurrentSymbol()));
  svg.setDescription(QStringLiteral("Tickvane chart"));
  {
    QPainter painter;
    if (!painter.begin(&svg)) return "the SVG document could not be started";
    QtSurface surface(painter);
    bars.SetLogicalSize({options.width, options.height});
    DrawChart(bars, surface, {0, 0, options.width, options.height}, options.printColors,
              ExportChartSettings(options));
  }
  const QByteArray& bytes = buffer.data();
  // The classic chart's document stays as it always was written.
  const std::string_view written(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  const std::string text = bars.IsExtended() ? CompactSvg(written) : std::string(written);
  return ReplaceFileAtomically(path,
                               {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

// Whether the open list has `symbol`; in extended mode, as the search looks, also the
// lists of the folders its directory entries lead to, depth first: the first folder that
// has it is left open.
bool ListSymbol(CBars& bars, const std::string& symbol, int depth) {
  for (int i = 0; i < bars.m_count; ++i)
    if (!(bars.IsExtended() && bars.IsDirectoryEntry(i)) && symbol == bars.GetSymbol(i))
      return true;
  if (!bars.IsExtended() || depth >= kMaxSearchDepth) return false;
  std::vector<std::string> folders;
  for (int i = 0; i < bars.m_count; ++i)
    if (bars.IsDirectoryEntry(i)) folders.push_back(bars.DirectoryEntryMaster(i));
  for (const std::string& folder : folders) {
    if (!bars.OpenMaster(folder.c_str())) continue;
    bars.ReadSecurityList();
    if (ListSymbol(bars, symbol, depth + 1)) return true;
  }
  return false;
}

// --export-png: one chart, of the first listed security or of --symbol.
int ExportOne(CBars& bars, const ExportOptions& options, const DatabaseFiles& database) {
  // As the document opens a database: the first security is loaded, then Go To runs.
  const int loaded = bars.LoadCurrentSecurity();
  if (!options.symbol.empty()) {
    if (!ListSymbol(bars, options.symbol, 0)) {
      std::fprintf(stderr, "tickvane: no security with symbol %s in %s\n", options.symbol.c_str(),
                   options.master.c_str());
      return 1;
    }
    bars.SearchSetSymbolIndex(options.symbol);
    if (!bars.m_seriesAllocated) {
      std::fprintf(stderr, "tickvane: %s\n", LoadFailure(bars).c_str());
      return 1;
    }
  } else if (loaded != 0) {
    std::fprintf(stderr, "tickvane: %s\n", LoadFailure(bars).c_str());
    return 1;
  }
  if (!options.until.empty() &&
      bars.ShowBarsUntil(static_cast<std::int16_t>(options.untilDay)) != 0) {
    // A failed read has been reported already.
    if (bars.m_seriesAllocated)
      std::fprintf(stderr, "tickvane: %s has no bar dated on or before %s\n",
                   bars.GetSymbol(bars.m_current), options.until.c_str());
    return 1;
  }
  const bool svg = !options.svgPath.empty();
  const std::string failure =
      svg ? WriteSvg(bars, options, database)
          : WriteChart(RenderChart(bars, options.width, options.height, options.printColors,
                                   ExportChartSettings(options)),
                       options.pngPath, database);
  if (!failure.empty()) {
    std::fprintf(stderr, "tickvane: cannot write %s: %s\n",
                 (svg ? options.svgPath : options.pngPath).c_str(), failure.c_str());
    return 1;
  }
  return 0;
}

// Keeps what the chart object reports, as the program would print it, in the report of the
// security being exported; nothing while there is none.
class ReportedMessages final : public MessageService {
 public:
  std::string* report = nullptr;
  void ShowMessage(std::string_view text, MessageIcon) override {
    if (report == nullptr) return;
    *report += kAppCaption;
    *report += ": ";
    *report += text;
    *report += '\n';
  }
};

// One thread's own chart object on the database, with the view options and colours of the
// one the list was read with.
struct ExportWorker {
  ReportedMessages messages;
  CBars bars{&messages};
  ChartSettings chart;
  // Drawn over for each chart: a new image each time would have its megabytes faulted in
  // page by page.
  QImage image;
};

std::unique_ptr<ExportWorker> OpenWorker(const CBars& opened, const ExportOptions& options) {
  auto worker = std::make_unique<ExportWorker>();
  CBars& bars = worker->bars;
  bars.SetExtended(opened.IsExtended());
  bars.SetViewOptions(opened.GetViewOptions());
  bars.m_screenColors = opened.m_screenColors;
  bars.m_printColors = opened.m_printColors;
  bars.m_workColors = opened.m_workColors;
  worker->chart = ExportChartSettings(options);
  // Whatever opening says has been said by the first opening already.
  if (bars.OpenMaster(options.master.c_str())) bars.ReadSecurityList();
  return worker;
}

// What exporting one security said, to be printed in list order, and whether its file was
// written.
struct ExportOutcome {
  std::string report;
  bool written = false;
};

std::string Skipped(const std::string& symbol, const std::string& reason) {
  return "tickvane: skipped " + symbol + " (" + reason + ")\n";
}

ExportOutcome ExportSecurity(ExportWorker& worker, int index, const std::string& symbol, int listed,
                             const ExportOptions& options, const DatabaseFiles& database) {
  CBars& bars = worker.bars;
  ExportOutcome outcome;
  outcome.report =
      "[" + std::to_string(index + 1) + "/" + std::to_string(listed) + "] " + symbol + "\n";
  if (index >= bars.m_count || symbol != bars.GetSymbol(index)) {
    outcome.report += Skipped(symbol, options.master + " changed during the export");
    return outcome;
  }
  worker.messages.report = &outcome.report;
  bars.m_current = index;
  const bool loaded = bars.LoadCurrentSecurity() == 0;
  worker.messages.report = nullptr;
  if (!loaded) {
    outcome.report += Skipped(symbol, LoadFailure(bars));
    return outcome;
  }
  const std::string path =
      (std::filesystem::path(options.outDir) / ExportFileName(index, symbol)).string();
  QImage& image = worker.image;
  if (image.size() != QSize(options.width, options.height))
    image = NewChartImage(options.width, options.height);
  if (image.isNull()) {
    outcome.report += Skipped(symbol, "no memory for an image of " + std::to_string(options.width) +
                                          "x" + std::to_string(options.height) + " pixels");
    return outcome;
  }
  DrawOver(image, bars, options.printColors, worker.chart);
  const std::string failure = WriteChart(image, path, database);
  if (!failure.empty()) {
    outcome.report += Skipped(symbol, "cannot write " + path + ": " + failure);
    return outcome;
  }
  outcome.written = true;
  return outcome;
}

// How many charts to draw at once: as many as asked, unless their images would not fit in the
// memory the process may take; then fewer, said once.
int ImagesInFlight(const ExportOptions& options, int jobs, int charts) {
  const std::uint64_t imageBytes = std::uint64_t{4} * static_cast<std::uint64_t>(options.width) *
                                   static_cast<std::uint64_t>(options.height);
  const MemoryRoom room = MeasureMemoryRoom();
  const int atOnce = ImagesAtOnce(jobs, imageBytes, room);
  if (atOnce < std::min(jobs, charts)) {
    const std::uint64_t free =
        std::min(room.memory.value_or(UINT64_MAX), room.addressSpace.value_or(UINT64_MAX));
    std::fprintf(
        stderr,
        "tickvane: drawing %d chart%s at a time, not %d: each %dx%d image takes %llu MB and "
        "about %llu MB of memory is free\n",
        atOnce, atOnce == 1 ? "" : "s", jobs, options.width, options.height,
        static_cast<unsigned long long>(imageBytes >> 20),
        static_cast<unsigned long long>(free >> 20));
  }
  return atOnce;
}

// --export-all: a file per listed security, drawn and encoded on options.jobs threads, each
// with its own chart object; reported in list order. Directory entries are not securities.
int ExportAll(const CBars& bars, const ExportOptions& options, const DatabaseFiles& database) {
  // A directory that cannot be made is said once, before any chart is drawn.
  std::error_code ec;
  std::filesystem::create_directories(options.outDir, ec);
  if (ec || !std::filesystem::is_directory(options.outDir)) {
    std::fprintf(stderr, "tickvane: cannot create the directory %s: %s\n", options.outDir.c_str(),
                 (ec ? ec : std::make_error_code(std::errc::not_a_directory)).message().c_str());
    return 1;
  }
  std::vector<std::pair<int, std::string>> securities;
  for (int i = 0; i < bars.m_count; ++i)
    if (!bars.IsDirectoryEntry(i)) securities.emplace_back(i, bars.GetSymbol(i));
  const int total = static_cast<int>(securities.size());
  const int jobs = ImagesInFlight(
      options,
      options.jobs > 0 ? options.jobs : static_cast<int>(std::thread::hardware_concurrency()),
      total);
  int written = 0;
  RunInOrder(
      total, jobs, [&] { return OpenWorker(bars, options); },
      [&](std::unique_ptr<ExportWorker>& worker, int k) {
        const auto& [index, symbol] = securities[static_cast<std::size_t>(k)];
        return ExportSecurity(*worker, index, symbol, bars.m_count, options, database);
      },
      [&](int, const ExportOutcome& outcome) {
        std::fputs(outcome.report.c_str(), stderr);
        written += outcome.written ? 1 : 0;
      });
  std::fprintf(stderr, "tickvane: %d of %d charts written to %s\n", written, total,
               options.outDir.c_str());
  return written == total ? 0 : 1;
}

// Reads the securities the extended chart is compared with (--compare, else the settings
// file's), once for every chart; false, the reason on stderr, when one cannot be read: a
// picture without a line asked for would pass for a complete one.
bool ReadComparedOnce(const CBars& bars, ExportOptions& options) {
  const std::vector<std::string> symbols = ExportChartSettings(options).compare;
  if (symbols.empty() || !bars.IsExtended()) return true;
  auto read = std::make_shared<std::vector<ComparedSecurity>>(ReadCompared(bars, symbols));
  for (const ComparedSecurity& c : *read) {
    if (c.problem == kNotFound) {
      std::fprintf(stderr, "tickvane: no security with symbol %s to compare with in %s\n",
                   c.symbol.c_str(), options.master.c_str());
      return false;
    }
    if (!c.problem.empty()) {
      std::fprintf(stderr, "tickvane: cannot compare with %s: %s\n", c.symbol.c_str(),
                   c.problem.c_str());
      return false;
    }
  }
  options.compared = std::move(read);
  return true;
}

}  // namespace

int RunExport(const ExportOptions& options, MessageService& messages) {
  // A name that can never be written is refused before any work is done.
  const bool book = !options.pdfPath.empty(), svg = !options.svgPath.empty();
  const bool one = svg || !options.pngPath.empty();
  const std::string& target = book  ? options.pdfPath
                              : svg ? options.svgPath
                              : one ? options.pngPath
                                    : options.outDir;
  if (const std::string refusal = book  ? RefusalOfOutputName(target, ".pdf")
                                  : svg ? RefusalOfOutputName(target, ".svg")
                                  : one ? RefusalOfOutputName(target, ".png")
                                        : RefusalOfOutputDirectory(target);
      !refusal.empty()) {
    std::fprintf(stderr, "tickvane: cannot write %s: %s\n", target.c_str(), refusal.c_str());
    return 1;
  }
  CBars bars(&messages);
  bars.SetExtended(options.extended);
  if (!OpenDatabase(bars, options, messages)) return 1;
  const DatabaseFiles database(options.master);
  ExportOptions compared = options;
  if (!ReadComparedOnce(bars, compared)) return 1;
  if (book) return ExportBook(bars, compared, database);
  return one ? ExportOne(bars, compared, database) : ExportAll(bars, compared, database);
}

int ExportMain(const ExportOptions& options, char** argv) {
  // Images need fonts, not a screen: the offscreen platform gives the same pictures with or
  // without a display, unless the user chose a platform.
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // stderr carries the program's own messages; Qt's notes about a missing session runtime
  // directory (usual in a headless run) are no concern of an export.
  static QtMessageHandler qtDefault = nullptr;
  qtDefault = qInstallMessageHandler(
      [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtWarningMsg && text.contains(QLatin1String("XDG_RUNTIME_DIR"))) return;
        if (qtDefault) qtDefault(type, context, text);
      });
  // Past a file-size limit a write should fail, so that the file being written is removed,
  // instead of ending the program with the file half written.
  std::signal(SIGXFSZ, SIG_IGN);
  int qtArgc = 1;
  QGuiApplication app(qtArgc, argv);
  StderrMessageService messages;
  return RunExport(options, messages);
}

}  // namespace tv
