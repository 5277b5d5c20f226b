#pragma once
// A zlib stream (deflate with its header and Adler-32 checksum) for a PNG file's filtered
// rows. A chart's rows, less the row above, are almost all long runs of zeros: the only
// repeats looked for are runs, each byte against the byte before and against the pixel
// before, which a few word compares find, and each block gets Huffman codes made for it.
// zlib (even with its run-only strategy) and libdeflate, which go through the data a byte at
// a time, took four to ten times as long for a chart, for files no smaller. The data comes
// in pieces, a row or less at a time, so that it is compressed while it is in the cache, and
// zeros may come by number.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tv {

class RunCompressor {
 public:
  static constexpr std::size_t kMaxStride = 8;

  // Runs of a byte, and of a `stride`-byte pixel (1 to kMaxStride; 1 for runs of bytes alone).
  explicit RunCompressor(std::size_t stride);

  // Compresses the next bytes of the data.
  void Add(std::span<const std::uint8_t> data);
  // As Add of `count` zero bytes, and as quick whatever their number: the rows of a chart
  // are mostly pixels the same as those above.
  void AddZeros(std::size_t count);
  // The whole stream, once all the data has been added; the compressor is done with.
  std::vector<std::uint8_t> Finish();

 private:
  // A literal byte (length 0, the byte in `value`), or a match: `length` bytes repeated from
  // `value` bytes back, or (length kRepeatNext) `value` times the match that follows.
  static constexpr std::uint16_t kRepeatNext = 1;
  struct Token {
    std::uint16_t length = 0;
    std::uint16_t value = 0;
  };

  void Push(Token token);
  // A run of `length` bytes (at least 3), each `distance` bytes after its like.
  void PushRun(std::size_t length, std::size_t distance);
  // How many bytes of data from `at` on (at most limit) repeat those `distance` bytes
  // before, which may be in the history.
  std::size_t RepeatLengthAt(const std::uint8_t* data, std::size_t at, std::size_t distance,
                             std::size_t limit) const;
  // Keeps the last of the `count` bytes added for the next ones to repeat.
  void Remember(const std::uint8_t* bytes, std::size_t count);
  void PutBlock(bool last);

  std::size_t m_stride;
  std::array<std::uint8_t, kMaxStride> m_history{};  // the last bytes added, up to m_stride
  std::size_t m_historySize = 0;
  std::vector<Token> m_tokens;  // of the block being made
  static constexpr std::size_t kLiteralLengthSymbols = 286, kDistanceSymbols = 30;
  std::array<std::uint32_t, kLiteralLengthSymbols> m_literalFrequencies{};
  std::array<std::uint32_t, kDistanceSymbols> m_distanceFrequencies{};
  std::uint32_t m_adlerA = 1, m_adlerB = 0;
  std::vector<std::uint8_t> m_stream;
  std::size_t m_used = 0;  // bytes of m_stream written; the rest is room
  std::uint64_t m_pending = 0;
  int m_pendingBits = 0;
};

// data as one zlib stream: RunCompressor with all of it at once.
std::vector<std::uint8_t> CompressRuns(std::span<const std::uint8_t> data, std::size_t stride);

}  // namespace tv
