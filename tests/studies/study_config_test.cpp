// Study texts as the command line and the settings file give them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "study_config.h"

namespace {

using studies::StudyKind;

struct ConfigCase {
  const char* text;
  StudyKind kind;
  std::array<int, 3> lengths;
  double width;
  const char* canonical;
  const char* label;
};

TEST(StudyConfig, ParsesDefaultsAndParameters) {
  const std::vector<ConfigCase> cases = {
      {"sma:5", StudyKind::Sma, {5, 0, 0}, 0, "sma:5", "SMA(5)"},
      {"ema:200", StudyKind::Ema, {200, 0, 0}, 0, "ema:200", "EMA(200)"},
      {"rsi", StudyKind::Rsi, {14, 0, 0}, 0, "rsi:14", "RSI(14)"},
      {"rsi:7", StudyKind::Rsi, {7, 0, 0}, 0, "rsi:7", "RSI(7)"},
      {"macd", StudyKind::Macd, {12, 26, 9}, 0, "macd:12,26,9", "MACD(12,26,9)"},
      {"macd:5,35,5", StudyKind::Macd, {5, 35, 5}, 0, "macd:5,35,5", "MACD(5,35,5)"},
      {"bollinger", StudyKind::Bollinger, {20, 0, 0}, 2, "bollinger:20,2", "Bollinger(20,2)"},
      {"bollinger:10,2.5",
       StudyKind::Bollinger,
       {10, 0, 0},
       2.5,
       "bollinger:10,2.5",
       "Bollinger(10,2.5)"},
      {"stochastic", StudyKind::Stochastic, {14, 3, 0}, 0, "stochastic:14,3", "Stochastic(14,3)"},
      {"stochastic:5,1", StudyKind::Stochastic, {5, 1, 0}, 0, "stochastic:5,1", "Stochastic(5,1)"},
      // Longer than any file: allowed, the study is simply never defined.
      {"sma:100000", StudyKind::Sma, {100000, 0, 0}, 0, "sma:100000", "SMA(100000)"},
  };
  for (const auto& c : cases) {
    const auto config = studies::ParseStudyConfig(c.text);
    ASSERT_TRUE(config) << c.text;
    EXPECT_EQ(config->kind, c.kind) << c.text;
    EXPECT_EQ(config->lengths, c.lengths) << c.text;
    EXPECT_EQ(config->width, c.width) << c.text;
    EXPECT_EQ(studies::StudyConfigText(*config), c.canonical) << c.text;
    EXPECT_EQ(studies::StudyLabel(*config), c.label) << c.text;
  }
}

TEST(StudyConfig, RefusesMalformedTextsAndParametersOutOfRange) {
  for (const char* text : {"",
                           "sma",
                           "ema",
                           "sma:",
                           "sma:0",
                           "sma:-3",
                           "sma:+3",
                           "sma:x",
                           "ema:2.5",
                           "sma:5 ",
                           " sma:5",
                           "sma :5",
                           "sma:5:",
                           "RSI",
                           "rsi:",
                           "rsi:14,3",
                           "macd:12,26",
                           "macd:12,26,9,1",
                           "macd:12,,9",
                           "macd:12,0,9",
                           "bollinger:20",
                           "bollinger:0,2",
                           "bollinger:20,0",
                           "bollinger:20,-1",
                           "bollinger:20,nan",
                           "bollinger:20,inf",
                           "bollinger:20,100.5",
                           "stochastic:14",
                           "stochastic:14,0",
                           "sma:99999999999",
                           "wma:5",
                           "sma5"})
    EXPECT_FALSE(studies::ParseStudyConfig(text)) << '"' << text << '"';
}

TEST(StudyConfig, ListsKeepTheStudiesThatParseInOrderUpToTheLimit) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", ""},
      {"bollinger:20,2 rsi:14", "bollinger:20,2 rsi:14"},
      {"  rsi\tbogus macd:5,35,5 sma:0 ", "rsi:14 macd:5,35,5"},
      {"rsi rsi:7", "rsi:14 rsi:7"},
      {"sma:1 sma:2 sma:3 sma:4 sma:5 sma:6 sma:7 sma:8 sma:9",
       "sma:1 sma:2 sma:3 sma:4 sma:5 sma:6 sma:7 sma:8"},
  };
  for (const auto& [text, kept] : cases)
    EXPECT_EQ(studies::StudyListText(studies::ParseStudyList(text)), kept) << text;
}

TEST(StudyConfig, ComputesNamedOutputsForEachKind) {
  const std::vector<double> high = {3, 4, 5}, low = {1, 2, 3}, close = {2, 3, 4};
  const studies::PriceColumns prices{high, low, close};
  const std::vector<std::pair<const char*, std::vector<std::string>>> cases = {
      {"sma:2", {"sma"}},
      {"ema:2", {"ema"}},
      {"rsi:2", {"rsi"}},
      {"macd:1,2,1", {"macd", "signal", "histogram"}},
      {"bollinger:2,1", {"middle", "upper", "lower"}},
      {"stochastic:2,1", {"percent_k", "percent_d"}},
  };
  for (const auto& [text, names] : cases) {
    const auto outputs = studies::ComputeStudy(*studies::ParseStudyConfig(text), prices);
    ASSERT_EQ(outputs.size(), names.size()) << text;
    for (std::size_t i = 0; i < names.size(); ++i) {
      EXPECT_EQ(outputs[i].name, names[i]) << text;
      EXPECT_EQ(outputs[i].values.size(), close.size()) << text;
      EXPECT_TRUE(studies::IsDefined(outputs[i].values.back())) << text << ' ' << names[i];
    }
  }
  // The stochastic reads highs and lows, the rest only closes: 100 (4 - 2)/(5 - 2).
  EXPECT_DOUBLE_EQ(
      studies::ComputeStudy(*studies::ParseStudyConfig("stochastic:2,1"), prices)[0].values[2],
      200.0 / 3);
}

// A price that is not a finite number (an MBF value with exponent byte 1 reads as infinite)
// leaves the window studies undefined while it is in their window, and the recursive ones
// from its bar on; no study ever shows an infinity.
TEST(StudyConfig, EveryStudyIsUndefinedFromABadPriceNeverInfinite) {
  const std::size_t bad = 5;
  const struct {
    const char* text;
    bool recovers;
  } cases[] = {{"sma:3", true},       {"ema:3", false},        {"rsi:3", false},
               {"macd:2,3,2", false}, {"bollinger:3,2", true}, {"stochastic:3,2", true}};
  for (const double price : {std::numeric_limits<double>::infinity(), std::nan("")}) {
    std::vector<double> high, low, close;
    for (std::size_t i = 0; i < 16; ++i) {
      close.push_back(i == bad ? price : 10.0 + static_cast<double>(i % 4));
      high.push_back(close.back() + 1);
      low.push_back(close.back() - 1);
    }
    for (const auto& c : cases) {
      for (const auto& output :
           studies::ComputeStudy(*studies::ParseStudyConfig(c.text), {high, low, close})) {
        for (std::size_t i = 0; i < close.size(); ++i)
          EXPECT_FALSE(std::isinf(output.values[i])) << c.text << ' ' << output.name << ' ' << i;
        EXPECT_FALSE(studies::IsDefined(output.values[bad])) << c.text << ' ' << output.name;
        EXPECT_EQ(studies::IsDefined(output.values.back()), c.recovers)
            << c.text << ' ' << output.name << " after " << price;
      }
    }
  }
}

}  // namespace
