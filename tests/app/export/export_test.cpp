// The headless export: its file names, and the tickvane executable run on small databases.

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>

#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bars.h"
#include "database_files.h"
#include "export.h"
#include "output_file.h"
#include "png_file.h"
#include "quote_writer.h"
#include "run_program.h"

namespace {

TEST(ExportFileNames, NumberedFromOneWithUnsafeCharactersReplaced) {
  EXPECT_EQ(tv::ExportFileName(0, "BHP"), "001-BHP.png");
  EXPECT_EQ(tv::ExportFileName(126, "RIO.AX"), "127-RIO.AX.png");
  EXPECT_EQ(tv::ExportFileName(9, "A/B\\C:*?\"<>|"), "010-A_B_C_______.png");
  EXPECT_EQ(tv::ExportFileName(41, "../x"), "042-.._x.png");
}

// An image of `colours` colours (when it has room for them) in runs of two pixels.
QImage ImageOfColours(int width, int height, int colours) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const auto k = static_cast<unsigned>((x / 2 + y * width) % colours);
      image.setPixel(x, y, 0xFF000000u | (k * 0x10307u & 0xFFFFFFu));
    }
  return image;
}

TEST(PngEncoding, FewColoursGoIntoTheSmallestPaletteAndDecodeToTheSamePixels) {
  constexpr int kPalette = 3, kRgb = 2;  // PNG colour types
  const struct {
    int colours, width, bitDepth, colourType;
  } cases[] = {{1, 13, 1, kPalette},  {2, 9, 1, kPalette},     {3, 7, 2, kPalette},
               {4, 10, 2, kPalette},  {5, 11, 4, kPalette},    {16, 33, 4, kPalette},
               {17, 40, 8, kPalette}, {256, 300, 8, kPalette}, {257, 300, 8, kRgb},
               {5000, 301, 8, kRgb}};
  for (const auto& c : cases) {
    const QImage image = ImageOfColours(c.width, 23, c.colours);
    const QByteArray png = tv::EncodePng(image);
    ASSERT_GT(png.size(), 26) << c.colours;
    EXPECT_EQ(png[24], c.bitDepth) << c.colours;  // in the header chunk
    EXPECT_EQ(png[25], c.colourType) << c.colours;
    EXPECT_EQ(QImage::fromData(png).convertToFormat(QImage::Format_RGB32), image) << c.colours;
    // zlib, as a build may choose, over the same rows.
    const QByteArray zlib = tv::EncodePngWithZlib(image, 1, Z_RLE);
    EXPECT_EQ(zlib.left(33), png.left(33)) << c.colours;  // signature and header
    EXPECT_EQ(QImage::fromData(zlib).convertToFormat(QImage::Format_RGB32), image) << c.colours;
  }
  EXPECT_TRUE(tv::EncodePng(QImage()).isEmpty());
}

// A chart-like picture of more than 256 colours: a black first row, a grey field, stretches
// of a row like the one above long and short, a gradient, and noise.
QImage ChartLike(QImage::Format format, std::uint32_t alpha) {
  QImage image(203, 40, format);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      std::uint32_t rgb = y == 0 ? 0 : 0xC0C0C0;
      if (y > 0 && x % 50 < y % 9) rgb = 0x000080 + static_cast<std::uint32_t>(x);
      if (y > 30) rgb = static_cast<std::uint32_t>((x * 7919 + y * 104729) % 0xFFFFFF);
      image.setPixel(x, y, alpha << 24 | rgb);
    }
  return image;
}

TEST(PngEncoding, AnyImageDecodesToItsColoursAsEightBitRgbHasThem) {
  QImage raw = ChartLike(QImage::Format_RGB32, 0xFF);
  for (int y = 0; y < raw.height(); ++y)  // an alpha byte that RGB32 ignores, not 0xFF
    reinterpret_cast<std::uint32_t*>(raw.scanLine(y))[y] &= 0x00FFFFFFu;
  const struct {
    const char* what;
    QImage image;
  } cases[] = {{"opaque", ChartLike(QImage::Format_RGB32, 0xFF)},
               {"no alpha bits", raw},
               {"translucent", ChartLike(QImage::Format_ARGB32, 0x80)},
               {"premultiplied", ChartLike(QImage::Format_ARGB32_Premultiplied, 0x80)},
               {"8-bit RGB", ChartLike(QImage::Format_RGB888, 0xFF)}};
  for (const auto& c : cases) {
    const QImage expected =
        c.image.convertToFormat(QImage::Format_RGB888).convertToFormat(QImage::Format_RGB32);
    const QByteArray png = tv::EncodePng(c.image);
    EXPECT_EQ(png[25], 2) << c.what;  // RGB
    EXPECT_EQ(QImage::fromData(png).convertToFormat(QImage::Format_RGB32), expected) << c.what;
  }
}

