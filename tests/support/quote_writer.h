#pragma once
// Test support: writes small quote databases (MASTER, F<n>.DOP, F<n>.DAT) for tests and
// the sample-database generator. The program itself never writes a quote file.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fixture {

namespace fs = std::filesystem;

using Record53 = std::array<std::uint8_t, 53>;

// IEEE single to the 4 bytes of an MBF real (low byte first). Zero, denormals and values
// too large for MBF's exponent give zero / the largest magnitude respectively.
std::array<std::uint8_t, 4> IeeeToMbf(float value);

struct Security {
  std::uint8_t fileNumber = 1;
  std::int8_t recordLength = 28;
  std::int8_t fieldCount = 7;
  std::string name;    // bytes 7..22, blank padded, cut to 16
  std::string symbol;  // bytes 36..51, blank padded, cut to 16
  float real1 = 0.0f;  // bytes 25..28 as MBF
  float real2 = 0.0f;  // bytes 29..32 as MBF
  char period = 0;     // byte 33 ('D', 'I' ...)
};

Record53 SecurityRecord(const Security& s);
// A directory entry: name in bytes 7..14 (cut to 8), "<DIR>" in bytes 18..22.
Record53 DirectoryRecord(std::string_view name);
// A record with arbitrary text put in the name field bytes 7..22 verbatim (blank padded).
Record53 RawNameRecord(std::string_view nameField16);

// MASTER file: header (count = records.size() unless overridden) then the records.
void WriteMaster(const fs::path& file, const std::vector<Record53>& records,
                 std::optional<std::int16_t> headerCount = std::nullopt);

// EMASTER: a 192-byte header (count at bytes 0..1) and one 192-byte record per entry: file
// number at byte 2, field count at byte 6, field set at byte 7, symbol at 11, 16-character
// name at 32 and the NUL-ended long name at 139.
struct EmasterEntry {
  std::uint8_t fileNumber = 1;
  std::string symbol;
  std::string longName;
  std::uint8_t fieldBits = 0;
};
void WriteEmaster(const fs::path& file, const std::vector<EmasterEntry>& entries,
                  std::optional<std::int16_t> headerCount = std::nullopt);

// XMASTER: a 150-byte header (count at bytes 10..11) and one 150-byte record per entry:
// symbol at 1, name at 16, period at 62, interval at 63..64, file number (of F<n>.MWD) at
// 65..66, field bits at 70, first and last dates (YYYYMMDD) at 108..111 and 116..119.
struct XmasterEntry {
  std::uint16_t fileNumber = 256;
  std::string symbol;
  std::string name;
  std::uint8_t fieldBits = 0x7F;  // one bit per field: 7 fields
  char period = 'D';
  std::uint16_t interval = 0;
  std::uint32_t firstDate = 0;
  std::uint32_t lastDate = 0;
};
void WriteXmaster(const fs::path& file, const std::vector<XmasterEntry>& entries,
                  std::optional<std::uint16_t> headerCount = std::nullopt);

// Layout file from field names: one line "\"NAME\",a,b" per name.
void WriteDop(const fs::path& file, const std::vector<std::string>& fieldNames);
// Layout file from raw text.
void WriteText(const fs::path& file, std::string_view text);

// Data file: header record (R = records + 1 unless overridden, stored at bytes 2..3), then
// one record per row, each value written as an MBF real at 4-byte steps, the record padded
// with zero bytes (or cut) to recordLength.
void WriteDat(const fs::path& file, int recordLength, const std::vector<std::vector<float>>& rows,
              std::optional<std::int16_t> headerR = std::nullopt);

// YYMMDD real of a date as the files store it (years from 1900: 2007 -> 1070321).
float DateReal(int year, int month, int day);

// A fresh directory under the system temp directory, removed with everything in it at
// destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const fs::path& path() const { return path_; }
  // The path as text with a trailing '/'.
  std::string dir() const { return path_.string() + "/"; }

 private:
  fs::path path_;
};

// A simple security with `bars` daily bars in a 7-field layout (DATE OPEN HIGH LOW CLOSE VOL
// OI), dates counting on from startDate in calendar days, prices from a deterministic walk.
struct SimpleSeriesOptions {
  int bars = 100;
  int year = 2000, month = 1, day = 3;
  float startPrice = 10.0f;
};
void WriteSimpleSecurity(const fs::path& dir, std::uint8_t fileNumber,
                         const SimpleSeriesOptions& options = {});

}  // namespace fixture
