#include "chart_settings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "compare.h"
#include "database_files.h"
#include "extended.h"
#include "quote_file.h"
#include "time_axis.h"

#include "study_panes.h"

namespace tv {

namespace {

// The list's average a study text names: sma or ema of a length the dialog offers.
std::optional<plot::PlotAverage> AverageOf(const studies::StudyConfig& c) {
  using studies::StudyKind;
  if (c.kind != StudyKind::Sma && c.kind != StudyKind::Ema) return std::nullopt;
  if (c.lengths[0] < 1 || c.lengths[0] > plot::kMaxAverageLength) return std::nullopt;
  return plot::PlotAverage{
      c.kind == StudyKind::Sma ? plot::AverageKind::Simple : plot::AverageKind::Exponential,
      c.lengths[0]};
}

studies::StudyConfig StudyOf(const plot::PlotAverage& a) {
  studies::StudyConfig c;
  c.kind = a.kind == plot::AverageKind::Simple ? studies::StudyKind::Sma : studies::StudyKind::Ema;
  c.lengths = {a.length, 0, 0};
  return c;
}

}  // namespace

ChartSettings LoadChartSettings(Profile& profile) {
  ChartSettings s;
  const ChartSettings defaults;
  if (const auto style = plot::ParseStyle(profile.ReadText(kChartSection, "Style", "")))
    s.style = *style;
  if (const auto period = plot::ParsePeriod(profile.ReadText(kChartSection, "Period", "")))
    s.period = *period;
  // Zooming stops at a handful of bars and at the most a read gives.
  const int zoom = profile.ReadInt(kChartSection, "Zoom", 0);
  if (zoom >= plot::kFewestBars && zoom <= kMaxReadCount) {
    s.navigation.bars = zoom;
    s.navigation.zoomed = true;
  }
  const auto flag = [&](std::string_view key, bool fallback) {
    const int v = profile.ReadInt(kChartSection, key, fallback ? 1 : 0);
    return v == 0 || v == 1 ? v == 1 : fallback;
  };
  s.log = flag("Log", defaults.log);
  s.crosshair = flag("Crosshair", defaults.crosshair);
  s.openInterest = flag("OpenInterest", defaults.openInterest);
  const std::string averages = profile.ReadText(kChartSection, "Averages", "");
  if (averages == "exponential") s.averages = plot::AverageKind::Exponential;
  s.studies = studies::ParseStudyList(profile.ReadText(kChartSection, "Studies", ""));
  std::istringstream compare(profile.ReadText(kChartSection, "Compare", ""));
  for (std::string symbol; compare >> symbol;) AddCompared(s.compare, symbol);
  // A text no study list can be: the key is missing.
  constexpr std::string_view kMissing = "\n";
  const std::string list = profile.ReadText(kChartSection, "MovingAverages", kMissing);
  if (list != kMissing) {
    s.averageList.emplace();
    for (const studies::StudyConfig& c : studies::ParseStudyList(list))
      if (const auto a = AverageOf(c)) s.averageList->push_back(*a);
  }
  return s;
}

void SaveChartSettings(Profile& profile, const ChartSettings& s) {
  profile.WriteText(kChartSection, "Style", plot::StyleName(s.style));
  profile.WriteText(kChartSection, "Period", plot::PeriodName(s.period));
  profile.WriteInt(kChartSection, "Zoom",
                   s.navigation.zoomed ? static_cast<int>(std::lround(s.navigation.bars)) : 0);
  profile.WriteInt(kChartSection, "Log", s.log ? 1 : 0);
  profile.WriteText(kChartSection, "Averages",
                    s.averages == plot::AverageKind::Exponential ? "exponential" : "simple");
  profile.WriteInt(kChartSection, "Crosshair", s.crosshair ? 1 : 0);
  profile.WriteInt(kChartSection, "OpenInterest", s.openInterest ? 1 : 0);
  profile.WriteText(kChartSection, "Studies", studies::StudyListText(s.studies));
  std::string compare;
  for (const std::string& symbol : s.compare) compare += (compare.empty() ? "" : " ") + symbol;
  profile.WriteText(kChartSection, "Compare", compare);
  if (s.averageList) {
    std::vector<studies::StudyConfig> list;
    for (const plot::PlotAverage& a : *s.averageList) list.push_back(StudyOf(a));
    profile.WriteText(kChartSection, "MovingAverages", studies::StudyListText(list));
  }
}

std::vector<plot::PlotAverage> ChartAverages(const CBars& bars, const ChartSettings& settings) {
  if (settings.averageList) return *settings.averageList;
  return {{settings.averages, bars.m_showMA1 ? bars.m_ma1Length : 0},
          {settings.averages, bars.m_showMA2 ? bars.m_ma2Length : 0}};
}

std::vector<ChartItem> ChartItems(const CBars& bars, const ChartSettings& settings) {
  std::vector<ChartItem> items;
  for (const plot::PlotAverage& a : ChartAverages(bars, settings))
    if (a.length > 0) items.push_back({true, StudyOf(a)});
  for (const studies::StudyConfig& c : settings.studies) items.push_back({false, c});
  return items;
}

void SetChartItems(ChartSettings& settings, std::span<const ChartItem> items) {
  settings.averageList.emplace();
  settings.studies.clear();
  for (const ChartItem& item : items.first(std::min(items.size(), studies::kMaxStudies))) {
    const auto average = item.average ? AverageOf(item.config) : std::nullopt;
    if (average)
      settings.averageList->push_back(*average);
    else if (!item.average)
      settings.studies.push_back(item.config);
  }
}

void ChooseStudy(ChartSettings& settings, studies::StudyKind kind,
                 const std::optional<studies::StudyConfig>& chosen) {
  auto& list = settings.studies;
  const auto sameKind = [kind](const studies::StudyConfig& s) { return s.kind == kind; };
  const auto first = std::find_if(list.begin(), list.end(), sameKind);
  if (chosen && first != list.end()) {
    *first = *chosen;
  } else if (chosen) {
    if (list.size() < studies::kMaxStudies) list.push_back(*chosen);
  } else {
    std::erase_if(list, sameKind);
  }
}

bool AddCompared(std::vector<std::string>& list, std::string_view symbol) {
  if (symbol.empty() || symbol.find(' ') != std::string_view::npos ||
      list.size() >= static_cast<std::size_t>(plot::kMostCompared) ||
      std::find(list.begin(), list.end(), symbol) != list.end())
    return false;
  list.emplace_back(symbol);
  return true;
}

namespace {

// The security `symbol` read the extended way from `directory` or a folder below it.
ResultCode ReadNewest(const std::string& directory, const std::string& symbol, PriceSeries& out) {
  return ReadSecurityExtended(out, directory, symbol, -1, static_cast<std::int16_t>(kMaxReadCount),
                              1);
}

}  // namespace

std::vector<ComparedSecurity> ReadCompared(const CBars& bars,
                                           const std::vector<std::string>& symbols) {
  namespace fs = std::filesystem;
  std::vector<ComparedSecurity> out;
  for (const std::string& symbol : symbols) {
    ComparedSecurity& c = out.emplace_back();
    c.symbol = symbol;
    PriceSeries series{};
    ResultCode result = kFileNotFound;
    std::error_code error;
    if (bars.m_dataDir.empty()) error = std::make_error_code(std::errc::no_such_file_or_directory);
    fs::path folder = fs::absolute(fs::path(bars.m_dataDir), error);
    // The folder shown, then the folders above it as far as they have an index: a peer may
    // sit in a sibling folder of the database.
    for (int up = 0; up <= kMaxSearchDepth && result == kFileNotFound && !error; ++up) {
      const std::string directory = NormaliseDirectory(folder.string());
      if (up > 0 && !fs::is_regular_file(ResolveInDirectory(directory, kMasterFileName), error))
        break;
      result = ReadNewest(directory, symbol, series);
      const fs::path parent = folder.parent_path();
      if (parent == folder || parent.empty()) break;
      folder = parent;
    }
    if (result == kSuccess)
      c.bars = plot::SeriesOf(series);
    else
      c.problem = result == kFileNotFound ? std::string(kNotFound) : ResultText(result);
    if (result == kSuccess && c.bars.Count() == 0) c.problem = "no bars";
    ReleasePriceSeries(series);
  }
  return out;
}

std::shared_ptr<const ChartHistory> ReadChartHistory(const CBars& bars) {
  auto history = std::make_shared<ChartHistory>();
  history->bars = &bars;
  history->reads = bars.Reads();
  if (!bars.IsExtended()) return history;
  PriceSeries series{};
  if (bars.ReadHistory(series, kMaxReadCount) == kSuccess) history->series = plot::SeriesOf(series);
  ReleasePriceSeries(series);
  return history;
}

plot::PlotSeries ChartSeries(const CBars& bars, const ChartSettings& settings) {
  if (!bars.m_seriesAllocated) return {};
  const ChartHistory* history = settings.history.get();
  if (history != nullptr && history->Of(bars) && history->series.Count() > 0)
    return plot::ToPeriod(history->series, settings.period);
  return plot::ToPeriod(plot::SeriesOf(bars.m_series), settings.period);
}

std::vector<std::pair<std::string, std::string>> PeriodBarValues(const plot::PlotSeries& series,
                                                                 int i) {
  std::vector<std::pair<std::string, std::string>> lines;
  if (i < 0 || i >= series.Count()) return lines;
  const auto k = static_cast<std::size_t>(i);
  const std::string absent = "\xE2\x80\x94";
  lines.emplace_back("Date", plot::IsoDateTime(series.date[k], series.time[k], series.hasTime));
  const std::pair<const char*, bool> fields[] = {
      {"Open", series.hasOpen},     {"High", series.hasHigh},
      {"Low", series.hasLow},       {"Close", true},
      {"Volume", series.hasVolume}, {"Open interest", series.hasOpenInterest}};
  const float values[] = {series.open[k],  series.high[k],   series.low[k],
                          series.close[k], series.volume[k], series.openInterest[k]};
  for (std::size_t f = 0; f < std::size(fields); ++f) {
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), values[f]).ptr;
    lines.emplace_back(fields[f].first, fields[f].second ? std::string(text.data(), end) : absent);
  }
  return lines;
}

