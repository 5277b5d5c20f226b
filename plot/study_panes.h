#pragma once
// The studies the extended chart draws: averages and Bollinger bands as lines over the
// prices, RSI, MACD and stochastic in panes of their own under the volume, each with its
// scale, its reference levels and its name and parameters as the pane's label.

#include <span>

#include "chart.h"
#include "study_config.h"

namespace plot {

// Adds the lines and panes of `configs`, in their order, to `options`. Each study is computed
// over the whole `series`, so the bars before the screen warm it up as they do the
// averages. A stochastic of a security whose layout has no HIGH or LOW field keeps its pane, empty.
void AddStudies(const PlotSeries& series, std::span<const studies::StudyConfig> configs,
                PlotOptions& options);

}  // namespace plot
