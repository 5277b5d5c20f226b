#pragma once
// How the extended chart is drawn (the Chart menu): bar style, log scale, kind of moving
// average, the crosshair and the studies, kept in the settings file's section "Chart". The classic
// chart reads none of it.

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "bars.h"
#include "chart.h"
#include "navigation.h"
#include "periods.h"
#include "profile.h"
#include "study_config.h"
#include "surface.h"

namespace tv {

inline constexpr std::string_view kChartSection = "Chart";

// A security drawn against the current one, as read: its bars, or why it has none.
struct ComparedSecurity {
  std::string symbol;
  plot::PlotSeries bars;
  std::string problem;  // kNotFound, or the reader's failure
};
inline constexpr std::string_view kNotFound = "not found";

// The current security's history as the extended chart draws it, read once for each read of
// the chart object's window (ReadChartHistory): up to the newest kMaxReadCount bars, ending
// where the window ends.
struct ChartHistory {
  const CBars* bars = nullptr;  // whose window it was read beside
  std::uint32_t reads = 0;      // that window's CBars::Reads() then
  plot::PlotSeries series;      // no bars: the security could not be read this way
  bool Of(const CBars& b) const { return bars == &b && reads == b.Reads(); }
};

struct ChartSettings {
  plot::Style style = plot::Style::Hlc;
  bool log = false;
  plot::AverageKind averages = plot::AverageKind::Simple;
  bool crosshair = true;
  std::vector<studies::StudyConfig> studies;  // drawn in this order (at most kMaxStudies)
  bool openInterest = false;  // a pane of open interest, for the securities that have it
  plot::Period period = plot::Period::Bars;  // the bars as read, or days, weeks or months
  // The stretch shown; only its zoom (bars across the width) is kept in the settings file.
  plot::Navigation navigation{};
  // Securities drawn against the current one (at most plot::kMostCompared), and those
  // securities as ReadCompared read them (not kept in the settings file).
  std::vector<std::string> compare{};
  std::shared_ptr<const std::vector<ComparedSecurity>> compared{};
  // The bars drawn, where they are of the chart object's current window (not kept in the
  // settings file); without them the window's bars are drawn.
  std::shared_ptr<const ChartHistory> history{};
  // The moving averages over the prices as the Averages and Studies dialog left them; none
  // until it is used: the view options' two, of the kind `averages` names.
  std::optional<std::vector<plot::PlotAverage>> averageList{};
  friend bool operator==(const ChartSettings& a, const ChartSettings& b) {
    const auto tie = [](const ChartSettings& s) {
      return std::tie(s.style, s.log, s.averages, s.averageList, s.crosshair, s.studies,
                      s.openInterest, s.period, s.navigation.bars, s.navigation.lastBar,
                      s.navigation.fit, s.navigation.zoomed, s.compare, s.compared, s.history);
    };
    return tie(a) == tie(b);
  }
};

// Keys Compare (symbols separated by blanks; the first four distinct ones count), Zoom (bars across
// the width, 0 for the bar spacing's), Style (hlc, ohlc, candles, line), Period (bars, daily,
// weekly, monthly), Log (0 or 1), Averages (simple or exponential), Crosshair and OpenInterest (0
// or 1); a missing key or a value the menu could not have written reads as the default. Studies:
// study texts separated by blanks ("bollinger:20,2 rsi:14"); a word that is not a study is passed
// over. MovingAverages: the averages list in the same words ("sma:50 sma:200"), sma and ema of 1
// to 500 bars; no key leaves the list to the view options.
ChartSettings LoadChartSettings(Profile& profile);
void SaveChartSettings(Profile& profile, const ChartSettings& settings);

// The Chart menu's choice of one kind of study: `chosen` replaces the first study of its kind
// (or joins the end of the list when there is none and the list has room); nothing takes
// every study of `kind` away.
void ChooseStudy(ChartSettings& settings, studies::StudyKind kind,
                 const std::optional<studies::StudyConfig>& chosen);

// Reads each symbol of `symbols` the extended way, its newest bars up to the most a read
// gives: searched in the chart object's folder and the folders below it, then in each folder
// above that has an index. A symbol not found, or whose files cannot be read, comes back with
// the reason and no bars.
std::vector<ComparedSecurity> ReadCompared(const CBars& bars,
                                           const std::vector<std::string>& symbols);

// The chart object's current security read the extended way beside its window: the bars up
// to the window's newest, at most kMaxReadCount of them; no bars when it cannot be read so.
std::shared_ptr<const ChartHistory> ReadChartHistory(const CBars& bars);

// Adds `symbol` to the securities compared; false, the list unchanged, when it is blank, there
// already, or the list holds plot::kMostCompared.
bool AddCompared(std::vector<std::string>& list, std::string_view symbol);

// The averages the extended chart draws: the settings' list, or else the view options' two
// (one the view options hide keeps its place with length 0, and so the other its colour).
std::vector<plot::PlotAverage> ChartAverages(const CBars& bars, const ChartSettings& settings);

// One line of the Averages and Studies dialog: an average of the list, or a study.
struct ChartItem {
  bool average = false;
  studies::StudyConfig config;  // an average as sma:N or ema:N
  friend bool operator==(const ChartItem&, const ChartItem&) = default;
};

// What the dialog lists: the averages drawn, then the studies.
std::vector<ChartItem> ChartItems(const CBars& bars, const ChartSettings& settings);
// The dialog's list taken back, the first kMaxStudies lines of it: its averages become the
// settings' list (from then on the view options' averages no longer count), the rest the
// studies, each in the dialog's order.
void SetChartItems(ChartSettings& settings, std::span<const ChartItem> items);

// The bars the extended chart shows, in the settings' period: the settings' history where it is
// of `bars`' window and has bars, else the window itself.
plot::PlotSeries ChartSeries(const CBars& bars, const ChartSettings& settings);

// The tool tip's lines of bar i of a period's series, as CBars::BarValues gives them of the
// file's bars: Date (with the time where the security has times), then the prices, the
// volume and the open interest, a dash for a field the security lacks.
std::vector<std::pair<std::string, std::string>> PeriodBarValues(const plot::PlotSeries& series,
                                                                 int i);

// What the extended chart draws of `bars` besides the studies: its series in the settings'
// period, the symbol and name, the screen's or paper's colours, the averages and the bar
// spacing of the view options, and the compared securities' closes on its bars (the current
// security itself left out).
plot::PlotInput ChartInput(const CBars& bars, const ChartSettings& settings, bool printing);

// The extended chart of `bars` laid out for target, its studies computed: what DrawChart
// draws of an extended chart, kept by the window to draw the crosshair over.
plot::PlotLayers ChartLayers(const CBars& bars, Surface& surface, const Rect& target, bool printing,
                             const ChartSettings& settings, double scale = 1,
                             const plot::PlotFrame* shown = nullptr);

// Draws the chart of `bars` as the mode wants it: the extended chart when the chart object
// reads the extended way, the classic chart otherwise. `scale` (device pixels per 96-dpi
// pixel) and `cursor` concern the extended chart only; the classic chart keeps its own
// layout. `shown`, where given, is the screen's frame: the extended chart then draws the same
// bars, laid out for the target (print and its preview). Either way the working colours are
// reset from the screen colours afterwards.
plot::PlotFrame DrawChart(CBars& bars, Surface& surface, const Rect& target, bool printing,
                          const ChartSettings& settings, double scale = 1,
                          const plot::PlotCursor& cursor = {},
                          const plot::PlotFrame* shown = nullptr);

// Why the chart of `bars` has no bars to show, in the words of its empty pane.
std::string EmptyChartReason(const CBars& bars);

}  // namespace tv