std::string Bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs the tickvane executable without a display; `arguments` are shell words, `shellPrefix`
// runs before the program in the same shell (a `ulimit`, say), and `environment`
// (NAME=value ...) is all the program gets of a display.
fixture::ProgramRun RunTickvane(const fixture::TempDir& /*dir*/, const std::string& arguments,
                                const std::string& shellPrefix = {},
                                const std::string& environment = {}) {
  return fixture::RunProgram(
      "/bin/sh",
      {"-c", shellPrefix + "exec env " + environment + " '" + std::string(TICKVANE_EXE) + "' " +
                 arguments},
      {.unset = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}, .stdoutPath = {}});
}

TEST(Program, AnswersHelpAndVersionAndRefusesMistakesWithoutADisplay) {
  const fixture::TempDir dir;
  fixture::ProgramRun run = RunTickvane(dir, "--help");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("usage: tickvane [--profile FILE]", 0), 0u) << run.out;
  run = RunTickvane(dir, "--version");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Tickvane Version 2.1\n");
  run = RunTickvane(dir, "--export-all d --symbol X M/MASTER");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err.rfind("tickvane: --symbol goes with --export-png only\nusage: ", 0), 0u)
      << run.err;
}

class ExportRun : public ::testing::Test {
 protected:
  void SetUp() override {
    using fixture::SecurityRecord;
    fixture::WriteMaster(dir.path() / "MASTER",
                         {SecurityRecord({.fileNumber = 1, .name = "ALPHA", .symbol = "AAA"}),
                          SecurityRecord({.fileNumber = 2, .name = "BROKEN", .symbol = "B/B"}),
                          SecurityRecord({.fileNumber = 3, .name = "GAMMA", .symbol = "CCC"})});
    fixture::WriteSimpleSecurity(dir.path(), 1, {.bars = 300});
    fixture::WriteSimpleSecurity(dir.path(), 3, {.bars = 40});
    // Security 2 has a layout but no data file.
    fixture::WriteDop(dir.path() / "F2.DOP", {"DATE", "HIGH", "LOW", "CLOSE"});
  }
  std::string Master() const { return "'" + dir.dir() + "MASTER'"; }
  std::string Out(const std::string& name) const { return dir.dir() + name; }

  fixture::TempDir dir;
};

TEST_F(ExportRun, WritesTheFirstChartAtTheDefaultSizeInScreenColours) {
  const fixture::ProgramRun run =
      RunTickvane(dir, "--export-png '" + Out("a.png") + "' " + Master());
  ASSERT_EQ(run.status, 0) << run.err;
  const QImage image(QString::fromStdString(Out("a.png")));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), 1280);
  EXPECT_EQ(image.height(), 720);
  EXPECT_EQ(image.pixel(1, 1) & 0xFFFFFF, 0x000000u);         // background
  EXPECT_EQ(image.pixel(10, 720 - 5) & 0xFFFFFF, 0xFFFFFFu);  // base line, white axes
  // Some green bars in the price area.
  int green = 0;
  for (int x = 0; x < 1280; ++x)
    for (int y = 30; y < 500; ++y) green += (image.pixel(x, y) & 0xFFFFFF) == 0x00FF00u;
  EXPECT_GT(green, 500);
}

