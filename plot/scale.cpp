#include "scale.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace plot {

namespace {

constexpr int kMostTicks = 1000;  // a bound on the ticks of one axis, whatever the input
constexpr double kSlack = 1e-9;   // relative slack where a product of steps meets a bound

// Truncation to a device coordinate that stays far inside int, whatever the value.
int ToPixel(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<int>(std::lround(std::clamp(v, -1.0e7, 1.0e7)));
}

// The ticks k * step for every k with k * step within lo..hi.
Ticks Multiples(double lo, double hi, double step) {
  Ticks t;
  t.step = step;
  const double first = std::ceil(lo / step - kSlack);
  const double last = std::floor(hi / step + kSlack);
  if (!std::isfinite(first) || !std::isfinite(last) || last - first > kMostTicks) return t;
  const int decimals = StepDecimals(step);
  // Counted in whole numbers: far from 0 a double no longer moves when 1 is added to it.
  const auto count = static_cast<int>(last - first);
  for (int i = 0; i <= count; ++i) t.ticks.push_back({(first + i) * step, decimals});
  return t;
}

bool GapsAtLeast(const ValueScale& scale, const std::vector<Tick>& ticks, int minGap) {
  for (std::size_t i = 1; i < ticks.size(); ++i)
    if (scale.YOf(ticks[i - 1].value) - scale.YOf(ticks[i].value) < minGap) return false;
  return true;
}

// 1, 2 and 5 (or the given multipliers) times every `every`-th power of ten within the scale.
std::vector<Tick> DecadeTicks(const ValueScale& scale, std::initializer_list<double> multipliers,
                              int every) {
  std::vector<Tick> ticks;
  const int from = static_cast<int>(std::floor(std::log10(scale.lo)));
  const int to = static_cast<int>(std::ceil(std::log10(scale.hi)));
  for (int e = from; e <= to; ++e) {
    if (e % every != 0) continue;
    const double power = std::pow(10.0, e);
    for (const double m : multipliers) {
      const double v = m * power;
      if (v >= scale.lo * (1 - kSlack) && v <= scale.hi * (1 + kSlack))
        ticks.push_back({v, std::max(0, -e + (m == std::floor(m) ? 0 : 1))});
    }
  }
  return ticks;
}

}  // namespace

double NiceStep(double rough) {
  if (!(rough > 0) || !std::isfinite(rough)) return 1;
  const double base = std::pow(10.0, std::floor(std::log10(rough)));
  for (const double m : {1.0, 2.0, 2.5, 5.0}) {
    if (m * base >= rough * (1 - kSlack)) return m * base;
  }
  return 10 * base;
}

int StepDecimals(double step) {
  if (!(step > 0) || !std::isfinite(step)) return 0;
  const double e = std::floor(std::log10(step) + kSlack);
  const double mantissa = step / std::pow(10.0, e);
  const int decimals = static_cast<int>(-e) + (std::abs(mantissa - 2.5) < 1e-6 ? 1 : 0);
  return std::clamp(decimals, 0, 40);
}

int OwnDecimals(float value, int most) {
  if (!std::isfinite(value)) return 0;
  std::array<char, 64> text{};
  const auto [end, ec] =
      std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (ec != std::errc{}) return most;
  const std::string_view s(text.data(), static_cast<std::size_t>(end - text.data()));
  const auto dot = s.find('.');
  const int decimals = dot == std::string_view::npos ? 0 : static_cast<int>(s.size() - dot - 1);
  return std::min(decimals, most);
}

