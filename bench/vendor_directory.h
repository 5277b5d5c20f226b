#pragma once
// A generated directory as data vendors write them today: MASTER with its first 255
// securities, EMASTER with their long names, XMASTER with the rest (F<n>.MWD), no layout
// files. For the benchmarks of extended reading and of the scan.

#include <filesystem>
#include <string>
#include <vector>

#include "quote_writer.h"

namespace bench {

inline void WriteVendorDirectory(const std::filesystem::path& p, int securities, int bars,
                                 const std::string& nameSuffix = "") {
  namespace fs = std::filesystem;
  constexpr int kMasterSecurities = 255;
  std::vector<fixture::Record53> master;
  std::vector<fixture::EmasterEntry> emaster;
  std::vector<fixture::XmasterEntry> xmaster;
  for (int k = 0; k < securities; ++k) {
    const std::string symbol = "S" + std::to_string(k);
    const std::string name = "Security Number " + std::to_string(k) + nameSuffix;
    // The fixture writer names files F<n>.DAT with a layout file; both are made over.
    const auto n = static_cast<std::uint8_t>(k < kMasterSecurities ? k + 1 : 1);
    fixture::WriteSimpleSecurity(p, n, {.bars = bars, .startPrice = 5.0f + k % 50});
    fs::remove(p / ("F" + std::to_string(n) + ".DOP"));
    if (k < kMasterSecurities) {
      master.push_back(fixture::SecurityRecord({.fileNumber = n, .name = name, .symbol = symbol}));
      emaster.push_back({n, symbol, name});
    } else {
      const auto number = static_cast<std::uint16_t>(k + 1);
      fs::rename(p / "F1.DAT", p / ("F" + std::to_string(number) + ".MWD"));
      xmaster.push_back({number, symbol, name, 0x7F});
    }
  }
  fixture::WriteSimpleSecurity(p, 1, {.bars = bars, .startPrice = 5.0f});
  fs::remove(p / "F1.DOP");
  fixture::WriteMaster(p / "MASTER", master);
  fixture::WriteEmaster(p / "EMASTER", emaster);
  fixture::WriteXmaster(p / "XMASTER", xmaster);
}

}  // namespace bench