TEST_F(ExportRun, PrintColoursAtAChosenSizeForAChosenSymbol) {
  const fixture::ProgramRun run =
      RunTickvane(dir, "--export-png '" + Out("c.png") +
                           "' --size 320x200 --print-colors --symbol CCC " + Master());
  ASSERT_EQ(run.status, 0) << run.err;
  const QImage image(QString::fromStdString(Out("c.png")));
  ASSERT_EQ(image.size(), QSize(320, 200));
  EXPECT_EQ(image.pixel(1, 1) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(image.pixel(10, 200 - 5) & 0xFFFFFF, 0x000000u);
}

TEST_F(ExportRun, RefusedPathUnknownSymbolAndFailedLoadWriteNothing) {
  fixture::ProgramRun run =
      RunTickvane(dir, "--export-png '" + Out("x.png") + "' '" + dir.dir() + "F1.DAT'");
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.err.find("Tickvane: You have not selected a file named \"MASTER\""),
            std::string::npos)
      << run.err;

  run = RunTickvane(dir, "--export-png '" + Out("x.png") + "' --symbol aaa " + Master());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "tickvane: no security with symbol aaa in " + dir.dir() + "MASTER\n");

  run = RunTickvane(dir, "--export-png '" + Out("x.png") + "' --symbol B/B " + Master());
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.err.find("Tickvane: Read failed for symbol B/B"), std::string::npos);
  EXPECT_NE(
      run.err.find("tickvane: cannot open " + dir.dir() + "F2.DAT: No such file or directory"),
      std::string::npos)
      << run.err;

  // A security whose layout file is all it lacks: the message says what reads it.
  std::filesystem::remove(dir.path() / "F3.DOP");
  run = RunTickvane(dir, "--export-png '" + Out("x.png") + "' --symbol CCC " + Master());
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("tickvane: cannot open " + dir.dir() +
                         "F3.DOP: No such file or directory; the layout file is all this "
                         "security lacks, and --extended reads it from the field count\n"),
            std::string::npos)
      << run.err;

  run = RunTickvane(dir, "--export-png '" + Out("x.png") + "' '" + dir.dir() + "none/MASTER'");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot open " + dir.dir() + "none/MASTER (No such file or directory)"),
            std::string::npos)
      << run.err;

  // A chart compared with a security the database lacks would pass for a complete one.
  run =
      RunTickvane(dir, "--export-png '" + Out("x.png") + "' --extended --compare zzz " + Master());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "tickvane: no security with symbol zzz to compare with in " + dir.dir() + "MASTER\n");

  run = RunTickvane(dir, "--export-png '" + Out("x.png") + "' --size 10 " + Master());
  EXPECT_EQ(run.status, 2);
  EXPECT_FALSE(std::filesystem::exists(Out("x.png")));
}

TEST_F(ExportRun, RefusesAnySettingsFileTheViewerWouldNotRead) {
  namespace fs = std::filesystem;
  fixture::WriteText(dir.path() / "big.ini", "[ViewOptions]\n" + std::string(1048577 - 14, ';'));
  fs::create_directory(dir.path() / "folder.ini");
  fs::create_directory(dir.path() / "other");
  fixture::WriteText(dir.path() / "other" / "F7.DAT", "[ViewOptions]\n");
  const struct {
    std::string profile, message;
  } cases[] = {
      {Out("big.ini"), "larger than 1 MB"},
      {Out("folder.ini"), "cannot read the settings file"},
      {Out("none.ini"), "cannot read the settings file"},
      {Out("other/F7.DAT"), "has the name of a quote database file"},
  };
  for (const auto& c : cases) {
    const fixture::ProgramRun run = RunTickvane(
        dir, "--export-png '" + Out("p.png") + "' --profile '" + c.profile + "' " + Master());
    EXPECT_EQ(run.status, 1) << c.profile;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Out("p.png"))) << c.profile;
  }
}

