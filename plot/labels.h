#pragma once
// Labels that never cover one another: every text of the extended chart (title, data window,
// axis labels, pane labels, the crosshair's values) is placed through one pass that keeps a
// label only when it overlaps no label kept before it, the more important first.

#include <optional>
#include <string>
#include <vector>

#include "surface.h"

namespace plot {

struct Label {
  tv::Rect box;  // device pixels the text (and its fill) covers
  std::string text;
  tv::Point at;  // the text's top-left corner
  tv::Rgb color{};
  std::optional<tv::Rgb> fill;  // a box behind the text
  int priority = 0;             // higher goes first
};

// Whether a and b come closer than `gap` pixels (touching counts as apart when gap is 0).
bool Overlap(const tv::Rect& a, const tv::Rect& b, int gap);

// The labels to draw, in the order given: each one that keeps `gap` pixels from every label
// of higher priority (or of equal priority and given earlier) that is itself kept.
std::vector<Label> PlaceLabels(const std::vector<Label>& labels, int gap);
// Which of `labels` PlaceLabels keeps, one flag a label.
std::vector<bool> KeptLabels(const std::vector<Label>& labels, int gap);

// `text` cut from the end, with "..." appended, to fit `width` pixels as `measure` measures;
// the whole text when it fits, and empty when not even the dots do.
template <class Measure>
std::string Shorten(const std::string& text, int width, Measure measure) {
  if (measure(text) <= width) return text;
  // Binary search over the kept length: widths grow with the length.
  std::size_t lo = 0, hi = text.size();
  while (lo < hi) {
    const std::size_t mid = (lo + hi + 1) / 2;
    if (measure(text.substr(0, mid) + "...") <= width)
      lo = mid;
    else
      hi = mid - 1;
  }
  std::string kept = text.substr(0, lo);
  while (!kept.empty() && kept.back() == ' ') kept.pop_back();
  if (kept.empty()) return measure(std::string("...")) <= width ? "..." : "";
  return kept + "...";
}

}  // namespace plot
