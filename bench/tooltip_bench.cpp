// The bar tool tip: finding the bar under the pointer and its values, as a mouse move does.

#include <benchmark/benchmark.h>

#include "bars.h"
#include "long_security.h"
#include "quote_writer.h"

namespace {

class NoMessages final : public tv::MessageService {
 public:
  void ShowMessage(std::string_view, tv::MessageIcon) override {}
};

void BM_BarToolTipLookupAt1920x1080(benchmark::State& state) {
  fixture::TempDir dir;
  NoMessages messages;
  CBars bars(&messages);
  if (!OpenLongSecurity(dir, bars)) {
    state.SkipWithError("cannot load the security");
    return;
  }
  // The view is smaller than the main window's client area, so the lookup maps back
  // through a stretched layout, as it does in the program.
  bars.SetLogicalSize({1920, 1080});
  const tv::Rect view{0, 0, 1920, 1000};
  int x = 0;
  for (auto _ : state) {
    x = (x + 7) % 1920;
    const int bar = bars.BarAt({x, 500}, view);
    benchmark::DoNotOptimize(bars.BarValues(bar));
  }
}
BENCHMARK(BM_BarToolTipLookupAt1920x1080)->Unit(benchmark::kMicrosecond);

}  // namespace
