#pragma once
// Input formats of the fuzz targets, shared by the targets and the seed writer so that both
// agree on them. Each input is cut into parts at a marker; a part becomes one file.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

namespace fs = std::filesystem;

inline constexpr std::string_view kMarker = "#SPLIT#";

inline std::vector<std::string_view> Split(std::string_view input, std::size_t maxParts) {
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < maxParts) {
    const auto at = input.find(kMarker);
    if (at == std::string_view::npos) break;
    parts.push_back(input.substr(0, at));
    input.remove_prefix(at + kMarker.size());
  }
  parts.push_back(input);
  return parts;
}

inline std::string Join(const std::vector<std::string>& parts) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += kMarker;
    out += parts[i];
  }
  return out;
}

inline void WriteFile(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// FindSecurity over a tree: key, then the MASTER files of the top directory, of SUB1, of
// SUB1/DEEP and of SUB2 (a part that is not there leaves its directory without MASTER).
inline constexpr std::size_t kTreeParts = 5;
inline const char* const kTreeDirs[] = {"", "SUB1", "SUB1/DEEP", "SUB2"};

// ReadSecurity over one security: a 9-byte head, then the layout file and the data file.
//   head[0] record length, head[1] field count (bytes 3 and 4 of the MASTER record)
//   head[2..5] start (little-endian), head[6..7] count (little-endian)
//   head[8] bit 0: allocate; bit 1: preallocated storage of 3000 bars instead of 800;
//           bit 2: the extended reading; bit 3: no layout file at all
inline constexpr std::size_t kHeadSize = 9;
struct ReadHead {
  std::int8_t recordLength = 28;
  std::int8_t fieldCount = 7;
  std::int32_t start = -1;
  std::int16_t count = 800;
  std::uint8_t flags = 0;
};

inline std::string EncodeHead(const ReadHead& h) {
  std::string out(kHeadSize, '\0');
  out[0] = static_cast<char>(h.recordLength);
  out[1] = static_cast<char>(h.fieldCount);
  const auto start = static_cast<std::uint32_t>(h.start);
  for (int i = 0; i < 4; ++i) out[2 + i] = static_cast<char>((start >> (8 * i)) & 0xFF);
  const auto count = static_cast<std::uint16_t>(h.count);
  out[6] = static_cast<char>(count & 0xFF);
  out[7] = static_cast<char>(count >> 8);
  out[8] = static_cast<char>(h.flags);
  return out;
}

inline ReadHead DecodeHead(std::string_view bytes) {
  unsigned char b[kHeadSize] = {};
  std::memcpy(b, bytes.data(), std::min(bytes.size(), kHeadSize));
  ReadHead h;
  h.recordLength = static_cast<std::int8_t>(b[0]);
  h.fieldCount = static_cast<std::int8_t>(b[1]);
  h.start = static_cast<std::int32_t>(static_cast<std::uint32_t>(b[2]) | b[3] << 8 | b[4] << 16 |
                                      static_cast<std::uint32_t>(b[5]) << 24);
  h.count = static_cast<std::int16_t>(b[6] | b[7] << 8);
  h.flags = b[8];
  return h;
}

// The extended index: key, then MASTER, EMASTER, XMASTER, and one data file written as both
// F1.DAT and F256.MWD (a part that is not there leaves its file out).
inline constexpr std::size_t kIndexParts = 5;

}  // namespace fuzz
