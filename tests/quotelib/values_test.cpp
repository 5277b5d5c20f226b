// MBF reals, day numbers, times, date texts and result texts.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "quote_writer.h"
#include "result_code.h"
#include "values.h"

namespace {

using Bytes = std::array<std::uint8_t, 4>;

Bytes Convert(Bytes mbf) {
  Bytes out{0xAA, 0xAA, 0xAA, 0xAA};
  EXPECT_EQ(MbfToIeee(mbf.data(), out.data()), 0);
  return out;
}

float AsFloat(const Bytes& b) {
  std::uint32_t bits = 0;
  for (int i = 3; i >= 0; --i) bits = (bits << 8) | b[static_cast<std::size_t>(i)];
  return std::bit_cast<float>(bits);
}

TEST(MbfToIeee, ConvertsOneAndMinusOne) {
  EXPECT_EQ(Convert({0x00, 0x00, 0x00, 0x81}), (Bytes{0x00, 0x00, 0x80, 0x3F}));
  EXPECT_EQ(Convert({0x00, 0x00, 0x80, 0x81}), (Bytes{0x00, 0x00, 0x80, 0xBF}));
}

TEST(MbfToIeee, ZeroExponentGivesPositiveZeroWhateverTheMantissa) {
  EXPECT_EQ(Convert({0x00, 0x00, 0x00, 0x00}), (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(Convert({0x12, 0x34, 0x56, 0x00}), (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(Convert({0xFF, 0xFF, 0xFF, 0x00}), (Bytes{0, 0, 0, 0}));
}

TEST(MbfToIeee, ExponentsOneAndTwoWrapWithoutSpecialTreatment) {
  // 1 - 2 wraps to 255: IEEE exponent field 255; 2 - 2 = 0: IEEE exponent field 0.
  const Bytes one = Convert({0x00, 0x00, 0x00, 0x01});
  EXPECT_EQ(((one[3] & 0x7F) << 1) | (one[2] >> 7), 255);
  const Bytes two = Convert({0x00, 0x00, 0x00, 0x02});
  EXPECT_EQ(((two[3] & 0x7F) << 1) | (two[2] >> 7), 0);
}

TEST(MbfToIeee, RoundTripsTheFixtureEncoderInPlace) {
  for (float v : {1.0f, -1.0f, 0.5f, 3.14159f, -1234.5f, 1e-30f, 1e30f, 961115.0f, 1070321.0f}) {
    Bytes b = fixture::IeeeToMbf(v);
    EXPECT_EQ(MbfToIeee(b.data(), b.data()), 0);  // source and target the same bytes
    EXPECT_EQ(AsFloat(b), v) << v;
  }
}

TEST(DayNumber, KnownDays) {
  EXPECT_EQ(DayNumber(61, 1, 1), 1);
  EXPECT_EQ(DayNumber(62, 1, 1), 366);
  EXPECT_EQ(DayNumber(64, 1, 1), 1096);
  EXPECT_EQ(DayNumber(96, 11, 15), 13103);
  EXPECT_EQ(DayNumber(100, 1, 1), 14245);
  EXPECT_EQ(DayNumber(2000, 1, 1), 14245);  // full year accepted as well
  EXPECT_EQ(DayNumber(100, 2, 29), 14304);
  EXPECT_EQ(DayNumber(100, 3, 1), 14305);
  EXPECT_EQ(DayNumber(150, 9, 17), 32767);
  EXPECT_EQ(DayNumber(2050, 9, 17), 32767);
}

TEST(DayNumber, OutOfRangeGivesNoDate) {
  EXPECT_EQ(DayNumber(96, 0, 15), 0);
  EXPECT_EQ(DayNumber(96, 13, 15), 0);
  EXPECT_EQ(DayNumber(96, -1, 15), 0);
  EXPECT_EQ(DayNumber(96, std::numeric_limits<std::int16_t>::min(), 1), 0);
  EXPECT_EQ(DayNumber(60, 12, 31), 0);  // would otherwise collide with 1 January 1961
  EXPECT_EQ(DayNumber(1960, 12, 31), 0);
  EXPECT_EQ(DayNumber(5, 3, 21), 0);
  EXPECT_EQ(DayNumber(-100, 3, 21), 0);
  EXPECT_EQ(DayNumber(150, 9, 18), 0);  // the first day past the 16-bit range
  EXPECT_EQ(DayNumber(240, 1, 1), 0);   // would wrap back into range in 16-bit arithmetic
  EXPECT_EQ(DayNumber(32767, 12, 31), 0);
}

TEST(DayNumber, SplitInvertsEveryDayNumber) {
  for (int n = 1; n <= 32767; ++n) {
    std::int16_t y = 0, m = 0, d = 0;
    SplitDayNumber(static_cast<std::int16_t>(n), y, m, d);
    ASSERT_GE(m, 1);
    ASSERT_LE(m, 12);
    ASSERT_GE(d, 1);
    ASSERT_LE(d, 31);
    ASSERT_EQ(DayNumber(y, m, d), n) << y << "-" << m << "-" << d;
  }
}

TEST(DayNumber, SplitTakesNumbersAsUnsignedAndZeroAsNoDate) {
  std::int16_t y = 1, m = 1, d = 1;
  SplitDayNumber(0, y, m, d);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(m, 0);
  EXPECT_EQ(d, 0);
  for (int n = 32768; n <= 65535; ++n) {  // past 2050: still a real calendar date
    SplitDayNumber(static_cast<std::int16_t>(static_cast<std::uint16_t>(n)), y, m, d);
    ASSERT_GE(m, 1);
    ASSERT_LE(m, 12);
    ASSERT_GE(d, 1);
    ASSERT_LE(d, 31);
  }
  SplitDayNumber(-1, y, m, d);
  EXPECT_EQ(y, 240);
}

TEST(DateFromReal, SplitsYymmddAndOneYymmdd) {
  EXPECT_EQ(DateFromReal(961115.0f), 13103);
  EXPECT_EQ(DateFromReal(1000101.0f), 14245);
  EXPECT_EQ(DateFromReal(1000229.0f), 14304);
  EXPECT_EQ(DateFromReal(fixture::DateReal(2007, 3, 21)), DayNumber(107, 3, 21));
}

TEST(DateFromReal, NonsenseRealsGiveNoDate) {
  EXPECT_EQ(DateFromReal(0.0f), 0);
  EXPECT_EQ(DateFromReal(-961115.0f), 0);
  EXPECT_EQ(DateFromReal(961315.0f), 0);  // month 13
  EXPECT_EQ(DateFromReal(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(DateFromReal(std::numeric_limits<float>::infinity()), 0);
  EXPECT_EQ(DateFromReal(3.0e38f), 0);
  EXPECT_EQ(DateFromReal(655360961115.0f), 0);  // year group does not fit 16 bits
}

TEST(DateFromReal, EveryCalendarDayOfTheRange) {
  // Day numbers counted by the standard calendar, independently of the library.
  using namespace std::chrono;
  const sys_days dayZero = year{1960} / December / 31;
  const sys_days last = year{2050} / September / 17;
  for (sys_days day = dayZero + days{1}; day <= last; day += days{1}) {
    const year_month_day ymd(day);
    const int y = static_cast<int>(ymd.year()) - 1900;
    const int stored = y * 10000 + static_cast<int>(static_cast<unsigned>(ymd.month())) * 100 +
                       static_cast<int>(static_cast<unsigned>(ymd.day()));
    const auto expected = static_cast<std::int16_t>((day - dayZero).count());
    ASSERT_EQ(DateFromReal(static_cast<float>(stored)), expected) << stored;
    // Whatever the fraction, the day stays the same.
    ASSERT_EQ(DateFromReal(static_cast<float>(stored) + 0.5f), expected) << stored;
    ASSERT_EQ(DateFromReal(std::nextafter(static_cast<float>(stored) + 1.0f, 0.0f)), expected)
        << stored;
  }
}

// The groups as the stored format defines them: the real divided in double precision, each
// quotient truncated toward zero, and refused when a group does not fit 16 bits.
bool ReferenceGroups(float value, int& high, int& middle, int& low) {
  const double v = value;
  if (!std::isfinite(v)) return false;
  const double h = std::trunc(v / 10000.0);
  const double m = std::trunc((v - 10000.0 * h) / 100.0);
  const double l = std::trunc(v - 10000.0 * h - 100.0 * m);
  for (const double g : {h, m, l})
    if (g < -32768.0 || g > 32767.0) return false;
  high = static_cast<int>(h);
  middle = static_cast<int>(m);
  low = static_cast<int>(l);
  return true;
}

testing::AssertionResult SplitsLikeTheReference(float v) {
  int h = 0, m = 0, l = 0;
  const bool ok = ReferenceGroups(v, h, m, l);
  const auto g = [](int x) { return static_cast<std::int16_t>(x); };
  const std::int16_t date = ok ? DayNumber(g(h), g(m), g(l)) : 0;
  const std::uint16_t time = ok ? TimeUnits(g(h), g(m), g(l)) : 0;
  if (DateFromReal(v) == date && TimeFromReal(v) == time) return testing::AssertionSuccess();
  return testing::AssertionFailure() << v << ": date " << DateFromReal(v) << " instead of " << date
                                     << ", time " << TimeFromReal(v) << " instead of " << time;
}

TEST(DateFromReal, OddRealsSplitLikeTheDivisionOfTheRealItself) {
  // Every whole number from below the negative 1YYMMDD dates to above the positive ones:
  // months and days 0 and above 12 or 31, dates before 1961 and after 2050, negative dates.
  for (int n = -2'100'000; n <= 2'100'000; ++n)
    ASSERT_TRUE(SplitsLikeTheReference(static_cast<float>(n)));
  // Fractions next to group boundaries.
  for (int n = -1'100'000; n <= 1'100'000; n += 97) {
    const auto f = static_cast<float>(n);
    for (const float v : {std::nextafter(f, -1e9f), std::nextafter(f, 1e9f), f + 0.25f, f - 0.75f})
      ASSERT_TRUE(SplitsLikeTheReference(v));
  }
  // Where the first group leaves 16 bits, where a 32-bit integer ends, and the specials.
  constexpr float kInf = std::numeric_limits<float>::infinity();
  for (const float edge : {327670000.0f, 327680000.0f, -327680000.0f, -327690000.0f, 2147483648.0f,
                           -2147483648.0f, 0.0f}) {
    float v = edge;
    for (int k = 0; k < 300; ++k) v = std::nextafter(v, -kInf);
    for (int k = 0; k < 600; ++k, v = std::nextafter(v, kInf))
      ASSERT_TRUE(SplitsLikeTheReference(v));
  }
  for (const float v : {kInf, -kInf, std::numeric_limits<float>::quiet_NaN(),
                        -std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::max(),
                        std::numeric_limits<float>::lowest(),
                        std::numeric_limits<float>::denorm_min(), -0.0f, 1e30f, -1e30f})
    ASSERT_TRUE(SplitsLikeTheReference(v));
  // And a spread of arbitrary bit patterns.
  std::mt19937 random(20501917);
  for (int k = 0; k < 1'000'000; ++k)
    ASSERT_TRUE(SplitsLikeTheReference(std::bit_cast<float>(static_cast<std::uint32_t>(random()))));
}

TEST(TimeFromReal, CountsTwoSecondUnits) {
  EXPECT_EQ(TimeFromReal(93000.0f), 17100);
  EXPECT_EQ(TimeFromReal(235959.0f), 43199);  // above 32767: unsigned
  EXPECT_EQ(TimeFromReal(1.0f), 0);           // the odd second is dropped
  EXPECT_EQ(TimeUnits(9, 30, 0), 17100);
  EXPECT_EQ(TimeUnits(23, 59, 59), 43199);
  EXPECT_EQ(TimeFromReal(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(TimeFromReal(-std::numeric_limits<float>::infinity()), 0);
}

TEST(FormatDate, AllTwelveLayouts) {
  const std::int16_t n = DayNumber(96, 11, 15);
  const char* expected[] = {"96/11/15", "1996/11/15", "11/15/96", "11/15/1996",
                            "15/11/96", "15/11/1996", "961115",   "19961115",
                            "111596",   "11151996",   "151196",   "15111996"};
  for (int layout = 1; layout <= 12; ++layout) {
    EXPECT_STREQ(FormatDate(n, static_cast<std::int16_t>(layout), '/'), expected[layout - 1])
        << layout;
  }
}

TEST(FormatDate, CenturyNoDateAndUnknownLayouts) {
  const std::int16_t y2k = DayNumber(100, 1, 1);
  EXPECT_STREQ(FormatDate(y2k, 8, ' '), "20000101");
  EXPECT_STREQ(FormatDate(y2k, 7, ' '), "000101");
  EXPECT_STREQ(FormatDate(DayNumber(61, 1, 1), 2, '.'), "1961.01.01");
  EXPECT_STREQ(FormatDate(0, 2, '-'), "0000-00-00");
  EXPECT_STREQ(FormatDate(DayNumber(96, 11, 15), 13, '-'), "");
  EXPECT_STREQ(FormatDate(DayNumber(96, 11, 15), 0, '-'), "");
  EXPECT_STREQ(FormatDate(DayNumber(96, 11, 15), -1, '-'), "");
  EXPECT_STREQ(FormatDate(-1, 2, '-'), "2140-06-04");  // taken as 65535
}

TEST(IsoText, DatesAndTimesAtTheEdgesOfTheirRanges) {
  auto date = [](std::int16_t n) {
    char text[kIsoDateLength];
    return std::string(text, PutIsoDate(text, n));
  };
  auto time = [](std::uint16_t units) {
    char text[kIsoTimeLength];
    return std::string(text, PutIsoTime(text, units));
  };
  EXPECT_EQ(date(0), "");  // no date
  EXPECT_EQ(date(1), "1961-01-01");
  EXPECT_EQ(date(DayNumber(100, 2, 29)), "2000-02-29");
  EXPECT_EQ(date(32767), "2050-09-17");
  EXPECT_EQ(date(-1), "2140-06-04");  // taken as 65535
  EXPECT_EQ(time(0), "00:00:00");
  EXPECT_EQ(time(TimeUnits(9, 30, 58)), "09:30:58");
  EXPECT_EQ(time(43199), "23:59:58");
  EXPECT_EQ(time(65535), "36:24:30");  // past midnight as the file holds it
}

TEST(ResultText, TableTextsAndUnknownCodes) {
  EXPECT_STREQ(ResultText(0), "Sucessfull");
  EXPECT_STREQ(ResultText(-8), "File Not Found");
  EXPECT_STREQ(ResultText(-12), "Charts Uninitialized");
  EXPECT_STREQ(ResultText(-15), "Unknown");
  EXPECT_STREQ(ResultText(-16), "Unknown");
  EXPECT_STREQ(ResultText(1), "Unknown");
  EXPECT_STREQ(ResultText(std::numeric_limits<std::int16_t>::min()), "Unknown");
}

}  // namespace
