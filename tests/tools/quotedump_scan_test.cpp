// quotedump scan: the securities of a database tree that answer a question, as CSV.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "extended.h"
#include "quote_writer.h"
#include "run_program.h"
#include "values.h"

namespace {

namespace fs = std::filesystem;

fixture::ProgramRun Quotedump(const std::vector<std::string>& args) {
  return fixture::RunProgram(QUOTEDUMP_PATH, args);
}

std::vector<std::vector<float>> Rows(const std::vector<float>& closes, bool withVolume) {
  std::vector<std::vector<float>> rows;
  for (const float close : closes) {
    const auto bar = static_cast<int>(rows.size());
    rows.push_back({fixture::DateReal(2011, 1, 3 + bar), close});
    if (withVolume) rows.back().push_back(100.0f * static_cast<float>(bar + 1));
  }
  return rows;
}

// ALP (a name with a comma) closes 1..5 with volume; a directory entry SUB, whose DEL closes
// 2 2 2 2 8 and whose entry LOOP leads back to the top; BET closes 5..1 without volume; GAM
// has no layout file, so only extended reading reads it.
class Scan : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path top = tmp.path();
    fixture::WriteMaster(top / "MASTER", {fixture::SecurityRecord({1, 12, 3, "Alpha, Inc", "ALP"}),
                                          fixture::DirectoryRecord("SUB"),
                                          fixture::SecurityRecord({2, 8, 2, "Beta", "BET"}),
                                          fixture::SecurityRecord({3, 28, 7, "Gamma", "GAM"})});
    fixture::WriteDop(top / "F1.DOP", {"DATE", "CLOSE", "VOL"});
    fixture::WriteDat(top / "F1.DAT", 12, Rows({1, 2, 3, 4, 5}, true));
    fixture::WriteDop(top / "F2.DOP", {"DATE", "CLOSE"});
    fixture::WriteDat(top / "F2.DAT", 8, Rows({5, 4, 3, 2, 1}, false));
    fixture::WriteDat(top / "F3.DAT", 28,
                      {{fixture::DateReal(2011, 1, 3), 9, 11, 9, 10, 1, 0},
                       {fixture::DateReal(2011, 1, 4), 11, 13, 11, 12, 1, 0}});
    fs::create_directory(top / "SUB");
    fixture::WriteMaster(
        top / "SUB" / "MASTER",
        {fixture::SecurityRecord({1, 8, 2, "Delta", "DEL"}), fixture::DirectoryRecord("LOOP")});
    fixture::WriteDop(top / "SUB" / "F1.DOP", {"DATE", "CLOSE"});
    fixture::WriteDat(top / "SUB" / "F1.DAT", 8, Rows({2, 2, 2, 2, 8}, false));
    fs::create_directory_symlink(top, top / "SUB" / "LOOP");
  }
  fixture::TempDir tmp;
};

constexpr const char* kHeader = "folder,symbol,name,date,close";
constexpr const char* kAlp = ".,ALP,\"Alpha, Inc\",2011-01-07,5";
constexpr const char* kDel = "SUB,DEL,Delta,2011-01-07,8";
constexpr const char* kBet = ".,BET,Beta,2011-01-07,1";

