// Extended reading on a directory as large as vendors write them: 5,000 securities (255 in
// MASTER with long names in EMASTER, the rest in XMASTER with F<n>.MWD data files), 1,000
// daily bars each and no layout files. Opening it, filling Go To, stepping to the next.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bars.h"
#include "quote_writer.h"
#include "vendor_directory.h"

#ifdef TICKVANE_DIALOGS_BENCH
#include <QListWidget>

#include "Gotodlg.h"
#include "gui_application.h"
#include "profile.h"
#endif

namespace {

namespace fs = std::filesystem;

constexpr int kSecurities = 5000;
constexpr int kMasterSecurities = 255;

class NullMessages final : public tv::MessageService {
 public:
  void ShowMessage(std::string_view, tv::MessageIcon) override {}
};

// Written once for the whole run (some seconds), removed at exit.
const fixture::TempDir& VendorDirectory() {
  static const auto dir = [] {
    auto tmp = std::make_unique<fixture::TempDir>();
    bench::WriteVendorDirectory(tmp->path(), kSecurities, 1000, " Holdings Limited");
    return tmp;
  }();
  return *dir;
}

// What the document does to open a database: reset, accept the path, read the list, load
// the first security.
void Open(CBars& bars) {
  bars.Reset();
  bars.SetExtended(true);
  bars.OpenMaster((VendorDirectory().dir() + "MASTER").c_str());
  bars.ReadSecurityList();
  bars.LoadCurrentSecurity();
}

void BM_ExtendedOpen5000Securities(benchmark::State& state) {
  VendorDirectory();  // written before the clock runs
  NullMessages messages;
  CBars bars(&messages);
  for (auto _ : state) {
    Open(bars);
    if (bars.m_count != kSecurities || !bars.m_seriesAllocated) {
      state.SkipWithError("the directory did not open");
      break;
    }
  }
}
BENCHMARK(BM_ExtendedOpen5000Securities)->Unit(benchmark::kMillisecond);

// Next, through MASTER's securities into XMASTER's and round again.
void BM_ExtendedNext5000Securities(benchmark::State& state) {
  NullMessages messages;
  CBars bars(&messages);
  Open(bars);
  bars.m_current = kMasterSecurities - 50;
  for (auto _ : state) {
    if (bars.m_current == bars.m_count - 1) bars.m_current = 0;
    bars.Step(+1);
    if (!bars.m_seriesAllocated || bars.m_series.count != 800) {
      state.SkipWithError("a security did not load");
      break;
    }
  }
}
BENCHMARK(BM_ExtendedNext5000Securities)->Unit(benchmark::kMicrosecond);

#ifdef TICKVANE_DIALOGS_BENCH
class MemoryProfile final : public tv::Profile {
 public:
  explicit MemoryProfile(int sort) : sort_(sort) {}
  int ReadInt(std::string_view, std::string_view, int) override { return sort_; }
  std::string ReadText(std::string_view, std::string_view, std::string_view f) override {
    return std::string(f);
  }
  bool WriteInt(std::string_view, std::string_view, int) override { return true; }
  bool WriteText(std::string_view, std::string_view, std::string_view) override { return true; }

 private:
  int sort_;
};

// The Go To dialog made and filled, as the Go To command does before it shows it; in file
// order (0), by symbol (1) and by name (2).
void BM_ExtendedGoToFilled5000Securities(benchmark::State& state) {
  EnsureGuiApplication();
  NullMessages messages;
  CBars bars(&messages);
  Open(bars);
  bars.m_current = 2500;
  MemoryProfile profile(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    tv::CGoToDlg dialog(profile);
    dialog.m_pBars = &bars;
    dialog.OnInitDialog();
    if (dialog.list()->count() != kSecurities) {
      state.SkipWithError("the list is not full");
      break;
    }
  }
}
BENCHMARK(BM_ExtendedGoToFilled5000Securities)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);
#endif

}  // namespace
