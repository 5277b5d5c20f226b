#pragma once
// What the extended chart draws, as plain data: the bars of a security as columns, which
// fields it has, its symbol and name, the colours and the averages. The chart reads nothing
// else, so any series of bars can be drawn: a security's days, its weeks or months.

#include <cstdint>
#include <string>
#include <vector>

#include "averages.h"
#include "series.h"
#include "surface.h"

namespace plot {

// One security's bars, oldest first, each column one entry a bar.
struct PlotSeries {
  std::vector<std::int16_t> date;   // day numbers; 0 for no date
  std::vector<std::uint16_t> time;  // two-second units since midnight
  std::vector<float> open, high, low, close, volume, openInterest;
  // The fields the security's layout names; the column of a field it lacks holds the
  // reader's mark of absence on every bar.
  bool hasTime = false, hasOpen = false, hasHigh = false, hasLow = false, hasVolume = false,
       hasOpenInterest = false;

  int Count() const { return static_cast<int>(close.size()); }
  // Sizes every column for n bars (zeros where new).
  void Resize(int n);
};

// The colours of the palette the chart uses, on screen or on paper.
struct PlotColors {
  tv::Rgb background, axes, text, title, bars, closeTick, average1, average2, volume;
};

// A series the quote library has read, as plain columns (none when it holds no bars).
PlotSeries SeriesOf(const PriceSeries& series);

// Another security drawn against this one: its closes on this one's bars (MatchCloses in
// compare.h), or why it cannot be drawn.
struct ComparedLine {
  std::string symbol;
  std::vector<double> close;  // one per series bar; not a number where it has no close yet
  std::string problem;        // shown in its place in the legend when not empty
};

struct PlotInput {
  PlotSeries series;
  std::string symbol, name;
  std::string period;  // the bars' period as the title names it ("Weekly"); empty: as read
  PlotColors colors;
  // The moving averages over the closes, in the legend's order: the first two in average1
  // and average2, any more in colours of their own. An average of length 0 is not drawn
  // and keeps its place, so the second of a pair keeps its colour when the first is hidden.
  std::vector<PlotAverage> averages;
  int barSpacing = 4;  // device pixels between bars when no stretch is given
  bool volume = true;  // a volume pane where the bars shown traded something
  // Other securities against this one: the price pane then shows every close as the percent
  // change since the first bar shown, without the bars, averages and overlays.
  std::vector<ComparedLine> compared;
};

}  // namespace plot
