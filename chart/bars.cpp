// CBars: construction, reset, series storage, options and colours.

#include "bars.h"

#include <utility>

namespace {

tv::StderrMessageService& DefaultMessages() {
  static tv::StderrMessageService service;
  return service;
}

constexpr std::array<const char*, kColorItems> kColorNames = {
    "Background",       "Axes",       "High-Low Bar",    "Close Tick",
    "Normal Text",      "Title Text", "Close Tick Text", "Moving Average 1",
    "Moving Average 2", "Volume"};

bool ValidItem(int item) { return item >= 0 && item < kColorItems; }
bool ValidPaletteIndex(int k) { return k >= 0 && k < kPaletteSize; }

}  // namespace

CBars::CBars(tv::MessageService* messages) : messages_(messages ? messages : &DefaultMessages()) {
  for (int i = 0; i < kColorItems; ++i) m_colorNames[i] = kColorNames[i];
  m_seriesAllocated = 0;
  Reset();
  for (int k = 0; k < kPaletteSize; ++k) {
    const auto on = [k](int bit) { return static_cast<std::uint8_t>((k >> bit) & 1 ? 255 : 0); };
    m_palette[k] = tv::Rgb{on(2), on(1), on(0)};
  }
  m_printColors = kPrintColors;
  m_screenColors = kDefaultScreenColors;
  m_workColors = m_screenColors;
}

CBars::~CBars() { ReleaseSeries(); }

void CBars::SetMessageService(tv::MessageService* messages) {
  messages_ = messages ? messages : &DefaultMessages();
}

void CBars::SetLogicalSizeProvider(std::function<tv::Size()> provider) {
  logicalSize_ = std::move(provider);
}

void CBars::SetLogicalSize(tv::Size size) {
  logicalSize_ = [size] { return size; };
}

tv::Size CBars::LogicalSize(const tv::Rect& target) const {
  if (logicalSize_) return logicalSize_();
  return {target.width(), target.height()};
}

void CBars::Report(std::string_view text, tv::MessageIcon icon) {
  messages_->ShowMessage(text, icon);
}

void CBars::Reset() {
  ReleaseSeries();
  for (auto& s : m_symbols) s = {' ', '\0'};
  for (auto& s : m_names) s = {' ', '\0'};
  m_index.clear();
  m_fileNumbers.fill(0);
  m_listing.reset();
  m_masterPath.clear();
  m_dataDir.clear();
  m_count = 0;
  m_current = 0;
  m_pathValid = 0;
  SetViewOptions(tv::ViewOptions{});
  windowStart_ = 0;
  newest_ = true;
  m_loadProblem.clear();
}

int CBars::AllocateSeries(int bars) {
  if (m_seriesAllocated) return 0;
  if (bars < 1 || bars > INT16_MAX) return 1;
  const auto n = static_cast<std::int16_t>(bars);
  if (AllocatePriceSeries(m_series, n) != kSuccess) return 1;
  if (AllocateRealColumn(m_ma1, n) != kSuccess) {
    ReleasePriceSeries(m_series);
    return 1;
  }
  if (AllocateRealColumn(m_ma2, n) != kSuccess) {
    ReleaseRealColumn(m_ma1);
    ReleasePriceSeries(m_series);
    return 1;
  }
  m_seriesAllocated = 1;
  return 0;
}

int CBars::ReleaseSeries() {
  if (!m_seriesAllocated) return 0;
  const int result = ReleasePriceSeries(m_series);
  ReleaseRealColumn(m_ma1);
  ReleaseRealColumn(m_ma2);
  m_seriesAllocated = 0;
  return result;
}

void CBars::SetMA1Length(int length) {
  m_ma1Length = length;
  if (m_seriesAllocated)
    ComputeMovingAverage(m_series.close, m_ma1, static_cast<std::int16_t>(length), 0);
}

void CBars::SetMA2Length(int length) {
  m_ma2Length = length;
  if (m_seriesAllocated)
    ComputeMovingAverage(m_series.close, m_ma2, static_cast<std::int16_t>(length), 0);
}

tv::ViewOptions CBars::GetViewOptions() const {
  return {m_barSpace, m_showVolume, m_showMA1, m_showMA2, m_ma1Length, m_ma2Length};
}

void CBars::SetViewOptions(const tv::ViewOptions& options) {
  m_barSpace = options.barSpace;
  m_showVolume = options.showVolume;
  m_showMA1 = options.showMA1;
  m_showMA2 = options.showMA2;
  SetMA1Length(options.ma1Length);
  SetMA2Length(options.ma2Length);
}

const char* CBars::GetColorName(int item) const {
  return ValidItem(item) ? m_colorNames[item].c_str() : "";
}

tv::Rgb CBars::GetPaletteColor(int k) const {
  return ValidPaletteIndex(k) ? m_palette[k] : tv::Rgb{};
}

int CBars::GetWorkColor(int item) const { return ValidItem(item) ? m_workColors[item] : 0; }

tv::Rgb CBars::GetWorkColorValue(int item) const { return GetPaletteColor(GetWorkColor(item)); }

void CBars::SetWorkColor(int item, int k) {
  // Refused rather than clamped: an index outside the palette names no colour at all.
  if (ValidItem(item) && ValidPaletteIndex(k)) m_workColors[item] = k;
}

void CBars::CommitColors() { m_screenColors = m_workColors; }
