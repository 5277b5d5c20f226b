// CBars: reading the list and the current security again while their files change on disk,
// without a word to the user and without losing what is shown to a file caught mid-write.

#include <algorithm>
#include <string>
#include <utility>

#include "bars.h"

namespace {

// Takes the reports of a background read: the user is told nothing about files in the
// middle of being written.
class Silent final : public tv::MessageService {
 public:
  void ShowMessage(std::string_view, tv::MessageIcon) override {}
};

bool SameBars(const PriceSeries& a, const PriceSeries& b) {
  if (a.count != b.count || a.fileRecords != b.fileRecords) return false;
  for (int i = 0; i < a.count; ++i) {
    if (a.date[i] != b.date[i] || a.time[i] != b.time[i] || a.open[i] != b.open[i] ||
        a.high[i] != b.high[i] || a.low[i] != b.low[i] || a.close[i] != b.close[i] ||
        a.volume[i] != b.volume[i] || a.openInterest[i] != b.openInterest[i])
      return false;
  }
  return true;
}

}  // namespace

std::uint16_t CBars::FileNumber(int i) const {
  if (i < 0 || i >= m_count) return 0;
  return m_extended ? m_index[static_cast<std::size_t>(i)].fileNumber
                    : m_fileNumbers[static_cast<std::size_t>(i)];
}

int CBars::RereadSecurityList() {
  if (!m_pathValid) return 1;
  const std::uint16_t number = FileNumber(m_current);
  const std::string symbol = m_current < m_count ? CurrentSymbol() : "";

  // The list as it is, to go back to when the files cannot be read now.
  const auto symbols = m_symbols;
  const auto names = m_names;
  const auto numbers = m_fileNumbers;
  const int count = m_count;
  const int current = m_current;
  std::vector<IndexedSecurity> index = m_index;
  std::shared_ptr<const DirectoryListing> listing = m_listing;

  Silent silent;
  tv::MessageService* const messages = std::exchange(messages_, &silent);
  const int failed = ReadSecurityList();
  messages_ = messages;
  if (failed != 0) {
    m_symbols = symbols;
    m_names = names;
    m_fileNumbers = numbers;
    m_count = count;
    m_current = current;
    m_index = std::move(index);
    m_listing = std::move(listing);
    return 1;
  }

  // Where the current security went: the same file under the same symbol, else the symbol
  // elsewhere, else the same place in the list.
  int found = -1;
  for (int i = 0; i < m_count && found < 0; ++i)
    if (FileNumber(i) == number && symbol == GetSymbol(i)) found = i;
  for (int i = 0; i < m_count && found < 0; ++i)
    if (!IsDirectoryEntry(i) && symbol == GetSymbol(i)) found = i;
  if (found < 0) {
    found = std::clamp(current, 0, std::max(m_count - 1, 0));
    if (IsDirectoryEntry(found)) {
      const int before = NextSecurityIndex(found, -1);
      found = before >= 0 ? before : FirstSecurityIndex();
    }
  }
  // Another security in its place is shown from its newest bars, as any load shows one.
  const char* now = GetSymbol(found);
  if (FileNumber(found) != number || now == nullptr || symbol != now) newest_ = true;
  m_current = found;
  return 0;
}

CBars::Reread CBars::ReplaceSeries(std::int32_t start, std::int32_t count) {
  const auto bars = static_cast<std::int16_t>(std::clamp<std::int32_t>(count, 0, kSeriesBars));
  PriceSeries fresh{};
  if (bars <= 0 || AllocatePriceSeries(fresh, kSeriesBars) != kSuccess) return Reread::Failed;
  // A read that stops early leaves the count alone: nothing counts as read until it is.
  SetPriceSeriesCount(fresh, 0);
  const ResultCode r = ReadCurrentInto(fresh, start, bars);
  // No bars, or fewer than a window further back asked for, is a file in the middle of
  // being written or cut short: what is shown stays.
  if (r != kSuccess || fresh.count <= 0 || (start >= 0 && fresh.count < bars) ||
      (!m_seriesAllocated && AllocateSeries(kSeriesBars) != 0)) {
    ReleasePriceSeries(fresh);
    return Reread::Failed;
  }
  const bool same = SameBars(fresh, m_series) && newest_ == (start < 0);
  std::swap(m_series, fresh);
  ReleasePriceSeries(fresh);
  ++reads_;
  ComputeMovingAverage(m_series.close, m_ma1, static_cast<std::int16_t>(m_ma1Length), 0);
  ComputeMovingAverage(m_series.close, m_ma2, static_cast<std::int16_t>(m_ma2Length), 0);
  newest_ = start < 0;
  windowStart_ = start < 0 ? std::max<std::int32_t>(m_series.fileRecords - bars, 0) : start;
  m_loadProblem.clear();
  return same ? Reread::Unchanged : Reread::Changed;
}

CBars::Reread CBars::RereadCurrentSecurity() {
  if (!m_pathValid || (m_extended && (m_current >= m_count || IsDirectoryEntry(m_current))))
    return Reread::Failed;
  if (m_seriesAllocated && !newest_ && m_series.count > 0) {
    const Reread same = ReplaceSeries(windowStart_, m_series.count);
    if (same != Reread::Failed) return same;
    // The bars of the window are gone (the file was cut short): its newest bars then.
  }
  return ReplaceSeries(-1, kSeriesBars);
}
