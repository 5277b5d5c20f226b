#include "png_deflate.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cstring>
#include <utility>

namespace tv {

namespace {

constexpr std::size_t kMinMatch = 3, kMaxMatch = 258;
constexpr std::size_t kEndOfBlock = 256, kFirstLengthSymbol = 257;
constexpr int kCodeLengthSymbols = 19;
constexpr int kMaxCodeBits = 15, kMaxCodeLengthBits = 7;
// A block gets codes of its own after this many literals and matches: a chart's plot area
// and its labels differ in what they are made of.
constexpr std::size_t kBlockTokens = std::size_t{1} << 14;

// What each length code (symbols 257 to 285) and distance code stands for: the least length
// or distance, and the extra bits that add to it.
constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                       15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtraBits = {
    0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
// The order in which a block's header gives the lengths of the code-length code.
constexpr std::array<std::uint8_t, kCodeLengthSymbols> kCodeLengthOrder = {
    16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// The length code (0 to 28) of each match length.
constexpr std::array<std::uint8_t, kMaxMatch + 1> kLengthCode = [] {
  std::array<std::uint8_t, kMaxMatch + 1> codes{};
  for (std::size_t c = 0; c < kLengthBase.size(); ++c)
    for (std::size_t n = kLengthBase[c];
         n < kLengthBase[c] + (std::size_t{1} << kLengthExtraBits[c]) && n <= kMaxMatch; ++n)
      codes[n] = static_cast<std::uint8_t>(c);
  return codes;
}();

int DistanceCode(std::size_t distance) {
  if (distance <= 4) return static_cast<int>(distance) - 1;
  const int log = std::bit_width(distance - 1) - 1;
  return 2 * log + static_cast<int>((distance - 1) >> (log - 1) & 1);
}

int DistanceExtraBits(int code) { return code < 4 ? 0 : code / 2 - 1; }

// Bits in deflate's order: each value's low bit first, bytes filled from their low bit;
// written where the block's writer made room for them, up to `end`.
struct BitWriter {
  std::uint8_t* out;
  std::uint8_t* end;
  std::uint64_t pending;
  int filled;

  // count is at most 32.
  void Put(std::uint32_t value, int count) {
    pending |= std::uint64_t{value} << filled;
    filled += count;
    if (filled < 32) return;
    assert(end - out >= 4 && "the room reckoned for the block is too small");
    for (int k = 0; k < 4; ++k) *out++ = static_cast<std::uint8_t>(pending >> (8 * k));
    pending >>= 32;
    filled -= 32;
  }
};

// The code lengths of a Huffman code for the frequencies (0 for a symbol that never occurs),
// none longer than maxBits: while the code is deeper, the frequencies are halved, which
// flattens it. At least two symbols get codes, so that the code is complete, as decoders
// demand of some codes.
std::vector<std::uint8_t> CodeLengths(std::vector<std::uint32_t> frequencies, int maxBits) {
  std::vector<std::size_t> order;  // the symbols that occur, least frequent first
  for (std::size_t s = 0; s < frequencies.size(); ++s)
    if (frequencies[s] > 0) order.push_back(s);
  for (std::size_t s = 0; order.size() < 2; ++s) {
    if (frequencies[s] > 0) continue;
    frequencies[s] = 1;
    order.push_back(s);
  }
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return frequencies[a] < frequencies[b]; });
  // Nodes: the leaves in that order, then the inner nodes, each made of the two lightest
  // nodes left; inner nodes are made in order of weight, so both are queues.
  const std::size_t leaves = order.size(), nodes = 2 * leaves - 1;
  std::vector<std::uint64_t> weight(nodes);
  std::vector<std::size_t> parent(nodes);
  std::vector<int> depth(nodes);
  std::vector<std::uint8_t> lengths(frequencies.size());
  for (;;) {
    for (std::size_t i = 0; i < leaves; ++i) weight[i] = frequencies[order[i]];
    std::size_t leaf = 0, inner = leaves;
    const auto lightest = [&](std::size_t node) {
      const bool takeLeaf = leaf < leaves && (inner == node || weight[leaf] <= weight[inner]);
      return takeLeaf ? leaf++ : inner++;
    };
    for (std::size_t node = leaves; node < nodes; ++node) {
      const std::size_t a = lightest(node), b = lightest(node);
      weight[node] = weight[a] + weight[b];
      parent[a] = parent[b] = node;
    }
    depth[nodes - 1] = 0;
    int deepest = 0;
    for (std::size_t node = nodes - 1; node-- > 0;) {
      depth[node] = depth[parent[node]] + 1;
      deepest = std::max(deepest, depth[node]);
    }
    if (deepest <= maxBits) break;
    // Halving keeps the order.
    for (std::uint32_t& f : frequencies) f = (f + 1) / 2;  // a frequency stays above zero
  }
  for (std::size_t i = 0; i < leaves; ++i) lengths[order[i]] = static_cast<std::uint8_t>(depth[i]);
  return lengths;
}

// The canonical code of each length, its bits reversed: deflate sends a code's first bit
// first.
std::vector<std::uint16_t> CanonicalCodes(const std::vector<std::uint8_t>& lengths) {
  std::array<std::uint16_t, kMaxCodeBits + 2> count{}, next{};
  for (const std::uint8_t length : lengths) ++count[length];
  count[0] = 0;
  for (int bits = 1, code = 0; bits <= kMaxCodeBits; ++bits) {
    code = (code + count[static_cast<std::size_t>(bits) - 1]) << 1;
    next[static_cast<std::size_t>(bits)] = static_cast<std::uint16_t>(code);
  }
  std::vector<std::uint16_t> codes(lengths.size());
  for (std::size_t s = 0; s < lengths.size(); ++s) {
    if (lengths[s] == 0) continue;
    const unsigned code = next[lengths[s]]++;
    unsigned reversed = 0;
    for (int bit = 0; bit < lengths[s]; ++bit)
      reversed |= (code >> bit & 1u) << (lengths[s] - 1 - bit);
    codes[s] = static_cast<std::uint16_t>(reversed);
  }
  return codes;
}

// A Huffman code: the length and bits of each symbol's code.
struct Code {
  std::vector<std::uint8_t> lengths;
  std::vector<std::uint16_t> bits;

