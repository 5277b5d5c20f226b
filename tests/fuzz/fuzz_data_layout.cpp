// Layout files of any content: parsing must stay in bounds and positions within 16 bits.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_input.h"
#include "quote_writer.h"
#include "series.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fixture::TempDir tmp;
  const auto file = tmp.path() / "F1.DOP";
  fuzz::WriteFile(file, std::string_view(reinterpret_cast<const char*>(data), size));
  DataLayout layout;
  if (ReadDataLayout(file.string(), layout) != kSuccess) std::abort();
  // Every line takes at most one position, so no position can exceed the number of lines.
  std::size_t lines = 1;
  for (std::size_t i = 0; i < size; ++i) lines += data[i] == '\n';
  for (const auto p : layout.position)
    if (p < 0 || static_cast<std::size_t>(p) > lines + size / 79) std::abort();
  return 0;
}
