// ReadSecurity (classic or extended) over a fuzzed layout and data file, with fuzzed record shape,
// start, count and storage: the read must stay inside the series and leave it consistent.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "extended.h"
#include "fuzz_input.h"
#include "quote_writer.h"
#include "series.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fixture::TempDir tmp;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto head = fuzz::DecodeHead(input);
  const auto parts = fuzz::Split(input.substr(std::min(size, fuzz::kHeadSize)), 2);

  fixture::Security s;
  s.fileNumber = 1;
  s.recordLength = head.recordLength;
  s.fieldCount = head.fieldCount;
  s.name = "Fuzzed";
  s.symbol = "FZ";
  fixture::WriteMaster(tmp.path() / "MASTER", {fixture::SecurityRecord(s)});
  if ((head.flags & 8) != 0) {
    std::filesystem::remove(tmp.path() / "F1.DOP");
  } else {
    fuzz::WriteFile(tmp.path() / "F1.DOP", parts[0]);
  }
  fuzz::WriteFile(tmp.path() / "F1.DAT", parts.size() > 1 ? parts[1] : std::string_view());

  const bool allocate = (head.flags & 1) != 0;
  PriceSeries series;
  if (!allocate && AllocatePriceSeries(series, (head.flags & 2) != 0 ? 3000 : 800) != kSuccess)
    std::abort();
  const auto read = (head.flags & 4) != 0 ? ReadSecurityExtended : ReadSecurity;
  const ResultCode rc = read(series, tmp.dir(), "FZ", head.start, head.count, allocate);
  if (rc != kSuccess && rc != kInvalidParm && rc != kFileOpen && rc != kMalloc &&
      rc != kRecordNotFound)
    std::abort();
  if (series.count < 0 || series.count > series.capacity) std::abort();
  // Touch the first and the last bar of every column: the storage is contiguous, so the
  // sanitizer reports any count that reaches past it.
  double sum = 0;
  for (const int i : {0, series.count - 1}) {
    if (series.count == 0) break;
    sum += series.date[i] + series.time[i];
    sum += series.open[i] + series.high[i] + series.low[i] + series.close[i];
    sum += series.volume[i] + series.openInterest[i];
  }
  volatile double sink = sum;
  (void)sink;
  ReleasePriceSeries(series);
  return 0;
}