  Code(std::vector<std::uint32_t> frequencies, int maxBits)
      : lengths(CodeLengths(std::move(frequencies), maxBits)), bits(CanonicalCodes(lengths)) {}
  void Put(BitWriter& out, std::size_t symbol) const { out.Put(bits[symbol], lengths[symbol]); }
  // Symbols up to the last with a code, and at least `least`.
  int Used(int least) const {
    int n = static_cast<int>(lengths.size());
    while (n > least && lengths[static_cast<std::size_t>(n) - 1] == 0) --n;
    return n;
  }
};

// A sequence of code lengths in the code-length alphabet: 0 to 15 as they are, 16 repeats
// the length before 3 to 6 times, 17 and 18 give 3 to 10 and 11 to 138 zeros; each with the
// value of its extra bits.
std::vector<std::pair<std::uint8_t, std::uint8_t>> RunLengthCoded(
    const std::vector<std::uint8_t>& lengths) {
  std::vector<std::pair<std::uint8_t, std::uint8_t>> coded;
  for (std::size_t i = 0; i < lengths.size();) {
    const std::uint8_t length = lengths[i];
    std::size_t run = 1;
    while (i + run < lengths.size() && lengths[i + run] == length) ++run;
    i += run;
    if (length == 0) {
      for (; run >= 11; run -= std::min<std::size_t>(run, 138))
        coded.emplace_back(18, static_cast<std::uint8_t>(std::min<std::size_t>(run, 138) - 11));
      if (run >= 3) {
        coded.emplace_back(17, static_cast<std::uint8_t>(run - 3));
        run = 0;
      }
    } else {
      coded.emplace_back(length, 0);
      for (--run; run >= 3; run -= std::min<std::size_t>(run, 6))
        coded.emplace_back(16, static_cast<std::uint8_t>(std::min<std::size_t>(run, 6) - 3));
    }
    for (; run > 0; --run) coded.emplace_back(length, 0);
  }
  return coded;
}

// The header of a block with dynamic codes: the two codes' lengths, themselves coded.
void PutCodes(BitWriter& out, const Code& literals, const Code& distances) {
  const int literalCount = literals.Used(static_cast<int>(kFirstLengthSymbol));
  const int distanceCount = distances.Used(1);
  std::vector<std::uint8_t> lengths(literals.lengths.begin(),
                                    literals.lengths.begin() + literalCount);
  lengths.insert(lengths.end(), distances.lengths.begin(),
                 distances.lengths.begin() + distanceCount);
  const auto coded = RunLengthCoded(lengths);
  std::vector<std::uint32_t> frequencies(kCodeLengthSymbols);
  for (const auto& [symbol, extra] : coded) ++frequencies[symbol];
  const Code code(std::move(frequencies), kMaxCodeLengthBits);
  int codeCount = kCodeLengthSymbols;
  while (codeCount > 4 &&
         code.lengths[kCodeLengthOrder[static_cast<std::size_t>(codeCount) - 1]] == 0)
    --codeCount;
  out.Put(static_cast<std::uint32_t>(literalCount) - kFirstLengthSymbol, 5);
  out.Put(static_cast<std::uint32_t>(distanceCount - 1), 5);
  out.Put(static_cast<std::uint32_t>(codeCount - 4), 4);
  for (int k = 0; k < codeCount; ++k)
    out.Put(code.lengths[kCodeLengthOrder[static_cast<std::size_t>(k)]], 3);
  for (const auto& [symbol, extra] : coded) {
    code.Put(out, symbol);
    if (symbol >= 16) out.Put(extra, symbol == 16 ? 2 : symbol == 17 ? 3 : 7);
  }
}

// Whether the n bytes at a and b are the same, 8 at a time (n a multiple of 8).
bool SameWords(const std::uint8_t* a, const std::uint8_t* b, std::size_t n) {
  std::uint64_t differ = 0;
  for (std::size_t k = 0; k < n; k += 8) {
    std::uint64_t x = 0, y = 0;
    std::memcpy(&x, a + k, sizeof x);
    std::memcpy(&y, b + k, sizeof y);
    differ |= x ^ y;
  }
  return differ == 0;
}

// The number of equal bytes at the start of two different words.
std::size_t SameLeadingBytes(std::uint64_t a, std::uint64_t b) {
  const int bits = std::endian::native == std::endian::little ? std::countr_zero(a ^ b)
                                                              : std::countl_zero(a ^ b);
  return static_cast<std::size_t>(bits / 8);
}

// How many bytes from `at` on (at most limit) repeat those `distance` bytes before: the
// first word tells most places apart, then runs are followed 32 bytes at a time.
std::size_t RepeatLength(const std::uint8_t* at, std::size_t distance, std::size_t limit) {
  const std::uint8_t* from = at - distance;
  std::size_t n = 0;
  for (bool first = true; n + 8 <= limit; n += 8, first = false) {
    std::uint64_t a = 0, b = 0;
    std::memcpy(&a, at + n, sizeof a);
    std::memcpy(&b, from + n, sizeof b);
    if (a != b) return n + SameLeadingBytes(a, b);
    if (first)
      while (n + 8 + 32 <= limit && SameWords(at + n + 8, from + n + 8, 32)) n += 32;
  }
  while (n < limit && at[n] == from[n]) ++n;
  return n;
}

constexpr std::uint64_t kAdlerModulus = 65521;

// Adds data to the Adler-32 sums a and b. Words of zeros, most of a chart's filtered rows,
// only add the first sum to the second.
void AddToAdler32(std::span<const std::uint8_t> data, std::uint32_t& a, std::uint32_t& b) {
  // Over a chunk the sums cannot overflow 64 bits; they are reduced after each.
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  static constexpr std::array<std::uint8_t, 32> kZeros{};
  std::uint64_t sumA = a, sumB = b;
  for (std::size_t start = 0; start < data.size(); start += kChunk) {
    const std::uint8_t* p = data.data() + start;
    const std::size_t n = std::min(kChunk, data.size() - start);
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
      if (SameWords(p + i, kZeros.data(), 32)) {
        sumB += 32 * sumA;
        continue;
      }
      for (std::size_t k = i; k < i + 32; ++k) sumA += p[k], sumB += sumA;
    }
    for (; i < n; ++i) sumA += p[i], sumB += sumA;
    sumA %= kAdlerModulus;
    sumB %= kAdlerModulus;
  }
  a = static_cast<std::uint32_t>(sumA);
  b = static_cast<std::uint32_t>(sumB);
}

}  // namespace