TEST_F(Scan, ListsTheMatchingSecuritiesOfTheTreeInIndexOrder) {
  struct Case {
    std::vector<std::string> args;  // before the directory
    std::string out;
    std::string errPart;  // a part of stderr, or "" for nothing
  };
  const std::string h = kHeader;
  const std::vector<Case> cases = {
      {{"scan", "close > 0"},
       h + "\n" + kAlp + "\n" + kDel + "\n" + kBet + "\n",
       "quotedump: GAM: -2 "},
      {{"--extended", "scan", "close > 0"},
       h + "\n" + kAlp + "\n" + kDel + "\n" + kBet + "\n.,GAM,Gamma,2011-01-04,12\n",
       ""},
      {{"scan", "close > ref(close, 1) and not (close = 5)"}, h + "\n" + kDel + "\n", "GAM"},
      // On the bar of 5 January: ALP closes 3 after 2, BET 3 after 4, DEL 2.
      {{"scan", "--at", "2011-01-05", "--column", "avg=sma(close,3)", "--column",
        "up=cross(close, 2)", "close >= 3"},
       h + ",avg,up\n.,ALP,\"Alpha, Inc\",2011-01-05,3,2,1\n.,BET,Beta,2011-01-05,3,4,0\n",
       "GAM"},
      // Undefined values are empty fields (6 bars are too few); DEL has no volume, which
      // leaves even its true `or` undefined.
      {{"scan", "--column", "v=volume / 3", "--column", "s=sma(close, 5)", "--column",
        "n=sma(close, 6)", "-close < -4.5 or volume"},
       h + ",v,s,n\n" + kAlp + ",166.6666667,3,\n",
       "GAM"},
      {{"scan", "--at", "2000-01-01", "1"}, h + "\n", "GAM"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back(tmp.dir());
    const fixture::ProgramRun r = Quotedump(args);
    EXPECT_EQ(r.status, 0) << args[1] << ' ' << r.err;
    EXPECT_EQ(r.out, c.out) << args.back();
    if (c.errPart.empty())
      EXPECT_EQ(r.err, "");
    else
      EXPECT_NE(r.err.find(c.errPart), std::string::npos) << r.err;
  }
}

TEST_F(Scan, RefusesAMalformedQuestionBeforeReadingAndFailsWithoutSecurities) {
  struct Case {
    std::vector<std::string> args;
    std::string dir;  // "" for the fixture's
    int status;
    std::string errPart;
  };
  const std::string nowhere = (tmp.path() / "nowhere").string();
  const std::vector<Case> cases = {
      {{"scan", "close > sma(close)"}, nowhere, 2, "scan: column 9: sma takes 2 arguments"},
      {{"scan", "--column", "x=rsi(0)", "1"}, nowhere, 2, "scan: --column x: column 5: "},
      {{"scan", "--column", "=close", "1"}, "", 2, "scan: --column not NAME=EXPR: '=close'"},
      {{"scan", "--at", "2011-02-30", "1"}, "", 2, "scan: not a date: '2011-02-30'"},
      {{"scan", "--when", "x", "1"}, "", 2, "scan: unknown option --when"},
      {{"scan", "--at", "2011-01-03", "1"}, "-", 2, "scan: takes an expression and a directory"},
      {{"scan", "close >"}, "", 2, "scan: column 8: "},
      {{"scan", "1"}, nowhere, 1, "nowhere/MASTER: -"},
      {{"scan", "1"}, (tmp.path() / "EMPTY").string(), 1, "scan: no security could be read"},
  };
  fs::create_directory(tmp.path() / "EMPTY");
  fixture::WriteMaster(tmp.path() / "EMPTY" / "MASTER", {});
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    if (c.dir != "-") args.push_back(c.dir.empty() ? tmp.dir() : c.dir);
    const fixture::ProgramRun r = Quotedump(args);
    EXPECT_EQ(r.status, c.status) << args[1];
    if (c.status == 2) {
      EXPECT_EQ(r.out, "") << args[1];
    }
    EXPECT_NE(r.err.find(c.errPart), std::string::npos) << r.err;
  }
}

