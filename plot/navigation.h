#pragma once
// Which bars of a series the extended chart shows as the user moves through time: how many
// bars fill the width (the zoom), which bar is the newest shown (the anchor), or the whole
// series at once (fit). Pure numbers, so the view only turns pointer and key events into
// these calls.

namespace plot {

struct Navigation {
  double bars = 0;   // bars across the width; 0: as many as the bar spacing fits (no zoom yet)
  int lastBar = -1;  // the newest bar shown; -1: the series' newest, whatever comes in
  bool fit = false;  // the whole series in the width
  // The user chose the zoom (wheel, Fit History, the settings file); otherwise `bars` is the
  // count the bar spacing gave when the chart was first dragged, and End drops it again.
  bool zoomed = false;
};

// The stretch shown of a series of n bars in a plot `width` pixels wide, with `defaultBars`
// the bars the bar spacing fits there: the first bar and the count.
struct Stretch {
  int first = 0;
  int count = 0;
};
Stretch Shown(const Navigation& nav, int n, int width, int defaultBars);

inline constexpr int kFewestBars = 10;  // zooming in stops at this many bars across

// Dragging by dx pixels: to the right shows older bars. The stretch stays inside the series.
void Pan(Navigation& nav, int n, int width, int defaultBars, int dx);
// Zooming by `steps` wheel notches (up, positive: closer) about pixel x from the plot's left
// edge: the bar under x stays under x. Between kFewestBars and the whole series.
void ZoomAt(Navigation& nav, int n, int width, int defaultBars, int x, int steps);
// Ctrl+0: the whole series. End: the newest bars at the zoom chosen (the bar spacing's own
// layout where none was). Home: the oldest.
void Fit(Navigation& nav);
void ShowNewest(Navigation& nav, int n, int width, int defaultBars);
void ShowOldest(Navigation& nav, int n, int width, int defaultBars);
// Brings `bar` (the keyboard cursor) into the stretch, scrolling by as little as it takes.
void Follow(Navigation& nav, int n, int width, int defaultBars, int bar);

}  // namespace plot