TEST_F(ExportRun, TheExtendedChartInFourStylesLogScaleAndSvg) {
  // Five different pictures of one security.
  std::vector<QImage> pictures;
  for (const char* options :
       {"--style hlc", "--style ohlc", "--style candles", "--style line", "--log"}) {
    const fixture::ProgramRun run = RunTickvane(
        dir, "--export-png '" + Out("e.png") + "' --extended " + options + " " + Master());
    ASSERT_EQ(run.status, 0) << run.err;
    pictures.emplace_back(QString::fromStdString(Out("e.png")));
    ASSERT_EQ(pictures.back().size(), QSize(1280, 720));
    for (std::size_t i = 0; i + 1 < pictures.size(); ++i)
      EXPECT_NE(pictures[i], pictures.back()) << options;
  }
  // SVG: the labels are text; without --extended the classic chart, texts and all.
  for (const bool extended : {true, false}) {
    const std::string svg = Out(extended ? "e.svg" : "c.svg");
    const fixture::ProgramRun run =
        RunTickvane(dir, "--export-svg '" + svg + "' --size 800x600 --symbol CCC " +
                             (extended ? "--extended " : "") + Master());
    ASSERT_EQ(run.status, 0) << run.err;
    std::ifstream in(svg);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("<svg"), std::string::npos);
    EXPECT_NE(text.find("width=\"800"), std::string::npos);
    EXPECT_NE(text.find(">CCC<"), std::string::npos) << "the symbol as text";
    // The classic chart names the security only where its bars are wide enough.
    EXPECT_EQ(text.find(">GAMMA<") != std::string::npos, extended);
  }
  // A malformed style is a usage error, and nothing is written.
  const fixture::ProgramRun run =
      RunTickvane(dir, "--export-png '" + Out("bad.png") + "' --extended --style bars " + Master());
  EXPECT_EQ(run.status, 2);
  EXPECT_FALSE(std::filesystem::exists(Out("bad.png")));
}

TEST_F(ExportRun, StudiesFromTheCommandLineOrTheSettingsFileDrawTheirPanes) {
  std::ofstream(Out("studies.ini")) << "[Chart]\nStudies=stochastic:5,3\n";
  const std::string profile = " --profile '" + Out("studies.ini") + "' ";
  const struct {
    std::string options;
    std::vector<const char*> labels;  // the studies drawn, by their labels
  } cases[] = {
      {"", {}},
      {"--study rsi --study macd", {"RSI(14)", "MACD(12,26,9)"}},
      {profile, {"Stochastic(5,3)"}},
      // The command line's studies replace the settings file's.
      {profile + "--study bollinger:10,1.5", {"Bollinger(10,1.5)"}},
  };
  const char* all[] = {"RSI(14)", "MACD(12,26,9)", "Stochastic(5,3)", "Bollinger(10,1.5)"};
  int written = 0;  // each export writes a new file: an existing SVG is not replaced
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options);
    const std::string svg = Out("s" + std::to_string(++written) + ".svg");
    const fixture::ProgramRun run =
        RunTickvane(dir, "--export-svg '" + svg + "' --extended " + c.options + " " + Master());
    ASSERT_EQ(run.status, 0) << run.err;
    std::ifstream in(svg);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char* label : all) {
      const bool drawn =
          std::find(c.labels.begin(), c.labels.end(), std::string(label)) != c.labels.end();
      EXPECT_EQ(text.find(std::string(">") + label + "<") != std::string::npos, drawn) << label;
    }
  }
}

TEST_F(ExportRun, UntilDrawsTheChartPagedBackToThatDate) {
  // The chart as the window shows it after two pages back, drawn at the export's size.
  static int argc = 1;
  static char name[] = "export_tests";
  static char* argv[] = {name, nullptr};
  if (QGuiApplication::instance() == nullptr) new QGuiApplication(argc, argv);
  CBars bars;
  ASSERT_EQ(bars.OpenMaster((dir.dir() + "MASTER").c_str()), 1);
  bars.ReadSecurityList();
  ASSERT_EQ(bars.LoadCurrentSecurity(), 0);
  const int screen = bars.ScreenBars(400);
  ASSERT_EQ(bars.ScrollWindow(-screen, screen), 1);
  ASSERT_EQ(bars.ScrollWindow(-screen, screen), 1);
  const std::string until = bars.BarValues(bars.m_series.count - 1).front().second;
  const QImage paged = tv::RenderChart(bars, 400, 300, false);

  fixture::ProgramRun run = RunTickvane(
      dir, "--export-png '" + Out("u.png") + "' --size 400x300 --until " + until + " " + Master());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(QImage(QString::fromStdString(Out("u.png"))).convertToFormat(paged.format()), paged);

  // Before the first bar: nothing is written.
  run = RunTickvane(dir, "--export-png '" + Out("v.png") + "' --until 1999-12-31 " + Master());
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("AAA has no bar dated on or before 1999-12-31"), std::string::npos)
      << run.err;
  EXPECT_FALSE(std::filesystem::exists(Out("v.png")));
  run = RunTickvane(dir, "--export-png '" + Out("v.png") + "' --until 2001-02-29 " + Master());
  EXPECT_EQ(run.status, 2);
}

