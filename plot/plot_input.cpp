#include "plot_input.h"

#include <algorithm>

namespace plot {

void PlotSeries::Resize(int n) {
  const auto size = static_cast<std::size_t>(std::max(0, n));
  date.resize(size);
  time.resize(size);
  for (auto* column : {&open, &high, &low, &close, &volume, &openInterest}) column->resize(size);
}

PlotSeries SeriesOf(const PriceSeries& series) {
  PlotSeries out;
  const int n = std::max<int>(0, series.count);
  out.Resize(n);
  for (int i = 0; i < n; ++i) {
    const auto k = static_cast<std::size_t>(i);
    out.date[k] = series.date[i];
    out.time[k] = series.time[i];
    out.open[k] = series.open[i];
    out.high[k] = series.high[i];
    out.low[k] = series.low[i];
    out.close[k] = series.close[i];
    out.volume[k] = series.volume[i];
    out.openInterest[k] = series.openInterest[i];
  }
  out.hasTime = SeriesHasField(series, SeriesField::Time);
  out.hasOpen = SeriesHasField(series, SeriesField::Open);
  out.hasHigh = SeriesHasField(series, SeriesField::High);
  out.hasLow = SeriesHasField(series, SeriesField::Low);
  out.hasVolume = SeriesHasField(series, SeriesField::Volume);
  out.hasOpenInterest = SeriesHasField(series, SeriesField::OpenInterest);
  return out;
}

}  // namespace plot
