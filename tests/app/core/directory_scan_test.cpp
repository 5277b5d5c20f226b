// What the Explorer and quotedump scan share beyond the walk itself (which the quotedump
// tests run): the columns as typed, the remembered expressions, stepping through results and
// the CSV's fields.
#include "directory_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "values.h"

namespace {

TEST(ScanColumns, ParseAsTypedOrSayWhereTheyGoWrong) {
  struct Case {
    std::string text;
    std::vector<std::string> names;  // when sound
    std::string error;               // else
  };
  const std::vector<Case> cases = {
      {"", {}, ""},
      {" ; ", {}, ""},
      {"rsi=rsi(14)", {"rsi"}, ""},
      {" a = close ;b=sma(close, 3); ", {"a", "b"}, ""},
      {"a=close; b=sma(close)", {}, "b: column 1: sma takes 2 arguments"},
      {"close", {}, "not NAME=EXPR: 'close'"},
      {"=close", {}, "not NAME=EXPR: '=close'"},
      {"x=close >", {}, "x: column 8: "},
  };
  for (const Case& c : cases) {
    auto parsed = tv::ParseScanColumns(c.text);
    if (c.error.empty()) {
      ASSERT_TRUE(std::holds_alternative<std::vector<tv::ScanColumn>>(parsed)) << c.text;
      std::vector<std::string> names;
      for (const auto& column : std::get<std::vector<tv::ScanColumn>>(parsed))
        names.push_back(column.name);
      EXPECT_EQ(names, c.names) << c.text;
    } else {
      ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << c.text;
      EXPECT_EQ(std::get<std::string>(parsed).rfind(c.error, 0), 0u)
          << c.text << ": " << std::get<std::string>(parsed);
    }
  }
}

TEST(ScanExplorer, RemembersTheNewestExpressionsOnceEach) {
  std::vector<std::string> list;
  for (int i = 0; i < 12; ++i) list = tv::RememberExpression(list, "e" + std::to_string(i));
  ASSERT_EQ(list.size(), 10u);
  EXPECT_EQ(list.front(), "e11");
  EXPECT_EQ(list.back(), "e2");
  list = tv::RememberExpression(list, "e5");
  EXPECT_EQ(list.size(), 10u);
  EXPECT_EQ(list[0], "e5");
  EXPECT_EQ(list[1], "e11");
  EXPECT_EQ(std::count(list.begin(), list.end(), "e5"), 1);
}

TEST(ScanExplorer, StepsThroughTheResultsOnceOneIsCharted) {
  tv::ResultCursor cursor;
  cursor.Reset(3);
  EXPECT_FALSE(cursor.Following());
  EXPECT_EQ(cursor.Step(+1), -1);  // nothing charted yet: Next is the list's own
  EXPECT_EQ(cursor.Text(), "");
  cursor.Set(0);
  struct Step {
    int delta;
    int position;  // -1: refused
    std::string text;
  };
  for (const Step& s : std::vector<Step>{{+1, 1, "Result 2 of 3"},
                                         {+1, 2, "Result 3 of 3"},
                                         {+1, -1, "Result 3 of 3"},
                                         {-2, 0, "Result 1 of 3"},
                                         {-1, -1, "Result 1 of 3"}}) {
    EXPECT_EQ(cursor.Step(s.delta), s.position);
    EXPECT_EQ(cursor.Text(), s.text);
  }
  cursor.Set(7);
  EXPECT_FALSE(cursor.Following());
  cursor.Set(1);
  cursor.Reset(0);  // cleared
  EXPECT_FALSE(cursor.Following());
}

TEST(ScanCsv, WritesTenDigitsEmptyWhereUndefinedAndQuotesWhereNeeded) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  tv::ScanRow row{"SUB, 2",     "/d/", 0,    "A\"B",
                  "Big\nSmall", 0,     -0.0, {1.0 / 3.0, nan, 1e-12, 12345678901.0, -2.5}};
  row.date = static_cast<std::int16_t>(*DayNumberBound("2011-01-03"));
  EXPECT_EQ(tv::ScanCsvLine(row),
            "\"SUB, "
            "2\",\"A\"\"B\",\"Big\nSmall\",2011-01-03,0,0.3333333333,,1e-12,1.23456789e+10,-2.5\n");
  row.close = nan;
  row.values.clear();
  EXPECT_EQ(tv::ScanCsvLine(row), "\"SUB, 2\",\"A\"\"B\",\"Big\nSmall\",2011-01-03,\n");
}

// The Explorer's cells: a single-precision price without its float noise, a volume whole.
TEST(ScanExplorer, ShowsValuesToTheDigitsASinglePrecisionPriceHolds) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double value;
    const char* shown;
  } cases[] = {{static_cast<float>(0.2), "0.2"},
               {static_cast<float>(0.135), "0.135"},
               {static_cast<float>(1234.567), "1234.567"},
               {2.37956545, "2.379565"},
               {-23.07691911, "-23.07692"},
               {-0.0, "0"},
               {static_cast<float>(14213456), "14213456"},
               {2.5e9, "2500000000"},
               {1e-12, "1e-12"},
               {nan, ""}};
  for (const auto& c : cases) EXPECT_EQ(tv::ScanValueShown(c.value), c.shown) << c.value;
}

}  // namespace
