#include "navigation.h"

#include <algorithm>
#include <cmath>

namespace plot {

namespace {

// The count shown: the zoom's bars, or the spacing's, at most the series.
int CountOf(const Navigation& nav, int n, int defaultBars) {
  if (nav.fit) return n;
  const int wanted = nav.bars > 0 ? static_cast<int>(std::lround(nav.bars)) : defaultBars;
  return std::clamp(wanted, std::min(n, 1), std::max(n, 1));
}

// Sets the anchor so that the stretch ends at `last`, kept inside the series; the newest bar
// becomes -1 so that new bars coming in stay in view.
void Anchor(Navigation& nav, int n, int count, int last) {
  last = std::clamp(last, std::min(count, n) - 1, n - 1);
  nav.lastBar = last >= n - 1 ? -1 : last;
}

}  // namespace

Stretch Shown(const Navigation& nav, int n, int width, int defaultBars) {
  (void)width;
  if (n <= 0) return {};
  const int count = std::min(CountOf(nav, n, defaultBars), n);
  const int last = nav.fit || nav.lastBar < 0 ? n - 1 : std::clamp(nav.lastBar, count - 1, n - 1);
  return {last + 1 - count, count};
}

void Pan(Navigation& nav, int n, int width, int defaultBars, int dx) {
  if (n <= 0 || width <= 0) return;
  const Stretch s = Shown(nav, n, width, defaultBars);
  if (nav.fit) {
    nav.fit = false;
    nav.bars = s.count;
  }
  const double pitch = static_cast<double>(width) / std::max(1, s.count);
  const int bars = static_cast<int>(std::lround(dx / pitch));
  Anchor(nav, n, s.count, s.first + s.count - 1 - bars);
}

void ZoomAt(Navigation& nav, int n, int width, int defaultBars, int x, int steps) {
  if (n <= 0 || width <= 0 || steps == 0) return;
  const Stretch s = Shown(nav, n, width, defaultBars);
  const double pitch = static_cast<double>(width) / std::max(1, s.count);
  const double at = s.first + std::clamp(x, 0, width) / pitch;  // the bar under x
  const double wanted = s.count * std::pow(1.25, -steps);
  const int count = std::clamp(static_cast<int>(std::lround(wanted)), std::min(n, kFewestBars), n);
  nav.fit = false;
  nav.zoomed = true;
  nav.bars = count;
  const double newPitch = static_cast<double>(width) / count;
  const int first = static_cast<int>(std::lround(at - std::clamp(x, 0, width) / newPitch));
  Anchor(nav, n, count, first + count - 1);
}

void Fit(Navigation& nav) {
  nav.fit = true;
  nav.zoomed = true;
  nav.lastBar = -1;
}

void ShowNewest(Navigation& nav, int n, int width, int defaultBars) {
  if (nav.fit) nav.bars = Shown(nav, n, width, defaultBars).count;
  nav.fit = false;
  nav.lastBar = -1;
  // Never zoomed: back to the bar spacing's own picture.
  if (!nav.zoomed) nav.bars = 0;
}

void ShowOldest(Navigation& nav, int n, int width, int defaultBars) {
  const Stretch s = Shown(nav, n, width, defaultBars);
  if (nav.fit) nav.bars = s.count;
  nav.fit = false;
  Anchor(nav, n, s.count, s.count - 1);
}

void Follow(Navigation& nav, int n, int width, int defaultBars, int bar) {
  const Stretch s = Shown(nav, n, width, defaultBars);
  if (s.count <= 0 || (bar >= s.first && bar < s.first + s.count)) return;
  if (nav.fit) return;  // the whole series is shown
  const int last = bar < s.first ? bar + s.count - 1 : bar;
  Anchor(nav, n, s.count, last);
}

}  // namespace plot