plot::PlotInput ChartInput(const CBars& bars, const ChartSettings& settings, bool printing) {
  plot::PlotInput in;
  in.series = ChartSeries(bars, settings);
  in.symbol = bars.CurrentSymbol() ? bars.CurrentSymbol() : "";
  in.name = bars.CurrentName() ? bars.CurrentName() : "";
  const char* const periodNames[] = {"", "Daily", "Weekly", "Monthly"};
  in.period = periodNames[static_cast<int>(settings.period)];
  const CBars::ColorSet& set = printing ? bars.m_printColors : bars.m_screenColors;
  const auto item = [&](int i) {
    const int k = set[static_cast<std::size_t>(i)];
    return bars.m_palette[static_cast<std::size_t>(k >= 0 && k < kPaletteSize ? k : 0)];
  };
  in.colors = {item(kBackground),     item(kAxes),           item(kNormalText),
               item(kTitleText),      item(kHighLowBar),     item(kCloseTick),
               item(kMovingAverage1), item(kMovingAverage2), item(kVolume)};
  in.averages = ChartAverages(bars, settings);
  in.barSpacing = bars.m_barSpace;
  in.volume = bars.m_showVolume != 0;
  if (settings.compared && !settings.compare.empty()) {
    for (const ComparedSecurity& c : *settings.compared) {
      if (c.symbol == in.symbol) continue;
      plot::ComparedLine& line = in.compared.emplace_back();
      line.symbol = c.symbol;
      line.problem = c.problem;
      // Bars as read need no copy of the other's bars.
      if (c.problem.empty() && settings.period == plot::Period::Bars)
        line.close = plot::MatchCloses(in.series, c.bars, settings.period);
      else if (c.problem.empty())
        line.close =
            plot::MatchCloses(in.series, plot::ToPeriod(c.bars, settings.period), settings.period);
    }
  }
  return in;
}

