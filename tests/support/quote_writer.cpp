#include "quote_writer.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstring>
#include <fstream>
#include <random>
#include <stdexcept>

namespace fixture {

std::array<std::uint8_t, 4> IeeeToMbf(float value) {
  const auto bits = std::bit_cast<std::uint32_t>(value);
  const std::uint32_t sign = bits >> 31;
  std::uint32_t exponent = (bits >> 23) & 0xFF;
  std::uint32_t mantissa = bits & 0x7FFFFF;
  if (exponent == 0) return {0, 0, 0, 0};  // zero and denormals
  exponent += 2;
  if (exponent > 0xFF) {  // beyond MBF's range: largest magnitude
    exponent = 0xFF;
    mantissa = 0x7FFFFF;
  }
  return {static_cast<std::uint8_t>(mantissa & 0xFF),
          static_cast<std::uint8_t>((mantissa >> 8) & 0xFF),
          static_cast<std::uint8_t>((sign << 7) | ((mantissa >> 16) & 0x7F)),
          static_cast<std::uint8_t>(exponent)};
}

namespace {

void PutText(Record53& r, std::size_t at, std::size_t width, std::string_view text) {
  for (std::size_t i = 0; i < width; ++i)
    r[at + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : ' ';
}

void PutMbf(std::uint8_t* at, float v) {
  const auto m = IeeeToMbf(v);
  std::memcpy(at, m.data(), 4);
}

void WriteBytes(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + file.string());
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

Record53 BlankRecord() {
  Record53 r{};
  PutText(r, 7, 16, "");
  PutText(r, 36, 16, "");
  return r;
}

}  // namespace

Record53 SecurityRecord(const Security& s) {
  Record53 r = BlankRecord();
  r[0] = s.fileNumber;
  r[3] = static_cast<std::uint8_t>(s.recordLength);
  r[4] = static_cast<std::uint8_t>(s.fieldCount);
  PutText(r, 7, 16, s.name);
  PutMbf(&r[25], s.real1);
  PutMbf(&r[29], s.real2);
  r[33] = static_cast<std::uint8_t>(s.period);
  PutText(r, 36, 16, s.symbol);
  return r;
}

Record53 DirectoryRecord(std::string_view name) {
  Record53 r = BlankRecord();
  PutText(r, 7, 8, name.substr(0, 8));
  PutText(r, 18, 5, "<DIR>");
  return r;
}

Record53 RawNameRecord(std::string_view nameField16) {
  Record53 r = BlankRecord();
  PutText(r, 7, 16, nameField16);
  return r;
}

void WriteMaster(const fs::path& file, const std::vector<Record53>& records,
                 std::optional<std::int16_t> headerCount) {
  std::vector<std::uint8_t> bytes(53, 0);
  const auto count = headerCount.value_or(static_cast<std::int16_t>(records.size()));
  bytes[0] = static_cast<std::uint8_t>(count & 0xFF);
  bytes[1] = static_cast<std::uint8_t>((count >> 8) & 0xFF);
  for (const auto& r : records) bytes.insert(bytes.end(), r.begin(), r.end());
  WriteBytes(file, bytes);
}

void WriteEmaster(const fs::path& file, const std::vector<EmasterEntry>& entries,
                  std::optional<std::int16_t> headerCount) {
  constexpr std::size_t kSize = 192;
  std::vector<std::uint8_t> bytes(kSize, 0);
  const auto count = headerCount.value_or(static_cast<std::int16_t>(entries.size()));
  bytes[0] = static_cast<std::uint8_t>(count & 0xFF);
  bytes[1] = static_cast<std::uint8_t>((count >> 8) & 0xFF);
  for (const auto& e : entries) {
    std::vector<std::uint8_t> r(kSize, 0);
    r[0] = '6';
    r[1] = '6';
    r[2] = e.fileNumber;
    r[6] = 7;
    r[7] = e.fieldBits;
    std::memcpy(&r[11], e.symbol.data(), std::min<std::size_t>(e.symbol.size(), 14));
    std::memcpy(&r[32], e.longName.data(), std::min<std::size_t>(e.longName.size(), 16));
    std::memcpy(&r[139], e.longName.data(), std::min<std::size_t>(e.longName.size(), kSize - 139));
    bytes.insert(bytes.end(), r.begin(), r.end());
  }
  WriteBytes(file, bytes);
}

void WriteXmaster(const fs::path& file, const std::vector<XmasterEntry>& entries,
                  std::optional<std::uint16_t> headerCount) {
  constexpr std::size_t kSize = 150;
  std::vector<std::uint8_t> bytes(kSize, 0);
  const auto count = headerCount.value_or(static_cast<std::uint16_t>(entries.size()));
  bytes[0] = 0x5D;
  bytes[1] = 0xFE;
  bytes[10] = static_cast<std::uint8_t>(count & 0xFF);
  bytes[11] = static_cast<std::uint8_t>(count >> 8);
  for (const auto& e : entries) {
    std::vector<std::uint8_t> r(kSize, 0);
    r[0] = 1;
    std::memcpy(&r[1], e.symbol.data(), std::min<std::size_t>(e.symbol.size(), 15));
    std::memcpy(&r[16], e.name.data(), std::min<std::size_t>(e.name.size(), 46));
    r[62] = static_cast<std::uint8_t>(e.period);
    r[63] = static_cast<std::uint8_t>(e.interval & 0xFF);
    r[64] = static_cast<std::uint8_t>(e.interval >> 8);
    r[65] = static_cast<std::uint8_t>(e.fileNumber & 0xFF);
    r[66] = static_cast<std::uint8_t>(e.fileNumber >> 8);
    r[70] = e.fieldBits;
    for (std::size_t i = 0; i < 4; ++i) {
      r[108 + i] = static_cast<std::uint8_t>(e.firstDate >> (8 * i));
      r[116 + i] = static_cast<std::uint8_t>(e.lastDate >> (8 * i));
    }
    bytes.insert(bytes.end(), r.begin(), r.end());
  }
  WriteBytes(file, bytes);
}

void WriteDop(const fs::path& file, const std::vector<std::string>& fieldNames) {
  std::string text;
  for (const auto& name : fieldNames) text += "\"" + name + "\",0,0\r\n";
  WriteText(file, text);
}

void WriteText(const fs::path& file, std::string_view text) {
  WriteBytes(file, std::vector<std::uint8_t>(text.begin(), text.end()));
}

void WriteDat(const fs::path& file, int recordLength, const std::vector<std::vector<float>>& rows,
              std::optional<std::int16_t> headerR) {
  const auto length = static_cast<std::size_t>(std::max(recordLength, 4));
  std::vector<std::uint8_t> bytes(length, 0);
  const auto r = headerR.value_or(static_cast<std::int16_t>(rows.size() + 1));
  bytes[2] = static_cast<std::uint8_t>(r & 0xFF);
  bytes[3] = static_cast<std::uint8_t>((r >> 8) & 0xFF);
  for (const auto& row : rows) {
    std::vector<std::uint8_t> record(length, 0);
    for (std::size_t f = 0; f < row.size() && 4 * f + 4 <= length; ++f)
      PutMbf(&record[4 * f], row[f]);
    bytes.insert(bytes.end(), record.begin(), record.end());
  }
  WriteBytes(file, bytes);
}

float DateReal(int year, int month, int day) {
  return static_cast<float>((year - 1900) * 10000 + month * 100 + day);
}

TempDir::TempDir() {
  static std::mt19937_64 rng(
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = fs::temp_directory_path() / ("tickvane-test-" + std::to_string(rng()));
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void WriteSimpleSecurity(const fs::path& dir, std::uint8_t fileNumber,
                         const SimpleSeriesOptions& options) {
  const std::string n = std::to_string(fileNumber);
  WriteDop(dir / ("F" + n + ".DOP"), {"DATE", "OPEN", "HIGH", "LOW", "CLOSE", "VOL", "OI"});
  std::vector<std::vector<float>> rows;
  using namespace std::chrono;
  sys_days day = year_month_day{year{options.year}, month{static_cast<unsigned>(options.month)},
                                std::chrono::day{static_cast<unsigned>(options.day)}};
  float price = options.startPrice;
  std::uint32_t state = 12345u + fileNumber;
  for (int i = 0; i < options.bars; ++i) {
    state = state * 1664525u + 1013904223u;
    const float step = (static_cast<float>(state >> 8) / 16777216.0f - 0.5f) * 0.4f;
    price = std::max(0.05f, price + step);
    const year_month_day ymd{day};
    const float date =
        DateReal(static_cast<int>(ymd.year()), static_cast<int>(unsigned(ymd.month())),
                 static_cast<int>(unsigned(ymd.day())));
    rows.push_back({date, price, price + 0.25f, price - 0.25f, price + step / 2,
                    1000.0f + static_cast<float>(i % 17) * 100.0f, 0.0f});
    day += days{1};
  }
  WriteDat(dir / ("F" + n + ".DAT"), 28, rows);
}

}  // namespace fixture
