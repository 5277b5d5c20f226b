#pragma once
// What the extended chart draws besides the bars: lines over the prices (overlays such as
// bands) and panes of their own under the prices and the volume (oscillators), each pane
// with its own scale, level lines and a label.

#include <optional>
#include <string>
#include <vector>

#include "scale.h"
#include "surface.h"

namespace plot {

struct PlotLine {
  std::string name;  // shown in the pane's label, in the line's colour
  tv::Rgb color{};
  std::vector<double> values;  // one per series bar; not-a-number where not defined
  bool histogram = false;      // bars up or down from 0 instead of a line
};

struct StudyPane {
  std::string label;             // the study's name and parameters
  double weight = 1.5;           // height share; the prices have 4 and the volume 1
  std::optional<double> lo, hi;  // fixed ends (0 and 100 for an oscillator); else the data's
  std::vector<PlotLine> lines;
  std::vector<double> references;  // level lines, such as 30 and 70
};

// Where one pane lies and how it maps values.
struct PaneFrame {
  tv::Rect rect;     // the pane's whole area, label row included
  ValueScale scale;  // the values' rows inside it
};

}  // namespace plot
