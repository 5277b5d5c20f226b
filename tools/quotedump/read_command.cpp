// quotedump read DIR KEY [--start S] [--count C] [--last N] [--period P]: a security's bars
// as CSV, as read or gathered into days, weeks or months.
//
// The export that users of these databases ask for most, so it is built for speed: the
// whole text is formatted into one buffer with std::to_chars and written with one call.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "extended.h"
#include "periods.h"
#include "series.h"
#include "values.h"

namespace quotedump {

namespace {

constexpr std::string_view kReadUsage =
    "usage: quotedump read DIR KEY [--start S] [--count C] [--last N]\n"
    "                      [--period bars|daily|weekly|monthly]";
constexpr std::string_view kCsvHeader = "date,time,open,high,low,close,volume,open_interest\n";

template <class Int>
std::optional<Int> ParseInt(std::string_view text) {
  Int value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

struct ReadOptions {
  std::string_view directory;
  std::string_view key;
  std::int32_t start = 0;
  std::int16_t count = -1;
  plot::Period period = plot::Period::Bars;
};

// The options a read command has been given so far.
struct Given {
  bool start = false, count = false, last = false, period = false;
};

// Takes one option and its value into `options`; false when the option is unknown or given
// before, or its value is malformed. A count is never negative.
bool TakeOption(std::string_view option, std::string_view value, ReadOptions& options,
                Given& given) {
  if (option == "--period" && !given.period) {
    const auto p = plot::ParsePeriod(value);
    if (p) options.period = *p;
    given.period = true;
    return p.has_value();
  }
  if (option == "--start" && !given.start) {
    const auto v = ParseInt<std::int32_t>(value);
    if (v) options.start = *v;
    given.start = true;
    return v.has_value();
  }
  const bool last = option == "--last";
  if ((option != "--count" && !last) || (last ? given.last : given.count)) return false;
  const auto v = ParseInt<std::int16_t>(value);
  if (!v || *v < 0) return false;
  options.count = *v;
  if (last) options.start = -1;
  (last ? given.last : given.count) = true;
  return true;
}

// Options may come in any order before, between or after DIR and KEY; each at most once;
// "--" ends them, so that a KEY or DIR that starts with "--" can be given. --last N stands
// for start -1 and count N, so it cannot be combined with the other two.
std::optional<ReadOptions> ParseArgs(Args args) {
  ReadOptions options;
  std::vector<std::string_view> operands;
  Given given;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (optionsEnded || !arg.starts_with("--")) {
      operands.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (++i >= args.size() || !TakeOption(arg, args[i], options, given)) {
      return std::nullopt;
    }
  }
  if (operands.size() != 2 || (given.last && (given.start || given.count))) return std::nullopt;
  options.directory = operands[0];
  options.key = operands[1];
  return options;
}

// Longest line: 10 + 1 + 8 + 6 × (1 + the longest shortest float text, 15) + 1.
constexpr std::size_t kMaxLineLength = 128;

// The whole text in one buffer, its length in `length`; null when it cannot be allocated.
// The buffer is not cleared first: it is written once, front to back, and clearing the
// worst-case size would touch twice the memory the text needs.
template <class Series>
char* FormatCsv(const Series& s, int count, std::size_t& length) {
  const std::size_t capacity =
      kCsvHeader.size() + static_cast<std::size_t>(std::max(count, 0)) * kMaxLineLength;
  auto* const text = static_cast<char*>(std::malloc(capacity));
  if (text == nullptr) return nullptr;
  char* out = text;
  std::memcpy(out, kCsvHeader.data(), kCsvHeader.size());
  out += kCsvHeader.size();
  for (int i = 0; i < count; ++i) {
    char* const limit = out + kMaxLineLength;
    out = PutIsoDate(out, s.date[i]);
    *out++ = ',';
    out = PutIsoTime(out, s.time[i]);
    for (const auto* column : {&s.open, &s.high, &s.low, &s.close, &s.volume, &s.openInterest}) {
      *out++ = ',';
      out = std::to_chars(out, limit, (*column)[i]).ptr;
    }
    *out++ = '\n';
  }
  length = static_cast<std::size_t>(out - text);
  return text;
}

// The result code and its text, and what the library can tell of the reason: the file that
// cannot be opened (and, where a missing layout file is all a security lacks, the way to
// read it), or why no layout fits.
std::string FailureMessage(ResultCode code, std::string_view directory, std::string_view key,
                           bool extended) {
  std::string message = std::to_string(code) + " " + ResultText(code);
  if (code == kFileOpen) {
    const UnopenableFile missing = extended ? FindUnopenableIndexedFile(directory, key)
                                            : FindUnopenableDataFile(directory, key);
    if (!missing.path.empty())
      message += ": cannot open " + missing.path + " (" + std::strerror(missing.error) + ")";
    if (!extended && OnlyLayoutFileMissing(directory, key))
      message +=
          "; the layout file is all this security lacks, and --extended reads it from the "
          "field count";
  } else if (code == kInvalidParm && extended) {
    if (const std::string why = DescribeUnreadableShape(directory, key); !why.empty())
      message += ": " + why;
  }
  return message;
}

}  // namespace

bool ReadBars(PriceSeries& series, std::string_view directory, std::string_view key,
              std::int32_t start, std::int16_t count, bool extended) {
  const auto read = extended ? ReadSecurityExtended : ReadSecurity;
  const ResultCode code = read(series, directory, key, start, count, 1);
  if (code == kSuccess) return true;
  ReleasePriceSeries(series);
  PrintError(FailureMessage(code, directory, key, extended));
  return false;
}

int RunRead(Args args, bool extended) {
  const auto options = ParseArgs(args);
  if (!options) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(kReadUsage.size()), kReadUsage.data());
    return kExitUsage;
  }

  PriceSeries series;
  if (!ReadBars(series, options->directory, options->key, options->start, options->count, extended))
    return kExitFailure;
  std::size_t length = 0;
  char* text = nullptr;
  if (options->period == plot::Period::Bars) {
    text = FormatCsv(series, series.count, length);
  } else {
    const plot::PlotSeries periods = plot::ToPeriod(plot::SeriesOf(series), options->period);
    text = FormatCsv(periods, periods.Count(), length);
  }
  ReleasePriceSeries(series);
  if (text == nullptr) {
    PrintError(std::to_string(kMalloc) + " " + ResultText(kMalloc));
    return kExitFailure;
  }
  const bool written = std::fwrite(text, 1, length, stdout) == length && std::fflush(stdout) == 0;
  std::free(text);
  if (!written) {
    PrintError(kWriteFailure);
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace quotedump
