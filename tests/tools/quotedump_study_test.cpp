// quotedump study: a study of a security's bars as CSV, row for row beside `read`.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "quote_writer.h"
#include "run_program.h"

namespace {

namespace fs = std::filesystem;

fixture::ProgramRun Quotedump(std::vector<std::string> args) {
  return fixture::RunProgram(QUOTEDUMP_PATH, args);
}

class StudyExport : public ::testing::Test {
 protected:
  void SetUp() override {
    // Closes 1 2 3 2 4, each bar one above and one below its close.
    fixture::Security daily{1, 16, 4, "Daily Ltd", "DLY"};
    fixture::Security intraday{2, 24, 6, "Intraday Corp", "INT"};
    fixture::Security closes{3, 12, 3, "Closes Only", "CLO"};
    fixture::WriteMaster(tmp.path() / "MASTER",
                         {fixture::SecurityRecord(daily), fixture::SecurityRecord(intraday),
                          fixture::SecurityRecord(closes)});
    fixture::WriteDop(tmp.path() / "F1.DOP", {"DATE", "HIGH", "LOW", "CLOSE"});
    std::vector<std::vector<float>> rows;
    for (const float close : {1.0f, 2.0f, 3.0f, 2.0f, 4.0f})
      rows.push_back({fixture::DateReal(2011, 1, 3 + static_cast<int>(rows.size())), close + 1,
                      close - 1, close});
    fixture::WriteDat(tmp.path() / "F1.DAT", 16, rows);
    fixture::WriteDop(tmp.path() / "F2.DOP", {"DATE", "TIME", "HIGH", "LOW", "CLOSE", "VOL"});
    fixture::WriteDat(tmp.path() / "F2.DAT", 24,
                      {{fixture::DateReal(1999, 12, 31), 93000, 2, 1, 1.5f, 10},
                       {fixture::DateReal(2000, 1, 3), 235959, 3, 2, 2.5f, 20}});
    fixture::WriteDop(tmp.path() / "F3.DOP", {"DATE", "CLOSE", "VOL"});
    fixture::WriteDat(tmp.path() / "F3.DAT", 12, {{fixture::DateReal(2011, 1, 3), 5, 1}});
  }
  std::string dir() const { return tmp.dir(); }
  fixture::TempDir tmp;
};

TEST_F(StudyExport, PrintsEachStudyRowForRowWithEmptyFieldsUntilDefined) {
  struct Case {
    const char* config;
    const char* text;  // everything after the dates and times
  };
  // Worked by hand from closes 1 2 3 2 4 (see the studies' own tests for the arithmetic).
  const std::vector<Case> cases = {
      {"sma:3", "sma\n\n\n2\n2.333333333\n3\n"},
      {"ema:1", "ema\n1\n2\n3\n2\n4\n"},
      {"rsi:2", "rsi\n\n\n100\n50\n83.33333333\n"},
      // EMA(2) of the closes from bar 1: 1.5, 2.5, 13/6, 61/18; MACD(1,2,1) is the close less
      // that, and its signal over one bar is itself.
      {"macd:1,2,1",
       "macd,signal,histogram\n,,\n0.5,0.5,0\n0.5,0.5,0\n-0.1666666667,-0.1666666667,0\n"
       "0.6111111111,0.6111111111,0\n"},
      {"bollinger:2,1", "middle,upper,lower\n,,\n1.5,2,1\n2.5,3,2\n2.5,3,2\n3,4,2\n"},
      {"stochastic:2,1",
       "percent_k,percent_d\n,\n66.66666667,66.66666667\n66.66666667,66.66666667\n"
       "33.33333333,33.33333333\n75,75\n"},
      // Longer than the file: every row is there, every value empty.
      {"rsi", "rsi\n\n\n\n\n\n"},
  };
  const std::vector<std::string> when = {"2011-01-03,00:00:00", "2011-01-04,00:00:00",
                                         "2011-01-05,00:00:00", "2011-01-06,00:00:00",
                                         "2011-01-07,00:00:00"};
  for (const auto& c : cases) {
    const auto r = Quotedump({"study", c.config, dir(), "DLY"});
    ASSERT_EQ(r.status, 0) << c.config << r.err;
    EXPECT_EQ(r.err, "");
    std::istringstream text(c.text);
    std::string expected, line;
    std::getline(text, line);
    expected = "date,time," + line + "\n";
    for (const auto& stamp : when) {
      std::getline(text, line);
      expected += stamp + "," + line + "\n";
    }
    EXPECT_EQ(r.out, expected) << c.config;
  }
}

TEST_F(StudyExport, DatesAndTimesAreThoseOfRead) {
  const auto study = Quotedump({"--extended", "study", "sma:1", dir(), "INT"});
  const auto read = Quotedump({"--extended", "read", dir(), "INT"});
  ASSERT_EQ(study.status, 0) << study.err;
  EXPECT_EQ(study.out, "date,time,sma\n1999-12-31,09:30:00,1.5\n2000-01-03,23:59:58,2.5\n");
  EXPECT_EQ(read.out.substr(read.out.find('\n') + 1, 20), "1999-12-31,09:30:00,");
}

TEST_F(StudyExport, MalformedStudiesAndOperandsAreUsageErrors) {
  const std::vector<std::vector<std::string>> cases = {
      {"study", "sma", dir(), "DLY"},
      {"study", "rsi:0", dir(), "DLY"},
      {"study", "bollinger:20,0", dir(), "DLY"},
      {"study", "macd:1,2", dir(), "DLY"},
      {"study", "Rsi", dir(), "DLY"},
      {"study", "rsi", dir()},
      {"study", "rsi", dir(), "DLY", "extra"},
      {"study", "rsi", dir(), "DLY", "--period", "hourly"},
      {"study", "rsi", dir(), "DLY", "--period"},
  };
  for (const auto& args : cases) {
    const auto r = Quotedump(args);
    EXPECT_EQ(r.status, 2) << args[1];
    EXPECT_EQ(r.out, "") << args[1];
    EXPECT_NE(r.err.find("usage: quotedump"), std::string::npos) << args[1];
  }
}

TEST_F(StudyExport, FailuresNameTheReason) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  fs::remove(tmp.path() / "F2.DAT");
  const std::vector<Case> cases = {
      {{"study", "rsi", dir(), "NONE"}, "quotedump: -8 File Not Found\n"},
      {{"study", "rsi", dir(), "INT"},
       "quotedump: -2 File Open: cannot open " + dir() + "F2.DAT (No such file or directory)\n"},
      // A field the layout lacks would read as -1 on every bar.
      {{"study", "stochastic", dir(), "CLO"},
       "quotedump: CLO: the security's layout has no HIGH field\n"},
  };
  for (const auto& c : cases) {
    const auto r = Quotedump(c.args);
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_EQ(r.out, "") << c.message;
    EXPECT_EQ(r.err, c.message);
  }
  EXPECT_EQ(Quotedump({"study", "sma:1", dir(), "CLO"}).out,
            "date,time,sma\n2011-01-03,00:00:00,5\n");
}

}  // namespace
