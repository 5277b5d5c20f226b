#pragma once
// A study chosen with its parameters, as written on a command line or in the settings file:
// `sma:N`, `ema:N`, `rsi[:N]`, `macd[:F,S,G]`, `bollinger[:N,K]`, `stochastic[:N,D]`.
#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "studies.h"

namespace studies {

enum class StudyKind { Sma, Ema, Rsi, Macd, Bollinger, Stochastic };

struct StudyConfig {
  StudyKind kind = StudyKind::Rsi;
  // The whole-number parameters in the order they are written (N; N; N; F,S,G; N; N,D); the
  // ones a study does not take are 0.
  std::array<int, 3> lengths{};
  double width = 0.0;  // Bollinger's K, the bands' distance in standard deviations
  friend bool operator==(const StudyConfig&, const StudyConfig&) = default;
};

// Widest bands accepted: beyond this the bands leave any chart and mean nothing.
inline constexpr double kMaxBandWidth = 100.0;

// The study a text names, or nothing when the text is malformed or a parameter is out of
// range (a length below 1, a width outside (0, kMaxBandWidth]). Names are lower case, and the
// parameters after the colon are all given or all left out (sma and ema have no defaults).
std::optional<StudyConfig> ParseStudyConfig(std::string_view text);
// The text that parses back to the same study, defaults written out: "macd:12,26,9".
std::string StudyConfigText(const StudyConfig& config);
// The study's name and parameters as a chart labels it: "MACD(12,26,9)".
std::string StudyLabel(const StudyConfig& config);

// A chart shows at most this many studies; more would leave no room for the prices.
inline constexpr std::size_t kMaxStudies = 8;

// Study texts separated by blanks ("bollinger:20,2 rsi:14"), as the settings file keeps the
// chart's studies: the first kMaxStudies that parse, in order; other words are passed over.
std::vector<StudyConfig> ParseStudyList(std::string_view text);
std::string StudyListText(std::span<const StudyConfig> configs);

struct PriceColumns {
  std::span<const double> high, low, close;
};

// A study's outputs, each a named series with one value per bar.
struct StudyOutput {
  std::string_view name;  // a lower-case word, usable as a CSV column name
  Series values;
};

std::vector<StudyOutput> ComputeStudy(const StudyConfig& config, const PriceColumns& prices);

}  // namespace studies
