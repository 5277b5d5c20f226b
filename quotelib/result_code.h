#pragma once
// Result codes of the quote library: 0 is success, a negative value names a failure.

#include <cstdint>

using ResultCode = std::int16_t;

inline constexpr ResultCode kSuccess = 0;
inline constexpr ResultCode kInvalidParm = -1;
inline constexpr ResultCode kFileOpen = -2;
inline constexpr ResultCode kMalloc = -3;
inline constexpr ResultCode kFileRead = -4;
inline constexpr ResultCode kFileWrite = -5;
inline constexpr ResultCode kFileSeek = -6;
inline constexpr ResultCode kFileExists = -7;
inline constexpr ResultCode kFileNotFound = -8;
inline constexpr ResultCode kRecordNotFound = -9;

// The text of a code (table of 16 entries indexed by the negated code). Codes outside
// the table give the text of -15, "Unknown".
const char* ResultText(ResultCode code);
