#pragma once
// A chart object with a security list and nothing loaded, for the dialogs' tests.

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "bars.h"

namespace fixture {

// Fills the list with (symbol, name) pairs in master order; names are padded with blanks to
// 16 characters as the MASTER file keeps them.
inline void SetList(CBars& bars, const std::vector<std::pair<std::string, std::string>>& list,
                    int current = 0) {
  bars.m_count = static_cast<int>(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    auto& symbol = bars.m_symbols[i];
    auto& name = bars.m_names[i];
    symbol.fill('\0');
    name.fill('\0');
    std::memcpy(symbol.data(), list[i].first.data(),
                std::min<std::size_t>(16, list[i].first.size()));
    std::string padded = list[i].second;
    padded.resize(16, ' ');
    std::memcpy(name.data(), padded.data(), 16);
  }
  bars.m_current = current;
}

// The entry the list shows for a security.
inline std::string Entry(const std::string& symbol, const std::string& name) {
  std::string padded = name;
  padded.resize(16, ' ');
  return symbol + "\t" + padded;
}

}  // namespace fixture
