// Reading a security: the last 800 bars of a long file, a search through a deep tree of
// full MASTER files, the CSV export as a whole process, and two hostile inputs whose cost
// must stay bounded (a MASTER naming thousands of missing subdirectories, for the search and
// for the export's list of database files, and a huge layout).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "database_files.h"
#include "master.h"
#include "quote_writer.h"
#include "run_process.h"
#include "series.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// One security "BIG" with 16000 daily records of seven fields.
class LongSecurity {
 public:
  LongSecurity() {
    fixture::Security s;
    s.name = "Long History";
    s.symbol = "BIG";
    fixture::WriteMaster(tmp_.path() / "MASTER", {fixture::SecurityRecord(s)});
    fixture::WriteSimpleSecurity(tmp_.path(), 1, {.bars = 16000, .year = 1965});
  }
  std::string dir() const { return tmp_.dir(); }

 private:
  fixture::TempDir tmp_;
};

const LongSecurity& Long() {
  static const LongSecurity db;
  return db;
}

void BM_ReadSecurityLast800Of16000(benchmark::State& state) {
  const std::string dir = Long().dir();
  PriceSeries series;
  AllocatePriceSeries(series, 800);
  for (auto _ : state) {
    const ResultCode rc = ReadSecurity(series, dir, "BIG", -1, 800, 0);
    if (rc != 0 || series.count != 800) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(series.close[799]);
  }
  ReleasePriceSeries(series);
}
BENCHMARK(BM_ReadSecurityLast800Of16000)->Unit(benchmark::kMicrosecond);

void BM_ReadSecurityAll16000Allocating(benchmark::State& state) {
  const std::string dir = Long().dir();
  PriceSeries series;
  for (auto _ : state) {
    const ResultCode rc = ReadSecurity(series, dir, "BIG", 0, -1, 1);
    if (rc != 0 || series.count != 16000) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(series.close[15999]);
  }
  ReleasePriceSeries(series);
}
BENCHMARK(BM_ReadSecurityAll16000Allocating)->Unit(benchmark::kMicrosecond);

// Three levels of MASTER files of 127 records: every non-leaf file holds 120 securities and
// 7 directory entries, every leaf 127 securities. The symbol sought is the last record of
// the last leaf, so the search reads all 57 files.
class DeepTree {
 public:
  DeepTree() { Fill(tmp_.path(), 1, "T"); }
  std::string dir() const { return tmp_.dir(); }

 private:
  void Fill(const fs::path& dir, int level, const std::string& tag) {
    std::vector<fixture::Record53> records;
    const int securities = level < 3 ? 120 : 127;
    for (int k = 0; k < securities; ++k) {
      fixture::Security s;
      s.fileNumber = static_cast<std::uint8_t>(k + 1);
      s.name = "Name " + tag + std::to_string(k);
      s.symbol = tag + std::to_string(k);
      records.push_back(fixture::SecurityRecord(s));
    }
    if (level < 3) {
      for (int d = 0; d < 7; ++d) {
        const std::string sub = "D" + std::to_string(d);
        records.push_back(fixture::DirectoryRecord(sub));
        fs::create_directory(dir / sub);
        Fill(dir / sub, level + 1, tag + std::to_string(d));
      }
    }
    fixture::WriteMaster(dir / "MASTER", records);
  }
  fixture::TempDir tmp_;
};

void BM_FindSecurityLastLeafOfThreeLevels(benchmark::State& state) {
  static const DeepTree tree;
  const std::string dir = tree.dir();
  MasterRecord record;
  std::string found;
  for (auto _ : state) {
    const ResultCode rc = FindSecurity(dir, "T66126", record, found);
    if (rc != 0) state.SkipWithError("not found");
    benchmark::DoNotOptimize(record);
  }
}
BENCHMARK(BM_FindSecurityLastLeafOfThreeLevels)->Unit(benchmark::kMicrosecond);

// A MASTER of 32,767 directory entries, none of which exists, beside 5,000 files: every
// entry needs a case-insensitive look among the directory's names.
const fixture::TempDir& MissingSubdirectoriesBeside5000Files() {
  static const fixture::TempDir tmp;
  static const bool made = [] {
    std::vector<fixture::Record53> records;
    for (int k = 0; k < 32767; ++k)
      records.push_back(fixture::DirectoryRecord("M" + std::to_string(k)));
    fixture::WriteMaster(tmp.path() / "MASTER", records);
    for (int k = 0; k < 5000; ++k) std::ofstream(tmp.path() / ("F" + std::to_string(k) + ".DAT"));
    return true;
  }();
  benchmark::DoNotOptimize(made);
  return tmp;
}

void BM_FindSecurityMissingSubdirectoriesBeside5000Files(benchmark::State& state) {
  const fixture::TempDir& tmp = MissingSubdirectoriesBeside5000Files();
  MasterRecord record;
  std::string found;
  for (auto _ : state) {
    if (FindSecurity(tmp.dir(), "NOSUCH", record, found) != kFileNotFound)
      state.SkipWithError("unexpected result");
  }
}
BENCHMARK(BM_FindSecurityMissingSubdirectoriesBeside5000Files)->Unit(benchmark::kMillisecond);

// The same tree as the export sees it: every database file, and every subdirectory the
// entries name, looked up in one reading of the directory.
void BM_DatabaseFilesMissingSubdirectoriesBeside5000Files(benchmark::State& state) {
  const std::string master = MissingSubdirectoriesBeside5000Files().dir() + "MASTER";
  for (auto _ : state) {
    const DatabaseFiles files(master);
    if (!files.contains(master)) state.SkipWithError("MASTER not among the files");
  }
}
BENCHMARK(BM_DatabaseFilesMissingSubdirectoriesBeside5000Files)->Unit(benchmark::kMillisecond);

// A 1 GB layout file of nothing but NUL bytes (sparse, so it costs no disk).
void BM_ReadDataLayoutOfOneGigabyteFile(benchmark::State& state) {
  static const fixture::TempDir tmp;
  const fs::path path = tmp.path() / "F1.DOP";
  { std::ofstream(path) << "\"DATE\",0,0\n"; }
  fs::resize_file(path, std::uintmax_t{1} << 30);
  DataLayout layout;
  for (auto _ : state) {
    if (ReadDataLayout(path.string(), layout) != kSuccess) state.SkipWithError("cannot read");
    benchmark::DoNotOptimize(layout);
  }
}
BENCHMARK(BM_ReadDataLayoutOfOneGigabyteFile)->Unit(benchmark::kMillisecond);

// `quotedump read DIR BIG` of all 16000 bars to /dev/null, start to exit.
void BM_QuotedumpRead16000ToCsv(benchmark::State& state) {
  const std::string dir = Long().dir();
  std::vector<std::string> args = {TICKVANE_QUOTEDUMP, "read", dir, "BIG"};
  bench::RunProcess(state, args);
}
BENCHMARK(BM_QuotedumpRead16000ToCsv)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
