// The scan language: what parses and what is refused with its column, and the value of each
// operator and function on small hand-worked series.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "expression.h"

namespace {

constexpr double U = std::numeric_limits<double>::quiet_NaN();  // undefined

std::vector<double> ValuesOf(const std::string& text, const scan::Bars& bars) {
  auto parsed = scan::Parse(text);
  if (auto* error = std::get_if<scan::ParseError>(&parsed)) {
    ADD_FAILURE() << text << ": " << error->Text();
    return {};
  }
  return scan::Evaluate(std::get<scan::Expression>(parsed), bars);
}

void ExpectSeries(const std::vector<double>& got, const std::vector<double>& want,
                  const std::string& text) {
  ASSERT_EQ(got.size(), want.size()) << text;
  for (std::size_t i = 0; i < want.size(); ++i) {
    if (std::isnan(want[i]))
      EXPECT_TRUE(std::isnan(got[i])) << text << " bar " << i << " is " << got[i];
    else
      EXPECT_NEAR(got[i], want[i], 1e-9 * std::max(1.0, std::abs(want[i]))) << text << " bar " << i;
  }
}

// Five bars; the volume has a gap (an infinite value as a broken file gives) and there is no
// open interest.
const std::vector<double> kOpen = {1, 2, 3, 4, 5};
const std::vector<double> kHigh = {11, 12, 14, 13, 15};
const std::vector<double> kLow = {9, 10, 11, 10, 12};
const std::vector<double> kClose = {10, 12, 11, 13, 14};
const std::vector<double> kVolume = {100, std::numeric_limits<double>::infinity(), 300, 0, 500};
const scan::Bars kBars{5, kOpen, kHigh, kLow, kClose, kVolume, {}};

TEST(ScanLanguage, OperatorsAndPrecedence) {
  const struct {
    const char* text;
    std::vector<double> want;
  } cases[] = {
      {"1 + 2 * 3", {7, 7, 7, 7, 7}},
      {"(1 + 2) * 3", {9, 9, 9, 9, 9}},
      {"-close + 1", {-9, -11, -10, -12, -13}},
      {"10 - 4 - 3", {3, 3, 3, 3, 3}},  // from the left
      {"close / open", {10, 6, 11.0 / 3, 13.0 / 4, 14.0 / 5}},
      {"close / (open - 3)", {-5, -12, U, 13, 7}},  // division by zero
      {"close > 11", {0, 1, 0, 1, 1}},
      {"close >= 12 and close <= 13", {0, 1, 0, 1, 0}},
      {"close = 11 or close != 11", {1, 1, 1, 1, 1}},
      {"close < 11 or high = 14", {1, 0, 1, 0, 0}},
      {"not close > 11", {1, 0, 1, 0, 0}},
      {"not 0 and 1", {1, 1, 1, 1, 1}},   // not binds tighter than and
      {"1 or 0 and 0", {1, 1, 1, 1, 1}},  // and tighter than or
      {"volume > 0", {1, U, 1, 0, 1}},    // a value that is not finite is undefined
      {"volume > 0 or 1", {1, U, 1, 1, 1}},
      {"oi", {U, U, U, U, U}},  // a field the security lacks
      {"CLOSE + Open", {11, 14, 14, 17, 19}},
      {".5e1 * 2", {10, 10, 10, 10, 10}},
  };
  for (const auto& c : cases) ExpectSeries(ValuesOf(c.text, kBars), c.want, c.text);
}

TEST(ScanLanguage, FunctionsAgainstHandWorkedValues) {
  const struct {
    const char* text;
    std::vector<double> want;
  } cases[] = {
      {"sma(close, 2)", {U, 11, 11.5, 12, 13.5}},
      {"ema(close, 2)", {U, 11, 11, 37.0 / 3, 121.0 / 9}},          // seeded with the mean
      {"ema(sma(close, 2), 2)", {U, U, 11.25, 11.75, 155.0 / 12}},  // from its first value
      {"highest(high, 3)", {U, U, 14, 14, 15}},
      {"lowest(low, 2)", {U, 9, 10, 10, 10}},
      {"highest(volume, 2)", {U, U, U, 300, 500}},  // undefined while the gap is in the window
      {"ref(close, 1)", {U, 10, 12, 11, 13}},
      {"ref(close, 0)", {10, 12, 11, 13, 14}},
      {"change(close, 2)", {U, U, 10, 100.0 / 12, 100.0 * (14.0 / 11 - 1)}},
      {"cross(close, 11.5)", {U, 1, 0, 1, 0}},
      {"cross(close, sma(close, 2))", {U, U, 0, 1, 0}},
      {"abs(11 - close)", {1, 1, 0, 2, 3}},
      {"min(open, 3) + max(open, 4)", {5, 6, 7, 7, 8}},
      {"stoch_k(2)", {U, 100, 25, 75, 80}},
      {"stoch_d(2, 2)", {U, U, 62.5, 50, 77.5}},
      {"rsi(2)", {U, U, 200.0 / 3, 600.0 / 7, 1000.0 / 11}},  // Wilder's smoothing
      {"macd(1, 2)", {U, 1, 0, 2.0 / 3, 5.0 / 9}},
      {"signal(1, 2, 2)", {U, U, 0.5, 11.0 / 18, 31.0 / 54}},
      {"upper(2, 1)", {U, 12, 12, 13, 14}},
      {"lower(2, 1)", {U, 10, 11, 11, 13}},
  };
  for (const auto& c : cases) ExpectSeries(ValuesOf(c.text, kBars), c.want, c.text);
}

TEST(ScanLanguage, MalformedExpressionsAreRefusedWithTheirColumn) {
  const struct {
    const char* text;
    int column;
    const char* message;
  } cases[] = {
      {"close > sma(close)", 9, "sma takes 2 arguments"},
      {"closes > 1", 1, "unknown name 'closes'"},
      {"sma(close, 0)", 12, "the length of sma must be a whole number of at least 1"},
      {"sma(close, 2.5)", 12, "the length of sma must be a whole number of at least 1"},
      {"sma(close, high)", 12, "the length of sma must be a whole number of at least 1"},
      {"upper(20, 0)", 11, "the band width of upper must be a number above 0"},
      {"ref(close, -1)", 12, "the offset of ref must be a whole number of at least 0"},
      {"close > 1 1", 11, "unexpected '1'"},
      {"close >", 8, "unexpected end of the expression"},
      {"(close", 7, "expected ')' instead of end of the expression"},
      {"close # 2", 7, "unexpected '#'"},
      {"1 < 2 < 3", 7, "unexpected '<'"},
      {"rsi", 1, "rsi takes 1 argument in parentheses"},
      {"12abc", 1, "not a number: '12a'"},
      {"", 1, "unexpected end of the expression"},
      {"sma(close, 2000000)", 12, "the length of sma must be at most 1000000"},
  };
  for (const auto& c : cases) {
    auto parsed = scan::Parse(c.text);
    const auto* error = std::get_if<scan::ParseError>(&parsed);
    ASSERT_NE(error, nullptr) << c.text;
    EXPECT_EQ(error->column, c.column) << c.text;
    EXPECT_EQ(error->message, c.message) << c.text;
  }
  const auto deep = scan::Parse(std::string(5000, '(') + "1" + std::string(5000, ')'));
  ASSERT_TRUE(std::holds_alternative<scan::ParseError>(deep));
  EXPECT_EQ(std::get<scan::ParseError>(deep).message, "the expression is nested too deeply");
  // A long chain nests nothing but is as deep a tree; 500 operators are taken, 501 are not.
  std::string chain = "1";
  for (int i = 0; i < 500; ++i) chain += "+1";
  EXPECT_TRUE(std::holds_alternative<scan::Expression>(scan::Parse(chain)));
  const auto longer = scan::Parse(chain + "+abs(1)");
  ASSERT_TRUE(std::holds_alternative<scan::ParseError>(longer));
  EXPECT_EQ(std::get<scan::ParseError>(longer).message, "the expression is too long");
  EXPECT_EQ(scan::ParseError({14, "sma takes 2 arguments"}).Text(),
            "column 14: sma takes 2 arguments");
}

}  // namespace
