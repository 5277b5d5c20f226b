// The scan of a whole database: `close > sma(close, 200) and rsi(14) < 30` over an extended
// directory of 5,000 securities of 4,000 daily bars each (255 in MASTER, the rest in XMASTER
// with F<n>.MWD files, no layout files), on the hardware's threads; and the whole
// `quotedump --extended scan` process on the real directory.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "directory_scan.h"
#include "quote_writer.h"
#include "run_process.h"
#include "vendor_directory.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kSecurities = 5000;
constexpr int kBars = 4000;
constexpr const char* kQuestion = "close > sma(close, 200) and rsi(14) < 30";

// Some 560 MB that take minutes to write: written once into the temp directory and reused by
// later runs, its last file written last.
fs::path ScanDirectory() {
  static const fs::path dir = [] {
    const fs::path p = fs::temp_directory_path() / "tickvane-scan-bench-5000x4000";
    if (fs::exists(p / "XMASTER")) return p;
    fs::create_directories(p);
    bench::WriteVendorDirectory(p, kSecurities, kBars);
    return p;
  }();
  return dir;
}

double PeakResidentMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The walk of the index and every security read and asked, as quotedump scan does it. The
// peak resident size is reported so that a run over more securities shows it does not grow.
void BM_Scan5000SecuritiesOf4000Bars(benchmark::State& state) {
  const fs::path dir = ScanDirectory();  // written before the clock runs
  tv::ScanQuestion question;
  question.condition = std::get<scan::Expression>(scan::Parse(kQuestion));
  const int threads = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
  int matched = 0;
  for (auto _ : state) {
    std::vector<tv::ScanTarget> targets;
    std::string error;
    if (!tv::ListScanTargets(dir.string(), true, targets, error)) {
      state.SkipWithError(error.c_str());
      break;
    }
    const tv::ScanCounts counts =
        tv::ScanTargets(targets, question, true, threads, [](int, const tv::ScanOutcome&) {});
    if (counts.read != kSecurities) {
      state.SkipWithError("not every security was read");
      break;
    }
    matched = counts.matched;
  }
  state.counters["matched"] = matched;
  state.counters["threads"] = threads;
  state.counters["peak_MB"] = PeakResidentMegabytes();
}
BENCHMARK(BM_Scan5000SecuritiesOf4000Bars)->Unit(benchmark::kMillisecond)->UseRealTime();

// `quotedump --extended scan EXPR DIR` on the real directory, start to exit, output to
// /dev/null.
void BM_QuotedumpScanRealDirectory(benchmark::State& state) {
  const fs::path dir = fs::path(TICKVANE_SHARED_DIR) / "realdata" / "asx-mining";
  if (!fs::exists(dir / "MASTER")) {
    state.SkipWithError("no real data");
    return;
  }
  std::vector<std::string> args = {TICKVANE_QUOTEDUMP, "--extended", "scan", kQuestion,
                                   dir.string()};
  bench::RunProcess(state, args);
}
BENCHMARK(BM_QuotedumpScanRealDirectory)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