RunCompressor::RunCompressor(std::size_t stride)
    : m_stride(std::clamp<std::size_t>(stride, 1, kMaxStride)) {
  m_tokens.reserve(kBlockTokens);
  // The zlib header: deflate with a 32 KiB window, no dictionary, and its check bits.
  m_stream = {0x78, 0x01};
  m_used = m_stream.size();
}

void RunCompressor::Push(Token token) {
  if (m_tokens.size() >= kBlockTokens) PutBlock(false);
  if (token.length == 0) {
    ++m_literalFrequencies[token.value];
  } else {
    ++m_literalFrequencies[kFirstLengthSymbol + kLengthCode[token.length]];
    ++m_distanceFrequencies[static_cast<std::size_t>(DistanceCode(token.value))];
  }
  m_tokens.push_back(token);
}

void RunCompressor::PushRun(std::size_t length, std::size_t distance) {
  std::size_t longest = length / kMaxMatch, rest = length % kMaxMatch;
  if (rest > 0 && rest < kMinMatch && longest > 0) {
    --longest;
    rest += kMaxMatch;
  }
  // The longest matches as one token that says how many there are, and one of them.
  const Token longestMatch{kMaxMatch, static_cast<std::uint16_t>(distance)};
  while (longest > 0) {
    const std::size_t times = std::min<std::size_t>(longest, UINT16_MAX);
    if (m_tokens.size() + 2 > kBlockTokens) PutBlock(false);
    m_literalFrequencies[kFirstLengthSymbol + kLengthCode[kMaxMatch]] += times;
    m_distanceFrequencies[static_cast<std::size_t>(DistanceCode(distance))] += times;
    m_tokens.push_back({kRepeatNext, static_cast<std::uint16_t>(times)});
    m_tokens.push_back(longestMatch);
    longest -= times;
  }
  // What is left is a match of its own, or two when it is longer than the longest match.
  if (rest > kMaxMatch) {
    Push({static_cast<std::uint16_t>(rest - kMinMatch), static_cast<std::uint16_t>(distance)});
    rest = kMinMatch;
  }
  if (rest > 0) Push({static_cast<std::uint16_t>(rest), static_cast<std::uint16_t>(distance)});
}

