// quotedump study STUDY DIR KEY [--period P]: a study of a security's bars as CSV, one row per
// bar of what `read` prints for the same security and period, so the two files line up row
// for row.
#include <array>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "periods.h"
#include "study_config.h"
#include "values.h"

namespace quotedump {

namespace {

constexpr std::string_view kStudyUsage =
    "usage: quotedump study STUDY DIR KEY [--period bars|daily|weekly|monthly]\n"
    "  STUDY: sma:N | ema:N | rsi[:N] | macd[:F,S,G] | bollinger[:N,K] | stochastic[:N,D]";
constexpr int kSignificantDigits = 10;

// A field the layout lacks reads as -1 on every bar; a study of that would look like a
// result and mean nothing, so it is refused.
bool HasPricesFor(const PriceSeries& series, studies::StudyKind kind, std::string_view key) {
  std::vector<std::pair<SeriesField, std::string_view>> needed = {{SeriesField::Close, "CLOSE"}};
  if (kind == studies::StudyKind::Stochastic)
    needed.insert(needed.end(), {{SeriesField::High, "HIGH"}, {SeriesField::Low, "LOW"}});
  for (const auto& [field, name] : needed) {
    if (SeriesHasField(series, field)) continue;
    PrintError(std::string(key) + ": the security's layout has no " + std::string(name) + " field");
    return false;
  }
  return true;
}

// STUDY DIR KEY and at most one --period P, in any order; "--" ends the options.
struct StudyArgs {
  std::vector<std::string_view> operands;
  plot::Period period = plot::Period::Bars;
};

std::optional<StudyArgs> ParseArgs(Args args) {
  StudyArgs parsed;
  bool optionsEnded = false, period = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (optionsEnded || !arg.starts_with("--")) {
      parsed.operands.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else {
      const bool taken = arg == "--period" && !period && ++i < args.size();
      const auto p = taken ? plot::ParsePeriod(args[i]) : std::nullopt;
      if (!p) return std::nullopt;
      parsed.period = *p;
      period = true;
    }
  }
  if (parsed.operands.size() != 3) return std::nullopt;
  return parsed;
}

std::string FormatCsv(const plot::PlotSeries& series,
                      const std::vector<studies::StudyOutput>& outputs) {
  std::string text = "date,time";
  for (const auto& output : outputs) text += "," + std::string(output.name);
  text += '\n';
  constexpr std::size_t kMaxField = 24;  // -1.234567890e-308 and a comma
  const std::size_t lineLength = 20 + outputs.size() * kMaxField;
  text.reserve(text.size() + static_cast<std::size_t>(series.Count()) * lineLength);
  std::array<char, 128> line{};
  for (int i = 0; i < series.Count(); ++i) {
    char* out = PutIsoDate(line.data(), series.date[static_cast<std::size_t>(i)]);
    *out++ = ',';
    out = PutIsoTime(out, series.time[static_cast<std::size_t>(i)]);
    for (const auto& output : outputs) {
      *out++ = ',';
      const double value = output.values[static_cast<std::size_t>(i)];
      // An undefined value is an empty field; adding 0 turns a negative zero into "0".
      if (studies::IsDefined(value))
        out = std::to_chars(out, out + kMaxField, value + 0.0, std::chars_format::general,
                            kSignificantDigits)
                  .ptr;
    }
    *out++ = '\n';
    text.append(line.data(), out);
  }
  return text;
}

}  // namespace

int RunStudy(Args given, bool extended) {
  const auto parsed = ParseArgs(given);
  if (!parsed) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(kStudyUsage.size()), kStudyUsage.data());
    return kExitUsage;
  }
  const std::vector<std::string_view>& args = parsed->operands;
  const auto config = studies::ParseStudyConfig(args[0]);
  if (!config) {
    PrintError("not a study: '" + std::string(args[0]) +
               "' (lengths are whole numbers from 1, K lies in (0, 100])");
    std::fprintf(stderr, "%.*s\n", static_cast<int>(kStudyUsage.size()), kStudyUsage.data());
    return kExitUsage;
  }
  PriceSeries series;
  if (!ReadBars(series, args[1], args[2], 0, -1, extended)) return kExitFailure;
  if (!HasPricesFor(series, config->kind, args[2])) {
    ReleasePriceSeries(series);
    return kExitFailure;
  }
  const plot::PlotSeries bars = plot::ToPeriod(plot::SeriesOf(series), parsed->period);
  ReleasePriceSeries(series);
  const auto widened = [](const std::vector<float>& column) {
    return std::vector<double>(column.begin(), column.end());
  };
  const std::vector<double> high = widened(bars.high);
  const std::vector<double> low = widened(bars.low);
  const std::vector<double> close = widened(bars.close);
  const std::string text = FormatCsv(bars, studies::ComputeStudy(*config, {high, low, close}));
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
    PrintError(kWriteFailure);
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace quotedump
