// CBars::Draw: the whole chart in a W x H logical space (y up) that the surface stretches
// onto the target rectangle.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

#include "bars.h"
#include "bars_layout.h"
#include "surface_state.h"
#include "values.h"

namespace {

// Truncation toward zero as the chart's scaling wants it, kept inside int range: a garbage
// quote (a huge or not-a-number value) must not turn into an undefined conversion.
int Trunc(double v) {
  if (std::isnan(v)) return 0;
  constexpr double kLimit = 1.0e7;
  return static_cast<int>(std::clamp(v, -kLimit, kLimit));
}

// Truncation toward zero for a label's number: the whole 32-bit range, clamped only where it
// would overflow.
int TruncLabel(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<int>(
      std::clamp(v, static_cast<double>(std::numeric_limits<std::int32_t>::min()),
                 static_cast<double>(std::numeric_limits<std::int32_t>::max())));
}

// The month a date label shows: the first two characters of the month-day-year layout,
// taken from the day number directly (the same two digits, without printing the text for
// every bar). A day number of 0 prints as month 00.
int MonthOf(std::int16_t day) {
  if (day == 0) return 0;
  std::int16_t year = 0, month = 0, dayOfMonth = 0;
  SplitDayNumber(day, year, month, dayOfMonth);
  return month;
}

void Line(tv::Surface& s, int x0, int y0, int x1, int y1) {
  s.MoveTo({x0, y0});
  s.LineTo({x1, y1});
}

void Text(tv::Surface& s, unsigned align, int x, int y, const char* text) {
  s.SetTextAlign(align);
  s.TextOut({x, y}, text);
}

// The colour of an item in the screen or print set; an index outside the palette shows as
// its first colour.
struct ItemColors {
  const CBars::ColorSet& set;
  const std::array<tv::Rgb, kPaletteSize>& palette;
  tv::Rgb operator()(int item) const {
    const int k = set[item];
    return palette[k >= 0 && k < kPaletteSize ? k : 0];
  }
};

struct ChartPens {
  tv::Pen axis, month, close, bar, volume, ma1, ma2;
  tv::Brush background;
};

ChartPens PensOf(const ItemColors& color) {
  return {.axis = {color(kAxes), 0},
          .month = {color(kAxes), 3},
          .close = {color(kCloseTick), 0},
          .bar = {color(kHighLowBar), 0},
          .volume = {color(kVolume), 0},
          .ma1 = {color(kMovingAverage1), 0},
          .ma2 = {color(kMovingAverage2), 0},
          .background = {color(kBackground)}};
}

// The extremes of the drawn bars, and the scaling of prices and volumes onto their areas.
struct Scale {
  float hiMax = 0.0f, loMin = 0.0f, volMax = 0.0f;
  float priceHeight = 0.0f, volumeHeight = 0.0f;

