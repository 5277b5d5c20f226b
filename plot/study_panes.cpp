#include "study_panes.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace plot {

namespace {

// Colours that read on the dark screen background and on paper alike.
constexpr std::array<tv::Rgb, 3> kLineColors = {tv::Rgb{255, 140, 0}, tv::Rgb{30, 144, 255},
                                                tv::Rgb{186, 85, 211}};

PlotLine Line(std::string name, std::size_t color, std::vector<double> values) {
  return {std::move(name), kLineColors[color % kLineColors.size()], std::move(values)};
}

}  // namespace

void AddStudies(const PlotSeries& series, std::span<const studies::StudyConfig> configs,
                PlotOptions& options) {
  using studies::StudyKind;
  const auto widened = [](const std::vector<float>& column) {
    return std::vector<double>(column.begin(), column.end());
  };
  const std::vector<double> high = widened(series.high);
  const std::vector<double> low = widened(series.low);
  const std::vector<double> close = widened(series.close);
  const bool hasRange = series.hasHigh && series.hasLow;
  for (const studies::StudyConfig& config : configs) {
    const std::string label = studies::StudyLabel(config);
    std::vector<studies::StudyOutput> out;
    if (config.kind != StudyKind::Stochastic || hasRange)
      out = studies::ComputeStudy(config, {high, low, close});
    const auto values = [&](std::size_t i) {
      return i < out.size() ? std::move(out[i].values) : std::vector<double>{};
    };
    switch (config.kind) {
      // Each kind has its colour, whatever else is shown.
      case StudyKind::Sma:
        options.overlays.push_back(Line(label, 0, values(0)));
        break;
      case StudyKind::Ema:
        options.overlays.push_back(Line(label, 1, values(0)));
        break;
      case StudyKind::Bollinger: {
        const std::size_t color = 2;
        options.overlays.push_back(Line(label, color, values(0)));
        options.overlays.push_back(Line("", color, values(1)));
        options.overlays.push_back(Line("", color, values(2)));
        break;
      }
      case StudyKind::Rsi:
        options.panes.push_back({label, 1.5, 0.0, 100.0, {Line("", 0, values(0))}, {30, 70}});
        break;
      case StudyKind::Stochastic:
        options.panes.push_back({label,
                                 1.5,
                                 0.0,
                                 100.0,
                                 {Line("%K", 0, values(0)), Line("%D", 1, values(1))},
                                 {20, 80}});
        break;
      case StudyKind::Macd: {
        PlotLine histogram = Line("Histogram", 2, values(2));
        histogram.histogram = true;
        options.panes.push_back(
            {label,
             1.5,
             std::nullopt,
             std::nullopt,
             {std::move(histogram), Line("MACD", 0, values(0)), Line("Signal", 1, values(1))},
             {0}});
        break;
      }
    }
  }
}

}  // namespace plot