TEST_F(ExportRun, ExportAllSkipsFailuresGoesOnAndReportsThem) {
  const fixture::ProgramRun run =
      RunTickvane(dir, "--export-all '" + Out("charts") + "' --size 400x300 " + Master());
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_TRUE(std::filesystem::exists(Out("charts/001-AAA.png")));
  EXPECT_FALSE(std::filesystem::exists(Out("charts/002-B_B.png")));
  EXPECT_EQ(QImage(QString::fromStdString(Out("charts/003-CCC.png"))).size(), QSize(400, 300));
  EXPECT_NE(run.err.find("[3/3] CCC"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("Tickvane: Read failed for symbol B/B"), std::string::npos);
  EXPECT_NE(run.err.find("skipped B/B (cannot open " + dir.dir() + "F2.DAT"), std::string::npos);
  EXPECT_NE(run.err.find("2 of 3 charts written"), std::string::npos);
}

TEST_F(ExportRun, ExportAllOnSeveralThreadsWritesAndSaysWhatOneThreadDoes) {
  fixture::WriteSimpleSecurity(dir.path(), 4, {.bars = 500});
  std::vector<fixture::Record53> records;
  for (int i = 0; i < 12; ++i)  // every fourth security cannot be read
    records.push_back(fixture::SecurityRecord({.fileNumber = static_cast<std::uint8_t>(i % 4 + 1),
                                               .name = "N" + std::to_string(i),
                                               .symbol = "S" + std::to_string(i)}));
  fixture::WriteMaster(dir.path() / "MASTER", records);
  std::vector<fixture::ProgramRun> runs;
  for (const char* jobs : {"1", "4"})
    runs.push_back(RunTickvane(
        dir, "--export-all '" + Out(jobs) + "' --size 300x200 --jobs " + jobs + " " + Master()));
  EXPECT_EQ(runs[0].status, 1);
  EXPECT_EQ(runs[1].status, 1);
  EXPECT_NE(runs[0].err.find("skipped S5 (cannot open"), std::string::npos) << runs[0].err;
  EXPECT_NE(runs[0].err.find("9 of 12 charts written"), std::string::npos);
  std::string four = runs[1].err;
  four.replace(four.find(Out("4")), Out("4").size(), Out("1"));
  EXPECT_EQ(four, runs[0].err);
  for (int i = 0; i < 12; ++i) {
    const std::string name = tv::ExportFileName(i, "S" + std::to_string(i));
    EXPECT_EQ(Bytes(dir.path() / "4" / name), Bytes(dir.path() / "1" / name)) << name;
  }
}

// The text of each page of a PDF file, as a reader's search sees it.
std::vector<std::string> PdfPages(const std::string& path) {
  const fixture::ProgramRun run = fixture::RunProgram("/usr/bin/pdftotext", {path, "-"});
  std::vector<std::string> pages;
  std::string::size_type start = 0;
  // Every page ends with a form feed.
  for (auto end = run.out.find('\f'); end != std::string::npos; end = run.out.find('\f', start)) {
    pages.push_back(run.out.substr(start, end - start));
    start = end + 1;
  }
  return pages;
}

// Under an address-space limit that holds one large image and its thread but not three,
// the charts are drawn fewer at a time, said once, and every one is written.
TEST_F(ExportRun, ExportAllHoldsNoMoreImagesThanFitAndWritesThemAll) {
  std::filesystem::remove(dir.path() / "F2.DOP");  // no failing security this time
  fixture::WriteSimpleSecurity(dir.path(), 2, {.bars = 50});
  const fixture::ProgramRun run =
      RunTickvane(dir, "--export-all '" + Out("big") + "' --jobs 3 --size 8192x8192 " + Master(),
                  "ulimit -v 700000; ");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("tickvane: drawing 1 chart at a time, not 3: each 8192x8192 image"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("3 of 3 charts written"), std::string::npos) << run.err;
}

TEST_F(ExportRun, TheBookHasAPageForEachSecurityWithItsSymbolAndNameAsText) {
  fixture::WriteMaster(
      dir.path() / "MASTER",
      {fixture::SecurityRecord({.fileNumber = 1, .name = "ALPHA", .symbol = "AAA"}),
       fixture::DirectoryRecord("SUB"),
       fixture::SecurityRecord({.fileNumber = 2, .name = "BROKEN", .symbol = "B/B"}),
       fixture::SecurityRecord({.fileNumber = 3, .name = "GAMMA", .symbol = "CCC"})});
  const std::string book = Out("book.pdf");
  fixture::ProgramRun run = RunTickvane(dir, "--export-pdf '" + book + "' " + Master());
  EXPECT_EQ(run.status, 1);  // B/B has no page
  EXPECT_NE(run.err.find("skipped B/B (cannot open"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("2 of 3 pages written to " + book), std::string::npos) << run.err;
  const std::vector<std::string> pages = PdfPages(book);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].find("AAA ALPHA"), 0u) << pages[0];
  EXPECT_EQ(pages[1].find("CCC GAMMA"), 0u) << pages[1];  // the heading

  // An earlier book is replaced; anything else that is there, or a file of the database, is not.
  fixture::WriteText(dir.path() / "notes.pdf", "keep me");
  std::filesystem::create_hard_link(dir.path() / "F1.DAT", dir.path() / "data.pdf");
  const struct {
    std::string target, reason;
  } cases[] = {{book, ""},
               {Out("notes.pdf"), "it exists and is not a PDF document"},
               {Out("F1.DAT"), "it has the name of a quote database file"},
               {Out("data.pdf"), "it is a file of the database being read"}};
  for (const auto& c : cases) {
    const std::string before = Bytes(c.target);
    run = RunTickvane(dir, "--export-pdf '" + c.target + "' " + Master());
    EXPECT_EQ(run.status, 1) << c.target;
    if (c.reason.empty()) {
      EXPECT_EQ(PdfPages(c.target).size(), 2u);
    } else {
      EXPECT_NE(run.err.find("cannot write " + c.target + ": " + c.reason), std::string::npos)
          << run.err;
      EXPECT_EQ(Bytes(c.target), before);
    }
  }
}

