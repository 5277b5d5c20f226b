// The run-only deflate encoder of the PNG export: whatever the data and however it is handed
// over, zlib inflates the stream to the same bytes and accepts its checksum.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "png_deflate.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The stream inflated by zlib; empty with a failure when zlib refuses it or it is not
// `size` bytes long.
Bytes Inflate(const Bytes& stream, std::size_t size) {
  Bytes out(size + 1);
  uLongf length = out.size();
  const int status = uncompress(out.data(), &length, stream.data(), stream.size());
  EXPECT_EQ(status, Z_OK);
  EXPECT_EQ(length, size);
  out.resize(status == Z_OK ? length : 0);
  return out;
}

Bytes Noise(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

// A 3-byte pixel repeated, with a zero now and then.
Bytes Pixels(std::size_t count) {
  Bytes bytes;
  for (std::size_t i = 0; i < count; ++i)
    bytes.insert(bytes.end(), {7, i % 97 == 0 ? std::uint8_t{0} : std::uint8_t{200}, 13});
  return bytes;
}

// Data handed over in pieces: bytes, or (when `bytes` is empty) `zeros` zero bytes by number.
struct Piece {
  Bytes bytes;
  std::size_t zeros = 0;
};

TEST(RunCompressor, InflatesToTheDataHowEverItIsHandedOver) {
  const struct {
    std::string what;
    std::size_t stride;
    std::vector<Piece> pieces;
    // The stream's largest allowed size (deflate's best is a byte for 1,032), 0 for any.
    std::size_t largest;
  } cases[] = {
      {"nothing", 3, {}, 0},
      {"one byte", 1, {{{42}}}, 0},
      {"noise over several blocks", 3, {{Noise(100000, 1)}}, 0},
      {"three megabytes of zeros", 3, {{Bytes(3000000)}}, 3200},
      {"zeros by number, past 65535 longest matches", 3, {{{}, 20000000}}, 20500},
      {"runs across pieces",
       4,
       {{{1}}, {{}, 1}, {{}, 2}, {{9, 9}}, {{}, 259}, {{}, 260}, {{5}}, {Bytes(516)}, {{}, 3}},
       0},
      {"pixels a byte at a time", 3, {{{7}}, {{200}}, {{13}}, {{7}}, {{200}}, {{13}}, {{7}}}, 0},
      {"pixel runs and noise", 3, {{Pixels(5000)}, {Noise(700, 2)}, {{}, 5}, {Pixels(90)}}, 0},
      {"eight-byte pixels", 8, {{Noise(8, 3)}, {{}, 8}, {Noise(1, 4)}, {Bytes(2000)}}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    tv::RunCompressor compressor(c.stride);
    Bytes data;
    for (const Piece& piece : c.pieces) {
      if (piece.bytes.empty()) {
        compressor.AddZeros(piece.zeros);
        data.resize(data.size() + piece.zeros);
      } else {
        compressor.Add(piece.bytes);
        data.insert(data.end(), piece.bytes.begin(), piece.bytes.end());
      }
    }
    const Bytes stream = compressor.Finish();
    EXPECT_EQ(Inflate(stream, data.size()), data);
    if (c.largest > 0) {
      EXPECT_LE(stream.size(), c.largest);
    }
  }
  // The whole data at once.
  const Bytes data = Pixels(3000);
  EXPECT_EQ(Inflate(tv::CompressRuns(data, 3), data.size()), data);
}

}  // namespace
