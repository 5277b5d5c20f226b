// The extended index over fuzzed MASTER, EMASTER and XMASTER files, the search through it,
// reads of its entries and layout inference over fuzzed records: nothing may read out of
// bounds, size anything by a count the files do not hold, or hang.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "extended.h"
#include "fuzz_input.h"
#include "quote_writer.h"
#include "series.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fixture::TempDir tmp;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto parts = fuzz::Split(input, fuzz::kIndexParts);
  const char* const names[] = {"MASTER", "EMASTER", "XMASTER"};
  for (std::size_t k = 0; k < 3; ++k) {
    if (k + 1 < parts.size()) {
      fuzz::WriteFile(tmp.path() / names[k], parts[k + 1]);
    } else {
      std::filesystem::remove(tmp.path() / names[k]);
    }
  }
  const std::string_view records = parts.size() > 4 ? parts[4] : std::string_view();
  fuzz::WriteFile(tmp.path() / "F1.DAT", records);
  fuzz::WriteFile(tmp.path() / "F256.MWD", records);

  std::vector<IndexedSecurity> index;
  const ResultCode rc = ReadSecurityIndex(tmp.dir() + "MASTER", index);
  if (rc != kSuccess && rc != kFileOpen && rc != kFileRead) std::abort();
  if (rc != kSuccess && !index.empty()) std::abort();

  // Every entry read as the chart reads it, the first few only: each read is bounded, but
  // an index may hold thousands.
  PriceSeries series;
  if (AllocatePriceSeries(series, 800) != kSuccess) std::abort();
  for (std::size_t i = 0; i < index.size() && i < 4; ++i) {
    ReadIndexedSecurity(series, tmp.dir(), index[i], index[i].symbol, -1, 800, 0);
    if (series.count < 0 || series.count > series.capacity) std::abort();
  }
  ReleasePriceSeries(series);

  IndexedSecurity entry;
  std::string found;
  FindIndexedSecurity(tmp.dir(), parts[0], entry, found);

  // Inference straight over the bytes, for every field count and record length it takes.
  DataLayout layout;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(records.data());
  for (const int fields : {5, 6}) {
    for (const int length : {4 * fields, 4 * fields + 3, 76}) {
      if (InferDataLayout({bytes, records.size()}, length, fields, layout)) {
        for (const auto p : layout.position)
          if (p < 0 || p > fields) std::abort();
      }
    }
  }
  return 0;
}
