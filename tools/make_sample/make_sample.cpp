// make_sample OUTDIR: writes the bundled sample database.
//
// Everything comes from one fixed seed and uses only integer arithmetic, additions and
// multiplications on doubles (no library maths whose last bit may differ between systems),
// so the same bytes come out on every machine; a test regenerates the database and compares
// it with the checked-in copy.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "database_files.h"
#include "quote_writer.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono;

// SplitMix64: small, well mixed and fully defined.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
  // Roughly standard normal: the sum of twelve uniforms, centred.
  double normal() {
    double sum = 0;
    for (int i = 0; i < 12; ++i) sum += uniform();
    return sum - 6.0;
  }

 private:
  std::uint64_t state_;
};

enum class Layout { Five, Six, Seven, Intraday };

std::vector<std::string> FieldNames(Layout layout) {
  switch (layout) {
    case Layout::Five:
      return {"DATE", "HIGH", "LOW", "CLOSE", "VOL"};
    case Layout::Six:
      return {"DATE", "OPEN", "HIGH", "LOW", "CLOSE", "VOL"};
    case Layout::Seven:
      return {"DATE", "OPEN", "HIGH", "LOW", "CLOSE", "VOL", "OI"};
    case Layout::Intraday:
      return {"DATE", "TIME", "OPEN", "HIGH", "LOW", "CLOSE", "VOL", "OI"};
  }
  return {};
}

struct Plan {
  const char* symbol;
  const char* name;
  Layout layout;
  int bars;
  year_month_day first;  // the first trading day on or after this date
  double price;          // starting price
  double drift;          // mean daily return
  double volatility;     // daily standard deviation of the return
  double volume;         // typical daily volume (0: none traded, as for an index)
  double openInterest;   // typical open interest (futures); 0 otherwise
};

constexpr year_month_day Ymd(int y, unsigned m, unsigned d) {
  return year_month_day{year{y}, month{m}, day{d}};
}

// Price steps: a penny stock trades in tenths of a cent, an index in hundredths of a point.
double Tick(double price, bool index) {
  if (index) return 0.01;
  if (price < 0.1) return 0.001;
  if (price < 2.0) return 0.005;
  if (price < 100.0) return 0.01;
  return 0.25;
}

double RoundTo(double value, double step) {
  // Half away from zero, by hand: only + and * and a conversion to integer.
  const double scaled = value / step;
  const auto whole = static_cast<std::int64_t>(scaled + (scaled < 0 ? -0.5 : 0.5));
  return static_cast<double>(whole) * step;
}

float DateOf(sys_days d) {
  const year_month_day ymd{d};
  return fixture::DateReal(static_cast<int>(ymd.year()), static_cast<int>(unsigned(ymd.month())),
                           static_cast<int>(unsigned(ymd.day())));
}

sys_days NextTradingDay(sys_days d) {
  do d += days{1};
  while (weekday{d} == Saturday || weekday{d} == Sunday);
  return d;
}

sys_days FirstTradingDay(year_month_day ymd) {
  sys_days d{ymd};
  while (weekday{d} == Saturday || weekday{d} == Sunday) d += days{1};
  return d;
}

struct Bar {
  sys_days day;
  int time;  // HHMMSS, intraday only
  double open, high, low, close, volume, openInterest;
};

std::vector<Bar> Walk(const Plan& plan, Random& rng) {
  const bool index = plan.volume == 0.0;
  const bool intraday = plan.layout == Layout::Intraday;
  // Intraday: thirteen half-hour bars a day, 09:30 to 15:30.
  const int barsPerDay = intraday ? 13 : 1;
  const double sigma = intraday ? plan.volatility / 3.6 : plan.volatility;
  const double drift = intraday ? plan.drift / 13.0 : plan.drift;

  std::vector<Bar> bars;
  bars.reserve(static_cast<std::size_t>(plan.bars));
  sys_days day = FirstTradingDay(plan.first);
  double close = plan.price;
  double oi = plan.openInterest;
  for (int i = 0; i < plan.bars; ++i) {
    if (i > 0 && i % barsPerDay == 0) day = NextTradingDay(day);
    const double tick = Tick(close, index);
    Bar b;
    b.day = day;
    b.time = intraday ? 93000 + (i % barsPerDay) / 2 * 10000 + (i % barsPerDay) % 2 * 3000 : 0;
    const double gap = sigma * 0.3 * rng.normal();
    b.open = std::max(tick, RoundTo(close * (1.0 + gap), tick));
    const double move = drift + sigma * rng.normal();
    b.close = std::max(tick, RoundTo(b.open * (1.0 + move), tick));
    const double up = sigma * 0.6 * rng.uniform();
    const double down = sigma * 0.6 * rng.uniform();
    b.high = RoundTo(std::max(b.open, b.close) * (1.0 + up), tick);
    b.low = std::max(tick, RoundTo(std::min(b.open, b.close) * (1.0 - down), tick));
    b.high = std::max(b.high, std::max(b.open, b.close));
    b.low = std::min(b.low, std::min(b.open, b.close));
    // Busier days when the price moves further.
    const double surprise = move < 0 ? -move : move;
    b.volume = index ? 0.0
                     : RoundTo(plan.volume / barsPerDay * (0.4 + rng.uniform()) *
                                   (1.0 + 2.0 * surprise / sigma),
                               100.0);
    if (plan.openInterest > 0) {
      oi = std::max(plan.openInterest * 0.2, oi * (1.0 + 0.02 * rng.normal()));
      b.openInterest = RoundTo(oi, 1.0);
    } else {
      b.openInterest = 0.0;
    }
    bars.push_back(b);
    close = b.close;
  }
  return bars;
}