plot::PlotLayers ChartLayers(const CBars& bars, Surface& surface, const Rect& target, bool printing,
                             const ChartSettings& settings, double scale,
                             const plot::PlotFrame* shown) {
  plot::PlotOptions options;
  options.style = settings.style;
  options.log = settings.log;
  options.scale = scale;
  options.openInterest = settings.openInterest;
  // The exports' own chart objects have no history read beside their window (the window's
  // document keeps one): it is read here, once for the one chart.
  ChartSettings read;
  const bool kept = settings.history && settings.history->Of(bars);
  if (!kept) {
    read = settings;
    read.history = ReadChartHistory(bars);
  }
  plot::PlotInput input = ChartInput(bars, kept ? settings : read, printing);
  const plot::Navigation& nav = settings.navigation;
  if (shown != nullptr && shown->count > 0) {
    options.barCount = shown->count;
    options.lastBar = shown->first + shown->count - 1;
  } else if (nav.fit || nav.bars > 0) {
    const plot::Stretch s =
        plot::Shown(nav, input.series.Count(), 0, static_cast<int>(std::lround(nav.bars)));
    options.barCount = s.count;
    options.lastBar = s.first + s.count - 1;
  }
  options.emptyReason = EmptyChartReason(bars);
  plot::AddStudies(input.series, settings.studies, options);
  return {std::move(input), surface, target, printing, std::move(options)};
}

plot::PlotFrame DrawChart(CBars& bars, Surface& surface, const Rect& target, bool printing,
                          const ChartSettings& settings, double scale,
                          const plot::PlotCursor& cursor, const plot::PlotFrame* shown) {
  if (!bars.IsExtended()) {
    bars.Draw(surface, target, printing);
    return {};
  }
  const plot::PlotLayers layers =
      ChartLayers(bars, surface, target, printing, settings, scale, shown);
  layers.Draw(surface, cursor);
  bars.m_workColors = bars.m_screenColors;
  return layers.Frame();
}

std::string EmptyChartReason(const CBars& bars) {
  if (!bars.LoadProblem().empty()) return bars.LoadProblem();
  if (bars.m_count <= 0) return "no securities in the list";
  if (!bars.m_seriesAllocated) return "no security loaded";
  if (bars.m_series.fileRecords <= 0)
    return "no bars: the data file holds no whole record after its header";
  if (bars.m_series.count <= 0) return "no bars in this stretch of the file";
  return "";
}

}  // namespace tv
