#pragma once
// Conversions of the quote files' values: MBF reals, YYMMDD dates, HHMMSS times.
//
// Day number: 16-bit, 1 = 1 January 1961, 32767 = 17 September 2050; 0 means "no date".
// Time units: two-second units since midnight, 16 bits, taken as unsigned.
// Years inside the library are years minus 1900 (96 for 1996, 100 for 2000).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "result_code.h"

// Microsoft Binary Format single to IEEE single. src and dst may be the same bytes.
ResultCode MbfToIeee(const std::uint8_t* src, std::uint8_t* dst);

// YYMMDD (or 1YYMMDD) real to day number. A real that is not finite or whose year, month
// or day group does not fit 16 bits gives 0 ("no date").
std::int16_t DateFromReal(float v);
// HHMMSS real to two-second units; a real that cannot be split into 16-bit groups gives 0.
std::uint16_t TimeFromReal(float v);
// Year as years since 1900 or as a full year (> 1900). A month outside 1..12, a year before
// 1961 and a result outside 1..32767 (past 17 September 2050) all give 0 ("no date"); the
// day is not checked (day 0 is the last day of the month before).
std::int16_t DayNumber(std::int16_t year, std::int16_t month, std::int16_t day);
std::uint16_t TimeUnits(std::int16_t hours, std::int16_t minutes, std::int16_t seconds);
// The day number is taken as unsigned (1..65535 give years up to 2140); 0 gives 0, 0, 0.
void SplitDayNumber(std::int16_t dayNumber, std::int16_t& year, std::int16_t& month,
                    std::int16_t& day);

// ISO 8601 text written at `out`, returning the end of what was written (no terminator).
inline constexpr std::size_t kIsoDateLength = 10;  // YYYY-MM-DD
inline constexpr std::size_t kIsoTimeLength = 8;   // HH:MM:SS
// "YYYY-MM-DD"; nothing for day number 0, "no date".
char* PutIsoDate(char* out, std::int16_t dayNumber);
// "HH:MM:SS" of two-second units; the hours run on past 23 for units above 43199.
char* PutIsoTime(char* out, std::uint16_t units);

// The day number of "YYYY-MM-DD" for a date that exists, as a bound on the bars of a quote
// file: 0 before 1961, INT16_MAX after 17 September 2050, nothing for malformed text or a
// date that does not exist.
std::optional<int> DayNumberBound(std::string_view isoDate);

// Text of a day number in one of twelve layouts (1..12); any other layout gives "".
// The text lives in one buffer per thread: copy it before the next call on the same thread.
const char* FormatDate(std::int16_t dayNumber, std::int16_t layout, char separator);
