// The PNG export's deflate encoder on any data, handed over in any pieces: zlib must inflate
// the stream to exactly the bytes given and accept its checksum.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "png_deflate.h"

// Input: the pixel size, the piece length, then the data. A piece that starts with 0xFF
// stands for as many zero bytes as its second byte times 97, handed over by number; one that
// starts with 0xFE for the rest of the piece handed over as many times as its second byte, so
// that an input of a few kilobytes fills more than one block of literals.
constexpr std::size_t kMostRepeated = 40000;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t stride = 1 + data[0] % tv::RunCompressor::kMaxStride;
  const std::size_t piece = 1 + data[1];
  const std::span<const std::uint8_t> rest(data + 2, size - 2);
  tv::RunCompressor compressor(stride);
  std::vector<std::uint8_t> expected;
  for (std::size_t at = 0; at < rest.size(); at += piece) {
    const auto bytes = rest.subspan(at, std::min(piece, rest.size() - at));
    if (bytes.size() >= 2 && bytes[0] == 0xFF) {
      const std::size_t zeros = std::size_t{bytes[1]} * 97;
      compressor.AddZeros(zeros);
      expected.insert(expected.end(), zeros, 0);
    } else if (bytes.size() >= 3 && bytes[0] == 0xFE) {
      const auto repeated = bytes.subspan(2);
      // Past two blocks of literals: enough for every path, few enough for many runs.
      for (int i = 0; i < bytes[1] && expected.size() < kMostRepeated; ++i) {
        compressor.Add(repeated);
        expected.insert(expected.end(), repeated.begin(), repeated.end());
      }
    } else {
      compressor.Add(bytes);
      expected.insert(expected.end(), bytes.begin(), bytes.end());
    }
  }
  const std::vector<std::uint8_t> stream = compressor.Finish();
  std::vector<std::uint8_t> out(expected.size() + 1);
  uLongf length = out.size();
  if (uncompress(out.data(), &length, stream.data(), stream.size()) != Z_OK ||
      length != expected.size() || !std::equal(expected.begin(), expected.end(), out.begin()))
    std::abort();
  return 0;
}