TEST(ExportAll, DirectoryEntriesAreNoSecuritiesToExport) {
  fixture::TempDir dir;
  fixture::WriteMaster(
      dir.path() / "MASTER",
      {fixture::DirectoryRecord("SUB"),
       fixture::SecurityRecord({.fileNumber = 1, .name = "ALPHA", .symbol = "AAA"}),
       fixture::DirectoryRecord("OTHER")});
  fixture::WriteSimpleSecurity(dir.path(), 1, {.bars = 30});
  const fixture::ProgramRun run = RunTickvane(
      dir, "--export-all '" + dir.dir() + "out' --size 200x100 '" + dir.dir() + "MASTER'");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "out" / "002-AAA.png"));
  EXPECT_EQ(run.err.find("skipped"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("1 of 1 charts written"), std::string::npos);
}

TEST_F(ExportRun, NeverReplacesAFileOfTheDatabaseOrAnythingButAPng) {
  namespace fs = std::filesystem;
  fs::create_symlink(dir.path() / "F1.DAT", dir.path() / "link.png");
  fs::create_directory(dir.path() / "SUB");
  fs::create_hard_link(dir.path() / "F3.DOP", dir.path() / "SUB" / "hard.png");
  fixture::WriteText(dir.path() / "notes.txt", "keep me");
  const std::vector<std::string> files = {"MASTER", "F1.DAT", "F3.DOP", "notes.txt"};
  std::vector<std::string> before;
  for (const auto& f : files) before.push_back(Bytes(dir.path() / f));
  for (const std::string& target :
       {dir.dir() + "MASTER", dir.dir() + "F1.DAT", dir.dir() + "F3.DOP", dir.dir() + "link.png",
        dir.dir() + "SUB/hard.png", dir.dir() + "notes.txt"}) {
    const fixture::ProgramRun run = RunTickvane(dir, "--export-png '" + target + "' " + Master());
    EXPECT_EQ(run.status, 1) << target;
    EXPECT_NE(run.err.find("tickvane: cannot write " + target), std::string::npos) << run.err;
  }
  for (std::size_t k = 0; k < files.size(); ++k)
    EXPECT_EQ(Bytes(dir.path() / files[k]), before[k]) << files[k];
  EXPECT_TRUE(fs::is_symlink(dir.path() / "link.png"));

  // An earlier chart is a PNG: it is replaced.
  ASSERT_EQ(RunTickvane(dir, "--export-png '" + Out("a.png") + "' " + Master()).status, 0);
  const fixture::ProgramRun again =
      RunTickvane(dir, "--export-png '" + Out("a.png") + "' --size 300x200 " + Master());
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(QImage(QString::fromStdString(Out("a.png"))).size(), QSize(300, 200));
}

