#pragma once
// How the extended chart is drawn (the Chart menu): bar style, log scale, kind of moving
// average and the crosshair, kept in the settings file's section "Chart". The classic chart
// reads none of it.

#include <string_view>

#include "chart.h"
#include "profile.h"
#include "surface.h"

namespace tv {

inline constexpr std::string_view kChartSection = "Chart";

struct ChartSettings {
  plot::Style style = plot::Style::Hlc;
  bool log = false;
  plot::AverageKind averages = plot::AverageKind::Simple;
  bool crosshair = true;
  friend bool operator==(const ChartSettings&, const ChartSettings&) = default;
};

// Keys Style (hlc, ohlc, candles, line), Log (0 or 1), Averages (simple or exponential) and
// Crosshair (0 or 1); a missing key or a value the menu could not have written reads as the
// default.
ChartSettings LoadChartSettings(Profile& profile);
void SaveChartSettings(Profile& profile, const ChartSettings& settings);

// Draws the chart of `bars` as the mode wants it: the extended chart when the chart object
// reads the extended way, the classic chart otherwise. `scale` (device pixels per 96-dpi
// pixel) and `cursor` concern the extended chart only; the classic chart keeps its own
// layout. Either way the working colours are reset from the screen colours afterwards.
plot::PlotFrame DrawChart(CBars& bars, Surface& surface, const Rect& target, bool printing,
                          const ChartSettings& settings, double scale = 1,
                          const plot::PlotCursor& cursor = {});

}  // namespace tv
