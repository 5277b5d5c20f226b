// quotedump read: the CSV export of a security's bars, its options and its failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "quote_writer.h"
#include "run_program.h"

namespace {

namespace fs = std::filesystem;

using CommandRun = fixture::ProgramRun;

CommandRun ReadCommand(std::vector<std::string> args) {
  args.insert(args.begin(), "read");
  return fixture::RunProgram(QUOTEDUMP_PATH, args);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

constexpr const char* kHeader = "date,time,open,high,low,close,volume,open_interest";

class ReadExport : public ::testing::Test {
 protected:
  void SetUp() override {
    fixture::Security intraday{1, 32, 8, "Intraday Corp", "INT"};
    fixture::Security daily{2, 20, 5, "Daily Ltd", "DLY"};
    fixture::Security undated{3, 8, 2, "No Dates", "UND"};
    fixture::WriteMaster(tmp.path() / "MASTER",
                         {fixture::SecurityRecord(intraday), fixture::SecurityRecord(daily),
                          fixture::SecurityRecord(undated)});
    fixture::WriteDop(tmp.path() / "F1.DOP",
                      {"DATE", "TIME", "OPEN", "HIGH", "LOW", "CLOSE", "VOL", "OI"});
    fixture::WriteDat(
        tmp.path() / "F1.DAT", 32,
        {{fixture::DateReal(1999, 12, 31), 93000, 0.1f, 1e-7f, 1e30f, -2.5f, 16777216.0f, 7},
         {fixture::DateReal(2000, 1, 3), 235959, 1, 2, 3, 4, 5, 6}});
    std::vector<std::vector<float>> rows;
    for (int i = 0; i < 30; ++i)
      rows.push_back({fixture::DateReal(2011, 1 + i / 28, 1 + i % 28), 10.0f + i, 9.0f + i,
                      9.5f + i, 1000.0f * i});
    fixture::WriteDop(tmp.path() / "F2.DOP", {"DATE", "HIGH", "LOW", "CLOSE", "VOL"});
    fixture::WriteDat(tmp.path() / "F2.DAT", 20, rows);
    fixture::WriteDop(tmp.path() / "F3.DOP", {"CLOSE", "VOL"});
    fixture::WriteDat(tmp.path() / "F3.DAT", 8, {{1.5f, 10}});
  }
  std::string dir() const { return tmp.dir(); }
  fixture::TempDir tmp;
};

TEST_F(ReadExport, PrintsHeaderDatesTimesAndShortestReals) {
  const CommandRun r = ReadCommand({dir(), "INT"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, std::string(kHeader) +
                       "\n"
                       "1999-12-31,09:30:00,0.1,1e-07,1e+30,-2.5,16777216,7\n"
                       "2000-01-03,23:59:58,1,2,3,4,5,6\n");
}

TEST_F(ReadExport, AbsentFieldsAndMissingDates) {
  CommandRun r = ReadCommand({dir(), "DLY", "--count", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out).at(1), "2011-01-01,00:00:00,-1,10,9,9.5,0,-1");
  r = ReadCommand({dir(), "UND"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out).at(1), ",00:00:00,-1,-1,-1,1.5,10,-1");
}

TEST_F(ReadExport, WindowsOfBars) {
  CommandRun r = ReadCommand({dir(), "daily ltd", "--last", "3"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1].substr(0, 10), "2011-01-28");
  EXPECT_EQ(lines[3].substr(0, 10), "2011-02-02");

  r = ReadCommand({dir(), "DLY", "--count", "2", "--start", "27"});
  ASSERT_EQ(r.status, 0) << r.err;
  lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].substr(0, 10), "2011-01-28");

  r = ReadCommand({dir(), "DLY", "--start", "10"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out).size(), 21u);

  // "--" ends the options: what follows are DIR and KEY, whatever they look like.
  r = ReadCommand({"--count", "2", "--start", "27", "--", dir(), "DLY"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out), lines);

  // Count 0 reads nothing: the header alone.
  r = ReadCommand({dir(), "DLY", "--last", "0"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, std::string(kHeader) + "\n");
}

TEST_F(ReadExport, FailuresPrintTheCodeAndItsText) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  fs::remove(tmp.path() / "F3.DOP");
  fs::remove(tmp.path() / "F1.DAT");
  const std::string dop = "quotedump: -2 File Open: cannot open " + dir() + "F3.DOP";
  const std::string dat = "quotedump: -2 File Open: cannot open " + dir() + "F1.DAT";
  const std::vector<Case> cases = {
      {{dir(), "NONE"}, "quotedump: -8 File Not Found\n"},
      {{dir(), "UND"}, dop + " (No such file or directory)\n"},
      {{dir(), "INT"}, dat + " (No such file or directory)\n"},
      {{dir(), "DLY", "--start", "30", "--count", "5"}, "quotedump: -9 Record Not Found\n"},
  };
  for (const auto& c : cases) {
    const CommandRun r = ReadCommand(c.args);
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_EQ(r.out, "") << c.message;
    EXPECT_EQ(r.err, c.message);
  }
}

TEST_F(ReadExport, PeriodsGatherTheBarsOfEachMonthAndTheStudyFollows) {
  const CommandRun r = ReadCommand({dir(), "DLY", "--period", "monthly"});
  ASSERT_EQ(r.status, 0) << r.err;
  // Absent opens and open interest stay absent; volumes add up.
  EXPECT_EQ(r.out, std::string(kHeader) +
                       "\n"
                       "2011-01-28,00:00:00,-1,37,9,36.5,378000,-1\n"
                       "2011-02-02,00:00:00,-1,39,37,38.5,57000,-1\n");
  const CommandRun study =
      fixture::RunProgram(QUOTEDUMP_PATH, {"study", "sma:1", "--period", "monthly", dir(), "DLY"});
  ASSERT_EQ(study.status, 0) << study.err;
  EXPECT_EQ(study.out, "date,time,sma\n2011-01-28,00:00:00,36.5\n2011-02-02,00:00:00,38.5\n");
}

TEST_F(ReadExport, MalformedOptionsAreUsageErrors) {
  const std::vector<std::vector<std::string>> cases = {
      {dir()},
      {dir(), "DLY", "--last"},
      {dir(), "DLY", "--last", "3", "--start", "1"},
      {dir(), "DLY", "--count", "40000"},
      {dir(), "DLY", "--count", "12x"},
      {dir(), "DLY", "--last", "-1"},
      {dir(), "DLY", "--start", "1", "--start", "2"},
      {dir(), "DLY", "--from", "1"},
      {dir(), "DLY", "--count", "-5"},
      {dir(), "DLY", "--count", "1", "--count", "2"},
      {dir(), "DLY", "extra"},
      {dir(), "DLY", "--", "--count", "1"},
      {dir(), "DLY", "--period", "yearly"},
      {dir(), "DLY", "--period", "weekly", "--period", "daily"},
  };
  for (const auto& args : cases) {
    const CommandRun r = ReadCommand(args);
    EXPECT_EQ(r.status, 2) << args.back();
    EXPECT_EQ(r.out, "") << args.back();
    EXPECT_NE(r.err.find("usage"), std::string::npos) << args.back();
  }
}

}  // namespace