std::vector<std::vector<float>> Rows(const std::vector<Bar>& bars, Layout layout) {
  std::vector<std::vector<float>> rows;
  rows.reserve(bars.size());
  for (const auto& b : bars) {
    const float date = DateOf(b.day);
    const auto f = [](double v) { return static_cast<float>(v); };
    switch (layout) {
      case Layout::Five:
        rows.push_back({date, f(b.high), f(b.low), f(b.close), f(b.volume)});
        break;
      case Layout::Six:
        rows.push_back({date, f(b.open), f(b.high), f(b.low), f(b.close), f(b.volume)});
        break;
      case Layout::Seven:
        rows.push_back(
            {date, f(b.open), f(b.high), f(b.low), f(b.close), f(b.volume), f(b.openInterest)});
        break;
      case Layout::Intraday:
        rows.push_back({date, static_cast<float>(b.time), f(b.open), f(b.high), f(b.low),
                        f(b.close), f(b.volume), f(b.openInterest)});
        break;
    }
  }
  return rows;
}

// Writes one directory of the database: MASTER, then F<n>.DOP and F<n>.DAT for each
// security in order (file numbers from 1), followed by the given directory entries.
void WriteDirectory(const fs::path& dir, const std::vector<Plan>& plans,
                    const std::vector<std::string>& subdirectories, Random& rng) {
  fs::create_directories(dir);
  std::vector<fixture::Record53> records;
  for (std::size_t k = 0; k < plans.size(); ++k) {
    const Plan& plan = plans[k];
    const auto number = static_cast<std::uint8_t>(k + 1);
    const auto names = FieldNames(plan.layout);
    const auto fields = static_cast<int>(names.size());
    const auto bars = Walk(plan, rng);

    fixture::Security s;
    s.fileNumber = number;
    s.recordLength = static_cast<std::int8_t>(4 * fields);
    s.fieldCount = static_cast<std::int8_t>(fields);
    s.name = plan.name;
    s.symbol = plan.symbol;
    s.real1 = DateOf(bars.front().day);  // first and last date, as the index keeps them
    s.real2 = DateOf(bars.back().day);
    records.push_back(fixture::SecurityRecord(s));

    fixture::WriteDop(dir / SecurityFileName(number, SecurityFileKind::Layout), names);
    fixture::WriteDat(dir / SecurityFileName(number, SecurityFileKind::Data), 4 * fields,
                      Rows(bars, plan.layout));
  }
  for (const auto& sub : subdirectories) records.push_back(fixture::DirectoryRecord(sub));
  fixture::WriteMaster(dir / kMasterFileName, records);
}