// Whatever exists there or not, no name the reader would look for is ever created, and
// nothing but a name with the image's own extension is written.
// An SVG drawing is known by its root element, whatever comes before it.
TEST(OutputFiles, AnSvgDrawingIsReplacedWhateverComesBeforeItsRoot) {
  const fixture::TempDir dir;
  const DatabaseFiles database(dir.dir() + "MASTER");
  const struct {
    const char* text;
    bool replaced;
  } cases[] = {
      {"<?xml version=\"1.0\"?>\n<svg width=\"1\"/>", true},
      {"\xEF\xBB\xBF<svg xmlns=\"http://www.w3.org/2000/svg\"></svg>", true},
      {"<!-- by hand --><!DOCTYPE svg PUBLIC \"x\" \"y\">\n<svg:svg xmlns:svg=\"z\"/>", true},
      {"<?xml version=\"1.0\"?>\n<html><svg/></html>", false},
      {"<svgfont/>", false},
  };
  for (const auto& c : cases) {
    fixture::WriteText(dir.path() / "a.svg", c.text);
    EXPECT_EQ(tv::RefusalToReplace(dir.dir() + "a.svg", database, tv::OutputKind::kSvg).empty(),
              c.replaced)
        << c.text;
  }
}

TEST_F(ExportRun, NeverCreatesAFileUnderADatabaseName) {
  namespace fs = std::filesystem;
  fs::create_directory(dir.path() / "SUBA");
  fs::create_directory(dir.path() / "elsewhere");
  fixture::WriteMaster(
      dir.path() / "SUBA" / "MASTER",
      {fixture::SecurityRecord({.fileNumber = 1, .name = "DEEP", .symbol = "DDD"})});
  const struct {
    std::string option, target, reason;
  } cases[] = {
      {"--export-png", "master", "the name of a quote database file"},
      {"--export-png", "SUBA/master", "the name of a quote database file"},
      {"--export-png", "EMASTER", "the name of a quote database file"},
      {"--export-png", "xmaster", "the name of a quote database file"},
      {"--export-png", "F99.DAT", "the name of a quote database file"},
      {"--export-png", "F302.MWD", "the name of a quote database file"},
      {"--export-png", "f98.dop", "the name of a quote database file"},
      {"--export-png", "elsewhere/F7.dat", "the name of a quote database file"},
      {"--export-png", "chart", "does not end in .png"},
      {"--export-png", "chart.png.txt", "does not end in .png"},
      {"--export-png", ".png", "does not end in .png"},
      {"--export-all", "EMASTER", "a directory under the name of a quote database file"},
      {"--export-all", "new/F1.DOP/charts", "a directory under the name of a quote database file"},
  };
  for (const auto& c : cases) {
    const fixture::ProgramRun run =
        RunTickvane(dir, c.option + " '" + Out(c.target) + "' --extended " + Master());
    EXPECT_EQ(run.status, 1) << c.target;
    EXPECT_NE(run.err.find("tickvane: cannot write " + Out(c.target) + ": "), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Out(c.target))) << c.target;
  }
  EXPECT_FALSE(fs::exists(dir.path() / "new"));
  // The image's own extension, in any case, is written.
  const fixture::ProgramRun run =
      RunTickvane(dir, "--export-png '" + Out("Chart.PNG") + "' " + Master());
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::exists(Out("Chart.PNG")));
}