std::size_t RunCompressor::RepeatLengthAt(const std::uint8_t* data, std::size_t at,
                                          std::size_t distance, std::size_t limit) const {
  if (at >= distance) return RepeatLength(data + at, distance, limit);
  if (at + m_historySize < distance) return 0;
  // The first bytes repeat bytes of the history.
  std::size_t n = 0;
  for (; at + n < distance; ++n)
    if (n == limit || data[at + n] != m_history[m_historySize + at + n - distance]) return n;
  return n + RepeatLength(data + at + n, distance, limit - n);
}

void RunCompressor::Remember(const std::uint8_t* bytes, std::size_t count) {
  if (count == 0) return;  // nothing new; the history would be copied onto itself
  const std::size_t kept = std::min(m_stride - std::min(count, m_stride), m_historySize);
  std::copy(m_history.begin() + static_cast<std::ptrdiff_t>(m_historySize - kept),
            m_history.begin() + static_cast<std::ptrdiff_t>(m_historySize), m_history.begin());
  const std::size_t added = std::min(count, m_stride);
  std::copy(bytes + count - added, bytes + count,
            m_history.begin() + static_cast<std::ptrdiff_t>(kept));
  m_historySize = kept + added;
}

void RunCompressor::Add(std::span<const std::uint8_t> data) {
  AddToAdler32(data, m_adlerA, m_adlerB);
  const std::uint8_t* bytes = data.data();
  const std::size_t end = data.size();
  for (std::size_t at = 0; at < end;) {
    const std::size_t limit = std::min(kMaxMatch, end - at);
    std::size_t length = RepeatLengthAt(bytes, at, 1, limit), distance = 1;
    if (m_stride > 1 && length < limit) {
      const std::size_t pixels = RepeatLengthAt(bytes, at, m_stride, limit);
      if (pixels > length) {
        length = pixels;
        distance = m_stride;
      }
    }
    // A long run of one byte, most of a chart, is taken whole.
    if (length == kMaxMatch && distance == 1) length = RepeatLengthAt(bytes, at, 1, end - at);
    if (length >= kMinMatch) {
      PushRun(length, distance);
      at += length;
    } else {
      Push({0, bytes[at++]});
    }
  }
  Remember(bytes, end);
}

void RunCompressor::AddZeros(std::size_t count) {
  if (count == 0) return;
  m_adlerB =
      static_cast<std::uint32_t>((m_adlerB + count % kAdlerModulus * m_adlerA) % kAdlerModulus);
  // The zeros continue a run of zeros, or start one after a first zero.
  std::size_t run = count;
  if (m_historySize == 0 || m_history[m_historySize - 1] != 0) {
    Push({0, 0});
    --run;
  }
  if (run >= kMinMatch)
    PushRun(run, 1);
  else
    for (; run > 0; --run) Push({0, 0});
  static constexpr std::array<std::uint8_t, kMaxStride> kZeros{};
  Remember(kZeros.data(), std::min(count, kMaxStride));
}

