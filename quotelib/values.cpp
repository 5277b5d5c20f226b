#include "values.h"

#include <array>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace {

// Days before each month of a common year.
constexpr std::array<int, 12> kDaysBefore = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

constexpr int kFirstYear = 61;         // day number 1 is 1 January 1961
constexpr int kLastDayNumber = 32767;  // 17 September 2050

// Splits a YYMMDD (or HHMMSS) real into its three two-digit groups, each quotient truncated
// toward zero and the fraction dropped from the last group. Values whose groups do not fit
// the 16-bit fields (NaN, infinities, absurd magnitudes) are refused rather than wrapped
// into something that looks like a valid date.
//
// Every bar of a read comes through here, so it is done in integers: truncating the real
// first and then dividing in integers gives the same groups as dividing the real itself (an
// integer divisor cannot put a group boundary between a value and its integer part). A
// real of 2^31 or more in magnitude has a first group far outside 16 bits, so it is refused
// before the conversion to 32 bits could overflow.
bool SplitReal(float value, std::int16_t& high, std::int16_t& middle, std::int16_t& low) {
  if (!(value > -2147483648.0f && value < 2147483648.0f)) return false;  // NaN included
  const auto whole = static_cast<std::int32_t>(value);                   // truncates toward zero
  const std::int32_t h = whole / 10000;
  if (h < std::numeric_limits<std::int16_t>::min() || h > std::numeric_limits<std::int16_t>::max())
    return false;
  const std::int32_t rest = whole % 10000;  // keeps the value's sign, as truncation does
  high = static_cast<std::int16_t>(h);
  middle = static_cast<std::int16_t>(rest / 100);
  low = static_cast<std::int16_t>(rest % 100);
  return true;
}

}  // namespace

ResultCode MbfToIeee(const std::uint8_t* src, std::uint8_t* dst) {
  const std::uint8_t b0 = src[0], b1 = src[1], b2 = src[2], b3 = src[3];
  if (b3 == 0) {
    dst[0] = dst[1] = dst[2] = dst[3] = 0;
    return kSuccess;
  }
  // MBF's exponent is biased by 129 and sits above the sign; IEEE's by 127 and below it.
  // The subtraction wraps on purpose: exponent bytes 1 and 2 keep their bit patterns.
  const auto e = static_cast<std::uint8_t>(b3 - 2);
  const auto sign = static_cast<std::uint8_t>(b2 & 0x80);
  dst[0] = b0;
  dst[1] = b1;
  dst[2] = static_cast<std::uint8_t>((b2 & 0x7F) | ((e & 1) << 7));
  dst[3] = static_cast<std::uint8_t>(sign | (e >> 1));
  return kSuccess;
}

std::int16_t DayNumber(std::int16_t year, std::int16_t month, std::int16_t day) {
  int y = year;
  if (y > 1900) y -= 1900;
  // A month outside 1..12 has no row in the table; a year before 1961 would collide with
  // later day numbers (31 December 1960 would come out as 1). Both are "no date".
  if (month < 1 || month > 12 || y < kFirstYear) return 0;
  // Worked in 32 bits: every day number that fits 16 bits comes out as the 16-bit
  // arithmetic gives it, and nothing past 2050 can wrap back into range.
  int n = kDaysBefore[static_cast<std::size_t>(month - 1)] + (y - kFirstYear) * 1461 / 4 + day;
  if (month > 2 && y % 4 == 0) ++n;
  if (n < 1 || n > kLastDayNumber) return 0;
  return static_cast<std::int16_t>(n);
}

std::int16_t DateFromReal(float v) {
  std::int16_t y = 0, m = 0, d = 0;
  if (!SplitReal(v, y, m, d)) return 0;
  return DayNumber(y, m, d);
}

std::uint16_t TimeUnits(std::int16_t hours, std::int16_t minutes, std::int16_t seconds) {
  // Times past 18:12:14 use the sixteenth bit, so the result is unsigned and wraps modulo
  // 2^16 like the stored field does.
  const int units = hours * 1800 + minutes * 30 + seconds / 2;
  return static_cast<std::uint16_t>(units);
}

std::uint16_t TimeFromReal(float v) {
  std::int16_t h = 0, m = 0, s = 0;
  if (!SplitReal(v, h, m, s)) return 0;
  return TimeUnits(h, m, s);
}

void SplitDayNumber(std::int16_t dayNumber, std::int16_t& year, std::int16_t& month,
                    std::int16_t& day) {
  // Taken as unsigned: numbers past 32767 still split into years up to 2140.
  const int n = static_cast<std::uint16_t>(dayNumber);
  if (n == 0) {  // "no date": the search for a month below would find none
    year = month = day = 0;
    return;
  }
  const int q = (4 * n - 1) / 1461;
  const int r = n - (1461 * q) / 4;  // day of the year, from 1
  const int y = q + kFirstYear;
  const int leap = (y % 4 == 0) ? 1 : 0;
  int m = 12;
  // r >= 1 for every n >= 1, and January's entry is 0, so the loop always stops in range.
  while (m > 1 && kDaysBefore[static_cast<std::size_t>(m - 1)] + (m > 2 ? leap : 0) >= r) --m;
  year = static_cast<std::int16_t>(y);
  month = static_cast<std::int16_t>(m);
  day = static_cast<std::int16_t>(r - kDaysBefore[static_cast<std::size_t>(m - 1)] -
                                  (m > 2 ? leap : 0));
}

