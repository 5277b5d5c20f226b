// Study texts: parsing, canonical text and chart labels; and computing a study by its config.
#include "study_config.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

namespace studies {

namespace {

struct KindInfo {
  StudyKind kind;
  std::string_view name;              // as written in a config
  std::string_view label;             // as a chart shows it
  std::size_t parameters;             // how many follow the colon
  std::array<int, 3> defaultLengths;  // all 0: the parameters must be given
  double defaultWidth;
};

constexpr std::array kKinds = {
    KindInfo{StudyKind::Sma, "sma", "SMA", 1, {0, 0, 0}, 0.0},
    KindInfo{StudyKind::Ema, "ema", "EMA", 1, {0, 0, 0}, 0.0},
    KindInfo{StudyKind::Rsi, "rsi", "RSI", 1, {14, 0, 0}, 0.0},
    KindInfo{StudyKind::Macd, "macd", "MACD", 3, {12, 26, 9}, 0.0},
    KindInfo{StudyKind::Bollinger, "bollinger", "Bollinger", 2, {20, 0, 0}, 2.0},
    KindInfo{StudyKind::Stochastic, "stochastic", "Stochastic", 2, {14, 3, 0}, 0.0},
};

const KindInfo& InfoOf(StudyKind kind) {
  for (const auto& info : kKinds)
    if (info.kind == kind) return info;
  return kKinds.front();
}

template <class Number>
std::optional<Number> ParseNumber(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string NumberText(double value) {
  std::array<char, 32> text{};
  const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
  return std::string(text.data(), end);
}

// "12,26,9" into the config's parameters; Bollinger's second is the width.
bool ParseParameters(std::string_view text, const KindInfo& info, StudyConfig& config) {
  for (std::size_t i = 0; i < info.parameters; ++i) {
    const std::size_t comma = text.find(',');
    const bool last = i + 1 == info.parameters;
    if (last != (comma == std::string_view::npos)) return false;
    const std::string_view item = text.substr(0, comma);
    text.remove_prefix(last ? text.size() : comma + 1);
    if (info.kind == StudyKind::Bollinger && i == 1) {
      const auto width = ParseNumber<double>(item);
      if (!width || !(*width > 0.0 && *width <= kMaxBandWidth)) return false;
      config.width = *width;
    } else {
      const auto length = ParseNumber<int>(item);
      if (!length || *length < 1) return false;
      config.lengths[i] = *length;
    }
  }
  return true;
}

}  // namespace

std::optional<StudyConfig> ParseStudyConfig(std::string_view text) {
  const std::size_t colon = text.find(':');
  const std::string_view name = text.substr(0, colon);
  for (const auto& info : kKinds) {
    if (info.name != name) continue;
    StudyConfig config{info.kind, info.defaultLengths, info.defaultWidth};
    if (colon == std::string_view::npos) {
      if (info.defaultLengths[0] == 0) return std::nullopt;
      return config;
    }
    if (!ParseParameters(text.substr(colon + 1), info, config)) return std::nullopt;
    return config;
  }
  return std::nullopt;
}

namespace {

std::string ParameterText(const StudyConfig& config) {
  const KindInfo& info = InfoOf(config.kind);
  std::string text;
  for (std::size_t i = 0; i < info.parameters; ++i) {
    if (i > 0) text += ',';
    text += config.kind == StudyKind::Bollinger && i == 1 ? NumberText(config.width)
                                                          : std::to_string(config.lengths[i]);
  }
  return text;
}

}  // namespace

std::string StudyConfigText(const StudyConfig& config) {
  return std::string(InfoOf(config.kind).name) + ':' + ParameterText(config);
}

std::string StudyLabel(const StudyConfig& config) {
  return std::string(InfoOf(config.kind).label) + '(' + ParameterText(config) + ')';
}

std::vector<StudyConfig> ParseStudyList(std::string_view text) {
  std::vector<StudyConfig> configs;
  while (!text.empty() && configs.size() < kMaxStudies) {
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) break;
    text.remove_prefix(start);
    const std::size_t end = std::min(text.find_first_of(" \t"), text.size());
    if (const auto config = ParseStudyConfig(text.substr(0, end))) configs.push_back(*config);
    text.remove_prefix(end);
  }
  return configs;
}

std::string StudyListText(std::span<const StudyConfig> configs) {
  std::string text;
  for (const StudyConfig& config : configs)
    text += (text.empty() ? "" : " ") + StudyConfigText(config);
  return text;
}

std::vector<StudyOutput> ComputeStudy(const StudyConfig& config, const PriceColumns& prices) {
  const auto& [a, b, c] = config.lengths;
  switch (config.kind) {
    case StudyKind::Sma:
      return {{"sma", Sma(prices.close, a)}};
    case StudyKind::Ema:
      return {{"ema", Ema(prices.close, a)}};
    case StudyKind::Rsi:
      return {{"rsi", Rsi(prices.close, a)}};
    case StudyKind::Macd: {
      MacdLines lines = Macd(prices.close, a, b, c);
      return {{"macd", std::move(lines.macd)},
              {"signal", std::move(lines.signal)},
              {"histogram", std::move(lines.histogram)}};
    }
    case StudyKind::Bollinger: {
      BollingerBands bands = Bollinger(prices.close, a, config.width);
      return {{"middle", std::move(bands.middle)},
              {"upper", std::move(bands.upper)},
              {"lower", std::move(bands.lower)}};
    }
    case StudyKind::Stochastic: {
      StochasticLines lines = Stochastic(prices.high, prices.low, prices.close, a, b);
      return {{"percent_k", std::move(lines.k)}, {"percent_d", std::move(lines.d)}};
    }
  }
  return {};
}

}  // namespace studies