const std::vector<Plan> kTop = {
    {"ACME", "Acme Industries", Layout::Seven, 2520, Ymd(2000, 1, 3), 24.50, 0.0003, 0.018, 850000,
     0},
    {"BRK A", "Bramble Rock A", Layout::Seven, 1510, Ymd(2006, 6, 1), 4210.0, 0.0002, 0.011, 1200,
     0},
    {"CPX", "Copperex Mining", Layout::Six, 1800, Ymd(2004, 9, 15), 3.12, 0.0004, 0.031, 2400000,
     0},
    {"DLTA", "Delta Airways", Layout::Six, 1265, Ymd(2007, 3, 1), 11.80, -0.0002, 0.026, 1600000,
     0},
    {"EVRG", "Evergreen Power", Layout::Seven, 1010, Ymd(2008, 1, 2), 38.40, 0.0001, 0.012, 420000,
     0},
    {"FNX", "Fenix Software", Layout::Seven, 2280, Ymd(1997, 7, 1), 6.25, 0.0009, 0.034, 3100000,
     0},
    {"GLDN", "Golden Harvest", Layout::Five, 760, Ymd(2009, 1, 5), 17.05, 0.0002, 0.014, 260000, 0},
    {"HRZN", "Horizon Telecom", Layout::Seven, 1520, Ymd(1998, 2, 2), 52.00, -0.0001, 0.021,
     5200000, 0},
    {"IDX", "Composite Index", Layout::Five, 6000, Ymd(1988, 11, 1), 1487.36, 0.00025, 0.010, 0, 0},
    {"JUNO", "Juno Biotech", Layout::Seven, 505, Ymd(2010, 2, 1), 2.48, 0.0006, 0.045, 1900000, 0},
    {"KSTL", "Kestrel Shipping", Layout::Six, 1260, Ymd(2003, 5, 1), 8.90, 0.0003, 0.022, 740000,
     0},
    {"LUMN", "Lumina Optics", Layout::Seven, 890, Ymd(1999, 4, 1), 14.35, 0.0012, 0.038, 980000, 0},
    {"MPLE", "Maple Foods", Layout::Seven, 2020, Ymd(2002, 1, 2), 31.10, 0.0002, 0.009, 310000, 0},
    {"NBLE", "Noble Gas Corp", Layout::Six, 1004, Ymd(2007, 10, 1), 22.75, -0.0003, 0.024, 650000,
     0},
    {"ORCA", "Orca Fisheries", Layout::Seven, 255, Ymd(2011, 3, 1), 5.62, 0.0001, 0.017, 120000, 0},
    {"PNNY", "Pennyweight Mine", Layout::Seven, 1250, Ymd(2005, 8, 1), 0.043, -0.0001, 0.055,
     14000000, 0},
    {"QRTZ", "Quartz Semicond", Layout::Seven, 1760, Ymd(2001, 6, 1), 19.80, 0.0004, 0.029, 2700000,
     0},
    {"RVR", "Riverbend Bank", Layout::Seven, 2010, Ymd(1996, 12, 2), 27.45, 0.0003, 0.013, 900000,
     0},
    {"SLRX", "Solarix Energy", Layout::Six, 630, Ymd(2009, 7, 1), 9.15, -0.0006, 0.041, 1300000, 0},
    {"TMBR", "Timberline Paper", Layout::Seven, 1500, Ymd(2004, 1, 2), 13.20, 0.0001, 0.016, 380000,
     0},
    {"URNM", "Uranium Metals", Layout::Seven, 780, Ymd(2006, 1, 3), 1.85, 0.0010, 0.048, 5600000,
     0},
    {"VNTG", "Vantage Retail", Layout::Seven, 1255, Ymd(1999, 9, 1), 41.60, 0.0002, 0.015, 700000,
     0},
    {"WHT", "Wheat Futures", Layout::Seven, 1000, Ymd(2007, 1, 2), 4.62, 0.0002, 0.019, 52000,
     180000},
    {"XDAY", "Xeno Intraday", Layout::Intraday, 650, Ymd(2003, 11, 17), 26.30, 0.0002, 0.020,
     900000, 0},
    {"ZEN", "Zenith New Issue", Layout::Seven, 20, Ymd(2011, 12, 19), 1.00, 0.0020, 0.050, 4000000,
     0},
};

const std::vector<Plan> kFutures = {
    {"CL", "Crude Oil Cont", Layout::Seven, 1500, Ymd(2006, 1, 3), 61.04, 0.0002, 0.022, 210000,
     1250000},
    {"GC", "Gold Continuous", Layout::Seven, 1250, Ymd(2007, 1, 2), 635.20, 0.0006, 0.012, 150000,
     480000},
    {"SB", "Sugar No 11", Layout::Seven, 400, Ymd(2010, 6, 1), 0.1583, 0.0003, 0.024, 60000,
     700000},
};

const std::vector<Plan> kFunds = {
    {"GRWF", "Growth Fund", Layout::Six, 1300, Ymd(2005, 1, 3), 10.00, 0.0003, 0.012, 18000, 0},
    {"INCF", "Income Fund", Layout::Six, 1300, Ymd(2005, 1, 3), 10.00, 0.0001, 0.004, 9000, 0},
    {"BALF", "Balanced Fund", Layout::Five, 700, Ymd(2008, 7, 1), 10.00, 0.0002, 0.007, 7000, 0},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sample OUTDIR\n");
    return 2;
  }
  const fs::path out = argv[1];
  try {
    Random rng(0x5A3F1E2D4C6B7A89ull);
    WriteDirectory(out, kTop, {"FUTURES", "FUNDS"}, rng);
    WriteDirectory(out / "FUTURES", kFutures, {}, rng);
    WriteDirectory(out / "FUNDS", kFunds, {}, rng);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_sample: %s\n", e.what());
    return 1;
  }
  return 0;
}
