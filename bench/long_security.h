// A database of one security with 16,000 daily bars from 1961, opened and loaded as the viewer
// opens a database: the long history the paging and tool-tip benchmarks work on.
#pragma once

#include <benchmark/benchmark.h>

#include "bars.h"
#include "quote_writer.h"

inline bool OpenLongSecurity(const fixture::TempDir& dir, CBars& bars) {
  fixture::WriteMaster(
      dir.path() / "MASTER",
      {fixture::SecurityRecord({.fileNumber = 1, .name = "LONG", .symbol = "LONG"})});
  fixture::WriteSimpleSecurity(dir.path(), 1, {.bars = 16000, .year = 1961});
  bars.OpenMaster((dir.dir() + "MASTER").c_str());
  bars.ReadSecurityList();
  return bars.LoadCurrentSecurity() == 0;
}

// The long security as the extended chart reads it; false, the benchmark skipped with the
// reason, when it does not load.
inline bool OpenLongSecurityExtended(benchmark::State& state, const fixture::TempDir& dir,
                                     CBars& bars) {
  bars.SetExtended(true);
  if (OpenLongSecurity(dir, bars)) return true;
  state.SkipWithError("the long security did not load");
  return false;
}
