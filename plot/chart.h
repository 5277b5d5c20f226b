#pragma once
// The extended chart: the bars of a security (plot_input.h) drawn as today's chart
// programs draw it, on the same drawing surface as the classic chart. A title row with the
// symbol, the name and the values of one bar; the price pane with a 1-2-2.5-5 value axis,
// grid and the last close marked; the volume pane; panes of studies; a time axis; a
// crosshair. Everything is laid out in device pixels of the target, text and lines at
// `scale` device pixels per pixel of a 96-dpi screen.

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "averages.h"
#include "panes.h"
#include "plot_input.h"
#include "surface.h"

namespace plot {

enum class Style { Hlc, Ohlc, Candles, Line };

std::optional<Style> ParseStyle(std::string_view name);  // hlc, ohlc, candles, line
const char* StyleName(Style style);

struct PlotOptions {
  Style style = Style::Hlc;
  bool log = false;
  double scale = 1;                // device pixels per 96-dpi pixel (2 on a HiDPI screen at 200 %)
  std::vector<PlotLine> overlays;  // over the prices
  std::vector<StudyPane> panes;    // under the volume
  bool openInterest = false;  // a pane of open interest under the volume, where the security has it
  // The stretch of series bars to show, ending at lastBar (-1: the newest), laid out to fill
  // the width: print and the preview give the bars on screen. 0 bars: as many as fit at the
  // bar spacing, the newest at the right.
  int barCount = 0;
  int lastBar = -1;
  std::string emptyReason;  // why the series holds no bars, shown in their place
};

// The bar the crosshair (or the keyboard cursor) stands on, and the pointer's device row
// for the horizontal line; bar -1 shows no crosshair, y -1 no horizontal line.
struct PlotCursor {
  int bar = -1;
  int y = -1;
};

// Where the chart put things, for finding the bar under the pointer.
struct PlotFrame {
  tv::Rect plot;  // the bars' area across all panes
  int first = 0;  // series index of the first bar shown
  int count = 0;  // bars shown
  int spacing = 1;
  double pitch = 0;              // a given stretch's exact distance between bars (0: the spacing)
  int x0 = 0;                    // device x of the first bar shown
  int decimals = 2;              // the price decimals of the bars shown (PriceDecimals)
  double percentOf = 0;          // compare mode: the close at 0 % of the price pane's percents
  std::vector<PaneFrame> panes;  // prices first, then the volume (when shown) and the studies

  int XOf(int bar) const {
    if (pitch > 0) return x0 + static_cast<int>(std::lround((bar - first) * pitch));
    return x0 + (bar - first) * spacing;
  }
  // The bar shown nearest device x, or -1 when x is more than half a spacing beside them.
  int BarAtX(int x) const;
  // The row of a bar's close in the price pane.
  int CloseY(const PlotSeries& series, int bar) const;
};

// The contrast ratio of two colours (1 to 21), and `color` moved towards white on a dark
// background or black on a light one until its contrast with `background` is 4.5:1.
double Contrast(tv::Rgb a, tv::Rgb b);
tv::Rgb Readable(tv::Rgb color, tv::Rgb background);

// The chart of an input laid out once for a target and drawn in two layers: the chart itself,
// which a window keeps as a picture, and over it the crosshair with everything that names
// the values of its bar (the title row, the panes' legends, the boxes on the axes). A
// pointer move then draws only the second layer over the kept picture; nothing is laid out
// or computed again.
class PlotLayers {
 public:
  // Lays out the chart of `input` for target, measuring its text on `surface`.
  PlotLayers(PlotInput input, tv::Surface& surface, const tv::Rect& target, bool printing,
             PlotOptions options);
  ~PlotLayers();
  PlotLayers(PlotLayers&&) noexcept;
  PlotLayers& operator=(PlotLayers&&) noexcept;

  // Everything that stays while the cursor moves, the whole target painted.
  void DrawChart(tv::Surface& surface) const;
  // The crosshair, the title row and the legends with the values at the cursor's bar (the
  // newest shown when the cursor is on no bar). Draws on a picture of DrawChart only: the
  // title row and the legends' rows are left empty there.
  void DrawCursor(tv::Surface& surface, const PlotCursor& cursor) const;
  // Both layers at once, each label placed among all the others: a print or an export.
  void Draw(tv::Surface& surface, const PlotCursor& cursor) const;
  const PlotFrame& Frame() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

// Draws the chart of `input` onto target (device pixels of the surface's default mapping);
// printing draws falling bars like rising ones and hollow rising candles. The surface is left
// as it came.
PlotFrame DrawPlot(const PlotInput& input, tv::Surface& surface, const tv::Rect& target,
                   bool printing, const PlotOptions& options, const PlotCursor& cursor = {});

}  // namespace plot
