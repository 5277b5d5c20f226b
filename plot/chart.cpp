#include "chart.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "compare.h"
#include "labels.h"
#include "surface_state.h"
#include "time_axis.h"

namespace plot {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Label priorities: what matters more keeps its place when two would meet.
enum Priority : int {
  kTick = 1,
  kReference = 2,
  kTime = 2,
  kPaneLabel = 3,
  kLastClose = 5,
  kCursor = 6,
  kTitleName = 7,
  kDataWindow = 8,
  kTitleSymbol = 9,
};

tv::Rgb Mix(tv::Rgb a, tv::Rgb b, double t) {
  const auto mix = [t](int x, int y) {
    return static_cast<std::uint8_t>(std::lround(x + (y - x) * t));
  };
  return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

// WCAG's relative luminance and contrast ratio.
double Luminance(tv::Rgb c) {
  const auto channel = [](int v) {
    const double x = v / 255.0;
    return x <= 0.03928 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c.r) + 0.7152 * channel(c.g) + 0.0722 * channel(c.b);
}

}  // namespace

double Contrast(tv::Rgb a, tv::Rgb b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

tv::Rgb Readable(tv::Rgb color, tv::Rgb background) {
  constexpr double kLeast = 4.5;
  const tv::Rgb away = Luminance(background) < 0.18 ? tv::Rgb{255, 255, 255} : tv::Rgb{0, 0, 0};
  tv::Rgb c = color;
  for (int step = 1; step <= 20 && Contrast(c, background) < kLeast; ++step)
    c = Mix(color, away, step / 20.0);
  return c;
}

namespace {

struct Colors {
  tv::Rgb background, axis, grid, reference, text, title, up, down, close, volume, cursor;
  std::vector<tv::Rgb> averages;  // one a moving average of the input
  bool hollowUp = false;          // on paper rising candles are drawn open
};

// The colours of the averages after the palette's two: apart from each other and from the
// usual bars and studies' lines, on a light or a dark background (Readable does the rest).
constexpr tv::Rgb kMoreAverages[] = {{230, 120, 0}, {150, 60, 200}, {0, 150, 150},
                                     {160, 90, 40}, {220, 60, 140}, {110, 130, 0}};

Colors ColorsOf(const PlotInput& input, bool printing) {
  const PlotColors& in = input.colors;
  Colors c;
  c.background = in.background;
  c.axis = in.axes;
  c.grid = Mix(c.background, c.axis, 0.16);
  c.reference = Mix(c.background, c.axis, 0.45);
  // Every text and line keeps a contrast of 4.5:1 with the background, whatever the palette.
  c.text = Readable(in.text, c.background);
  c.title = Readable(in.title, c.background);
  c.up = in.bars;
  constexpr tv::Rgb kRed{255, 0, 0}, kMagenta{255, 0, 255};
  c.down = printing ? c.up : (c.up == kRed ? kMagenta : kRed);
  c.hollowUp = printing;
  c.close = in.closeTick;
  const tv::Rgb ma1 = Readable(in.average1, c.background);
  tv::Rgb ma2 = Readable(in.average2, c.background);
  // Paper prints both averages black: the second one a grey that still reads.
  if (ma2 == ma1) ma2 = Readable(Mix(ma1, c.background, 0.45), c.background);
  for (std::size_t k = 0; k < input.averages.size(); ++k) {
    c.averages.push_back(
        k == 0   ? ma1
        : k == 1 ? ma2
                 : Readable(kMoreAverages[(k - 2) % std::size(kMoreAverages)], c.background));
  }
  c.volume = in.volume;
  c.cursor = Mix(c.background, c.axis, 0.6);
  return c;
}

// Sizes in device pixels for a scale.
struct Metrics {
  double s = 1;
  int margin = 6, pad = 3, tick = 4, gap = 8, labelGap = 2, lineWidth = 0, textH = 13;
  explicit Metrics(double scale) : s(std::clamp(scale, 0.25, 16.0)) {
    const auto px = [this](double v) { return std::max(1, static_cast<int>(std::lround(v * s))); };
    margin = px(6), pad = px(3), tick = px(4), gap = px(8), labelGap = px(2);
    // Thin lines are one device pixel; on a dense screen they keep their weight.
    lineWidth = s >= 1.5 ? px(1) : 0;
  }
  tv::Font Font() const {
    tv::Font f;
    f.height = -std::max(1, static_cast<int>(std::lround(12 * s)));
    return f;
  }
};

bool Finite(double v) { return std::isfinite(v); }

// The series as the draw reads it, with the averages over all its bars.
struct Data {
  explicit Data(const PlotSeries& series) : s(series) {}
  const PlotSeries& s;
  int n = 0;
  // A field counts only when the layout names it and some bar holds a value in it: a
  // vendor's column of zeros is no more an open than a missing column.
  bool hasOpen = false, hasRange = false, hasVolume = false, hasOpenInterest = false;
  bool intraday = false;
  int decimals = 2;          // the security's own price decimals
  Style style = Style::Hlc;  // the style drawn: the one asked for, or what the fields allow
  std::vector<double> close;
  std::vector<std::vector<double>> averages;  // one a PlotInput average, empty where not drawn
  // Compare mode: the price pane's lines in percent since the first bar shown, this
  // security's first, then the others' in the order given.
  bool compare = false;
  std::vector<std::vector<double>> percent;
};

bool AnyNonZero(const std::vector<float>& column, int n) {
  for (int i = 0; i < n; ++i)
    if (Finite(column[i]) && column[i] != 0) return true;
  return false;
}

Data DataOf(const PlotInput& in, const PlotOptions& o) {
  Data d(in.series);
  d.n = in.series.Count();
  d.hasOpen = d.s.hasOpen && AnyNonZero(d.s.open, d.n);
  d.hasRange = d.s.hasHigh && d.s.hasLow && AnyNonZero(d.s.high, d.n);
  d.hasVolume = d.s.hasVolume && AnyNonZero(d.s.volume, d.n);
  d.hasOpenInterest = d.s.hasOpenInterest && AnyNonZero(d.s.openInterest, d.n);
  d.style = o.style;
  d.compare = !in.compared.empty();
  // An empty series lacks nothing: it has no bars to draw in any style.
  if (d.n > 0 && !d.hasOpen && (d.style == Style::Ohlc || d.style == Style::Candles))
    d.style = Style::Hlc;
  if (d.n > 0 && !d.hasRange) d.style = Style::Line;
  d.close.resize(static_cast<std::size_t>(d.n));
  for (int i = 0; i < d.n; ++i) d.close[static_cast<std::size_t>(i)] = d.s.close[i];
  // A time of day only for a security whose records hold one: a daily file's repeated dates
  // are a vendor's slip, not bars of one day.
  if (d.s.hasTime) {
    for (int i = 1; i < d.n && !d.intraday; ++i)
      d.intraday = d.s.date[i] == d.s.date[i - 1] || d.s.time[i] != 0;
    if (d.n > 0 && d.s.time[0] != 0) d.intraday = true;
  }
  for (const PlotAverage& a : in.averages)
    d.averages.push_back(a.length > 0 ? MovingAverage(d.close, a.length, a.kind)
                                      : std::vector<double>{});
  return d;
}

struct Range {
  double lo = std::numeric_limits<double>::infinity();
  double hi = -std::numeric_limits<double>::infinity();
  void Add(double v) {
    if (!Finite(v)) return;
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  bool Empty() const { return lo > hi; }
};

// Everything the draw decides before it draws.
struct Plan {
  PlotFrame frame;
  Metrics m{1};
  int bottom = 0;  // the target's lowest row
  int axisX = 0;   // the value axis line
  bool volume = false, openInterest = false;
  bool logWanted = false, logShown = false;
  bool percent = false;                         // the price pane's values are percents
  std::vector<Ticks> ticks;                     // per pane
  std::vector<std::vector<double>> references;  // per pane: the levels labelled whatever else

  // Pane indexes: the prices are 0, then the volume and the open interest when shown, then
  // the studies.
  std::size_t VolumePane() const { return 1; }
  std::size_t OpenInterestPane() const { return volume ? 2 : 1; }
  std::size_t FirstStudyPane() const { return 1 + (volume ? 1 : 0) + (openInterest ? 1 : 0); }
  bool CountPane(std::size_t k) const {
    return (volume && k == VolumePane()) || (openInterest && k == OpenInterestPane());
  }
};

// Adds the values of the bars shown, where a line has them.
void AddShown(Range& r, const std::vector<double>& values, const PlotFrame& f) {
  for (int i = f.first; i < f.first + f.count; ++i)
    if (static_cast<std::size_t>(i) < values.size()) r.Add(values[static_cast<std::size_t>(i)]);
}

// A pane's values over the bars shown; overlays (bands) only when asked, since a log scale
// follows the prices alone and clips a band that dips below them.
Range PriceRange(const Data& d, const PlotFrame& f, const PlotOptions& o, bool overlays) {
  Range r;
  if (d.compare) {
    for (const std::vector<double>& line : d.percent) AddShown(r, line, f);
    return r;
  }
  if (d.style == Style::Line) {
    AddShown(r, d.close, f);
  } else {
    for (int i = f.first; i < f.first + f.count; ++i) {
      r.Add(d.s.high[i]);
      r.Add(d.s.low[i]);
    }
  }
  for (const std::vector<double>& a : d.averages) AddShown(r, a, f);
  if (overlays)
    for (const PlotLine& line : o.overlays) AddShown(r, line.values, f);
  return r;
}

Range StudyRange(const StudyPane& pane, const PlotFrame& f) {
  Range r;
  for (const PlotLine& line : pane.lines) {
    AddShown(r, line.values, f);
    if (line.histogram) r.Add(0);
  }
  for (const double v : pane.references) r.Add(v);
  if (pane.lo) r.Add(*pane.lo);
  if (pane.hi) r.Add(*pane.hi);
  return r;
}

// Pane areas from the top of the panes down to their bottom, by weight.
void LayoutPanes(Plan& p, const PlotOptions& o, int top, int bottom) {
  std::vector<double> weights{4.0};
  if (p.volume) weights.push_back(1.0);
  if (p.openInterest) weights.push_back(1.0);
  for (const StudyPane& pane : o.panes) weights.push_back(std::clamp(pane.weight, 0.2, 8.0));
  double total = 0;
  for (const double w : weights) total += w;
  const int avail = std::max(0, bottom - top);
  double at = top;
  p.frame.panes.clear();
  for (const double w : weights) {
    const double next = at + avail * w / total;
    PaneFrame pf;
    pf.rect = {p.frame.plot.left, static_cast<int>(std::lround(at)), p.axisX,
               static_cast<int>(std::lround(next))};
    // The values keep clear of the pane's label row and of its lower edge; a low pane lets
    // its label row lie over the values, so that its scale keeps room for three labels.
    const int labelRow = p.m.textH + 2 * p.m.pad;
    const int row =
        pf.rect.height() - labelRow >= 4 * p.m.textH ? labelRow : p.m.textH / 2 + p.m.pad;
    pf.scale.top = std::min(pf.rect.bottom, pf.rect.top + row);
    pf.scale.bottom = std::max(pf.scale.top, pf.rect.bottom - p.m.pad);
    p.frame.panes.push_back(pf);
    at = next;
  }
}

void TickPanes(Plan& p);

void ScalePrices(Plan& p, const Data& d, const PlotOptions& o) {
  ValueScale& sc = p.frame.panes[0].scale;
  const Range prices = PriceRange(d, p.frame, o, false);
  p.logShown = p.logWanted && !prices.Empty() && prices.lo > 0;
  // Without overlays the second count would be the first again.
  Range r = p.logShown || o.overlays.empty() ? prices : PriceRange(d, p.frame, o, true);
  if (r.Empty()) r = {0, 1};
  sc.lo = r.lo, sc.hi = r.hi, sc.log = p.logShown;
  PadRange(sc.lo, sc.hi, sc.log);
  if (sc.log && !(sc.lo > 0)) sc.log = p.logShown = false;
}

void ScalePanes(Plan& p, const Data& d, const PlotOptions& o) {
  const PlotFrame& f = p.frame;
  std::size_t k = 0;
  p.references.assign(p.frame.panes.size(), {});
  ScalePrices(p, d, o);
  ++k;
  const auto counts = [&](const std::vector<float>& column) {
    ValueScale& sc = p.frame.panes[k++].scale;
    double most = 0;
    for (int i = f.first; i < f.first + f.count; ++i)
      if (Finite(column[i])) most = std::max<double>(most, column[i]);
    sc.lo = 0, sc.hi = most > 0 ? most * 1.05 : 1;
  };
  if (p.volume) counts(d.s.volume);
  if (p.openInterest) counts(d.s.openInterest);
  for (const StudyPane& pane : o.panes) {
    p.references[k] = pane.references;
    ValueScale& sc = p.frame.panes[k++].scale;
    Range r = StudyRange(pane, f);
    if (r.Empty()) r = {0, 1};
    sc.lo = pane.lo.value_or(r.lo), sc.hi = pane.hi.value_or(r.hi);
    if (!pane.lo || !pane.hi) PadRange(sc.lo, sc.hi, false);
  }
  TickPanes(p);
}

void TickPanes(Plan& p) {
  p.ticks.clear();
  for (std::size_t i = 0; i < p.frame.panes.size(); ++i) {
    const PaneFrame& pf = p.frame.panes[i];
    // Two label heights apart where there is room, and closer (labels nearly touching) where
    // that would leave a pane with fewer than three; the counts' panes, starting at 0 on the
    // edge, with two. Only rows where a whole label fits inside the pane count.
    TickRoom room;
    room.top = pf.rect.top + (p.m.textH + 1) / 2;
    room.bottom = pf.rect.bottom - (p.m.textH + 1) / 2;
    room.comfortable = 2 * p.m.textH;
    room.tight = p.m.textH + 2 * p.m.labelGap;
    room.want = p.CountPane(i) ? 2 : i == 0 && pf.scale.Height() >= 200 ? 5 : 3;
    p.ticks.push_back(PaneTicks(pf.scale, room, p.references[i]));
  }
}

// The bars that fit between left and right at the spacing, the newest at the right next to
// the axis. A history shorter than the width is spread up to eight times the spacing so its
// dates can be read; a given stretch of bars (the screen's, on paper) fills the width.
void LayoutBars(Plan& p, const Data& d, int barSpace, const PlotOptions& o) {
  PlotFrame& f = p.frame;
  f.pitch = 0;
  const int width = f.plot.width();
  if (o.barCount > 0 && d.n > 0) {
    const int last = std::clamp(o.lastBar < 0 ? d.n - 1 : o.lastBar, 0, d.n - 1);
    const int wanted = std::min(o.barCount, last + 1);
    // Spread exactly over the width: a whole number of pixels a bar would leave a third of
    // a page empty where the screen had a little less than two pixels a bar.
    // More bars than pixel columns (the whole history fitted): several bars share a column,
    // whose line then runs from their highest high to their lowest low.
    f.count = width > 0 ? wanted : 0;
    f.first = last + 1 - f.count;
    f.pitch = static_cast<double>(width) / std::max(1, f.count);
    f.spacing = std::max(1, static_cast<int>(f.pitch));
    f.x0 =
        f.plot.right - f.spacing / 2 - static_cast<int>(std::lround((f.count - 1) * f.pitch)) - 1;
    return;
  } else {
    f.spacing = std::max(1, static_cast<int>(std::lround(std::clamp(barSpace, 1, 100) * p.m.s)));
    if (d.n > 0 && d.n * f.spacing < width)
      f.spacing = std::clamp(width / d.n, f.spacing, 8 * f.spacing);
    const int fit = std::max(0, (width - f.spacing / 2) / f.spacing);
    f.count = std::min(d.n, fit);
    f.first = d.n - f.count;
  }
  // The newest bar shown half a spacing from the axis.
  f.x0 = f.plot.right - f.spacing / 2 - std::max(0, f.count - 1) * f.spacing - 1;
}

// A percent with its sign ("+3.21%"), as the compare mode's legend and last values show it.
std::string PercentText(double v, int decimals) {
  const std::string text = FormatValue(v, decimals);
  return (v > 0 && text.find_first_not_of("0.") != std::string::npos ? "+" : "") + text + "%";
}

std::string TickText(const Plan& p, std::size_t pane, const Tick& t) {
  if (p.CountPane(pane)) return FormatVolume(t.value);
  if (pane == 0 && p.percent) return FormatValue(t.value, t.decimals) + "%";
  return FormatValue(t.value, t.decimals);
}

// The widest value label the axis must hold.
int AxisWidth(const Plan& p, const Data& d, tv::Surface& s) {
  int widest = s.TextExtent("0.00").cx;
  for (std::size_t k = 0; k < p.ticks.size(); ++k)
    for (const Tick& t : p.ticks[k].ticks)
      widest = std::max(widest, s.TextExtent(TickText(p, k, t)).cx);
  if (p.frame.count > 0 && !d.compare) {
    const float close = d.s.close[p.frame.first + p.frame.count - 1];
    widest = std::max(widest, s.TextExtent(FormatPrice(close, d.decimals)).cx + 2 * p.m.pad);
  }
  if (p.frame.count > 0 && d.compare)
    widest = std::max(widest, s.TextExtent(PercentText(-999.99, 2)).cx + 2 * p.m.pad);
  return widest + p.m.tick + 2 * p.m.pad;
}

// The security's decimals as the bars shown are quoted: a history adjusted for a split years
// ago (to four decimals) does not lend its digits to the bars of today.
int ShownDecimals(const Data& d, const PlotFrame& f) {
  std::vector<float> prices;
  // A whole history fitted votes with every few bars, from the newest back: a few thousand
  // bars tell a security's digits as well as sixteen thousand do.
  constexpr int kVoters = 2000;
  const int stride = 1 + f.count / kVoters;
  prices.reserve(static_cast<std::size_t>(f.count / stride + 1) * 4);
  for (int i = f.first + f.count - 1; i >= f.first; i -= stride) {
    prices.push_back(d.s.close[i]);
    if (d.hasRange) prices.insert(prices.end(), {d.s.high[i], d.s.low[i]});
    if (d.hasOpen) prices.push_back(d.s.open[i]);
  }
  return PriceDecimals(prices);
}

// Every line of the compare mode as the percent change since the first bar shown; the frame
// keeps this security's close of 0 %, so that rows of closes can be found again.
void Rebase(PlotFrame& f, Data& d, const PlotInput& in) {
  d.percent.clear();
  d.percent.push_back(PercentChange(d.close, f.first));
  for (const ComparedLine& line : in.compared)
    d.percent.push_back(PercentChange(line.close, f.first));
  f.percentOf = 0;
  for (int i = f.first; i < d.n && f.percentOf == 0; ++i)
    if (Finite(d.close[static_cast<std::size_t>(i)]) && d.close[static_cast<std::size_t>(i)] > 0)
      f.percentOf = d.close[static_cast<std::size_t>(i)];
}

Plan MakePlan(const PlotInput& in, Data& d, tv::Surface& s, const tv::Rect& target,
              const PlotOptions& o) {
  Plan p;
  p.m = Metrics(o.scale);
  p.m.textH = std::max(1, s.TextExtent("0").cy);
  p.bottom = target.bottom;
  p.openInterest = o.openInterest && d.hasOpenInterest;
  p.logWanted = o.log && !d.compare;  // percents run below 0: the compare scale is linear
  p.percent = d.compare;
  const int panesTop = target.top + p.m.margin + p.m.textH + p.m.margin;
  const int panesBottom = target.bottom - p.m.margin - p.m.textH - p.m.tick;
  // The axis column is sized for its labels, which depend on the bars that fit beside it:
  // laid out once with a first guess and again with the width that guess asked for.
  int axisWidth = s.TextExtent("0000.00").cx + p.m.tick + 2 * p.m.pad;
  int decimalsFirst = -1, decimalsCount = -1;  // the stretch the decimals were counted over
  for (int pass = 0; pass < 2; ++pass) {
    p.axisX = std::max(target.left + p.m.margin, target.right - p.m.margin - axisWidth);
    p.frame.plot = {target.left + p.m.margin, panesTop, p.axisX, std::max(panesTop, panesBottom)};
    LayoutBars(p, d, in.barSpacing, o);
    if (d.compare) Rebase(p.frame, d, in);
    if (p.frame.first != decimalsFirst || p.frame.count != decimalsCount) {
      d.decimals = ShownDecimals(d, p.frame);
      decimalsFirst = p.frame.first, decimalsCount = p.frame.count;
    }
    p.frame.decimals = d.decimals;
    // No volume pane where the bars shown traded nothing (an index's zeros).
    p.volume = false;
    for (int i = p.frame.first; i < p.frame.first + p.frame.count && d.hasVolume; ++i)
      p.volume = p.volume || (Finite(d.s.volume[i]) && d.s.volume[i] > 0);
    p.volume = p.volume && in.volume;
    LayoutPanes(p, o, p.frame.plot.top, p.frame.plot.bottom);
    ScalePanes(p, d, o);
    // Without bars there is nothing to measure: no value labels.
    if (p.frame.count == 0)
      for (Ticks& t : p.ticks) t.ticks.clear();
    axisWidth = AxisWidth(p, d, s);
  }
  return p;
}

// --- drawing

void Line(tv::Surface& s, int x0, int y0, int x1, int y1) {
  s.MoveTo({x0, y0});
  s.LineTo({x1, y1});
}

// A vertical run of pixels from y0 to y1, both painted.
void Upright(tv::Surface& s, int x, int y0, int y1) {
  if (y0 > y1) std::swap(y0, y1);
  Line(s, x, y0, x, y1 + 1);
}

int Clamp(const PaneFrame& pf, int y) { return std::clamp(y, pf.rect.top, pf.rect.bottom); }

void DrawGrid(tv::Surface& s, const Plan& p, const std::vector<TimeLabel>& times, const Colors& c) {
  s.SelectPen({c.grid, 0});
  for (std::size_t k = 0; k < p.frame.panes.size(); ++k) {
    const PaneFrame& pf = p.frame.panes[k];
    for (const Tick& t : p.ticks[k].ticks) {
      const int y = pf.scale.YOf(t.value);
      if (y > pf.rect.top && y < pf.rect.bottom) Line(s, pf.rect.left, y, p.axisX, y);
    }
  }
  for (const TimeLabel& t : times) Line(s, t.x, p.frame.plot.top, t.x, p.frame.plot.bottom);
}

void DrawFrame(tv::Surface& s, const Plan& p, const Colors& c) {
  s.SelectPen({c.axis, 0});
  const tv::Rect& r = p.frame.plot;
  Line(s, p.axisX, r.top, p.axisX, r.bottom + 1);
  Line(s, r.left, r.bottom, p.axisX + 1, r.bottom);
  for (std::size_t k = 1; k < p.frame.panes.size(); ++k) {
    const int y = p.frame.panes[k].rect.top;
    Line(s, r.left, y, p.axisX + 1, y);
  }
  // A short tick on the axis at every value label.
  for (std::size_t k = 0; k < p.frame.panes.size(); ++k) {
    const PaneFrame& pf = p.frame.panes[k];
    for (const Tick& t : p.ticks[k].ticks) {
      const int y = pf.scale.YOf(t.value);
      if (y > pf.rect.top && y < pf.rect.bottom) Line(s, p.axisX, y, p.axisX + p.m.tick, y);
    }
  }
}

void DrawCandle(tv::Surface& s, const Plan& p, const Colors& c, int x, int yo, int yc, bool up) {
  const int half = std::max(0, (p.frame.spacing - 2) / 2);
  const tv::Rgb color = up ? c.up : c.down;
  const int top = std::min(yo, yc), bottom = std::max(yo, yc) + 1;
  if (half == 0) {
    s.SelectPen({color, 0});
    Upright(s, x, top, bottom - 1);
    return;
  }
  const tv::Rect body{x - half, top, x + half + 1, bottom};
  if (up && c.hollowUp) {
    s.FillRect(body, {c.background});
    s.SelectPen({color, 0});
    s.SelectBrush({c.background, tv::BrushStyle::Null});
    s.Rectangle(body);
  } else {
    s.FillRect(body, {color});
  }
}

// More bars than pixel columns (the whole history fitted): each column is drawn once, from
// the bars that fall into it, instead of bar over bar. Calls column(x, first, last) for each
// column's stretch of bars, left to right.
template <class Column>
void ForEachColumn(const PlotFrame& f, Column column) {
  int from = f.first;
  while (from < f.first + f.count) {
    const int x = f.XOf(from);
    int to = from;
    while (to + 1 < f.first + f.count && f.XOf(to + 1) == x) ++to;
    column(x, from, to);
    from = to + 1;
  }
}

bool Crowded(const PlotFrame& f) { return f.pitch > 0 && f.pitch < 1; }

// A column's bars as one: the highest high and the lowest low, rising where the last close
// is at or above the first open (or the close before the column).
void DrawPriceColumns(tv::Surface& s, const Plan& p, const Data& d, const Colors& c) {
  const PlotFrame& f = p.frame;
  const PaneFrame& pf = f.panes[0];
  tv::Rgb pen = c.up;
  s.SelectPen({pen, p.m.lineWidth});
  ForEachColumn(f, [&](int x, int from, int to) {
    double hi = -std::numeric_limits<double>::infinity(), lo = -hi;
    for (int i = from; i <= to; ++i) {
      if (!Finite(d.s.high[i]) || !Finite(d.s.low[i]) || !Finite(d.s.close[i])) continue;
      hi = std::max<double>(hi, d.s.high[i]);
      lo = std::min<double>(lo, d.s.low[i]);
    }
    if (lo > hi) return;
    if (d.style == Style::Candles) {
      const double open = Finite(d.s.open[from]) ? d.s.open[from] : d.s.close[from];
      const tv::Rgb want = d.s.close[to] >= open ? c.up : c.down;
      if (!(want == pen)) s.SelectPen({pen = want, p.m.lineWidth});
    }
    Upright(s, x, Clamp(pf, pf.scale.YOf(hi)), Clamp(pf, pf.scale.YOf(lo)));
  });
}

void DrawPriceBars(tv::Surface& s, const Plan& p, const Data& d, const Colors& c) {
  const PlotFrame& f = p.frame;
  if (Crowded(f)) {
    DrawPriceColumns(s, p, d, c);
    return;
  }
  const PaneFrame& pf = f.panes[0];
  const int t = std::max(1, f.spacing / 2);
  const tv::Pen barPen{c.up, p.m.lineWidth};
  s.SelectPen(barPen);
  for (int i = f.first; i < f.first + f.count; ++i) {
    const double hi = d.s.high[i], lo = d.s.low[i], cl = d.s.close[i];
    if (!Finite(hi) || !Finite(lo) || !Finite(cl)) continue;
    const int x = f.XOf(i);
    const int yh = Clamp(pf, pf.scale.YOf(hi)), yl = Clamp(pf, pf.scale.YOf(lo));
    const int yc = Clamp(pf, pf.scale.YOf(cl));
    const double op = d.s.open[i];
    const int yo = Clamp(pf, pf.scale.YOf(op));
    if (d.style == Style::Candles) {
      const bool up = !Finite(op) || cl >= op;
      s.SelectPen({up ? c.up : c.down, p.m.lineWidth});
      Upright(s, x, yh, yl);
      DrawCandle(s, p, c, x, yo, yc, up);
      continue;
    }
    Upright(s, x, yh, yl);
    Line(s, x + 1, yc, x + t + 1, yc);
    if (d.style == Style::Ohlc && Finite(op) && op != 0) Line(s, x - t, yo, x, yo);
  }
}

// A line over more bars than columns: a column's values as one upright run over their
// range, reaching back to where the column before it ended so that the line stays whole.
// Upright lines only, which a surface draws fastest; where a column is one pixel wide
// nothing else would show.
void DrawSeriesColumns(tv::Surface& s, const Plan& p, const PaneFrame& pf,
                       const std::vector<double>& v) {
  int before = 0;       // the row the line left the previous column at
  bool joined = false;  // whether the previous column's line goes on into this one
  ForEachColumn(p.frame, [&](int x, int from, int through) {
    // The rows of a run of values: the scale is monotonic, so its extremes and its last value
    // are all the rows it needs.
    double most = -std::numeric_limits<double>::infinity(), least = -most, last = 0;
    const auto draw = [&] {
      if (least > most) return;
      const int y = Clamp(pf, pf.scale.YOf(last));
      int lo = Clamp(pf, pf.scale.YOf(most)), hi = Clamp(pf, pf.scale.YOf(least));
      if (lo > hi) std::swap(lo, hi);
      if (joined) lo = std::min(lo, before), hi = std::max(hi, before);
      Upright(s, x, lo, hi);
      before = y, joined = true;
    };
    for (int i = from; i <= through; ++i) {
      const auto k = static_cast<std::size_t>(i);
      if (k >= v.size() || !Finite(v[k])) {
        // A gap breaks the line as it does bar by bar.
        draw();
        most = -std::numeric_limits<double>::infinity(), least = -most, joined = false;
        continue;
      }
      most = std::max(most, v[k]), least = std::min(least, v[k]), last = v[k];
    }
    draw();
  });
}

// A line through the defined values of the bars shown; a gap where a value is missing.
void DrawSeries(tv::Surface& s, const Plan& p, const PaneFrame& pf, const std::vector<double>& v,
                tv::Pen pen) {
  s.SelectPen(pen);
  const PlotFrame& f = p.frame;
  if (Crowded(f)) {
    DrawSeriesColumns(s, p, pf, v);
    return;
  }
  bool drawing = false;
  for (int i = f.first; i < f.first + f.count; ++i) {
    const auto k = static_cast<std::size_t>(i);
    if (k >= v.size() || !Finite(v[k])) {
      drawing = false;
      continue;
    }
    const tv::Point at{f.XOf(i), Clamp(pf, pf.scale.YOf(v[k]))};
    if (drawing)
      s.LineTo(at);
    else
      s.MoveTo(at);
    drawing = true;
  }
}

// The bars or the close line, the averages and the overlays.
void DrawPrices(tv::Surface& s, const Plan& p, const Data& d, const Colors& c,
                const PlotOptions& o) {
  if (d.style == Style::Line)
    DrawSeries(s, p, p.frame.panes[0], d.close, {c.close, p.m.lineWidth});
  else
    DrawPriceBars(s, p, d, c);
  for (std::size_t k = 0; k < d.averages.size(); ++k)
    DrawSeries(s, p, p.frame.panes[0], d.averages[k], {c.averages[k], p.m.lineWidth});
  for (const PlotLine& line : o.overlays)
    DrawSeries(s, p, p.frame.panes[0], line.values,
               {Readable(line.color, c.background), p.m.lineWidth});
}

// The compare mode's line j: this security's in its bars' colour, the others' in colours
// apart from it and from one another, each readable on the background.
tv::Rgb CompareColor(const Colors& c, std::size_t j) {
  constexpr tv::Rgb kOthers[kMostCompared] = {
      {255, 140, 0}, {0, 150, 255}, {220, 50, 200}, {40, 180, 60}};
  return j == 0 ? Readable(c.up, c.background)
                : Readable(kOthers[(j - 1) % kMostCompared], c.background);
}

// The percent lines over a level line at 0 %.
void DrawCompare(tv::Surface& s, const Plan& p, const Data& d, const Colors& c) {
  const PaneFrame& pf = p.frame.panes[0];
  const int zero = pf.scale.YOf(0);
  s.SelectPen({c.reference, 0});
  if (zero > pf.rect.top && zero < pf.rect.bottom) Line(s, pf.rect.left, zero, p.axisX, zero);
  // The others first: this security's line stays in front.
  for (std::size_t j = d.percent.size(); j-- > 0;)
    DrawSeries(s, p, pf, d.percent[j], {CompareColor(c, j), p.m.lineWidth});
}

void DrawHistogram(tv::Surface& s, const Plan& p, const PaneFrame& pf, const std::vector<double>& v,
                   tv::Rgb color) {
  s.SelectPen({color, p.m.lineWidth});
  const PlotFrame& f = p.frame;
  const int zero = Clamp(pf, pf.scale.YOf(0));
  if (Crowded(f)) {
    // A column's bar reaches as far from zero as its farthest value.
    ForEachColumn(f, [&](int x, int from, int to) {
      std::optional<double> far;
      for (int i = from; i <= to; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (k < v.size() && Finite(v[k]) && (!far || std::abs(v[k]) > std::abs(*far))) far = v[k];
      }
      if (far) Upright(s, x, zero, Clamp(pf, pf.scale.YOf(*far)));
    });
    return;
  }
  for (int i = f.first; i < f.first + f.count; ++i) {
    const auto k = static_cast<std::size_t>(i);
    if (k < v.size() && Finite(v[k])) Upright(s, f.XOf(i), zero, Clamp(pf, pf.scale.YOf(v[k])));
  }
}

// Volume bars in the colour of the bar's move (close against the previous close), toned
// down so the prices stay in front.
void DrawVolume(tv::Surface& s, const Plan& p, const Data& d, const Colors& c) {
  const PlotFrame& f = p.frame;
  const PaneFrame& pf = f.panes[p.VolumePane()];
  const int half = std::max(0, (f.spacing - 2) / 2);
  const tv::Rgb up = Mix(c.background, c.up, 0.7), down = Mix(c.background, c.down, 0.7);
  if (Crowded(f)) {
    // A column's bar as high as its largest volume, coloured by the column's move.
    ForEachColumn(f, [&](int x, int from, int to) {
      double most = 0;
      for (int i = from; i <= to; ++i)
        if (Finite(d.s.volume[i])) most = std::max<double>(most, d.s.volume[i]);
      if (most <= 0) return;
      const double before = from > 0 ? d.close[static_cast<std::size_t>(from - 1)] : kNaN;
      const bool rising = !(d.close[static_cast<std::size_t>(to)] < before);
      s.SelectPen({rising ? up : down, 0});
      Upright(s, x, Clamp(pf, pf.scale.YOf(most)), pf.scale.bottom);
    });
    return;
  }
  for (int i = f.first; i < f.first + f.count; ++i) {
    const double v = d.s.volume[i];
    if (!Finite(v) || v <= 0) continue;
    const int y = Clamp(pf, pf.scale.YOf(v));
    const int x = f.XOf(i);
    const bool rising = i == 0 || !(d.close[static_cast<std::size_t>(i)] <
                                    d.close[static_cast<std::size_t>(i - 1)]);
    s.FillRect({x - half, y, x + half + 1, pf.scale.bottom + 1}, {rising ? up : down});
  }
}

void DrawOpenInterest(tv::Surface& s, const Plan& p, const Data& d, const Colors& c) {
  std::vector<double> values(static_cast<std::size_t>(d.n));
  for (int i = 0; i < d.n; ++i) {
    const double v = d.s.openInterest[i];
    values[static_cast<std::size_t>(i)] = Finite(v) && v > 0 ? v : kNaN;
  }
  DrawSeries(s, p, p.frame.panes[p.OpenInterestPane()], values, {c.close, p.m.lineWidth});
}

void DrawStudies(tv::Surface& s, const Plan& p, const Colors& c, const PlotOptions& o) {
  std::size_t k = p.FirstStudyPane();
  for (const StudyPane& pane : o.panes) {
    const PaneFrame& pf = p.frame.panes[k++];
    s.SelectPen({c.reference, 0});
    for (const double r : pane.references) {
      const int y = pf.scale.YOf(r);
      if (y >= pf.rect.top && y <= pf.rect.bottom) Line(s, pf.rect.left, y, p.axisX, y);
    }
    for (const PlotLine& line : pane.lines) {
      if (line.histogram)
        DrawHistogram(s, p, pf, line.values, Readable(line.color, c.background));
      else
        DrawSeries(s, p, pf, line.values, {Readable(line.color, c.background), p.m.lineWidth});
    }
  }
}

void DrawCursorLines(tv::Surface& s, const Plan& p, const Colors& c, const PlotCursor& cur) {
  const PlotFrame& f = p.frame;
  if (cur.bar < f.first || cur.bar >= f.first + f.count) return;
  s.SelectPen({c.cursor, 0});
  const int x = f.XOf(cur.bar);
  Line(s, x, f.plot.top, x, f.plot.bottom);
  for (const PaneFrame& pf : f.panes)
    if (cur.y >= pf.rect.top && cur.y < pf.rect.bottom) Line(s, f.plot.left, cur.y, p.axisX, cur.y);
}

// --- labels

class Labels {
 public:
  Labels(tv::Surface& s, const Plan& p) : m_s(s), m_p(p) {}

  // A label with its top-left corner at `at`; returns the box it takes.
  tv::Rect Add(const std::string& text, tv::Point at, tv::Rgb color, int priority) {
    const tv::Size size = m_s.TextExtent(text);
    const tv::Rect box{at.x, at.y, at.x + size.cx, at.y + size.cy};
    m_list.push_back({box, text, at, color, {}, priority});
    return box;
  }
  // A label in a filled box, its left edge at x and its middle at y, kept inside top..bottom.
  void AddBoxed(const std::string& text, int x, int y, int top, int bottom, tv::Rgb color,
                tv::Rgb fill, int priority) {
    const tv::Size size = m_s.TextExtent(text);
    const int pad = m_p.m.pad;
    int boxTop = y - size.cy / 2 - pad / 2;
    boxTop = std::clamp(boxTop, top, std::max(top, bottom - size.cy - pad));
    Label l{{x, boxTop, x + size.cx + 2 * pad, boxTop + size.cy + pad},
            text,
            {x + pad, boxTop + pad / 2},
            color,
            fill,
            priority};
    m_list.push_back(std::move(l));
  }
  int Width(const std::string& text) const { return m_s.TextExtent(text).cx; }
  std::vector<Label>& List() { return m_list; }

 private:
  tv::Surface& m_s;
  const Plan& m_p;
  std::vector<Label> m_list;
};

void DrawLabel(tv::Surface& s, const Label& l) {
  if (l.fill) s.FillRect(l.box, {*l.fill});
  s.SetTextColor(l.color);
  s.TextOut(l.at, l.text);
}

// The axis's short ticks on rows top to bottom, where a label erased from them lay.
void AxisTicksIn(tv::Surface& s, const Plan& p, const Colors& c, const tv::Rect& box) {
  s.SelectPen({c.axis, 0});
  for (std::size_t k = 0; k < p.frame.panes.size(); ++k) {
    const PaneFrame& pf = p.frame.panes[k];
    for (const Tick& t : p.ticks[k].ticks) {
      const int y = pf.scale.YOf(t.value);
      if (y > pf.rect.top && y < pf.rect.bottom && y >= box.top && y < box.bottom &&
          box.left < p.axisX + p.m.tick)
        Line(s, p.axisX, y, p.axisX + p.m.tick, y);
    }
  }
}

void AxisLabels(Labels& labels, const Plan& p, const Colors& c) {
  const int x = p.axisX + p.m.tick + p.m.pad;
  for (std::size_t k = 0; k < p.frame.panes.size(); ++k) {
    const PaneFrame& pf = p.frame.panes[k];
    for (const Tick& t : p.ticks[k].ticks) {
      const std::string text = TickText(p, k, t);
      const int y = pf.scale.YOf(t.value) - p.m.textH / 2;
      // A label that would cross into the next pane is left out.
      if (y < pf.rect.top || y + p.m.textH > pf.rect.bottom) continue;
      labels.Add(text, {x, y}, c.text, kTick);
    }
  }
}

void LastCloseLabel(Labels& labels, const Plan& p, const Data& d, const Colors& c) {
  const PlotFrame& f = p.frame;
  if (f.count <= 0) return;
  if (d.compare) {
    const auto last = static_cast<std::size_t>(f.first + f.count - 1);
    const PaneFrame& pf = f.panes[0];
    for (std::size_t j = 0; j < d.percent.size(); ++j) {
      if (last >= d.percent[j].size() || !Finite(d.percent[j][last])) continue;
      const double v = d.percent[j][last];
      labels.AddBoxed(PercentText(v, 2), p.axisX + 1, pf.scale.YOf(v), pf.rect.top, pf.rect.bottom,
                      c.background, CompareColor(c, j), kLastClose);
    }
    return;
  }
  const float close = d.s.close[f.first + f.count - 1];
  if (!Finite(close)) return;
  const PaneFrame& pf = f.panes[0];
  labels.AddBoxed(FormatPrice(close, d.decimals), p.axisX + 1, pf.scale.YOf(close), pf.rect.top,
                  pf.rect.bottom, c.background, c.close, kLastClose);
}

// The name of an average as the legend shows it.
std::string AverageName(AverageKind kind, int length) {
  return (kind == AverageKind::Simple ? "SMA(" : "EMA(") + std::to_string(length) + ")";
}

// A line's value at `bar`, where the bar has one.
std::optional<double> ValueAt(const std::vector<double>& values, int bar) {
  const auto k = static_cast<std::size_t>(bar);
  return bar >= 0 && k < values.size() && Finite(values[k]) ? std::optional(values[k])
                                                            : std::nullopt;
}

// The study panes' legends from pane k on: the study's label, then each line's name and value.
void StudyLegends(Labels& labels, const Plan& p, const Colors& c, const PlotOptions& o, int bar,
                  std::size_t k) {
  for (const StudyPane& pane : o.panes) {
    int x = p.frame.plot.left + p.m.pad;
    // Two decimals at least (RSI 43.21, MACD -0.12), more where the pane's ticks have them.
    int decimals = 2;
    for (const Tick& tick : p.ticks[k].ticks) decimals = std::max(decimals, tick.decimals + 1);
    const int paneTop = p.frame.panes[k++].rect.top + p.m.pad;
    const auto add = [&](const std::string& text, tv::Rgb color) {
      if (!text.empty()) x = labels.Add(text, {x, paneTop}, color, kPaneLabel).right + p.m.gap;
    };
    add(pane.label, c.text);
    for (const PlotLine& line : pane.lines) {
      const tv::Rgb color = Readable(line.color, c.background);
      add(line.name, color);
      if (const auto v = ValueAt(line.values, bar)) add(FormatValue(*v, decimals), color);
    }
  }
}

// The compare mode's legend in the price pane from x on: each security in its line's colour
// with its change at `bar`, or why it is missing. Returns where the next label goes.
int CompareLegend(Labels& labels, const Plan& p, const PlotInput& in, const Data& d,
                  const Colors& c, int bar, int x) {
  const int top = p.frame.panes[0].rect.top + p.m.pad;
  const auto add = [&](const std::string& text, tv::Rgb color) {
    x = labels.Add(text, {x, top}, color, kPaneLabel).right + p.m.gap;
  };
  for (std::size_t j = 0; j < d.percent.size(); ++j) {
    const std::string& symbol = j == 0 ? in.symbol : in.compared[j - 1].symbol;
    if (j > 0 && !in.compared[j - 1].problem.empty()) {
      std::string text = symbol;
      text += ": ";
      text += in.compared[j - 1].problem;
      add(text, c.text);
      continue;
    }
    add(symbol, CompareColor(c, j));
    if (const auto v = ValueAt(d.percent[j], bar)) add(PercentText(*v, 2), CompareColor(c, j));
  }
  return x;
}

// The price pane's averages and bands, each named and followed by its value at `bar` where it
// is defined there; returns where the legend goes on.
int PriceLegend(Labels& labels, const Plan& p, const PlotInput& in, const Data& d, const Colors& c,
                const PlotOptions& o, int bar, int x) {
  const int top = p.frame.panes[0].rect.top + p.m.pad;
  const auto add = [&](const std::string& text, tv::Rgb color) {
    if (!text.empty()) x = labels.Add(text, {x, top}, color, kPaneLabel).right + p.m.gap;
  };
  const auto named = [&](const std::string& name, const std::vector<double>& values,
                         tv::Rgb color) {
    add(name, color);
    if (const auto v = ValueAt(values, bar); v && !name.empty())
      add(FormatPrice(*v, d.decimals), color);
  };
  for (std::size_t k = 0; k < in.averages.size(); ++k) {
    if (in.averages[k].length > 0)
      named(AverageName(in.averages[k].kind, in.averages[k].length), d.averages[k], c.averages[k]);
  }
  for (const PlotLine& line : o.overlays)
    named(line.name, line.values, Readable(line.color, c.background));
  return x;
}

// The legends of the panes, each line's name followed by its value at `bar` (the crosshair's,
// or the newest shown; -1 for none), where it is defined there.
void PaneLabels(Labels& labels, const Plan& p, const PlotInput& in, const Data& d, const Colors& c,
                const PlotOptions& o, int bar) {
  const int top = p.frame.panes[0].rect.top + p.m.pad;
  int x = p.frame.plot.left + p.m.pad;
  const auto add = [&](const std::string& text, tv::Rgb color, int paneTop) {
    if (!text.empty()) x = labels.Add(text, {x, paneTop}, color, kPaneLabel).right + p.m.gap;
  };
  // Compare mode: the securities' changes in place of the averages and bands.
  x = d.compare ? CompareLegend(labels, p, in, d, c, bar, x)
                : PriceLegend(labels, p, in, d, c, o, bar, x);
  // What the chart could not draw as asked, and why.
  if (!d.compare && d.style != o.style)
    add(d.hasRange ? "no opens: drawn as high-low-close" : "no highs and lows: drawn as a line",
        c.text, top);
  if (d.n > 0 && p.logWanted && !p.logShown) add("linear scale: prices at or below 0", c.text, top);
  if (d.n == 0) add(o.emptyReason.empty() ? "no bars to show" : o.emptyReason, c.text, top);
  std::size_t k = 1;
  for (const auto& [shown, text] :
       {std::pair{p.volume, "Volume"}, {p.openInterest, "Open interest"}}) {
    if (!shown) continue;
    x = p.frame.plot.left + p.m.pad;
    add(text, c.text, p.frame.panes[k++].rect.top + p.m.pad);
  }
  StudyLegends(labels, p, c, o, bar, k);
}

std::vector<TimeLabel> TimeAxis(const Plan& p, const Data& d, Labels& labels) {
  const PlotFrame& f = p.frame;
  std::vector<TimeBar> shown;
  shown.reserve(static_cast<std::size_t>(f.count));
  if (Crowded(f)) {
    // Many bars a column: a column's first bar stands for it, so that a label is never more
    // than a column from its bar, and each level of labels is tried over the columns.
    ForEachColumn(f, [&](int x, int from, int) {
      shown.push_back({d.s.date[from], d.s.time[from], x});
    });
  } else {
    for (int i = f.first; i < f.first + f.count; ++i)
      shown.push_back({d.s.date[i], d.s.time[i], f.XOf(i)});
  }
  TimeBar before{};
  if (f.first > 0) before = {d.s.date[f.first - 1], d.s.time[f.first - 1], 0};
  return TimeLabels(
      shown, f.first > 0 ? &before : nullptr, d.intraday,
      [&](std::string_view t) { return labels.Width(std::string(t)); }, f.plot.left,
      p.axisX + p.m.tick, p.m.gap);
}

void TimeAxisLabels(Labels& labels, const Plan& p, const std::vector<TimeLabel>& times,
                    const Colors& c) {
  const int y = p.frame.plot.bottom + p.m.tick;
  for (const TimeLabel& t : times) labels.Add(t.text, {t.x - t.width / 2, y}, c.text, kTime);
}

// One field of the title row: its text for the bar and the width it always takes.
struct TitleField {
  std::string text;
  int width = 0;
  int place = 0;  // left to right: date, O, H, L, C, change, V, OI
};

// Every digit as a 0: the width a number of that shape can take, whatever its digits.
std::string Widest(std::string text) {
  for (char& ch : text)
    if (ch >= '1' && ch <= '9') ch = '0';
  return text;
}

// The fields of bar i in the order they give way (the last first): date, close, high, low,
// open, change, volume, open interest. Each is as wide as the widest text it takes over the
// bars shown, so nothing moves as the crosshair does.
// The change of bar i's close from the previous close, in the close's digits, and in percent.
std::string ChangeText(const Data& d, int i) {
  const double prev = i > 0 ? d.s.close[i - 1] : kNaN, cl = d.s.close[i];
  if (!Finite(prev) || !Finite(cl)) return {};
  const double change = cl - prev;
  const int decimals = ValueDecimals(cl, d.decimals);
  const bool flat = std::round(change * std::pow(10.0, decimals)) == 0;
  std::string text = (flat ? "" : change > 0 ? "+" : "") + FormatValue(flat ? 0 : change, decimals);
  if (prev != 0) {
    std::array<char, 32> pct{};
    std::snprintf(pct.data(), pct.size(), " (%+.2f%%)", 100 * change / prev);
    text += pct.data();
  }
  return text;
}

std::vector<TitleField> TitleFields(const Data& d, const PlotFrame& f, const Labels& labels,
                                    int i) {
  double most = 0, least = std::numeric_limits<double>::infinity();
  for (int k = f.first; k < f.first + f.count; ++k) {
    for (const float v : {d.s.high[k], d.s.low[k], d.s.close[k]}) {
      if (!Finite(v)) continue;
      most = std::max(most, std::abs(static_cast<double>(v)));
      if (v != 0) least = std::min(least, std::abs(static_cast<double>(v)));
    }
  }
  if (!std::isfinite(least)) least = most;
  const auto price = [&](double v) { return FormatPrice(v, d.decimals); };
  const int priceWidth =
      std::max(labels.Width(Widest(price(most))), labels.Width(Widest(price(least))));
  std::vector<TitleField> fields;
  const auto add = [&](std::string text, int width, int place) {
    const int w = std::max(width, labels.Width(text));
    fields.push_back({std::move(text), w, place});
  };
  add(IsoDateTime(d.s.date[i], d.s.time[i], d.intraday),
      labels.Width(d.intraday ? "0000-00-00 00:00" : "0000-00-00"), 0);
  const auto named = [&](const char* name, double v, int place) {
    add(std::string(name) + " " + price(v), labels.Width(std::string(name) + " ") + priceWidth,
        place);
  };
  named("C", d.s.close[i], 4);
  if (d.hasRange) {
    named("H", d.s.high[i], 2);
    named("L", d.s.low[i], 3);
  }
  if (d.hasOpen) named("O", d.s.open[i], 1);
  add(ChangeText(d, i), labels.Width("+" + Widest(price(most)) + " (+000.00%)"), 5);
  const int countWidth = labels.Width("00.0M");
  if (d.hasVolume) add("V " + FormatVolume(d.s.volume[i]), labels.Width("V ") + countWidth, 6);
  if (d.hasOpenInterest)
    add("OI " + FormatVolume(d.s.openInterest[i]), labels.Width("OI ") + countWidth, 7);
  return fields;
}

// Symbol and name, then the date and values of one bar left-aligned after the name, each
// field in a box of fixed width. The fields keep their place as the crosshair moves; the
// name gives way first (shortened to the room the fields leave), then the fields from the
// last.
void TitleLabels(Labels& labels, const Plan& p, const PlotInput& in, const Data& d, const Colors& c,
                 int bar) {
  const int y = p.frame.plot.top - p.m.margin - p.m.textH;
  const int left = p.frame.plot.left;
  const int right = p.axisX;
  const std::string& symbol = in.symbol;
  std::string name = in.name;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  const tv::Rect sym = labels.Add(symbol, {left, y}, c.title, kTitleSymbol);
  int nameLeft = sym.right + p.m.gap;
  if (!in.period.empty())
    nameLeft = labels.Add(in.period, {nameLeft, y}, c.text, kTitleSymbol).right + p.m.gap;
  std::vector<TitleField> fields;
  if (bar >= 0) fields = TitleFields(d, p.frame, labels, bar);
  const auto total = [&] {
    int w = 0;
    for (const TitleField& f : fields) w += f.width + p.m.gap;
    return w;
  };
  while (fields.size() > 1 && nameLeft + total() > right) fields.pop_back();
  // The title's first fields are the date and the close: in a very narrow chart even those go.
  if (!fields.empty() && nameLeft + total() > right) fields.clear();
  const std::string shown =
      Shorten(name, right - total() - nameLeft - (fields.empty() ? 0 : p.m.gap),
              [&](const std::string& t) { return labels.Width(t); });
  int x = nameLeft;
  if (!shown.empty()) x = labels.Add(shown, {nameLeft, y}, c.title, kTitleName).right + 2 * p.m.gap;
  std::vector<std::size_t> order;
  for (std::size_t k = 0; k < fields.size(); ++k) order.push_back(k);
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return fields[a].place < fields[b].place; });
  for (const std::size_t k : order) {
    labels.Add(fields[k].text, {x, y}, c.text, kDataWindow);
    x += fields[k].width + p.m.gap;
  }
}

void CursorLabels(Labels& labels, const Plan& p, const Data& d, const Colors& c,
                  const PlotCursor& cur) {
  const PlotFrame& f = p.frame;
  if (cur.bar < f.first || cur.bar >= f.first + f.count) return;
  const std::string when = IsoDateTime(d.s.date[cur.bar], d.s.time[cur.bar], d.intraday);
  const int w = labels.Width(when) + 2 * p.m.pad;
  const int x = std::clamp(f.XOf(cur.bar) - w / 2, 0, std::max(0, p.axisX + p.m.tick - w));
  const int y = f.plot.bottom + p.m.tick + p.m.textH / 2;
  labels.AddBoxed(when, x, y, f.plot.bottom, p.bottom, c.background, c.cursor, kCursor);
  for (std::size_t k = 0; k < f.panes.size(); ++k) {
    const PaneFrame& pf = f.panes[k];
    if (cur.y < pf.rect.top || cur.y >= pf.rect.bottom) continue;
    const double v = pf.scale.ValueAt(cur.y);
    if (k == 0) {
      labels.AddBoxed(p.percent ? FormatValue(v, 2) + "%" : FormatPrice(v, d.decimals), p.axisX + 1,
                      cur.y, pf.rect.top, pf.rect.bottom, c.background, c.cursor, kCursor);
      continue;
    }
    // One decimal more than the ticks: a pixel's move shows.
    Tick t{v, 0};
    for (const Tick& tick : p.ticks[k].ticks) t.decimals = std::max(t.decimals, tick.decimals + 1);
    labels.AddBoxed(TickText(p, k, t), p.axisX + 1, cur.y, pf.rect.top, pf.rect.bottom,
                    c.background, c.cursor, kCursor);
  }
}

}  // namespace

std::optional<Style> ParseStyle(std::string_view name) {
  if (name == "hlc") return Style::Hlc;
  if (name == "ohlc") return Style::Ohlc;
  if (name == "candles") return Style::Candles;
  if (name == "line") return Style::Line;
  return std::nullopt;
}

const char* StyleName(Style style) {
  switch (style) {
    case Style::Hlc:
      return "hlc";
    case Style::Ohlc:
      return "ohlc";
    case Style::Candles:
      return "candles";
    case Style::Line:
      return "line";
  }
  return "hlc";
}

int PlotFrame::BarAtX(int x) const {
  if (count <= 0 || spacing <= 0) return -1;
  if (pitch > 0 && pitch < 1) {
    const double k = std::floor((x - x0) / pitch + 0.5);
    if (k < -0.5 / pitch || k > count - 1 + 0.5 / pitch) return -1;
    return first + static_cast<int>(std::clamp<double>(k, 0, count - 1));
  }
  const long long offset = static_cast<long long>(x) - x0;
  const long long half = spacing / 2;
  if (offset < -half || offset > static_cast<long long>(count - 1) * spacing + half) return -1;
  const long long k = (offset + half - (spacing % 2 == 0 ? 1 : 0)) / spacing;
  return first + static_cast<int>(std::clamp<long long>(k, 0, count - 1));
}

int PlotFrame::CloseY(const PlotSeries& series, int bar) const {
  if (panes.empty() || bar < 0 || bar >= series.Count()) return -1;
  const double close = series.close[static_cast<std::size_t>(bar)];
  return std::clamp(panes[0].scale.YOf(percentOf > 0 ? 100 * (close / percentOf - 1) : close),
                    panes[0].rect.top, panes[0].rect.bottom - 1);
}

namespace {

// The state every layer starts from, whatever the surface held; the guard puts it back.
void BeginLayer(tv::SurfaceStateGuard& guard, tv::Surface& s, const Metrics& m) {
  guard.SelectPen({});
  guard.SelectBrush({});
  guard.SelectFont({});
  guard.SetTextColor({});
  guard.SetBkMode(tv::BkMode::Transparent);
  guard.SetTextAlign(tv::kAlignLeft | tv::kAlignTop);
  guard.SetSmoothLines(false);
  s.SetDefaultMapping();
  s.SelectFont(m.Font());
}

}  // namespace

// Everything the layers share; on the heap, so that the series the data refers to stays put.
struct PlotLayers::Impl {
  Impl(PlotInput input, bool print, PlotOptions options, const tv::Rect& where)
      : in(std::move(input)),
        o(std::move(options)),
        target(where),
        printing(print),
        c(ColorsOf(in, printing)),
        metrics(o.scale) {}
  PlotInput in;
  PlotOptions o;
  tv::Rect target;
  bool printing;
  Colors c;
  Metrics metrics;
  std::optional<Data> d;
  std::optional<Plan> p;  // none where the target is too small for a chart
  std::vector<TimeLabel> times;
  // The labels that stay as the cursor moves (axes, last close, time axis), and which of
  // them the chart's layer draws: those that keep clear of each other.
  std::vector<Label> fixed;
  std::vector<bool> fixedKept;