// A file longer than one read takes is asked on its last bar, not on the last one read.
TEST(ScanLongFile, AsksTheLastBarOfAFileLongerThanOneRead) {
  fixture::TempDir tmp;
  fixture::WriteMaster(tmp.path() / "MASTER", {fixture::SecurityRecord({1, 8, 2, "Long", "LNG"})});
  fixture::WriteDop(tmp.path() / "F1.DOP", {"DATE", "CLOSE"});
  std::vector<std::vector<float>> rows;
  for (int i = 1; i <= 16005; ++i)
    rows.push_back({fixture::DateReal(2011, 1, 3), static_cast<float>(i)});
  fixture::WriteDat(tmp.path() / "F1.DAT", 8, rows);
  const fixture::ProgramRun r = Quotedump({"scan", "close > 16000", tmp.dir()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, std::string(kHeader) + "\n.,LNG,Long,2011-01-03,16005\n");
}

// The bundled sample keeps securities in the folders FUTURES and FUNDS; both readings reach
// them, where their directory entries stand.
TEST(ScanSample, ReachesTheSecuritiesOfItsFolders) {
  for (const bool extended : {false, true}) {
    std::vector<std::string> args = {"scan", "close > 0", TICKVANE_SAMPLE_DIR};
    if (extended) args.insert(args.begin(), "--extended");
    const fixture::ProgramRun r = Quotedump(args);
    EXPECT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string line;
    std::string folders;  // each folder once, in order of appearance
    int rows = 0;
    while (std::getline(lines, line)) {
      const std::string folder = line.substr(0, line.find(','));
      if (folder != "folder" && folders.find("|" + folder + "|") == std::string::npos)
        folders += "|" + folder + "|";
      rows += folder == "folder" ? 0 : 1;
    }
    EXPECT_EQ(rows, 31) << extended;
    EXPECT_NE(folders.find("|FUTURES|"), std::string::npos) << folders;
    EXPECT_NE(folders.find("|FUNDS|"), std::string::npos) << folders;
  }
}

// Every row of the real directory against the bars read here and the definitions worked
// out plainly: the average, highest, change and cross by loops over the closes.
TEST(ScanRealData, AgreesWithTheDefinitionsOnEverySecurity) {
  const fs::path dir = fs::path(TICKVANE_SHARED_DIR) / "realdata" / "asx-mining";
  if (!fs::exists(dir / "MASTER")) GTEST_SKIP() << "no real data at " << dir;
  const std::string at = "2011-06-30";
  const fixture::ProgramRun r =
      Quotedump({"--extended", "scan", "--at", at, "--column", "s=sma(close, 20)", "--column",
                 "h=highest(high, 10)", "--column", "c=change(close, 5)", "--column",
                 "x=cross(close, sma(close, 20))", "close > 0", dir.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream lines(r.out);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "folder,symbol,name,date,close,s,h,c,x");
  const int bound = *DayNumberBound(at);
  int rows = 0;
  while (std::getline(lines, line)) {
    ++rows;
    std::vector<std::string> f;
    // The real directory's names hold no quotes; split on the last 6 commas.
    for (int i = 0; i < 6; ++i) {
      const auto comma = line.rfind(',');
      f.insert(f.begin(), line.substr(comma + 1));
      line.erase(comma);
    }
    const std::string symbol = line.substr(2, line.find(',', 2) - 2);
    PriceSeries series;
    ASSERT_EQ(ReadSecurityExtended(series, dir.string(), symbol, 0, -1, 1), 0) << symbol;
    int last = series.count - 1;
    while (last >= 0 && series.date[last] > bound) --last;
    ASSERT_GE(last, 0);
    const auto close = [&](int i) { return static_cast<double>(series.close[i]); };
    const auto sma = [&](int i) {
      double sum = 0;
      for (int k = i - 19; k <= i; ++k) sum += close(k);
      return sum / 20;
    };
    const auto near = [](const std::string& text, double value) {
      return text.empty() ? false : std::abs(std::stod(text) - value) <= 1e-8 * std::abs(value);
    };
    std::array<char, 16> date{};
    EXPECT_EQ(f[0], std::string(date.data(), PutIsoDate(date.data(), series.date[last])));
    EXPECT_TRUE(near(f[1], close(last))) << symbol;
    if (last < 19) {
      EXPECT_EQ(f[2], "") << symbol;  // too few bars for the average
    }
    if (last >= 20) {
      double high = series.high[last];
      for (int k = last - 9; k <= last; ++k) high = std::max<double>(high, series.high[k]);
      EXPECT_TRUE(near(f[2], sma(last))) << symbol << ' ' << f[2];
      EXPECT_TRUE(near(f[3], high)) << symbol;
      EXPECT_TRUE(near(f[4], 100 * (close(last) / close(last - 5) - 1))) << symbol;
      const bool crossed = close(last - 1) <= sma(last - 1) && close(last) > sma(last);
      EXPECT_EQ(f[5], crossed ? "1" : "0") << symbol;
    }
    ReleasePriceSeries(series);
  }
  EXPECT_GT(rows, 150);
}

}  // namespace
