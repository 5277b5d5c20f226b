// CBars::Draw: the whole chart in a W x H logical space (y up) that the surface stretches
// onto the target rectangle.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "bars.h"
#include "values.h"

namespace {

// Truncation toward zero as the chart's scaling wants it, kept inside int range: a garbage
// quote (a huge or not-a-number value) must not turn into an undefined conversion.
int Trunc(double v) {
  if (std::isnan(v)) return 0;
  constexpr double kLimit = 1.0e7;
  return static_cast<int>(std::clamp(v, -kLimit, kLimit));
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

}  // namespace

int CBars::Draw(tv::Surface& s, const tv::Rect& target, bool printing) {
  // 1. Mapping: logical (0, 0) at the target's bottom-left corner, y growing upward.
  const tv::Size logical = LogicalSize(target);
  const int W = logical.cx;
  const int H = logical.cy;
  const tv::Mapping previousMapping = s.GetMapping();
  s.SetAnisotropic({W, H}, {target.width(), -target.height()},
                   {target.left, target.top + target.height()});

  // 2. Font and colour set.
  tv::Font previousFont;
  if (printing) {
    tv::Font printFont;
    printFont.height = 12;
    printFont.weight = 700;
    printFont.faceName = "Arial";
    previousFont = s.SelectFont(printFont);
  }
  const ColorSet& set = printing ? m_printColors : m_screenColors;
  const auto color = [&](int item) {
    const int k = set[item];
    return m_palette[k >= 0 && k < kPaletteSize ? k : 0];
  };

  // 3. Drawing objects.
  const tv::Pen axisPen{color(kAxes), 0};
  const tv::Pen previousPen = s.SelectPen(axisPen);
  const tv::Pen monthPen{color(kAxes), 3};
  const tv::Pen closePen{color(kCloseTick), 0};
  const tv::Pen barPen{color(kHighLowBar), 0};
  const tv::Brush background{color(kBackground)};
  const tv::Brush previousBrush = s.SelectBrush(background);
  s.FillRect({0, 0, W, H}, background);
  const tv::Rgb previousTextColor = s.SetTextColor(color(kNormalText));
  const tv::BkMode previousBkMode = s.SetBkMode(tv::BkMode::Transparent);
  const unsigned previousAlign = s.SetTextAlign(tv::kAlignLeft | tv::kAlignTop);
  const tv::Pen volumePen{color(kVolume), 0};
  const tv::Pen ma1Pen{color(kMovingAverage1), 0};
  const tv::Pen ma2Pen{color(kMovingAverage2), 0};

  const int pw = W - 55;
  const int ph = H - 20;
  const int priceH = m_showVolume ? static_cast<int>(ph * 0.8) : ph;
  const int volH = m_showVolume ? ph - priceH : 0;
  const int separator = volH + 4;
  const float priceHr = static_cast<float>(priceH);
  const float volHr = static_cast<float>(volH);

  // 4. Frame. The separator is drawn also without volume, one unit under the base line.
  Line(s, 5, 5, pw + 5, 5);
  Line(s, 5, separator, pw + 5, separator);
  Line(s, pw + 5, 5, pw + 5, H - 16);

  // 5. Bars only when there is a series, and only when at least one bar fits left of the
  // axis; a non-positive spacing would place every bar on the same x.
  const int N = m_seriesAllocated ? std::min(m_series.count, m_series.capacity) : 0;
  const int visible = m_barSpace > 0 ? pw / m_barSpace : 0;
  if (N > 0 && visible >= 1) {
    // 6. Visible bars: the last visible - 1 of a long series (or the last one when only one
    // fits), all of a short one.
    const int first = std::clamp(N - visible + 1, 0, N - 1);

    // 7. Extremes.
    float hiMax = m_series.high[first];
    float loMin = m_series.low[first];
    float volMax = m_series.volume[first];
    for (int i = first + 1; i - first < visible && i < N; ++i) {
      hiMax = std::max(hiMax, m_series.high[i]);
      loMin = std::min(loMin, m_series.low[i]);
      volMax = std::max(volMax, m_series.volume[i]);
    }
    const float range = hiMax - loMin;
    // A window of one unchanging price has no range to scale by: it is drawn as a flat line
    // across the middle of the price area, with both price labels.
    const auto norm = [&](float v) { return range > 0.0f ? (v - loMin) / range : 0.5f; };
    // No volume among the visible bars: no volume lines, rather than a division by zero.
    const auto normVolume = [&](float v) {
      return volMax > 0.0f ? std::clamp(v / volMax, 0.0f, 1.0f) : 0.0f;
    };

    // 8. Bars.
    int x = m_barSpace + 5;
    int i = first;
    int yc = 0;
    do {
      const int yh = Trunc(norm(m_series.high[i]) * priceHr);
      const int yl = Trunc(norm(m_series.low[i]) * priceHr);
      yc = Trunc(norm(m_series.close[i]) * priceHr);
      const int yv = Trunc(normVolume(m_series.volume[i]) * volHr);

      s.SelectPen(barPen);
      Line(s, x, yl + volH + 5, x, yh + volH + 6);
      s.SelectPen(closePen);
      Line(s, x, yc + volH + 5, x + 2, yc + volH + 5);
      if (m_showVolume) {
        s.SelectPen(volumePen);
        Line(s, x, 6, x, yv + 6);
      }
      if (i > m_ma1Length && m_showMA1) {
        const int a = Trunc(norm(m_ma1[i]) * priceHr);
        const int b = Trunc(norm(m_ma1[i - 1]) * priceHr);
        s.SelectPen(ma1Pen);
        Line(s, x, a + volH + 5, x - m_barSpace, b + volH + 5);
      }
      if (i > m_ma2Length && m_showMA2) {
        const int a = Trunc(norm(m_ma2[i]) * priceHr);
        const int b = Trunc(norm(m_ma2[i - 1]) * priceHr);
        s.SelectPen(ma2Pen);
        Line(s, x, a + volH + 5, x - m_barSpace, b + volH + 5);
      }
      if (i >= 1 && MonthOf(m_series.date[i]) != MonthOf(m_series.date[i - 1])) {
        s.SelectPen(monthPen);
        Line(s, x, 0, x, 5);
      }
      ++i;
      x += m_barSpace;
    } while (i < N && x < pw + 5);
    const int last = i - 1;
    const int xLast = x - m_barSpace;

    // 9. Texts.
    char text[64];
    s.SetTextColor(color(kNormalText));
    Text(s, tv::kAlignRight | tv::kAlignTop, xLast, H - 3, FormatDate(m_series.date[last], 7, ' '));

    s.SetTextColor(color(kCloseTick));
    std::snprintf(text, sizeof text, "%6.2f", static_cast<double>(m_series.close[last]));
    Text(s, tv::kAlignLeft | tv::kAlignBaseline, pw + 7, yc + volH + 5, text);

    s.SetTextColor(color(kNormalText));
    // Compared in single precision like the value itself, so a close at exactly 95 % of the
    // range counts as 0.95 and hides the top label.
    const float ncLast = norm(m_series.close[last]);
    if (ncLast < 0.95f) {
      std::snprintf(text, sizeof text, "%6.2f", static_cast<double>(hiMax));
      Text(s, tv::kAlignLeft | tv::kAlignTop, pw + 7, H - 3, text);
    }
    if (ncLast > 0.05f) {
      std::snprintf(text, sizeof text, "%6.2f", static_cast<double>(loMin));
      Text(s, tv::kAlignLeft | tv::kAlignBaseline, pw + 7, volH + 5, text);
    }
    if (m_showVolume) {
      const int k = Trunc(volMax / 1000.0f);
      if (k != 0) {
        std::snprintf(text, sizeof text, "%3dK", k);
      } else {
        std::snprintf(text, sizeof text, "%3d", Trunc(volMax));
      }
      Text(s, tv::kAlignLeft | tv::kAlignTop, pw + 7, volH + 5, text);
    }
    Text(s, tv::kAlignLeft | tv::kAlignTop, 7, H - 3, FormatDate(m_series.date[first], 7, ' '));

    s.SetTextColor(color(kTitleText));
    const int entry = m_current >= 0 && m_current < kMaxSymbols ? m_current : 0;
    if (xLast > 350) {
      Text(s, tv::kAlignRight | tv::kAlignTop, xLast / 2 - 5, H - 3, m_symbols[entry].data());
      Text(s, tv::kAlignLeft | tv::kAlignTop, xLast / 2, H - 3, m_names[entry].data());
    } else {
      Text(s, tv::kAlignCenter | tv::kAlignTop, xLast / 2, H - 3, m_symbols[entry].data());
    }
  }

  // 10. Leave the surface as it came.
  s.SelectBrush(previousBrush);
  s.SetBkMode(previousBkMode);
  s.SetTextColor(previousTextColor);
  s.SelectPen(previousPen);
  if (printing) s.SelectFont(previousFont);
  s.SetTextAlign(previousAlign);
  s.SetMapping(previousMapping);

  // 11. A colour edit that was not committed is forgotten at the next draw.
  m_workColors = m_screenColors;
  return 0;
}