void RunCompressor::PutBlock(bool last) {
  m_literalFrequencies[kEndOfBlock] = 1;
  const Code literals({m_literalFrequencies.begin(), m_literalFrequencies.end()}, kMaxCodeBits);
  const Code distances({m_distanceFrequencies.begin(), m_distanceFrequencies.end()}, kMaxCodeBits);
  // Room for the header (at most 4,500 bits) and the tokens, whose bits the codes tell.
  std::size_t bits = 0;
  for (std::size_t symbol = 0; symbol < kLiteralLengthSymbols; ++symbol) {
    const int extra =
        symbol < kFirstLengthSymbol ? 0 : kLengthExtraBits[symbol - kFirstLengthSymbol];
    bits +=
        m_literalFrequencies[symbol] * (literals.lengths[symbol] + static_cast<std::size_t>(extra));
  }
  for (std::size_t code = 0; code < kDistanceSymbols; ++code)
    bits += m_distanceFrequencies[code] *
            (distances.lengths[code] +
             static_cast<std::size_t>(DistanceExtraBits(static_cast<int>(code))));
  const std::size_t room = 1024 + bits / 8;
  if (m_stream.size() - m_used < room) m_stream.resize(m_used + room);
  m_literalFrequencies.fill(0);
  m_distanceFrequencies.fill(0);
  BitWriter out{m_stream.data() + m_used, m_stream.data() + m_stream.size(), m_pending,
                m_pendingBits};
  out.Put(last ? 1 : 0, 1);
  out.Put(2, 2);  // dynamic codes
  PutCodes(out, literals, distances);
  // Each length's code and extra bits, put at once.
  std::array<std::uint32_t, kMaxMatch + 1> lengthBits{};
  std::array<std::uint8_t, kMaxMatch + 1> lengthCount{};
  for (std::size_t length = kMinMatch; length <= kMaxMatch; ++length) {
    const std::size_t code = kLengthCode[length];
    const std::size_t symbol = kFirstLengthSymbol + code;
    lengthBits[length] =
        literals.bits[symbol] | static_cast<std::uint32_t>(length - kLengthBase[code])
                                    << literals.lengths[symbol];
    lengthCount[length] =
        static_cast<std::uint8_t>(literals.lengths[symbol] + kLengthExtraBits[code]);
  }
  for (std::size_t i = 0; i < m_tokens.size(); ++i) {
    if (m_tokens[i].length == 0) {
      literals.Put(out, m_tokens[i].value);
      continue;
    }
    std::size_t times = 1;
    if (m_tokens[i].length == kRepeatNext) times = m_tokens[i++].value;
    const Token match = m_tokens[i];
    const auto code = static_cast<std::size_t>(DistanceCode(match.value));
    const std::uint32_t distanceBits =
        distances.bits[code] | static_cast<std::uint32_t>(match.value - kDistanceBase[code])
                                   << distances.lengths[code];
    const int distanceCount = distances.lengths[code] + DistanceExtraBits(static_cast<int>(code));
    for (; times > 0; --times) {
      out.Put(lengthBits[match.length], lengthCount[match.length]);
      out.Put(distanceBits, distanceCount);
    }
  }
  literals.Put(out, kEndOfBlock);
  m_tokens.clear();
  m_used = static_cast<std::size_t>(out.out - m_stream.data());
  m_pending = out.pending;
  m_pendingBits = out.filled;
}

std::vector<std::uint8_t> RunCompressor::Finish() {
  PutBlock(true);
  // The last bits, padded to a byte, then the checksum, high byte first.
  for (; m_pendingBits > 0; m_pendingBits -= 8, m_pending >>= 8)
    m_stream[m_used++] = static_cast<std::uint8_t>(m_pending);
  m_stream.resize(m_used);
  const std::uint32_t check = m_adlerB << 16 | m_adlerA;
  for (int shift = 24; shift >= 0; shift -= 8)
    m_stream.push_back(static_cast<std::uint8_t>(check >> shift));
  return std::move(m_stream);
}

std::vector<std::uint8_t> CompressRuns(std::span<const std::uint8_t> data, std::size_t stride) {
  RunCompressor compressor(stride);
  compressor.Add(data);
  return compressor.Finish();
}

}  // namespace tv
