// The date and time fields of quotedump's CSV output, written straight into a buffer.
#include "commands.h"
#include "values.h"

namespace quotedump {

namespace {

char* PutDigits(char* out, unsigned value, int width) {
  for (int i = width - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return out + width;
}

}  // namespace

// YYYY-MM-DD; nothing for day number 0, "no date".
char* PutDate(char* out, std::int16_t dayNumber) {
  if (dayNumber == 0) return out;
  std::int16_t year = 0, month = 0, day = 0;
  SplitDayNumber(dayNumber, year, month, day);
  out = PutDigits(out, static_cast<unsigned>(year + 1900), 4);
  *out++ = '-';
  out = PutDigits(out, static_cast<unsigned>(month), 2);
  *out++ = '-';
  return PutDigits(out, static_cast<unsigned>(day), 2);
}

// HH:MM:SS from two-second units (hours run past 23 for units above 43199).
char* PutTime(char* out, std::uint16_t units) {
  out = PutDigits(out, units / 1800u, 2);
  *out++ = ':';
  out = PutDigits(out, units % 1800u / 30u, 2);
  *out++ = ':';
  return PutDigits(out, units % 30u * 2u, 2);
}

}  // namespace quotedump