  // Everything but the labels.
  void DrawBody(tv::Surface& s) const;
  // The cursor's labels, to be placed after the fixed ones.
  std::vector<Label> CursorLabels(tv::Surface& s, const PlotCursor& cursor) const;
};

void PlotLayers::Impl::DrawBody(tv::Surface& s) const {
  s.FillRect(target, {c.background});
  if (!p) return;
  DrawGrid(s, *p, times, c);
  if (p->volume) DrawVolume(s, *p, *d, c);
  s.SetSmoothLines(true);
  if (p->openInterest) DrawOpenInterest(s, *p, *d, c);
  if (d->compare)
    DrawCompare(s, *p, *d, c);
  else
    DrawPrices(s, *p, *d, c, o);
  DrawStudies(s, *p, c, o);
  s.SetSmoothLines(false);
  DrawFrame(s, *p, c);
}

std::vector<Label> PlotLayers::Impl::CursorLabels(tv::Surface& s, const PlotCursor& cursor) const {
  const PlotFrame& f = p->frame;
  const bool cursorShown = cursor.bar >= f.first && cursor.bar < f.first + f.count;
  const int bar = cursorShown ? cursor.bar : (f.count > 0 ? f.first + f.count - 1 : -1);
  Labels labels(s, *p);
  TitleLabels(labels, *p, in, *d, c, bar);
  PaneLabels(labels, *p, in, *d, c, o, bar);
  plot::CursorLabels(labels, *p, *d, c, cursor);
  return std::move(labels.List());
}

PlotLayers::PlotLayers(PlotInput input, tv::Surface& s, const tv::Rect& target, bool printing,
                       PlotOptions options)
    : m_impl(std::make_unique<Impl>(std::move(input), printing, std::move(options), target)) {
  Impl& l = *m_impl;
  if (target.width() <= 0 || target.height() <= 0) return;
  tv::SurfaceStateGuard guard(s);
  BeginLayer(guard, s, l.metrics);
  l.d.emplace(DataOf(l.in, l.o));
  Plan p = MakePlan(l.in, *l.d, s, target, l.o);
  // Too small for a chart: the background only.
  if (p.frame.plot.height() < 2 * p.m.textH || p.frame.plot.width() < 2 * p.m.margin) return;
  l.p.emplace(std::move(p));
  Labels labels(s, *l.p);
  if (l.d->n > 0) l.times = TimeAxis(*l.p, *l.d, labels);
  labels.List().clear();
  AxisLabels(labels, *l.p, l.c);
  if (l.d->n > 0) LastCloseLabel(labels, *l.p, *l.d, l.c);
  TimeAxisLabels(labels, *l.p, l.times, l.c);
  l.fixed = std::move(labels.List());
  l.fixedKept = KeptLabels(l.fixed, l.p->m.labelGap);
}

PlotLayers::~PlotLayers() = default;
PlotLayers::PlotLayers(PlotLayers&&) noexcept = default;
PlotLayers& PlotLayers::operator=(PlotLayers&&) noexcept = default;

const PlotFrame& PlotLayers::Frame() const {
  static const PlotFrame kNone;
  return m_impl->p ? m_impl->p->frame : kNone;
}

void PlotLayers::DrawChart(tv::Surface& s) const {
  const Impl& l = *m_impl;
  tv::SurfaceStateGuard guard(s);
  BeginLayer(guard, s, l.metrics);
  l.DrawBody(s);
  for (std::size_t k = 0; k < l.fixed.size(); ++k)
    if (l.fixedKept[k]) DrawLabel(s, l.fixed[k]);
}

void PlotLayers::DrawCursor(tv::Surface& s, const PlotCursor& cursor) const {
  const Impl& l = *m_impl;
  if (!l.p) return;
  tv::SurfaceStateGuard guard(s);
  BeginLayer(guard, s, l.metrics);
  DrawCursorLines(s, *l.p, l.c, cursor);
  // The cursor's labels go first where they meet a fixed one, as they would in one pass:
  // a fixed label they push out is erased from the picture, and one that only a pushed-out
  // label kept away comes back.
  std::vector<Label> all = l.fixed;
  std::vector<Label> moving = l.CursorLabels(s, cursor);
  all.insert(all.end(), std::make_move_iterator(moving.begin()),
             std::make_move_iterator(moving.end()));
  const std::vector<bool> kept = KeptLabels(all, l.p->m.labelGap);
  for (std::size_t k = 0; k < l.fixed.size(); ++k) {
    if (!l.fixedKept[k] || kept[k]) continue;
    s.FillRect(l.fixed[k].box, {l.c.background});
    AxisTicksIn(s, *l.p, l.c, l.fixed[k].box);
  }
  for (std::size_t k = 0; k < all.size(); ++k)
    if (kept[k] && (k >= l.fixed.size() || !l.fixedKept[k])) DrawLabel(s, all[k]);
}

void PlotLayers::Draw(tv::Surface& s, const PlotCursor& cursor) const {
  const Impl& l = *m_impl;
  tv::SurfaceStateGuard guard(s);
  BeginLayer(guard, s, l.metrics);
  l.DrawBody(s);
  if (!l.p) return;
  DrawCursorLines(s, *l.p, l.c, cursor);
  std::vector<Label> all = l.CursorLabels(s, cursor);
  all.insert(all.end(), l.fixed.begin(), l.fixed.end());
  for (const Label& label : PlaceLabels(all, l.p->m.labelGap)) DrawLabel(s, label);
}

PlotFrame DrawPlot(const PlotInput& in, tv::Surface& s, const tv::Rect& target, bool printing,
                   const PlotOptions& o, const PlotCursor& cursor) {
  const PlotLayers layers(in, s, target, printing, o);
  layers.Draw(s, cursor);
  return layers.Frame();
}

}  // namespace plot