namespace {

char* PutDigits(char* out, unsigned value, int width) {
  for (int i = width - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return out + width;
}

}  // namespace

char* PutIsoDate(char* out, std::int16_t dayNumber) {
  if (dayNumber == 0) return out;
  std::int16_t year = 0, month = 0, day = 0;
  SplitDayNumber(dayNumber, year, month, day);
  out = PutDigits(out, static_cast<unsigned>(year + 1900), 4);
  *out++ = '-';
  out = PutDigits(out, static_cast<unsigned>(month), 2);
  *out++ = '-';
  return PutDigits(out, static_cast<unsigned>(day), 2);
}

char* PutIsoTime(char* out, std::uint16_t units) {
  out = PutDigits(out, units / 1800u, 2);
  *out++ = ':';
  out = PutDigits(out, units % 1800u / 30u, 2);
  *out++ = ':';
  return PutDigits(out, units % 30u * 2u, 2);
}

const char* FormatDate(std::int16_t dayNumber, std::int16_t layout, char separator) {
  // One per thread: charts are drawn on several at once.
  thread_local std::array<char, 32> buffer{};
  int yy = 0, mm = 0, dd = 0, cc = 0;
  if (dayNumber != 0) {
    std::int16_t y = 0, m = 0, d = 0;
    SplitDayNumber(dayNumber, y, m, d);
    cc = y / 100 + 19;
    yy = y % 100;
    mm = m;
    dd = d;
  }
  const int sep = static_cast<unsigned char>(separator);
  char* out = buffer.data();
  const std::size_t size = buffer.size();
  switch (layout) {
    case 1:
      std::snprintf(out, size, "%.2i%c%.2i%c%.2i", yy, sep, mm, sep, dd);
      break;
    case 2:
      std::snprintf(out, size, "%.2i%.2i%c%.2i%c%.2i", cc, yy, sep, mm, sep, dd);
      break;
    case 3:
      std::snprintf(out, size, "%.2i%c%.2i%c%.2i", mm, sep, dd, sep, yy);
      break;
    case 4:
      std::snprintf(out, size, "%.2i%c%.2i%c%.2i%.2i", mm, sep, dd, sep, cc, yy);
      break;
    case 5:
      std::snprintf(out, size, "%.2i%c%.2i%c%.2i", dd, sep, mm, sep, yy);
      break;
    case 6:
      std::snprintf(out, size, "%.2i%c%.2i%c%.2i%.2i", dd, sep, mm, sep, cc, yy);
      break;
    case 7:
      std::snprintf(out, size, "%.2i%.2i%.2i", yy, mm, dd);
      break;
    case 8:
      std::snprintf(out, size, "%.2i%.2i%.2i%.2i", cc, yy, mm, dd);
      break;
    case 9:
      std::snprintf(out, size, "%.2i%.2i%.2i", mm, dd, yy);
      break;
    case 10:
      std::snprintf(out, size, "%.2i%.2i%.2i%.2i", mm, dd, cc, yy);
      break;
    case 11:
      std::snprintf(out, size, "%.2i%.2i%.2i", dd, mm, yy);
      break;
    case 12:
      std::snprintf(out, size, "%.2i%.2i%.2i%.2i", dd, mm, cc, yy);
      break;
    default:
      buffer[0] = '\0';
      break;
  }
  return buffer.data();
}

std::optional<int> DayNumberBound(std::string_view text) {
  int y = 0, m = 0, d = 0;
  const auto digits = [&](std::size_t at, std::size_t n, int& out) {
    const char* begin = text.data() + at;
    for (std::size_t i = 0; i < n; ++i)
      if (begin[i] < '0' || begin[i] > '9') return false;
    return std::from_chars(begin, begin + n, out).ec == std::errc{};
  };
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !digits(0, 4, y) ||
      !digits(5, 2, m) || !digits(8, 2, d))
    return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year{y},
                                         std::chrono::month{static_cast<unsigned>(m)},
                                         std::chrono::day{static_cast<unsigned>(d)}};
  if (!date.ok()) return std::nullopt;
  if (y < 1961) return 0;
  const int day = DayNumber(static_cast<std::int16_t>(y), static_cast<std::int16_t>(m),
                            static_cast<std::int16_t>(d));
  return day != 0 ? day : INT16_MAX;  // 0 here: past 17 September 2050
}