  // A window of one unchanging price has no range to scale by: it is drawn as a flat line
  // across the middle of the price area, with both price labels.
  float Norm(float v) const {
    const float range = hiMax - loMin;
    return range > 0.0f ? (v - loMin) / range : 0.5f;
  }
  // No volume among the drawn bars: no volume lines, rather than a division by zero.
  float NormVolume(float v) const {
    return volMax > 0.0f ? std::clamp(v / volMax, 0.0f, 1.0f) : 0.0f;
  }
  int PriceY(float v) const { return Trunc(Norm(v) * priceHeight); }
  int VolumeY(float v) const { return Trunc(NormVolume(v) * volumeHeight); }
};

Scale ScaleOf(const PriceSeries& series, const BarsLayout& layout) {
  Scale sc;
  sc.priceHeight = static_cast<float>(layout.priceHeight);
  sc.volumeHeight = static_cast<float>(layout.volumeHeight);
  sc.hiMax = series.high[layout.first];
  sc.loMin = series.low[layout.first];
  sc.volMax = series.volume[layout.first];
  for (int i = layout.first + 1; i <= layout.Last(); ++i) {
    sc.hiMax = std::max(sc.hiMax, series.high[i]);
    sc.loMin = std::min(sc.loMin, series.low[i]);
    sc.volMax = std::max(sc.volMax, series.volume[i]);
  }
  return sc;
}

void DrawFrame(tv::Surface& s, const BarsLayout& l) {
  // The separator is drawn also without volume, one unit under the base line.
  Line(s, 5, 5, l.plotWidth + 5, 5);
  Line(s, 5, l.separator, l.plotWidth + 5, l.separator);
  Line(s, l.plotWidth + 5, 5, l.plotWidth + 5, l.height - 16);
}

// One bar: its high-low line (highs reach one unit further) and its close tick, then its
// volume line, its two average segments back to the bar before, and a month tick when the
// month changes. Drawn bar by bar in this order, so overlaps paint as they always have.
void DrawBar(tv::Surface& s, const CBars& bars, const BarsLayout& l, const Scale& sc,
             const ChartPens& pens, int i) {
  const PriceSeries& series = bars.m_series;
  const int x = l.XOf(i);
  const int base = l.priceBase;
  const int yh = sc.PriceY(series.high[i]);
  const int yl = sc.PriceY(series.low[i]);
  const int yc = sc.PriceY(series.close[i]);
  const int yv = sc.VolumeY(series.volume[i]);

  s.SelectPen(pens.bar);
  Line(s, x, yl + base, x, yh + base + 1);
  s.SelectPen(pens.close);
  Line(s, x, yc + base, x + 2, yc + base);
  if (bars.m_showVolume) {
    s.SelectPen(pens.volume);
    Line(s, x, 6, x, yv + 6);
  }
  const auto average = [&](const SeriesColumn<float>& ma, const tv::Pen& pen) {
    s.SelectPen(pen);
    Line(s, x, sc.PriceY(ma[i]) + base, x - l.spacing, sc.PriceY(ma[i - 1]) + base);
  };
  if (i > bars.m_ma1Length && bars.m_showMA1) average(bars.m_ma1, pens.ma1);
  if (i > bars.m_ma2Length && bars.m_showMA2) average(bars.m_ma2, pens.ma2);
  if (i >= 1 && MonthOf(series.date[i]) != MonthOf(series.date[i - 1])) {
    s.SelectPen(pens.month);
    Line(s, x, 0, x, 5);
  }
}

// The scale column right of the axis: the last close beside its tick, the highest high and
// the lowest low unless the last close is near them.
void DrawPriceLabels(tv::Surface& s, const CBars& bars, const BarsLayout& l, const Scale& sc,
                     const ItemColors& color) {
  const float close = bars.m_series.close[l.Last()];
  const int x = l.plotWidth + 7;
  char text[64];
  s.SetTextColor(color(kCloseTick));
  std::snprintf(text, sizeof text, "%6.2f", static_cast<double>(close));
  Text(s, tv::kAlignLeft | tv::kAlignBaseline, x, sc.PriceY(close) + l.priceBase, text);

  s.SetTextColor(color(kNormalText));
  // Compared in single precision like the value itself, so a close at exactly 95 % of the
  // range counts as 0.95 and hides the top label.
  const float ncLast = sc.Norm(close);
  if (ncLast < 0.95f) {
    std::snprintf(text, sizeof text, "%6.2f", static_cast<double>(sc.hiMax));
    Text(s, tv::kAlignLeft | tv::kAlignTop, x, l.height - 3, text);
  }
  if (ncLast > 0.05f) {
    std::snprintf(text, sizeof text, "%6.2f", static_cast<double>(sc.loMin));
    Text(s, tv::kAlignLeft | tv::kAlignBaseline, x, l.priceBase, text);
  }
}

// The largest drawn volume, in thousands when it reaches a thousand. Divided in double
// precision: a single-precision quotient of 1.5e10 would already read 15000001.
void DrawVolumeLabel(tv::Surface& s, const BarsLayout& l, const Scale& sc) {
  char text[64];
  const int k = TruncLabel(static_cast<double>(sc.volMax) / 1000.0);
  if (k != 0) {
    std::snprintf(text, sizeof text, "%3dK", k);
  } else {
    std::snprintf(text, sizeof text, "%3d", TruncLabel(sc.volMax));
  }
  Text(s, tv::kAlignLeft | tv::kAlignTop, l.plotWidth + 7, l.priceBase, text);
}

// The symbol centred over the bars, or symbol and name side by side once the bars pass
// x 350.
void DrawTitle(tv::Surface& s, const CBars& bars, const BarsLayout& l, const ItemColors& color) {
  const int xLast = l.XOf(l.Last());
  s.SetTextColor(color(kTitleText));
  if (xLast > 350) {
    Text(s, tv::kAlignRight | tv::kAlignTop, xLast / 2 - 5, l.height - 3, bars.CurrentSymbol());
    Text(s, tv::kAlignLeft | tv::kAlignTop, xLast / 2, l.height - 3, bars.CurrentName());
  } else {
    Text(s, tv::kAlignCenter | tv::kAlignTop, xLast / 2, l.height - 3, bars.CurrentSymbol());
  }
}

void DrawLabels(tv::Surface& s, const CBars& bars, const BarsLayout& l, const Scale& sc,
                const ItemColors& color) {
  const PriceSeries& series = bars.m_series;
  s.SetTextColor(color(kNormalText));
  Text(s, tv::kAlignRight | tv::kAlignTop, l.XOf(l.Last()), l.height - 3,
       FormatDate(series.date[l.Last()], 7, ' '));
  DrawPriceLabels(s, bars, l, sc, color);
  if (bars.m_showVolume) DrawVolumeLabel(s, l, sc);
  Text(s, tv::kAlignLeft | tv::kAlignTop, 7, l.height - 3,
       FormatDate(series.date[l.first], 7, ' '));
  DrawTitle(s, bars, l, color);
}

tv::Font PrintFont() {
  tv::Font font;
  font.height = 12;
  font.weight = 700;
  font.faceName = "Arial";
  return font;
}

}  // namespace

BarsLayout CBars::Layout(const tv::Rect& target) const {
  const int bars = m_seriesAllocated ? std::min(m_series.count, m_series.capacity) : 0;
  return LayoutBars(LogicalSize(target), target, bars, m_barSpace, m_showVolume != 0);
}

int CBars::Draw(tv::Surface& s, const tv::Rect& target, bool printing) {
  const BarsLayout layout = Layout(target);
  {
    tv::SurfaceStateGuard state(s);
    s.SetMapping(layout.mapping);
    if (printing) state.SelectFont(PrintFont());
    const ItemColors color{printing ? m_printColors : m_screenColors, m_palette};
    const ChartPens pens = PensOf(color);
    state.SelectPen(pens.axis);
    state.SelectBrush(pens.background);
    s.FillRect({0, 0, layout.width, layout.height}, pens.background);
    state.SetTextColor(color(kNormalText));
    state.SetBkMode(tv::BkMode::Transparent);
    state.SetTextAlign(tv::kAlignLeft | tv::kAlignTop);

    DrawFrame(s, layout);
    if (layout.count > 0) {
      const Scale scale = ScaleOf(m_series, layout);
      for (int i = layout.first; i <= layout.Last(); ++i) DrawBar(s, *this, layout, scale, pens, i);
      DrawLabels(s, *this, layout, scale, color);
    }
  }
  // A colour edit that was not committed is forgotten at the next draw.
  m_workColors = m_screenColors;
  return 0;
}