// File names are bytes: a database under a directory whose name is not UTF-8 is read, and
// the chart is written under exactly the name given.
TEST(ExportNames, NamesThatAreNotUtf8AreOpenedAndWrittenAsGiven) {
  namespace fs = std::filesystem;
  const fixture::TempDir dir;
  const fs::path db = dir.path() / "d\xe9";
  fs::create_directory(db);
  fixture::WriteMaster(db / "MASTER",
                       {fixture::SecurityRecord({.fileNumber = 1, .name = "A", .symbol = "AAA"})});
  fixture::WriteSimpleSecurity(db, 1, {.bars = 30});
  const fixture::ProgramRun run =
      RunTickvane(dir, "--export-png '" + dir.dir() + "x\xe9.png' --size 200x100 '" +
                           (db / "MASTER").string() + "'");
  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"d\xe9", "x\xe9.png"}));
}

TEST_F(ExportRun, AFailedWriteLeavesTheEarlierFileAndNothingElse) {
  namespace fs = std::filesystem;
  fs::create_directory(dir.path() / "out");
  const std::string out = Out("out/a.png");
  ASSERT_EQ(RunTickvane(dir, "--export-png '" + out + "' --size 100x80 " + Master()).status, 0);
  const std::string earlier = Bytes(out);
  // A file-size limit far below a full-size chart.
  const fixture::ProgramRun run =
      RunTickvane(dir, "--export-png '" + out + "' " + Master(), "ulimit -f 4; ");
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find("cannot write " + out), std::string::npos) << run.err;
  EXPECT_EQ(Bytes(out), earlier);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "out"), fs::directory_iterator()), 1);
}

TEST_F(ExportRun, UnwritableFilesCountAsFailures) {
  // The output "directory" is a regular file: no chart can be written below it.
  fixture::WriteText(dir.path() / "blocked", "not a directory");
  // Said once, with the directory's own reason, before any chart is drawn.
  const struct {
    std::string outDir, reason;
  } cases[] = {
      {Out("blocked"), "Not a directory"},
      {Out("blocked/charts"), "Not a directory"},
      {"/proc/tickvane-charts", "No such file or directory"},
  };
  fixture::ProgramRun run;
  for (const auto& c : cases) {
    run = RunTickvane(dir, "--export-all '" + c.outDir + "' --size 200x100 " + Master());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "tickvane: cannot create the directory " + c.outDir + ": " + c.reason + "\n");
  }

  run = RunTickvane(dir, "--export-png '" + Out("blocked/a.png") + "' " + Master());
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot write"), std::string::npos);
}

TEST_F(ExportRun, ExtendedReadsSecuritiesWithoutLayoutFiles) {
  std::filesystem::remove(dir.path() / "F3.DOP");
  fixture::ProgramRun run =
      RunTickvane(dir, "--export-png '" + Out("c.png") + "' --symbol CCC " + Master());
  EXPECT_EQ(run.status, 1);
  run = RunTickvane(dir, "--export-png '" + Out("c.png") + "' --symbol CCC --extended " + Master());
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(QImage(QString::fromStdString(Out("c.png"))).size(), QSize(1280, 720));
}

// The viewer asks for its display before Qt does, which would abort: a display that does not
// answer is named, and the program ends with status 1.
TEST(StartUp, AnUnreachableDisplayIsNamedNotAnAbort) {
  fixture::TempDir dir;
  fixture::ProgramRun run = RunTickvane(dir, "", "", "DISPLAY=:97 XAUTHORITY=/nonexistent");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot open display :97"), std::string::npos) << run.err;

  run = RunTickvane(dir, "", "", "WAYLAND_DISPLAY=no-compositor XDG_RUNTIME_DIR=" + dir.dir());
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot open display"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("no-compositor"), std::string::npos) << run.err;

  // The help needs no display.
  run = RunTickvane(dir, "--help", "", "DISPLAY=:97");
  EXPECT_EQ(run.status, 0);
}

}  // namespace
