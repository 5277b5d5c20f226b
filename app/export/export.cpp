#include "export.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <future>
#include <optional>
#include <system_error>

#include "Doc.h"
#include "bars.h"
#include "output_file.h"
#include "png_file.h"
#include "qt_profile.h"
#include "qt_surface.h"
#include "quote_file.h"
#include "series.h"
#include "values.h"

namespace tv {

namespace {

// Opens the database as the document does: reset, take the view options, accept the path,
// read the list, load the first security. False (the reason already reported) when there is
// nothing to draw.
bool OpenDatabase(CBars& bars, const ExportOptions& options, MessageService& messages) {
  const std::string& master = options.master;
  bars.Reset();
  if (!options.profile.empty()) {
    // The viewer takes a missing settings file for an empty one; a script that names one
    // means it, so a name that leads nowhere is refused before anything is drawn.
    const std::optional<QString> name = QtProfile::FromBytes(options.profile);
    const QFileInfo file(name.value_or(QString()));
    if (!name || !file.isFile() || !file.isReadable()) {
      std::fprintf(stderr, "tickvane: cannot read the settings file %s\n", options.profile.c_str());
      return false;
    }
    QtProfile profile(file.filePath());
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

// Why the current security could not be loaded, naming its layout or data file when one of
// them cannot be opened.
std::string LoadFailure(const CBars& bars) {
  const char* symbol = bars.GetSymbol(bars.m_current);
  const UnopenableFile file = bars.IsExtended()
                                  ? FindUnopenableIndexedFile(bars.m_dataDir, symbol ? symbol : "")
                                  : FindUnopenableDataFile(bars.m_dataDir, symbol ? symbol : "");
  if (file.path.empty()) return "load failed";
  return "cannot open " + file.path + ": " +
         (file.error == EINVAL ? "not a regular file" : std::strerror(file.error));
}

// Writes the image to path, unless that would replace a file it must not; empty on
// success, else the reason.
std::string WriteChart(const QImage& image, const std::string& path,
                       const DatabaseFiles& database) {
  if (image.isNull()) return "no memory for the image";
  if (std::string refusal = RefusalToReplace(path, database); !refusal.empty()) return refusal;
  const QByteArray png = EncodePng(image);
  return WriteFileInPlace(path, {reinterpret_cast<const std::uint8_t*>(png.constData()),
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

QImage RenderChart(CBars& bars, int width, int height, bool printColors) {
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return image;
  QPainter painter(&image);
  QtSurface surface(painter);
  bars.SetLogicalSize({width, height});
  bars.Draw(surface, {0, 0, width, height}, printColors);
  return image;
}

namespace {

// --export-png: one chart, of the first listed security or of --symbol.
int ExportOne(CBars& bars, const ExportOptions& options, const DatabaseFiles& database) {
  // As the document opens a database: the first security is loaded, then Go To runs.
  const int loaded = bars.LoadCurrentSecurity();
  if (!options.symbol.empty()) {
    bool listed = false;
    for (int i = 0; i < bars.m_count && !listed; ++i) listed = options.symbol == bars.GetSymbol(i);
    // Not listed: the search reports it as Go To would, and nothing is written.
    bars.SearchSetSymbolIndex(options.symbol);
    if (!listed) return 1;
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
  const std::string failure =
      WriteChart(RenderChart(bars, options.width, options.height, options.printColors),
                 options.pngPath, database);
  if (!failure.empty()) {
    std::fprintf(stderr, "tickvane: cannot write %s: %s\n", options.pngPath.c_str(),
                 failure.c_str());
    return 1;
  }
  return 0;
}

// --export-all: a file per listed security; directory entries are not securities.
int ExportAll(CBars& bars, const ExportOptions& options, const DatabaseFiles& database) {
  std::error_code ec;
  std::filesystem::create_directories(options.outDir, ec);
  int failed = 0;
  // Encoding a PNG costs several times drawing the chart: files are written on two more
  // threads while the next charts are loaded and drawn.
  struct Pending {
    std::future<std::string> failure;
    std::string symbol, path;
  };
  std::deque<Pending> pending;
  const auto finishOldest = [&] {
    Pending& oldest = pending.front();
    if (const std::string failure = oldest.failure.get(); !failure.empty()) {
      std::fprintf(stderr, "tickvane: skipped %s (cannot write %s: %s)\n", oldest.symbol.c_str(),
                   oldest.path.c_str(), failure.c_str());
      ++failed;
    }
    pending.pop_front();
  };
  int securities = 0;
  for (int i = 0; i < bars.m_count; ++i) {
    if (bars.IsDirectoryEntry(i)) continue;
    ++securities;
    const std::string symbol = bars.GetSymbol(i);
    const std::string path =
        (std::filesystem::path(options.outDir) / ExportFileName(i, symbol)).string();
    std::fprintf(stderr, "[%d/%d] %s\n", i + 1, bars.m_count, symbol.c_str());
    bars.m_current = i;
    if (bars.LoadCurrentSecurity() != 0) {
      std::fprintf(stderr, "tickvane: skipped %s (%s)\n", symbol.c_str(),
                   LoadFailure(bars).c_str());
      ++failed;
      continue;
    }
    QImage image = RenderChart(bars, options.width, options.height, options.printColors);
    if (pending.size() == 2) finishOldest();
    pending.push_back(
        {std::async(std::launch::async, [image = std::move(image), path,
                                         &database] { return WriteChart(image, path, database); }),
         symbol, path});
  }
  while (!pending.empty()) finishOldest();
  std::fprintf(stderr, "tickvane: %d of %d charts written to %s\n", securities - failed, securities,
               options.outDir.c_str());
  return failed == 0 ? 0 : 1;
}

}  // namespace

int RunExport(const ExportOptions& options, MessageService& messages) {
  // A name that can never be written is refused before any work is done.
  const std::string& target = options.pngPath.empty() ? options.outDir : options.pngPath;
  if (const std::string refusal = options.pngPath.empty()
                                      ? RefusalOfOutputDirectory(options.outDir)
                                      : RefusalOfOutputName(options.pngPath, ".png");
      !refusal.empty()) {
    std::fprintf(stderr, "tickvane: cannot write %s: %s\n", target.c_str(), refusal.c_str());
    return 1;
  }
  CBars bars(&messages);
  bars.SetExtended(options.extended);
  if (!OpenDatabase(bars, options, messages)) return 1;
  const DatabaseFiles database(options.master);
  return options.pngPath.empty() ? ExportAll(bars, options, database)
                                 : ExportOne(bars, options, database);
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