std::string FormatValue(double value, int decimals) {
  if (!std::isfinite(value)) return "-";
  std::array<char, 64> text{};
  if (std::abs(value) >= 1e12) {
    std::snprintf(text.data(), text.size(), "%.3g", value);
  } else if (decimals > 10 && value != 0) {
    // Ten zeros after the point are read by no one: the digits that count, with an exponent.
    const int digits = decimals + static_cast<int>(std::floor(std::log10(std::abs(value))));
    std::snprintf(text.data(), text.size(), "%.*e", std::clamp(digits, 0, 6), value);
  } else

    std::snprintf(text.data(), text.size(), "%.*f", std::clamp(decimals, 0, 12), value);
  std::string s = text.data();
  // A value that rounds to zero prints without a sign.
  if (s.front() == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return s;
}

std::string FormatCount(double value, double step) {
  if (!std::isfinite(value)) return "-";
  if (value == 0) return "0";
  double unit = 1;
  const char* suffix = "";
  const double largest = std::max(std::abs(value), step);
  if (largest >= 1e9) {
    unit = 1e9, suffix = "B";
  } else if (largest >= 1e6) {
    unit = 1e6, suffix = "M";
  } else if (largest >= 1e3) {
    unit = 1e3, suffix = "K";
  }
  return FormatValue(value / unit, StepDecimals(step / unit)) + suffix;
}

double ValueScale::Fraction(double v) const {
  if (log) {
    const double span = std::log(hi) - std::log(lo);
    return span > 0 && v > 0 ? (std::log(v) - std::log(lo)) / span : 0;
  }
  return hi > lo ? (v - lo) / (hi - lo) : 0.5;
}

int ValueScale::YOf(double v) const { return ToPixel(bottom - Fraction(v) * Height()); }

double ValueScale::ValueAt(int y) const {
  const double f = Height() > 0 ? static_cast<double>(bottom - y) / Height() : 0;
  if (log) return std::exp(std::log(lo) + f * (std::log(hi) - std::log(lo)));
  return lo + f * (hi - lo);
}

Ticks LinearTicks(const ValueScale& scale, int minGap) {
  const int h = scale.Height();
  const double range = scale.hi - scale.lo;
  if (h <= 0 || !(range > 0) || !std::isfinite(range)) return {};
  // The step that puts the ticks just minGap apart, rounded up to a round one: no coarser.
  const double most = std::max(1.0, static_cast<double>(h) / std::max(1, minGap));
  return Multiples(scale.lo, scale.hi, NiceStep(range / most));
}

Ticks LogTicks(const ValueScale& scale, int minGap) {
  if (!scale.log || !(scale.lo > 0) || !(scale.hi > scale.lo)) return LinearTicks(scale, minGap);
  const int h = scale.Height();
  if (h <= 0) return {};
  const double decades = std::log10(scale.hi / scale.lo);
  if (decades < 1) {
    // Nearly linear: the finest 1-2-2.5-5 step whose ticks keep the gap where they crowd
    // most, next to the highest value.
    const int most = std::max(1, h / std::max(1, minGap));
    double step = NiceStep((scale.hi - scale.lo) / most);
    for (int tries = 0; tries < 8; ++tries, step = NiceStep(step * (1 + 1e-6))) {
      Ticks t = Multiples(scale.lo, scale.hi, step);
      if (GapsAtLeast(scale, t.ticks, minGap)) return t;
    }
  }
  Ticks t;
  if (decades < 2) {
    t.ticks = DecadeTicks(scale, {1, 1.5, 2, 3, 5, 7}, 1);
    if (GapsAtLeast(scale, t.ticks, minGap)) return t;
  }
  for (const auto& multipliers : {std::initializer_list<double>{1, 2, 5}, {1}}) {
    t.ticks = DecadeTicks(scale, multipliers, 1);
    if (GapsAtLeast(scale, t.ticks, minGap)) return t;
  }
  for (const int every : {2, 5, 10, 20, 50, 100}) {
    t.ticks = DecadeTicks(scale, {1}, every);
    if (GapsAtLeast(scale, t.ticks, minGap)) return t;
  }
  t.ticks.clear();
  return t;
}

Ticks ScaleTicks(const ValueScale& scale, int minGap) {
  return scale.log ? LogTicks(scale, minGap) : LinearTicks(scale, minGap);
}

Ticks PaneTicks(const ValueScale& scale, const TickRoom& room, std::span<const double> references) {
  const auto fits = [&](double v) {
    const int y = scale.YOf(v);
    return y >= room.top && y <= room.bottom;
  };
  Ticks best;
  for (const int gap : {room.comfortable, room.tight}) {
    const Ticks found = ScaleTicks(scale, std::max(1, gap));
    Ticks t;
    t.step = found.step;
    int decimals = 0;
    for (const Tick& tick : found.ticks) decimals = std::max(decimals, tick.decimals);
    for (const double r : references)
      if (fits(r)) t.ticks.push_back({r, std::max(decimals, OwnDecimals(static_cast<float>(r)))});
    for (const Tick& tick : found.ticks) {
      if (!fits(tick.value)) continue;
      const bool clear = std::all_of(references.begin(), references.end(), [&](double r) {
        return !fits(r) || std::abs(scale.YOf(r) - scale.YOf(tick.value)) >= gap;
      });
      if (clear) t.ticks.push_back(tick);
    }
    std::sort(t.ticks.begin(), t.ticks.end(),
              [](const Tick& a, const Tick& b) { return a.value < b.value; });
    if (best.ticks.empty() || t.ticks.size() > best.ticks.size()) best = t;
    if (t.ticks.size() >= room.want) return t;
  }
  return best;
}

int PriceDecimals(std::span<const float> prices) {
  std::size_t voters = 0;
  double largest = 0;
  std::array<std::size_t, kMostPriceDecimals + 1> exact{};
  for (const float price : prices) {
    if (!std::isfinite(price) || price == 0) continue;
    ++voters;
    const double v = price;
    largest = std::max(largest, std::abs(v));
    // Two units in the last place of a 4-byte real: the vendor's own arithmetic leaves one.
    const double tolerance = std::abs(v) * 2.4e-7;
    double power = 1;
    for (int d = 0; d <= kMostPriceDecimals; ++d, power *= 10)
      if (std::abs(std::round(v * power) / power - v) <= tolerance)
        ++exact[static_cast<std::size_t>(d)];
  }
  if (voters == 0) return 2;
  // A real holds about seven digits: past six digits of the largest price every value
  // "rounds", so a grid that fine is no grid.
  const int magnitude = static_cast<int>(std::floor(std::log10(largest)));
  const int finest = std::clamp(5 - magnitude, 0, kMostPriceDecimals);
  for (int d = 0; d <= finest; ++d)
    if (exact[static_cast<std::size_t>(d)] * 100 >= voters * 99) return d;
  // Prices off every grid (computed ones): four significant digits of the largest, and at
  // least cents.
  return std::clamp(3 - magnitude, 2, kMostPriceDecimals);
}

int ValueDecimals(double value, int decimals) {
  decimals = std::clamp(decimals, 0, kMostPriceDecimals);
  if (!std::isfinite(value) || value == 0 || std::abs(value) >= 0.01) return decimals;
  const int three = 2 - static_cast<int>(std::floor(std::log10(std::abs(value))));
  // Quoted to the last digit a real holds, the security has no decimals of its own to keep.
  return decimals == kMostPriceDecimals ? three : std::max(decimals, three);
}

std::string FormatVolume(double value) {
  if (!std::isfinite(value)) return "-";
  const double a = std::abs(value);
  static constexpr std::array<const char*, 5> kUnits = {"", "K", "M", "B", "T"};
  std::size_t unit = 0;
  double scaled = a;
  // Rounded to three digits first, so 999,960 moves up to 1M instead of reading 1000K.
  const auto rounded = [](double x) {
    if (x < 10) return std::round(x * 100) / 100;
    if (x < 100) return std::round(x * 10) / 10;
    return std::round(x);
  };
  while (unit + 1 < kUnits.size() && rounded(scaled) >= 1000) scaled /= 1000, ++unit;
  if (unit == 0) scaled = std::round(a);
  // Past the largest unit the digits after the third are noise of the division: zeros.
  if (scaled >= 1000) {
    const double keep = std::pow(10.0, std::floor(std::log10(scaled)) - 2);
    scaled = std::round(scaled / keep) * keep;
  }
  std::array<char, 64> text{};
  const int decimals = unit == 0 || scaled >= 100 ? 0 : scaled >= 10 ? 1 : 2;
  std::snprintf(text.data(), text.size(), "%s%.*f", value < 0 ? "-" : "", decimals, scaled);
  std::string s = text.data();
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  return s + kUnits[unit];
}

void PadRange(double& lo, double& hi, bool log) {
  if (!std::isfinite(lo) || !std::isfinite(hi)) {
    lo = 0, hi = 1;
    return;
  }
  if (hi < lo) std::swap(lo, hi);
  constexpr double kMargin = 0.05;
  if (log && lo > 0) {
    double d = (std::log(hi) - std::log(lo)) * kMargin;
    if (d == 0) d = std::log(1.01);
    lo *= std::exp(-d);
    hi *= std::exp(d);
    return;
  }
  double d = (hi - lo) * kMargin;
  if (d == 0) d = lo != 0 ? std::abs(lo) * 0.01 : 1;
  lo -= d;
  hi += d;
}

}  // namespace plot
