// CBars: moving the window of bars back and forth through a security's history, and the
// values of one bar as text.

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "bars.h"
#include "values.h"

int CBars::ScreenBars(int logicalWidth) const {
  // The bars a full series shows across this width: one position fewer than fit (the first
  // stays free), and never more than the series holds.
  const BarsLayout full =
      LayoutBars({logicalWidth, 1}, {0, 0, 1, 1}, kSeriesBars, m_barSpace, false);
  return std::max(full.count, 1);
}

int CBars::LoadWindowEndingAt(std::int32_t end) {
  // The newest bars are read exactly as a load reads them, so coming back to them gives
  // the same chart as the first view.
  if (end >= m_series.fileRecords - 1) return LoadBars(-1, kSeriesBars);
  const std::int32_t start = std::max<std::int32_t>(end + 1 - kSeriesBars, 0);
  return LoadBars(start, end + 1 - start);
}

int CBars::ScrollWindow(int delta, int screenBars) {
  if (delta == 0) return 0;
  // Nothing to page through after a read that failed or found no bars (a file cut short
  // while paged back): the file as it is now, from its newest bars, once it reads again.
  if (!m_seriesAllocated || m_series.count <= 0)
    return RereadCurrentSecurity() == Reread::Changed ? 1 : 0;
  const std::int64_t end = WindowEnd();
  std::int64_t target = end + delta;
  if (delta < 0) {
    // The oldest window starts with the file's first bar and fills one screen; a window
    // already further back (the screen grew since) does not jump forward.
    const std::int64_t oldestEnd =
        std::min<std::int64_t>(std::max(screenBars, 1), m_series.fileRecords) - 1;
    target = std::max(target, std::min(oldestEnd, end));
  } else {
    if (newest_) return 0;
    target = std::min<std::int64_t>(target, m_series.fileRecords - 1);
  }
  if (target == end) return 0;
  LoadWindowEndingAt(static_cast<std::int32_t>(target));
  return 1;
}

int CBars::ShowOldestBars(int screenBars) {
  const bool empty = !m_seriesAllocated || m_series.count <= 0;
  const int reread = empty ? ScrollWindow(-1, screenBars) : 0;
  if (!m_seriesAllocated || m_series.count <= 0) return 0;
  return ScrollWindow(-(WindowEnd() + 1), screenBars) != 0 || reread != 0 ? 1 : 0;
}

int CBars::ShowNewestBars() {
  // Already at the newest bars, or nothing loaded after a read that failed: the file as it
  // is now, which may have grown or come back since it was read.
  if (!m_seriesAllocated || m_series.count <= 0 || newest_)
    return RereadCurrentSecurity() == Reread::Changed ? 1 : 0;
  LoadBars(-1, kSeriesBars);
  return 1;
}

int CBars::ShowBarsUntil(std::int16_t day) {
  if (!newest_) LoadCurrentSecurity();
  // Back through the file one series at a time: each round starts before the last, so it
  // ends at the first bar of the file at the latest.
  while (m_seriesAllocated) {
    for (int i = m_series.count - 1; i >= 0; --i) {
      const std::int16_t d = m_series.date[i];
      if (d == 0 || d > day) continue;
      const std::int32_t end = windowStart_ + i;
      if (end != WindowEnd()) LoadWindowEndingAt(end);
      return m_seriesAllocated ? 0 : 1;
    }
    if (windowStart_ <= 0) break;
    LoadWindowEndingAt(windowStart_ - 1);
  }
  if (!newest_) LoadCurrentSecurity();
  return 1;
}

namespace {

constexpr const char* kAbsent = "\xE2\x80\x94";  // an em dash: the file has no such field

std::string Real(float v) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, v).ptr;
  return std::string(text, end);
}

}  // namespace

std::vector<std::pair<std::string, std::string>> CBars::BarValues(int i) const {
  std::vector<std::pair<std::string, std::string>> lines;
  if (!m_seriesAllocated || i < 0 || i >= m_series.count) return lines;
  const auto present = [&](SeriesField f) { return SeriesHasField(m_series, f); };

  std::string when = kAbsent;
  if (present(SeriesField::Date) && m_series.date[i] != 0) {
    char text[kIsoDateLength];
    when.assign(text, PutIsoDate(text, m_series.date[i]));
  }
  if (present(SeriesField::Time)) {
    char text[kIsoTimeLength];
    when += ' ';
    when.append(text, PutIsoTime(text, m_series.time[i]));
  }
  lines.emplace_back("Date", when);
  const std::pair<const char*, SeriesField> fields[] = {
      {"Open", SeriesField::Open},     {"High", SeriesField::High},
      {"Low", SeriesField::Low},       {"Close", SeriesField::Close},
      {"Volume", SeriesField::Volume}, {"Open interest", SeriesField::OpenInterest}};
  const SeriesColumn<float>* columns[] = {&m_series.open,   &m_series.high,
                                          &m_series.low,    &m_series.close,
                                          &m_series.volume, &m_series.openInterest};
  for (int k = 0; k < 6; ++k)
    lines.emplace_back(fields[k].first,
                       present(fields[k].second) ? Real((*columns[k])[i]) : std::string(kAbsent));
  return lines;
}

int CBars::BarAt(tv::Point p, const tv::Rect& target) const {
  if (target.width() <= 0 || target.height() <= 0) return -1;
  const BarsLayout layout = Layout(target);
  if (layout.height <= 0) return -1;
  const tv::Mapping& m = layout.mapping;
  if (p.y < m.ToDeviceY(layout.height - 15) || p.y > m.ToDeviceY(5)) return -1;
  return layout.BarAtDeviceX(p.x);
}
